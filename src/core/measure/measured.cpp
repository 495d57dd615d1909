// SPDX-License-Identifier: MIT
#include "core/measure/measured.h"

#include "core/design/designlengths.h"
#include "core/design/feedpath.h"
#include "core/format/fieldtext.h"
#include "core/text/typedtext.h"
#include "core/shop/shopsheet.h"
#include "core/shop/shopsheettext.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace tarvelin::measure {

namespace {

// R and X at `mhz`, between the points either side of it; none outside the points.
std::optional<std::complex<double>> impedanceAt(const std::vector<check::SweepPoint> &points, double mhz)
{
    const auto above = std::lower_bound(points.begin(), points.end(), mhz,
                                        [](const check::SweepPoint &p, double f) { return p.mhz < f; });
    if (above == points.end() || (above == points.begin() && above->mhz != mhz))
        return std::nullopt;
    const std::complex<double> high(above->resistanceOhms, above->reactanceOhms);
    if (above->mhz == mhz)
        return high;
    const check::SweepPoint &below = *(above - 1);
    const double t = (mhz - below.mhz) / (above->mhz - below.mhz);
    return std::complex<double>(below.resistanceOhms, below.reactanceOhms) * (1.0 - t) + high * t;
}

// "2.34 % below the design frequency"; "on the design frequency" where the two decimals show no difference.
std::string percentFrom(double percent, const std::string &what)
{
    const std::string shown = format::fixedText(std::fabs(percent), 2);
    if (shown == "0.00")
        return "on " + what;
    return shown + " % " + (percent < 0 ? "below " : "above ") + what;
}

// The resonance a sheet trims by, as the sheet reads it from the sweep: to 100 Hz.
std::string resonanceText(const MeasuredSweep &measured)
{
    return format::fixedText(measured.resonanceMHz(), 4);
}

// Across the model's 2:1 band, the built antenna's curve laid on the model's with the dips together: a feed
// line between the analyser and the antenna turns the reflection round, so it parts from the model's while its
// size, which sets the SWR, stays with it. At the dips themselves both are near nothing and show nothing.
void compareReflections(MeasuredSweep &measured, const check::CheckSummary &model)
{
    if (!(model.minSwrMHz > 0.0))
        return;
    const double halfBand = model.swr2MHz && model.swr2MHz->lowMHz && model.swr2MHz->highMHz
                                ? (*model.swr2MHz->highMHz - *model.swr2MHz->lowMHz) / 2.0
                                : model.minSwrMHz * kFeedLineBandFraction;
    const double scale = measured.minSwrMHz / model.minSwrMHz;
    const auto reflection = [z0 = measured.z0Ohms](std::complex<double> z) { return (z - z0) / (z + z0); };
    double apart = 0.0;
    double sizes = 0.0;
    int compared = 0;
    for (const double offset : {-1.0, -0.5, 0.5, 1.0}) {
        const double f = model.minSwrMHz + offset * halfBand;
        const std::optional<std::complex<double>> modelZ = impedanceAt(model.points, f);
        const std::optional<std::complex<double>> builtZ = impedanceAt(measured.points, f * scale);
        if (!modelZ || !builtZ)
            continue;
        const std::complex<double> modelled = reflection(*modelZ);
        const std::complex<double> built = reflection(*builtZ);
        if (!std::isfinite(std::abs(modelled)) || !std::isfinite(std::abs(built)))
            continue;
        apart += std::abs(built - modelled);
        sizes += std::fabs(std::abs(built) - std::abs(modelled));
        ++compared;
    }
    if (compared >= 2) {
        measured.reflectionApart = apart / compared;
        measured.reflectionSizesApart = sizes / compared;
    }
}

} // namespace

std::string throughText(const design::MeasuredThrough &through)
{
    if (!through.run)
        return through.match ? "the match" : "nothing";
    return design::feedRunText(*through.run) + (through.match ? ", and the match" : "");
}

void MeasuredSweep::readBy(ResonanceBy how)
{
    by = how;
    noResonance = noAntenna ? noAntenna : how == ResonanceBy::Reactance ? noReactanceZero : noSwrDip;
}

bool MeasuredSweep::looksThroughALine() const
{
    return !through.declared() && reflectionApart && reflectionSizesApart &&
           *reflectionApart > *reflectionSizesApart + kFeedLineTurn;
}

std::string resonanceSourceText(const MeasuredSweep &measured)
{
    return measured.by == ResonanceBy::Reactance
               ? "where the reactance of " + measured.file + " passes zero at the feed point"
               : "the lowest SWR of " + measured.file + " on the " + design::shortestText(measured.z0Ohms) +
                     " ohm line";
}

MeasuredSweep measuredSweepOf(const touchstone::Sweep &sweep, std::string file, const SweepReading &reading)
{
    const double z0 = reading.z0Ohms;
    const bool through = reading.through.declared();
    const design::FeedPath path{reading.match, reading.designMHz, z0, reading.through};
    std::vector<check::SweepPoint> points;
    std::vector<check::SweepPoint> asMeasured;
    points.reserve(sweep.samples.size());
    for (const touchstone::Sample &sample : sweep.samples) {
        check::SweepPoint point;
        point.mhz = sample.mhz;
        std::complex<double> z = sample.impedanceOhms;
        if (through) {
            asMeasured.push_back({.mhz = sample.mhz,
                                  .resistanceOhms = z.real(),
                                  .reactanceOhms = z.imag(),
                                  .swr = design::swrOf(z.real(), z.imag(), z0)});
            z = path.atLoop(z, sample.mhz);
        }
        point.resistanceOhms = z.real();
        point.reactanceOhms = z.imag();
        point.swr = path.swr(z, sample.mhz);
        points.push_back(point);
    }
    // The resonance, the lowest SWR and the 2:1 band are read between the points exactly as the model's are, so
    // the two agree wherever the curves do.
    const std::size_t design = check::designIndexOf(points, reading.designMHz);
    const check::CheckSummary read =
        check::summarise(std::move(points), design, z0, std::nullopt, nullptr, reading.match, reading.designMHz);
    MeasuredSweep measured;
    measured.file = std::move(file);
    measured.asMeasured = std::move(asMeasured);
    measured.through = reading.through;
    measured.z0Ohms = z0;
    measured.points = read.points;
    measured.minSwr = read.minSwr;
    measured.minSwrMHz = read.minSwrMHz;
    measured.swr2MHz = read.swr2MHz;
    measured.reactanceZeroMHz = read.resonanceMHz;
    if (reading.through.run)
        measured.lossyLine = design::lossyRunWarning(*reading.through.run, reading.designMHz);
    // A resonance is where the SWR dips. A lowest SWR far above any antenna's is an open or shorted connection
    // or a length of cable; one that hardly changes across the sweep is a load with no resonance in it. A dip
    // needs a point either side of it higher than its own: a sweep still falling at an end has its resonance
    // beyond that end, and its lowest point is no resonance at all.
    const auto &p = measured.points;
    if (!p.empty()) {
        const auto lowest =
            std::min_element(p.begin(), p.end(), [](const auto &a, const auto &b) { return a.swr < b.swr; });
        const double highest =
            std::max_element(p.begin(), p.end(), [](const auto &a, const auto &b) { return a.swr < b.swr; })->swr;
        const bool first = lowest == p.begin();
        if (!(lowest->swr <= kHighestResonantSwr))
            measured.noAntenna = measured.file + " shows no antenna's resonance: its lowest SWR is " +
                                 check::swrText(lowest->swr, 1) + ", at " + design::frequencyLabel(lowest->mhz) +
                                 " MHz, where an antenna's dips below " + format::fixedText(kHighestResonantSwr, 0) +
                                 ". That is an open or shorted connection, or a length of cable: check the "
                                 "connection to the feed point.";
        else if (highest < lowest->swr * (1.0 + kLeastDipShare))
            measured.noAntenna = measured.file + " shows no dip: its SWR changes by less than " +
                                 format::fixedText(kLeastDipShare * 100.0, 0) + " % across the sweep (" +
                                 check::swrText(lowest->swr, 2) + " to " + check::swrText(highest, 2) +
                                 "), as a dummy load, an attenuator or a long lossy line gives. Sweep the antenna "
                                 "itself, across its resonance.";
        if (first || lowest + 1 == p.end())
            measured.noSwrDip = "The lowest SWR of " + measured.file + " lies at its " + (first ? "first" : "last") +
                                " point, " + design::frequencyLabel(lowest->mhz) + " MHz: the resonance lies " +
                                (first ? "below" : "above") + " the sweep, so it gives no trim. Sweep " +
                                (first ? "lower" : "higher") + " to find it.";
        // A loop is capacitive below its resonance and inductive above it.
        if (!measured.reactanceZeroMHz) {
            const bool inductive = p.front().reactanceOhms > 0.0;
            measured.noReactanceZero = "The reactance of " + measured.file + " at the feed point stays " +
                                       (inductive ? "inductive" : "capacitive") +
                                       " across the sweep: the resonance lies " + (inductive ? "below" : "above") +
                                       " it, so it gives no trim. Sweep " + (inductive ? "lower" : "higher") +
                                       " to find it.";
        }
    }
    measured.readBy(ResonanceBy::Reactance);
    return measured;
}

void compareWithModel(MeasuredSweep &measured, const check::CheckSummary &model, std::string_view frequencyText,
                      std::span<const shop::SweepTurn> inTurn)
{
    // Against this design and model only: nothing of an earlier comparison stays.
    const MeasuredSweep fresh;
    measured.designMHz = fresh.designMHz;
    measured.detunePercent = fresh.detunePercent;
    measured.cutAsForMHz = fresh.cutAsForMHz;
    measured.drivenTrim = fresh.drivenTrim;
    measured.unrelated = fresh.unrelated;
    measured.shiftPercent = fresh.shiftPercent;
    measured.modelResonanceMHz = fresh.modelResonanceMHz;
    measured.reflectionApart = fresh.reflectionApart;
    measured.reflectionSizesApart = fresh.reflectionSizesApart;
    measured.readBy(ResonanceBy::Reactance);
    const double design = model.design.mhz;
    if (model.points.empty() || measured.points.empty() || !(design > 0.0) || measured.noAntenna)
        return;
    compareReflections(measured, model);
    // Turned round by a line not declared, its R and X are not the loop's: it is read, as the model is, by its
    // lowest SWR on the line.
    if (measured.looksThroughALine())
        measured.readBy(ResonanceBy::LowestSwr);
    if (measured.noResonance)
        return;
    measured.designMHz = design;
    const double resonance = measured.resonanceMHz();
    const double detune = (resonance - design) / design * 100.0;
    measured.unrelated = !(std::fabs(detune) <= kLargestShiftPercent);
    if (measured.unrelated)
        return;
    measured.detunePercent = detune;
    // The driven loop's trim and the frequency to cut for exactly as From Sweep gives them on the shop sheet,
    // from the same 100 Hz reading and from the loops as the cuts between sweeps in turn left them.
    shop::ShopSettings settings;
    settings.elements = static_cast<int>(model.elements);
    settings.measuredMHz = megahertzText(resonanceText(measured));
    const double reading = settings.measuredMHz.value_or(resonance);
    measured.cutAsForMHz = design * design / reading;
    if (inTurn.size() > 1)
        settings.inTurn.assign(inTurn.begin(), inTurn.end());
    const auto sheet = shop::makeShopSheet(std::string(frequencyText), settings);
    if (const auto *made = std::get_if<shop::ShopSheet>(&sheet)) {
        if (made->settings.earlierTrim)
            measured.cutAsForMHz = made->settings.earlierTrim->cutForMHz * design / reading;
        if (made->elements[1].trim)
            measured.drivenTrim = shop::trimAction(made->elements[1].trim->change, settings.step);
    }
    // The model's resonance read the same way.
    const std::optional<double> modelled =
        measured.by == ResonanceBy::Reactance ? model.resonanceMHz : std::optional(model.minSwrMHz);
    if (!modelled || !(*modelled > 0.0))
        return;
    measured.modelResonanceMHz = *modelled;
    measured.shiftPercent = (resonance - *modelled) / *modelled * 100.0;
}

void compareInTurn(std::span<MeasuredSweep> sweeps, const check::CheckSummary &model, std::string_view frequencyText,
                   std::span<const std::optional<double>> cutsInches)
{
    const double design = model.design.mhz;
    std::vector<shop::SweepTurn> inTurn;
    for (std::size_t i = 0; i < sweeps.size(); ++i) {
        MeasuredSweep &sweep = sweeps[i];
        // A sweep of no resonance, or of another design, is no step of the trims: the next starts afresh.
        if (sweep.noResonance || !(std::fabs(sweep.resonanceMHz() - design) <= design * kLargestShiftPercent / 100.0)) {
            inTurn.clear();
            compareWithModel(sweep, model, frequencyText);
            continue;
        }
        const std::optional<double> cut =
            i > 0 && i - 1 < cutsInches.size() && !inTurn.empty() ? cutsInches[i - 1] : std::nullopt;
        inTurn.push_back({sweep.file, megahertzText(resonanceText(sweep)).value_or(0.0), cut});
        compareWithModel(sweep, model, frequencyText, inTurn);
    }
}

std::vector<std::string> measuredSentences(const MeasuredSweep &measured)
{
    std::vector<std::string> sentences;
    // R and X far from the model's while the SWR is near it: the sweep was taken through a line, which comes
    // first, since what follows holds only at the feed point.
    if (measured.looksThroughALine())
        sentences.push_back("This sweep looks measured through a feed line: its R and X are turned from the "
                            "model's while its SWR follows the model's. A line of other than " +
                            design::shortestText(measured.z0Ohms) +
                            " ohms, or a matching section in the path, moves the lowest SWR, so the trim below "
                            "holds only if the sweep was taken at the feed point. Declare the line it was measured "
                            "through (its length and cable, or impedance, velocity factor and loss), and the match "
                            "if it was in the path, to read it at the feed point.");
    if (measured.lossyLine)
        sentences.push_back(*measured.lossyLine);
    if (measured.noResonance)
        sentences.push_back(*measured.noResonance);
    if (measured.unrelated)
        sentences.push_back(
            shop::sweepOfAnotherDesign(measured.file, measured.resonanceMHz(), measured.designMHz.value_or(0.0)));
    if (!measured.detunePercent)
        return sentences;
    if (measured.through.declared())
        sentences.push_back("The sweep is read at the feed point: measured through " + throughText(measured.through) +
                            ", taken out.");

    const bool byReactance = measured.by == ResonanceBy::Reactance;
    const std::string where =
        std::string(byReactance ? "The built antenna resonates (its reactance at the feed point passes zero) at "
                                : "The built antenna's lowest SWR on the line lies at ") +
        design::frequencyLabel(measured.resonanceMHz()) + " MHz, " +
        percentFrom(*measured.detunePercent,
                    "the design frequency" + (format::fixedText(std::fabs(*measured.detunePercent), 2) == "0.00"
                                                  ? std::string()
                                                  : ", " + design::frequencyLabel(*measured.designMHz) + " MHz"));
    const std::string onlyThere = byReactance ? "" : ", if it was swept at the feed point";
    if (measured.drivenTrim.empty() || measured.drivenTrim == "leave as cut")
        sentences.push_back(where + ": leave the loops as cut" + onlyThere + ".");
    else
        sentences.push_back(where + ": " + (*measured.detunePercent < 0 ? "shorten" : "lengthen") +
                            " the loops by that much" + onlyThere + ", as cut for " +
                            design::frequencyLabel(*measured.cutAsForMHz) + " MHz (the driven loop: " +
                            measured.drivenTrim + "). The shop sheet's From Sweep gives every loop's trim.");
    if (measured.shiftPercent) {
        const std::string model =
            std::string(byReactance ? "The model resonates at " : "The model's lowest SWR lies at ") +
            design::frequencyLabel(*measured.modelResonanceMHz) + " MHz";
        if (format::fixedText(std::fabs(*measured.shiftPercent), 2) == "0.00")
            sentences.push_back(model + ", where the built antenna does: the model holds for this build.");
        else
            sentences.push_back(model + ": the built antenna's lies " +
                                percentFrom(*measured.shiftPercent, "the model's") +
                                ". That is how far the model is off for this build, not a trim.");
    }
    return sentences;
}

std::variant<SheetSweep, shop::ShopRefusal> sheetSweepOf(const touchstone::Sweep &sweep, std::string file,
                                                         const SweepReading &reading)
{
    const MeasuredSweep measured = measuredSweepOf(sweep, std::move(file), reading);
    if (measured.noResonance)
        return shop::ShopRefusal{*measured.noResonance, shop::ShopSetting::Measured};
    SheetSweep read{measured.file, resonanceText(measured), 0.0, measured.minSwr, measured.lossyLine};
    read.resonanceMHz = megahertzText(read.resonanceText).value_or(0.0);
    return read;
}

std::vector<std::optional<SweepMove>> sweepMoves(std::span<const MeasuredSweep> sweeps)
{
    std::vector<std::optional<SweepMove>> moves(sweeps.size());
    for (std::size_t i = 1; i < sweeps.size(); ++i) {
        const MeasuredSweep &before = sweeps[i - 1];
        const MeasuredSweep &now = sweeps[i];
        if (before.noResonance || now.noResonance || !(before.resonanceMHz() > 0.0))
            continue;
        moves[i] = SweepMove{(now.resonanceMHz() - before.resonanceMHz()) * 1000.0,
                             (now.resonanceMHz() - before.resonanceMHz()) / before.resonanceMHz() * 100.0};
    }
    return moves;
}

std::string moveText(const SweepMove &move)
{
    const auto signedText = [](double value, int decimals) {
        return (value >= 0.0 ? "+" : "-") + format::fixedText(std::fabs(value), decimals);
    };
    return signedText(move.kHz, 0) + " kHz, " + signedText(move.percent, 2) + " % since the last sweep";
}

namespace {
std::string turnResonanceText(const MeasuredSweep &sweep)
{
    return sweep.noResonance ? std::string("no resonance within it")
                             : "resonance at " + design::frequencyLabel(sweep.resonanceMHz()) + " MHz";
}
} // namespace

std::string sweepInTurnName(const MeasuredSweep &sweep)
{
    return sweep.file + (sweep.when.empty() ? "" : ", " + sweep.when) + ", " + turnResonanceText(sweep);
}

std::vector<std::string> turnsSentences(std::span<const MeasuredSweep> sweeps)
{
    if (sweeps.size() < 2)
        return {};
    const std::vector<std::optional<SweepMove>> moves = sweepMoves(sweeps);
    std::string text = "Sweeps in turn, oldest first: ";
    for (std::size_t i = 0; i < sweeps.size(); ++i) {
        const MeasuredSweep &sweep = sweeps[i];
        text += (i == 0 ? "" : "; ") + sweep.file + ", " + turnResonanceText(sweep);
        if (moves[i])
            text += " (" + moveText(*moves[i]) + ")";
    }
    return {text + "."};
}

} // namespace tarvelin::measure
