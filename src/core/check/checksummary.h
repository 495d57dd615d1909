// SPDX-License-Identifier: MIT
#pragma once

#include "core/nec/necoutput.h"

#include "core/design/feed.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvelin::check {

// One frequency of the check, as shown in its table and plots.
struct SweepPoint
{
    double mhz = 0.0;
    double resistanceOhms = 0.0;
    double reactanceOhms = 0.0;
    double swr = 0.0;                       // infinite for a feed that reflects everything
    double gainDbi = 0.0;                   // forward: theta 90, phi 0 in free space; at the best elevation over ground
    double frontToBackDb = 0.0;             // forward gain less the gain straight back
    double frontToRearDb = 0.0;             // forward gain less the strongest lobe of the rear half
    std::optional<double> elevationDegrees; // over ground: the take-off angle, where the forward gain peaks
    int round = 1;                          // 2: from the wider sweep the verdict asked for
};

// A frequency whose result failed the engine's own checks: left out of the sweep, and named.
struct LeftOutPoint
{
    double mhz = 0.0;
    std::string why; // "a wire efficiency of 204.00 %"
};

// A band of the sweep, each edge where the figure crosses its limit, or none where that lies outside.
struct BandEdges
{
    std::optional<double> lowMHz;
    std::optional<double> highMHz;
};

// The check's verdict on the design, read from its sweep.
struct CheckSummary
{
    std::size_t elements = 7; // in the array modelled
    std::vector<SweepPoint> points;
    SweepPoint design;                   // the figures at the design frequency
    std::optional<double> resonanceMHz;  // where the reactance crosses zero, nearest the design frequency
    std::optional<double> detunePercent; // how far the resonance lies from the design frequency; below is negative
    std::optional<double> cutAsForMHz;   // the design frequency whose array would resonate at this design's
    std::optional<double> resonanceOhms; // the feed's resistance there
    double minSwr = 0.0;                 // the lowest SWR, between the sweep's points as well as at them
    double minSwrMHz = 0.0;
    std::optional<BandEdges> swr2MHz;        // around the lowest SWR, where it is 2 or less; none when it never is
    std::optional<BandEdges> fb20MHz;        // around the best F/B, where it is 20 dB or more; none when it never is
    std::optional<double> reversalMHz;       // above the best F/B, where F/B first falls below 0 dB
    std::optional<double> efficiencyPercent; // the wire efficiency at the design frequency
    std::optional<double> sensitivityKhzPerInch;     // how far the resonance moves per inch more driven loop
    std::string noSensitivity;                       // why there is none, once the verdict's round has run
    std::vector<nec::PatternPoint> azimuthPattern;   // at the design frequency, by azimuth
    std::vector<nec::PatternPoint> elevationPattern; // over ground: forward by rising elevation, then back by falling
    std::vector<LeftOutPoint> leftOut;               // frequencies whose results failed their checks
    std::vector<std::string> modelNotes;             // what the model may get wrong here, one sentence each
    std::string ran; // what the engine ran for it: "13 frequencies across the sweep, then 8 more for the verdict: ..."
};

// The goals a design is held to, by the verdict as by the tuner: an SWR of 1.5 or less and an F/B of 20 dB
// or more.
inline constexpr double kSwrGoal = 1.5;
inline constexpr double kFrontToBackGoalDb = 20.0;

// The goals as the builder sets them, beside the tune: the verdict holds the design to the same ones.
struct Goals
{
    double maxSwr = kSwrGoal;
    double minFrontToBackDb = kFrontToBackGoalDb;
};

// The point nearest the design frequency: the design's own, whatever points were left out before it.
[[nodiscard]] std::size_t designIndexOf(const std::vector<SweepPoint> &points, double designMHz);

// A resonance further off than this, in percent of the design frequency, is worth a warning: the array
// should be cut as for another frequency.
inline constexpr double kDetuneWarningPercent = 1.0;

// Reads one frequency's figures from its engine result; none when its pattern lacks the directions needed.
// With a match, the engine's impedance is read through it: a quarter-wave section's far end is where the engine
// feeds the array, so the point's R and X are those behind it, at the loop; its SWR is the feed line's, through
// the match. `sectionMHz`: the design frequency the section is cut for.
[[nodiscard]] std::optional<SweepPoint> sweepPointOf(const nec::FrequencyResult &result, double z0Ohms,
                                                     const design::Match &match = {}, double sectionMHz = 0.0);

// The summary of a sweep given in frequency order; `designIndex` is the design frequency's point, and
// `azimuth` the block with the azimuth pattern, if any. Between the points, R and X are read from the
// parabola through three neighbouring points, so the resonance, the lowest SWR and the 2:1 edges need not
// fall on a point.
[[nodiscard]] CheckSummary summarise(std::vector<SweepPoint> points, std::size_t designIndex, double z0Ohms,
                                     std::optional<double> designEfficiency, const nec::FrequencyResult *azimuth,
                                     const design::Match &match = {}, double sectionMHz = 0.0);

// An SWR as every text shows it: to `decimals`, or "> 99" beyond that, where the figure says little and an
// infinite or enormous one would only mislead.
[[nodiscard]] std::string swrText(double swr, int decimals);

// The warnings the verdict calls for, each one sentence: a resonance off by more than kDetuneWarningPercent,
// or none in the sweep.
[[nodiscard]] std::vector<std::string> verdictWarnings(const CheckSummary &summary);

// Linear interpolation of where y crosses `level` between two points.
[[nodiscard]] double crossing(double x0, double y0, double x1, double y1, double level);

} // namespace tarvelin::check
