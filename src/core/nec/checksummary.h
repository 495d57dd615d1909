// SPDX-License-Identifier: MIT
#pragma once

#include "core/nec/necoutput.h"

#include <optional>
#include <utility>
#include <vector>

namespace tarvelin::nec {

// One frequency of the check, as shown in its table and plots.
struct SweepPoint
{
    double mhz = 0.0;
    double resistanceOhms = 0.0;
    double reactanceOhms = 0.0;
    double swr = 0.0;                       // infinite for a feed that reflects everything
    double gainDbi = 0.0;                   // forward: theta 90, phi 0 in free space; at the best elevation over ground
    double frontToBackDb = 0.0;             // forward gain less the gain straight back
    std::optional<double> elevationDegrees; // over ground: where the forward gain is greatest
};

struct CheckSummary
{
    std::vector<SweepPoint> points;
    std::optional<double> resonanceMHz; // where the reactance crosses zero, nearest the design frequency
    double minSwr = 0.0;
    double minSwrMHz = 0.0;
    std::optional<std::pair<double, double>> swr2MHz; // the 2:1 band, when both edges lie in the sweep
    std::optional<double> efficiencyPercent;          // at the design frequency
    std::vector<PatternPoint> azimuthPattern;         // at the design frequency, by azimuth
};

// The SWR of a load against a line of z0 ohms, from the reflection coefficient (Z - Z0) / (Z + Z0).
[[nodiscard]] double swrOf(double resistanceOhms, double reactanceOhms, double z0Ohms);

// Reads one frequency's figures from its engine result; none when its pattern lacks the directions needed.
[[nodiscard]] std::optional<SweepPoint> sweepPointOf(const FrequencyResult &result, double z0Ohms);

// The summary of a sweep given in frequency order; `designIndex` is the design frequency's point, and
// `azimuth` the block with the azimuth pattern, if any.
[[nodiscard]] CheckSummary summarise(std::vector<SweepPoint> points, std::size_t designIndex,
                                     std::optional<double> designEfficiency, const FrequencyResult *azimuth);

// Linear interpolation of where y crosses `level` between two points.
[[nodiscard]] double crossing(double x0, double y0, double x1, double y1, double level);

} // namespace tarvelin::nec
