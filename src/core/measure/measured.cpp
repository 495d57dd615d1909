// SPDX-License-Identifier: MIT
#include "core/measure/measured.h"

#include "core/calc/designlengths.h"
#include "core/format/fieldtext.h"
#include "core/runtime/typedtext.h"
#include "core/shop/shopsheet.h"
#include "core/shop/shopsheettext.h"

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

// "2.34 % below the design frequency"; "on the design frequency" where the two decimals show no difference.
std::string percentFrom(double percent, const std::string &what)
{
    const std::string shown = fixedText(std::fabs(percent), 2);
    if (shown == "0.00")
        return "on " + what;
    return shown + " % " + (percent < 0 ? "below " : "above ") + what;
}

// The resonance a sheet trims by, as the sheet reads it from the sweep: to 100 Hz.
std::string resonanceText(const MeasuredSweep &measured)
{
    return fixedText(measured.minSwrMHz, 4);
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
    // A dip needs a point either side of it higher than its own: a sweep still falling at an end has its
    // resonance beyond that end, and its lowest point is no resonance at all.
    const auto &p = measured.points;
    if (!p.empty()) {
        const auto lowest =
            std::min_element(p.begin(), p.end(), [](const auto &a, const auto &b) { return a.swr < b.swr; });
        const bool first = lowest == p.begin();
        if (first || lowest + 1 == p.end())
            measured.noResonance = "The lowest SWR of " + measured.file + " lies at its " + (first ? "first" : "last") +
                                   " point, " + frequencyLabel(lowest->mhz) + " MHz: the resonance lies " +
                                   (first ? "below" : "above") + " the sweep, so it gives no trim. Sweep " +
                                   (first ? "lower" : "higher") + " to find it.";
    }
    return measured;
}

void compareWithModel(MeasuredSweep &measured, const CheckSummary &model, std::string_view frequencyText)
{
    // Against this design and model only: nothing of an earlier comparison stays.
    const MeasuredSweep fresh;
    measured.designMHz = fresh.designMHz;
    measured.detunePercent = fresh.detunePercent;
    measured.cutAsForMHz = fresh.cutAsForMHz;
    measured.drivenTrim = fresh.drivenTrim;
    measured.unrelated = fresh.unrelated;
    measured.shiftPercent = fresh.shiftPercent;
    measured.modelMinSwrMHz = fresh.modelMinSwrMHz;
    measured.impedanceDifference = fresh.impedanceDifference;
    measured.swrDifference = fresh.swrDifference;
    const double design = model.design.mhz;
    if (model.points.empty() || measured.points.empty() || !(design > 0.0) || measured.noResonance)
        return;
    measured.designMHz = design;
    const double detune = (measured.minSwrMHz - design) / design * 100.0;
    measured.unrelated = !(std::fabs(detune) <= kLargestShiftPercent);
    if (measured.unrelated)
        return;
    measured.detunePercent = detune;
    measured.cutAsForMHz = design * design / measured.minSwrMHz;
    // The driven loop's trim exactly as From Sweep gives it on the shop sheet, from the same 100 Hz reading.
    shop::ShopSettings settings;
    settings.measuredMHz = megahertzText(resonanceText(measured));
    const auto sheet = shop::makeShopSheet(std::string(frequencyText), settings);
    if (const auto *made = std::get_if<shop::ShopSheet>(&sheet); made && made->elements[1].trim)
        measured.drivenTrim = shop::trimAction(made->elements[1].trim->change, settings.step);

    if (!(model.minSwrMHz > 0.0))
        return;
    measured.modelMinSwrMHz = model.minSwrMHz;
    measured.shiftPercent = (measured.minSwrMHz - model.minSwrMHz) / model.minSwrMHz * 100.0;
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
    if (measured.noResonance)
        sentences.push_back(*measured.noResonance);
    if (measured.unrelated)
        sentences.push_back(shop::sweepOfAnotherDesign(measured.file, measured.minSwrMHz, *measured.designMHz));
    if (!measured.detunePercent)
        return sentences;
    const std::string where =
        "The built antenna's lowest SWR lies at " + frequencyLabel(measured.minSwrMHz) + " MHz, " +
        percentFrom(*measured.detunePercent,
                    "the design frequency" + (fixedText(std::fabs(*measured.detunePercent), 2) == "0.00"
                                                  ? std::string()
                                                  : ", " + frequencyLabel(*measured.designMHz) + " MHz"));
    if (measured.drivenTrim.empty() || measured.drivenTrim == "leave as cut")
        sentences.push_back(where + ": leave the loops as cut.");
    else
        sentences.push_back(where + ": " + (*measured.detunePercent < 0 ? "shorten" : "lengthen") +
                            " the loops by that much, as cut for " + frequencyLabel(*measured.cutAsForMHz) +
                            " MHz (the driven loop: " + measured.drivenTrim +
                            "). The shop sheet's From Sweep gives every loop's trim.");
    if (measured.shiftPercent) {
        const std::string model =
            "The model put its lowest SWR at " + frequencyLabel(*measured.modelMinSwrMHz) + " MHz";
        if (fixedText(std::fabs(*measured.shiftPercent), 2) == "0.00")
            sentences.push_back(model + ", where the built antenna has it: the model holds for this build.");
        else
            sentences.push_back(model + ": the built antenna's lies " +
                                percentFrom(*measured.shiftPercent, "the model's") +
                                ". That is how far the model is off for this build, not a trim.");
    }
    if (measured.impedanceDifference && measured.swrDifference &&
        *measured.impedanceDifference > *measured.swrDifference + kFeedLineDifference)
        sentences.push_back("At the lowest SWR the measured R and X differ from the model's by " +
                            fixedText(*measured.impedanceDifference * 100.0, 0) + " %, the SWR by " +
                            fixedText(*measured.swrDifference * 100.0, 0) +
                            " %: as through a feed line, which turns R and X but keeps the SWR. Only the SWR is "
                            "meaningful here; measure at the feed point for R and X.");
    return sentences;
}

std::variant<std::string, shop::ShopRefusal> sheetResonanceOf(const MeasuredSweep &measured)
{
    if (measured.noResonance)
        return shop::ShopRefusal{*measured.noResonance, shop::ShopSetting::Measured};
    return resonanceText(measured);
}

std::vector<std::optional<SweepMove>> sweepMoves(std::span<const MeasuredSweep> sweeps)
{
    std::vector<std::optional<SweepMove>> moves(sweeps.size());
    for (std::size_t i = 1; i < sweeps.size(); ++i) {
        const MeasuredSweep &before = sweeps[i - 1];
        const MeasuredSweep &now = sweeps[i];
        if (before.noResonance || now.noResonance || !(before.minSwrMHz > 0.0))
            continue;
        moves[i] = SweepMove{(now.minSwrMHz - before.minSwrMHz) * 1000.0,
                             (now.minSwrMHz - before.minSwrMHz) / before.minSwrMHz * 100.0};
    }
    return moves;
}

std::string moveText(const SweepMove &move)
{
    const auto signedText = [](double value, int decimals) {
        return (value >= 0.0 ? "+" : "-") + fixedText(std::fabs(value), decimals);
    };
    return signedText(move.kHz, 0) + " kHz, " + signedText(move.percent, 2) + " % since the last sweep";
}

std::vector<std::string> turnsSentences(std::span<const MeasuredSweep> sweeps)
{
    if (sweeps.size() < 2)
        return {};
    const std::vector<std::optional<SweepMove>> moves = sweepMoves(sweeps);
    std::string text = "Sweeps in turn, oldest first: ";
    for (std::size_t i = 0; i < sweeps.size(); ++i) {
        const MeasuredSweep &sweep = sweeps[i];
        text += (i == 0 ? "" : "; ") + sweep.file + ", ";
        text += sweep.noResonance ? std::string("no resonance within it")
                                  : "lowest SWR at " + frequencyLabel(sweep.minSwrMHz) + " MHz";
        if (moves[i])
            text += " (" + moveText(*moves[i]) + ")";
    }
    return {text + "."};
}

} // namespace tarvelin::nec
