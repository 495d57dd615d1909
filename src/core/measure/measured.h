// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/checksummary.h"
#include "core/design/feed.h"
#include "core/design/feedrun.h"
#include "core/shop/shopsettings.h"
#include "core/touchstone/touchstone.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarvelin::measure {

// How a measured resonance is read, by one rule with the model's: where the loop's reactance passes zero,
// wherever the sweep can be read at the loop (taken at the feed point, or through what was declared); where it
// cannot (it looks taken through a line that was not declared), the lowest SWR on the line through the match,
// compared with the model's read alike.
enum class ResonanceBy
{
    Reactance,
    LowestSwr,
};

// What an analyser's sweep of the built antenna says, beside the model's verdict. The trim a builder reads
// from it is against the design frequency, as the shop sheet's; how far it lies from the model's only says
// how far the model was off for this build.
struct MeasuredSweep
{
    std::string file; // as the user named it
    std::string when; // when it was taken, as its file's time gives it, for telling sweeps apart
    // At the feed point: R and X the loop's own, and the SWR on the chosen line through the design's match, as
    // the model's are; no pattern figures.
    std::vector<check::SweepPoint> points;
    // As the analyser read them, the SWR on the chosen line, where the sweep was read through something;
    // none where it was taken at the feed point.
    std::vector<check::SweepPoint> asMeasured;
    design::MeasuredThrough through;      // what lay between the analyser and the feed point, as declared
    std::optional<std::string> lossyLine; // where that line hides the dip
    double z0Ohms = 0.0;                  // the chosen line's impedance
    double minSwr = 0.0;                  // between the points as well as at them, read as the model's is
    double minSwrMHz = 0.0;
    std::optional<check::BandEdges> swr2MHz; // where it is 2 or less; an edge beyond the sweep is none
    // Where the loop's reactance passes zero, nearest the design frequency; none where it never does.
    std::optional<double> reactanceZeroMHz;
    ResonanceBy by = ResonanceBy::Reactance;
    // Why the sweep shows no resonance to trim by, naming its file: it holds no antenna's dip, or its
    // resonance lies beyond it. None when it has one.
    std::optional<std::string> noResonance;
    // The reasons for each way of reading it, so a sweep read the other way is refused as that way says.
    std::optional<std::string> noAntenna;       // no dip at all
    std::optional<std::string> noReactanceZero; // the reactance never passes zero within it
    std::optional<std::string> noSwrDip;        // its lowest SWR lies at its first or last point

    // The resonance as `by` reads it.
    [[nodiscard]] double resonanceMHz() const
    {
        return by == ResonanceBy::Reactance && reactanceZeroMHz ? *reactanceZeroMHz : minSwrMHz;
    }
    // Reads it the other way, and whether it has a resonance so read.
    void readBy(ResonanceBy how);

    // Against the design, once compared: how far the lowest SWR lies from the design frequency, in percent
    // of it, above positive; the frequency to cut for instead (F x F / M); and the driven loop's trim as the
    // shop sheet gives it at its default step.
    std::optional<double> designMHz;
    std::optional<double> detunePercent;
    std::optional<double> cutAsForMHz;
    std::string drivenTrim;
    bool unrelated = false; // the lowest SWR lies further than kLargestShiftPercent from the design: not compared

    // Against the model: how far the resonance lies from the model's, read alike, in percent of the model's;
    // above is positive. And across the model's 2:1 band, the dips laid together, how far the reflection on the
    // line lies from the model's on average, and how far its size does: a line not declared turns it round.
    std::optional<double> shiftPercent;
    std::optional<double> modelResonanceMHz;
    std::optional<double> reflectionApart;
    std::optional<double> reflectionSizesApart;
    [[nodiscard]] bool looksThroughALine() const;
};

// A sweep as its file gave it, before it is read for a design.
struct SweepFile
{
    std::string file; // as the user named it
    touchstone::Sweep sweep;
};

// How a sweep is read: on the feed line of z0 ohms, through the design's match cut for the design frequency,
// with what lay between the analyser and the feed point taken out.
struct SweepReading
{
    double z0Ohms = 50.0;
    design::Match match;
    double designMHz = 0.0; // the section's, and where a declared run's loss is given
    design::MeasuredThrough through;
};

// "where the reactance of built.s1p passes zero at the feed point", "the lowest SWR of built.s1p": how the
// resonance was read, for the texts that name it.
[[nodiscard]] std::string resonanceSourceText(const MeasuredSweep &measured);

// "7 m of 75 ohm line, velocity factor 0.82, 1.5 dB per 100 m, and the match".
[[nodiscard]] std::string throughText(const design::MeasuredThrough &through);

// The sweep's figures at the feed point, read as `reading` says.
[[nodiscard]] MeasuredSweep measuredSweepOf(const touchstone::Sweep &sweep, std::string file,
                                            const SweepReading &reading);

// Sets the figures that compare the sweep with the design typed as `frequencyText` and with the model's
// verdict on it. Where it is the latest of sweeps in turn (`inTurn`, oldest first, itself last), its trim is
// from the loops as the cuts between them left them, as the shop sheet's is.
void compareWithModel(MeasuredSweep &measured, const check::CheckSummary &model, std::string_view frequencyText,
                      std::span<const shop::SweepTurn> inTurn = {});

// Every sweep of sweeps in turn compared with the model, each from the loops as the cuts before it left them:
// `cutsInches[i]` what was cut from the driven loop before sweep i + 1, none for the trim advised. A sweep
// with no resonance breaks the chain: the ones after it are taken from it on.
void compareInTurn(std::span<MeasuredSweep> sweeps, const check::CheckSummary &model, std::string_view frequencyText,
                   std::span<const std::optional<double>> cutsInches);

// A sweep gives a resonance only where its SWR dips: to this or lower (an antenna seen through a mismatched
// line or match still dips below it, a cable or an open connection does not), and by at least this share of
// its lowest SWR across the sweep (a dummy load, an attenuator or a long lossy line changes less).
inline constexpr double kHighestResonantSwr = 10.0;
inline constexpr double kLeastDipShare = 0.10;

// A sweep whose lowest SWR lies further than this from the design frequency, in percent, is of another
// antenna or band: as far off as a shop sheet refuses to trim by.
inline constexpr double kLargestShiftPercent = shop::limits::kMeasuredTolerancePercent;

// A reflection this much further from the model's than its size is, on average, is read as measured through
// a feed line, which turns R and X round but keeps the SWR.
inline constexpr double kFeedLineTurn = 0.1;
// Where the model's SWR never comes down to 2, the reflections are compared this far either side of its dip,
// as a fraction of its frequency.
inline constexpr double kFeedLineBandFraction = 0.01;

// The sentences the verdict gives for the sweep: where it finds no resonance, or else what to do to the loops
// against the design frequency; how far the model was off; and where R and X disagree with the model more
// than the SWR does, that only the SWR is meaningful. None before comparing.
[[nodiscard]] std::vector<std::string> measuredSentences(const MeasuredSweep &measured);

// A builder trims, sweeps again and trims again: up to this many sweeps of one antenna are read in turn.
inline constexpr std::size_t kMostSweeps = 8;

// How far one sweep's lowest SWR moved from the sweep before it: in kHz, and in percent of the earlier one's.
struct SweepMove
{
    double kHz = 0.0;
    double percent = 0.0;
};

// Each sweep's move from the one before, oldest first: none for the first, and none where either sweep shows
// no resonance to move from or to.
[[nodiscard]] std::vector<std::optional<SweepMove>> sweepMoves(std::span<const MeasuredSweep> sweeps);

// "+85 kHz, +0.61 % since the last sweep".
[[nodiscard]] std::string moveText(const SweepMove &move);

// "built.s1p, 10 Dec 14:02, resonance at 14.105 MHz": a sweep among sweeps in turn, named as the plots'
// legend names it, by its file, its time where known, and its resonance.
[[nodiscard]] std::string sweepInTurnName(const MeasuredSweep &sweep);

// What the verdict says of sweeps in turn: each one's lowest SWR and its move since the one before. None for
// a single sweep.
[[nodiscard]] std::vector<std::string> turnsSentences(std::span<const MeasuredSweep> sweeps);

// A sweep read for a shop sheet at the design's feed point: the resonance it gives the sheet, to 100 Hz, as a
// builder would type it, with the lowest SWR and any warning of a line that hides the dip.
struct SheetSweep
{
    std::string file;
    std::string resonanceText;
    double resonanceMHz = 0.0; // the text as the sheet reads it
    double minSwr = 0.0;
    std::optional<std::string> lossyLine;
};

// A sweep with no resonance in it gives none, refused with the reason that names its file.
[[nodiscard]] std::variant<SheetSweep, shop::ShopRefusal> sheetSweepOf(const touchstone::Sweep &sweep, std::string file,
                                                                       const SweepReading &reading);

} // namespace tarvelin::measure
