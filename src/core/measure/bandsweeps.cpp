// SPDX-License-Identifier: MIT
#include "core/measure/bandsweeps.h"

#include "core/design/designlengths.h"

#include <algorithm>

namespace tarvelin::measure {

namespace {

// The samples of the sweep within [lowest, highest] MHz.
touchstone::Sweep windowOf(const touchstone::Sweep &sweep, double lowestMHz, double highestMHz)
{
    touchstone::Sweep window = sweep;
    window.samples.clear();
    for (const touchstone::Sample &sample : sweep.samples)
        if (sample.mhz >= lowestMHz && sample.mhz <= highestMHz)
            window.samples.push_back(sample);
    return window;
}

} // namespace

std::vector<BandSweeps> bandSweepsOf(std::span<const SweepFile> files, std::span<const check::BandCheck> bands,
                                     double z0Ohms, const design::MeasuredThrough &through)
{
    std::vector<BandSweeps> read;
    for (const check::BandCheck &band : bands) {
        BandSweeps sweeps;
        const std::vector<check::SweepPoint> &points = band.summary.points;
        const double lowest = points.front().mhz;
        const double highest = points.back().mhz;
        for (const SweepFile &file : files) {
            const touchstone::Sweep window = windowOf(file.sweep, lowest, highest);
            if (window.samples.size() < 3) {
                sweeps.warning = band.band.name + ": " + file.file + " holds too few frequencies between " +
                                 design::frequencyLabel(lowest) + " and " + design::frequencyLabel(highest) +
                                 " MHz, the band's window, to read it.";
                continue;
            }
            sweeps.sweeps.push_back(
                measuredSweepOf(window, file.file, {z0Ohms, band.band.match, band.band.designMHz, through}));
        }
        if (!sweeps.sweeps.empty()) {
            const std::vector<std::optional<double>> advised(sweeps.sweeps.size() - 1);
            compareInTurn(sweeps.sweeps, band.summary, band.band.frequencyText, advised);
            const MeasuredSweep &latest = sweeps.sweeps.back();
            if (latest.noResonance)
                sweeps.warning = band.band.name + ": " + *latest.noResonance;
            else if (latest.noSwrDip)
                sweeps.warning = band.band.name + ": the lowest SWR of " + latest.file +
                                 " lies at the edge of the band's window: the dip may lie beyond it.";
        }
        read.push_back(std::move(sweeps));
    }
    return read;
}

} // namespace tarvelin::measure
