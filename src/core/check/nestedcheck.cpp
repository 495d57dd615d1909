// SPDX-License-Identifier: MIT
#include "core/check/nestedcheck.h"

#include "core/design/designlengths.h"

#include <cmath>

namespace tarvelin::check {

namespace {

// One frequency of band `fed`'s sweep as the engine would give it with the idle drivers ended: its feed
// impedance, and the pattern around the azimuth.
nec::FrequencyResult bandResult(const design::NestedGeometry &geometry, const nec::NPort &nport, std::size_t fed,
                                const design::IdleEnd &idle)
{
    const nec::PortFigures figures = nec::fedWith(nport, fed, portEnds(geometry, idle, nport.mhz));
    return {nport.mhz, figures.feedOhms.real(), figures.feedOhms.imag(), std::nullopt, std::move(figures.pattern)};
}

} // namespace

std::optional<SweepPoint> bandPointOf(const design::NestedGeometry &geometry, const nec::NPort &nport,
                                      std::size_t fed, const design::IdleEnd &idle, double z0Ohms)
{
    const design::Band &band = geometry.bands[fed];
    return sweepPointOf(bandResult(geometry, nport, fed, idle), z0Ohms, band.match, band.designMHz);
}

std::vector<nec::PortEnd> portEnds(const design::NestedGeometry &geometry, const design::IdleEnd &idle, double mhz)
{
    std::vector<nec::PortEnd> ends;
    for (const design::Band &band : geometry.bands)
        ends.push_back(design::idleEndOhms(idle, mhz, band.designMHz));
    return ends;
}

std::variant<BandCheck, std::string> checkBand(const design::NestedGeometry &geometry, std::size_t b,
                                               std::span<const nec::NPort> nports, const design::IdleEnd &idle,
                                               const design::CheckSettings &settings, double sweptFromMHz,
                                               double sweptToMHz)
{
    const design::Band &band = geometry.bands[b];
    std::vector<SweepPoint> points;
    std::optional<nec::FrequencyResult> atDesign;
    for (const nec::NPort &nport : nports) {
        nec::FrequencyResult result = bandResult(geometry, nport, b, idle);
        std::optional<SweepPoint> point = sweepPointOf(result, settings.z0Ohms, band.match, band.designMHz);
        if (!point)
            return "The engine gave no pattern for " + band.name + " at " + design::frequencyLabel(nport.mhz) +
                   " MHz";
        // Beyond the sweep asked for: the wider round's, where the sweep missed the resonance. The engine prints
        // its frequencies to a few digits only.
        constexpr double kPrinted = 1e-4;
        point->round = nport.mhz < sweptFromMHz * (1 - kPrinted) || nport.mhz > sweptToMHz * (1 + kPrinted) ? 2 : 1;
        points.push_back(*point);
        if (!atDesign && std::fabs(nport.mhz / band.designMHz - 1.0) < kPrinted)
            atDesign = std::move(result);
    }
    if (!atDesign) // the sweep's middle is its design frequency
        atDesign = bandResult(geometry, nports[nports.size() / 2], b, idle);
    const std::size_t designIndex = designIndexOf(points, band.designMHz);
    CheckSummary summary = summarise(std::move(points), designIndex, settings.z0Ohms, std::nullopt, &*atDesign,
                                     band.match, band.designMHz);
    summary.elements = geometry.elements;
    return BandCheck{band, std::move(summary), std::nullopt};
}

std::variant<std::vector<BandCheck>, std::string> checkBands(const design::NestedGeometry &geometry,
                                                             std::span<const nec::NPort> nports,
                                                             const design::IdleEnd &idle,
                                                             const design::CheckSettings &settings)
{
    const auto perBand = static_cast<std::size_t>(settings.points);
    if (nports.size() != perBand * geometry.bands.size())
        return "The engine gave " + std::to_string(nports.size()) + " frequencies where the bands' sweeps have " +
               std::to_string(perBand * geometry.bands.size());
    std::vector<BandCheck> checks;
    for (std::size_t b = 0; b < geometry.bands.size(); ++b) {
        const std::span<const nec::NPort> band = nports.subspan(b * perBand, perBand);
        auto checked = checkBand(geometry, b, band, idle, settings, band.front().mhz, band.back().mhz);
        if (const auto *refusal = std::get_if<std::string>(&checked))
            return *refusal;
        checks.push_back(std::get<BandCheck>(std::move(checked)));
    }
    return checks;
}

std::optional<NestingShift> nestingShift(const BandCheck &band)
{
    if (!band.monoband)
        return std::nullopt;
    if (band.summary.resonanceMHz && band.monoband->resonanceMHz)
        return NestingShift{*band.monoband->resonanceMHz, *band.summary.resonanceMHz, true};
    // A lowest SWR at the sweep's end says only that the dip lies beyond it.
    const auto inside = [](const CheckSummary &summary) {
        return !summary.points.empty() && summary.minSwrMHz > summary.points.front().mhz &&
               summary.minSwrMHz < summary.points.back().mhz;
    };
    if (!inside(band.summary) || !inside(*band.monoband))
        return std::nullopt;
    return NestingShift{band.monoband->minSwrMHz, band.summary.minSwrMHz, false};
}

} // namespace tarvelin::check
