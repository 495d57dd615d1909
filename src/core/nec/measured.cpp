// SPDX-License-Identifier: MIT
#include "core/nec/measured.h"

#include "core/calc/designlengths.h"
#include "core/format/fieldtext.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace tarvelin::nec {

namespace {

const SweepPoint &nearest(const std::vector<SweepPoint> &points, double mhz)
{
    return *std::min_element(points.begin(), points.end(), [mhz](const SweepPoint &a, const SweepPoint &b) {
        return std::fabs(a.mhz - mhz) < std::fabs(b.mhz - mhz);
    });
}

} // namespace

MeasuredSweep measuredSweepOf(const touchstone::Sweep &sweep, std::string file, double z0Ohms)
{
    std::vector<SweepPoint> points;
    points.reserve(sweep.samples.size());
    for (const touchstone::Sample &sample : sweep.samples) {
        SweepPoint point;
        point.mhz = sample.mhz;
        point.resistanceOhms = sample.impedanceOhms.real();
        point.reactanceOhms = sample.impedanceOhms.imag();
        point.swr = swrOf(point.resistanceOhms, point.reactanceOhms, z0Ohms);
        points.push_back(point);
    }
    // The lowest SWR and the 2:1 band are read between the points exactly as the model's are, so the two
    // agree wherever the curves do.
    const CheckSummary read = summarise(std::move(points), 0, z0Ohms, std::nullopt, nullptr);
    MeasuredSweep measured;
    measured.file = std::move(file);
    measured.points = read.points;
    measured.minSwr = read.minSwr;
    measured.minSwrMHz = read.minSwrMHz;
    measured.swr2MHz = read.swr2MHz;
    return measured;
}

void compareWithModel(MeasuredSweep &measured, const CheckSummary &model)
{
    // Against this model only: nothing of an earlier comparison stays.
    measured.shiftPercent.reset();
    measured.modelMinSwrMHz.reset();
    measured.impedanceDifference.reset();
    measured.swrDifference.reset();
    measured.unrelated = false;
    if (model.points.empty() || measured.points.empty() || !(model.minSwrMHz > 0.0))
        return;
    measured.modelMinSwrMHz = model.minSwrMHz;
    const double shift = (measured.minSwrMHz - model.minSwrMHz) / model.minSwrMHz * 100.0;
    measured.unrelated = !(std::fabs(shift) <= kLargestShiftPercent);
    if (measured.unrelated)
        return;
    measured.shiftPercent = shift;
    // At each dip: a feed line between the analyser and the antenna turns R and X round the SWR's circle.
    const SweepPoint &built = nearest(measured.points, measured.minSwrMHz);
    const SweepPoint &modelled = nearest(model.points, model.minSwrMHz);
    const std::complex<double> builtZ(built.resistanceOhms, built.reactanceOhms);
    const std::complex<double> modelZ(modelled.resistanceOhms, modelled.reactanceOhms);
    if (std::abs(modelZ) > 0.0 && std::isfinite(std::abs(builtZ)))
        measured.impedanceDifference = std::abs(builtZ - modelZ) / std::abs(modelZ);
    if (std::isfinite(built.swr) && std::isfinite(modelled.swr) && modelled.swr > 0.0)
        measured.swrDifference = std::fabs(built.swr - modelled.swr) / modelled.swr;
}

std::vector<std::string> measuredSentences(const MeasuredSweep &measured)
{
    std::vector<std::string> sentences;
    if (measured.unrelated)
        sentences.push_back("The measured lowest SWR, at " + frequencyLabel(measured.minSwrMHz) +
                            " MHz, lies more than " + fixedText(kLargestShiftPercent, 0) + " % from the model's, at " +
                            frequencyLabel(*measured.modelMinSwrMHz) +
                            " MHz: the sweep is not of this design, so it is not compared.");
    if (!measured.shiftPercent)
        return sentences;
    const double shift = *measured.shiftPercent;
    const std::string lowest = " (lowest SWR at " + frequencyLabel(measured.minSwrMHz) + " MHz, the model's at " +
                               frequencyLabel(*measured.modelMinSwrMHz) + " MHz)";
    if (fixedText(std::fabs(shift), 2) == "0.00")
        sentences.push_back("The built antenna resonates where the model does" + lowest + ".");
    else
        sentences.push_back("The built antenna resonates " + fixedText(std::fabs(shift), 2) + " % " +
                            (shift < 0 ? "below" : "above") + " the model" + lowest + ": " +
                            (shift < 0 ? "shorten" : "lengthen") +
                            " the loops by that much, or trim them from the shop sheet's From Sweep.");
    if (measured.impedanceDifference && measured.swrDifference &&
        *measured.impedanceDifference > *measured.swrDifference + kFeedLineDifference)
        sentences.push_back("At the lowest SWR the measured R and X differ from the model's by " +
                            fixedText(*measured.impedanceDifference * 100.0, 0) + " %, the SWR by " +
                            fixedText(*measured.swrDifference * 100.0, 0) +
                            " %: as through a feed line, which turns R and X but keeps the SWR. Only the SWR is "
                            "meaningful here; measure at the feed point for R and X.");
    return sentences;
}

std::string measuredResonanceText(const MeasuredSweep &measured)
{
    return fixedText(measured.minSwrMHz, 4);
}

} // namespace tarvelin::nec
