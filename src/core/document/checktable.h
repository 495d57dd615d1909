// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/checksummary.h"
#include "core/format/document.h"
#include "core/format/resulttable.h"

#include <span>
#include <string>
#include <string_view>

namespace tarvelin::format {
class JsonWriter;
}

namespace tarvelin::design {
struct CheckSettings;
}

namespace tarvelin::measure {
struct MeasuredSweep;
}

// The check's report: its tables, its verdict and what to do, its feed advice, and its files.
namespace tarvelin::document {

using check::CheckSummary;
using check::Goals;
using design::CheckSettings;
using measure::MeasuredSweep;

// The check's sweep as a table, one row per frequency: the design frequency (in files only), then MHz (shown
// as every text writes a frequency, the files' numbers exact), R, X, SWR, gain, F/B and F/R, shown with 2, 2, 3,
// 2, 2 and 2 decimals, an infinite SWR as "∞", and over
// ground the take-off angle to 0.1 degree (its column is in the files either way).
[[nodiscard]] format::ResultTable checkTable(const CheckSummary &summary, std::string_view frequencyLabel);

// The verdict as a table of two columns, the figure naming each row: at the design frequency the SWR on a
// line of z0 ohms, the gain, F/B, F/R and over ground the take-off angle; then the resonance and the cut
// it calls for, the lowest SWR, the 2:1 band, the F/B >= 20 dB band, where the pattern reverses, and the
// wire efficiency. An edge outside the sweep is named as outside, beside the edge that was found.
// With a measured sweep, a third column gives the built antenna's resonance against the design frequency,
// its lowest SWR and its 2:1 band beside the model's. The SWR and the F/B are held to `goals`, the ones the
// builder set for the tune.
[[nodiscard]] format::ResultTable verdictTable(const CheckSummary &summary, double z0Ohms,
                                               const MeasuredSweep *measured = nullptr, const Goals &goals = {});

// How to feed and measure the array, one short paragraph: where the feed goes, the balun, the parasitic
// loops closed, where and how high to measure; with a check, the feed's impedance at resonance and its
// match to the line.
[[nodiscard]] std::string feedAdvice(const CheckSummary *summary, const CheckSettings &settings);

// What to do, in one line that opens the verdict: from the latest measured sweep where it gives a trim ("Shorten
// every loop 3.76 %: the driven loop 32-3/4\" (8-3/16\" a side)." or "Leave the loops as cut."), else from the
// model ("Cut the loops as for 14.532 MHz."); then whether the goals are met at the design frequency.
[[nodiscard]] std::string verdictHeadline(const CheckSummary &summary, const MeasuredSweep *measured,
                                          const Goals &goals);

// The check as a reader sees it, for the terminal, the printout and the window's verdict page: the title; how
// it was modelled and any warning; then its sections in the order of CheckSection.
enum CheckSection : std::size_t
{
    kHeadlineSection, // what to do, in one strong line
    kVerdictSection,  // the verdict's table
    kNotesSection,    // the measured sweeps' sentences, the jacket's note and the feed advice
    kSweepSection,    // the sweep's table
};
[[nodiscard]] format::Document checkDocument(const CheckSummary &summary, const CheckSettings &settings,
                                             std::span<const MeasuredSweep> sweeps = {}, const Goals &goals = {});

// The check as one JSON record: the frequency as typed, every point of the sweep, the figures at the design
// frequency, the verdict's figures (what the sweep did not find as null) and the azimuth pattern.
// With measured sweeps, oldest first, the latest's figures in "measured" with its move since the one before,
// and every sweep's in "sweeps". Inside a record, the value of `recordKey`.
void writeCheckJson(format::JsonWriter &json, std::string_view frequencyText, const CheckSummary &summary,
                    const design::Match &match, std::span<const MeasuredSweep> sweeps = {},
                    std::string_view recordKey = {});

// The check's sweep as a one-port Touchstone file, for an analyser's reference trace: comments naming the
// program, the design frequency and the settings, then the reflection at each point against the line.
[[nodiscard]] std::string checkTouchstone(const CheckSummary &summary, const CheckSettings &settings);

} // namespace tarvelin::document
