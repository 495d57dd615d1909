// SPDX-License-Identifier: MIT
#pragma once

#include "core/nec/checksummary.h"
#include "core/touchstone/touchstone.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvelin::nec {

// What an analyser's sweep of the built antenna says, beside the model's verdict.
struct MeasuredSweep
{
    std::string file;                 // as the user named it
    std::vector<SweepPoint> points;   // R, X and the SWR on the chosen line; no pattern figures
    double minSwr = 0.0;              // between the points as well as at them, read as the model's is
    double minSwrMHz = 0.0;
    std::optional<BandEdges> swr2MHz; // where it is 2 or less; an edge beyond the sweep is none
    // Against the model, once compared: how far the lowest SWR lies from the model's, in percent of the
    // model's; above is positive.
    std::optional<double> shiftPercent;
    std::optional<double> modelMinSwrMHz;
    bool unrelated = false; // the lowest SWRs lie further apart than kLargestShiftPercent: not compared
    // At the lowest SWR, how far R and X and the SWR differ from the model's, as fractions of the model's.
    std::optional<double> impedanceDifference;
    std::optional<double> swrDifference;
};

// The sweep's figures on a line of z0 ohms.
[[nodiscard]] MeasuredSweep measuredSweepOf(const touchstone::Sweep &sweep, std::string file, double z0Ohms);

// Sets the figures that compare the sweep with the model's verdict.
void compareWithModel(MeasuredSweep &measured, const CheckSummary &model);

// A sweep whose lowest SWR lies further than this from the model's, in percent, is of another antenna or
// band, as far off as a shop sheet would refuse to trim by.
inline constexpr double kLargestShiftPercent = 10.0;

// R and X that differ from the model's by this much more than the SWR does, as fractions, are read as
// measured through a feed line, which turns R and X round but keeps the SWR.
inline constexpr double kFeedLineDifference = 0.2;

// The sentences the verdict gives for the comparison: the shift and what it means, and where R and X
// disagree with the model more than the SWR does, that only the SWR is meaningful. None before comparing.
[[nodiscard]] std::vector<std::string> measuredSentences(const MeasuredSweep &measured);

// The measured resonance a sheet is trimmed by: the lowest SWR's frequency to 100 Hz, as a typed frequency.
[[nodiscard]] std::string measuredResonanceText(const MeasuredSweep &measured);

} // namespace tarvelin::nec
