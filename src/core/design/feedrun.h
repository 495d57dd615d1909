// SPDX-License-Identifier: MIT
#pragma once

#include <complex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace tarvelin::design {

// A run of feed line between the analyser and the antenna, as the builder declares it: a line of other than
// the analyser's impedance, or a lossy one, turns the sweep's R and X and moves its lowest SWR, so the sweep
// is read back at the far end.
struct FeedRun
{
    double metres = 0.0;
    double z0Ohms = 0.0;
    double velocityFactor = 0.0;
    double lossDbPer100m = 0.0; // matched loss at the design frequency, rising as the square root of frequency
    // A cable from the table, where the run is one: its impedance and loss are the maker's, its loss at each
    // frequency its own; the velocity factor its nominal one unless the builder measured it.
    std::string cable;

    [[nodiscard]] double lossDbPer100mAt(double mhz, double designMHz) const;
    bool operator==(const FeedRun &) const = default;
};

// What lay between the analyser and the feed point when the sweep was taken: a run of line, and whether the
// design's match (its balun or quarter-wave section) was in the path too.
struct MeasuredThrough
{
    std::optional<FeedRun> run;
    bool match = false;

    [[nodiscard]] bool declared() const { return run || match; }
    bool operator==(const MeasuredThrough &) const = default;
};

namespace limits {
inline constexpr double kLongestRunMetres = 1000.0;
inline constexpr double kLowestRunZ0Ohms = 10.0;
inline constexpr double kHighestRunZ0Ohms = 600.0;
inline constexpr double kLowestRunVelocityFactor = 0.5;
inline constexpr double kHighestRunVelocityFactor = 1.0;
inline constexpr double kHighestRunLossDbPer100m = 100.0;
} // namespace limits

// A run as typed, field by field: its length with its unit ("7 m", "23 ft"), and either a cable from the table
// (its velocity factor as measured, where given) or the line's impedance, velocity factor and loss in dB per
// 100 m; an empty loss is a lossless line. A refusal names the field and its limits.
struct FeedRunTexts
{
    std::string length;
    std::string z0;
    std::string velocityFactor;
    std::string loss;
    std::string cable;
};
[[nodiscard]] std::variant<FeedRun, std::string> readFeedRun(const FeedRunTexts &texts);
// A run as one text: LENGTH:Z0/VF/LOSS ("7m:75/0.82/1.5"), or LENGTH:CABLE ("30m:RG-58").
[[nodiscard]] std::variant<FeedRun, std::string> readFeedRun(std::string_view text);

// "7 m of 75 ohm line, velocity factor 0.82, 1.5 dB per 100 m"; "30 m of RG-58 (50 ohm, velocity factor 0.66
// nominal)".
[[nodiscard]] std::string feedRunText(const FeedRun &run);

// A run losing more than this one way at the design frequency hides the antenna's dip: the analyser sees its
// reflection twice that far down, near its own noise, which moves the resonance read through it by per cents
// (at 25 dB, 4.4 %).
inline constexpr double kDeepestRunLossDb = 10.0;
// The warning for a run that loses more than kDeepestRunLossDb one way at `designMHz`; none for one that
// does not.
[[nodiscard]] std::optional<std::string> lossyRunWarning(const FeedRun &run, double designMHz);

// The impedance at the run's far end of `measuredOhms` read at its near end, at `mhz`: the run removed as the
// lossy line it is.
[[nodiscard]] std::complex<double> atFarEnd(const FeedRun &run, std::complex<double> measuredOhms, double mhz,
                                            double designMHz);

// The impedance at the run's near end of `farOhms` at its far end, none for an open far end, at `mhz`.
[[nodiscard]] std::complex<double> atNearEnd(const FeedRun &run, std::optional<std::complex<double>> farOhms,
                                             double mhz, double designMHz);

} // namespace tarvelin::design
