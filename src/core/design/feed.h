// SPDX-License-Identifier: MIT
#pragma once

#include <complex>
#include <string>
#include <string_view>
#include <variant>

namespace tarvelin::format {
class JsonWriter;
}

namespace tarvelin::design {

// How the driven loop meets the feed line: directly, through an ideal 4:1 balun, or through a quarter-wave
// section of line that transforms the feed's resistance R towards sqrt(R x Z0) squared over R.
enum class MatchKind
{
    Direct,
    Balun4,
    QuarterWave,
};

struct Match
{
    MatchKind kind = MatchKind::Direct;
    double z0Ohms = 0.0;         // a quarter-wave section's line
    double velocityFactor = 0.0; // of that line: nominal, or as the builder measured it
    std::string line;            // the cable from the table it is cut from, where it is one

    bool operator==(const Match &) const = default;
};

namespace limits {
inline constexpr double kLowestSectionZ0Ohms = 10.0;
inline constexpr double kHighestSectionZ0Ohms = 600.0;
inline constexpr double kLowestVelocityFactor = 0.5;
inline constexpr double kHighestVelocityFactor = 1.0;
} // namespace limits

// The kinds as tarvelin-calc names them: "direct", "balun4", "quarter-wave".
[[nodiscard]] const char *matchKindName(MatchKind kind);

// The match as typed: its kind, and for a quarter-wave section its line: a cable from the table (its velocity
// factor as measured, where given) or the line's impedance and velocity factor; an empty text is none given.
// A refusal names the setting and its limits.
struct MatchTexts
{
    std::string kind;
    std::string z0;
    std::string velocityFactor;
    std::string line;
};
struct MatchRefusal
{
    enum class Setting
    {
        Kind,
        Z0,
        VelocityFactor,
        Line,
    } setting = Setting::Kind;
    std::string message;
};
[[nodiscard]] std::variant<Match, MatchRefusal> readMatch(const MatchTexts &texts);

// Whether the section's velocity factor is its cable's nominal one, which a builder is told to measure.
[[nodiscard]] bool nominalVelocityFactor(const Match &match);

// A quarter-wave section's cut length, in metres: a quarter wavelength at the design frequency times its
// line's velocity factor. The line's electrical length is the quarter wavelength itself.
[[nodiscard]] double sectionMetres(const Match &match, double designMHz);

// The SWR of a load against a line of z0 ohms, from the reflection coefficient (Z - Z0) / (Z + Z0).
[[nodiscard]] double swrOf(double resistanceOhms, double reactanceOhms, double z0Ohms);

// The impedance the feed line sees through the match, of a feed impedance at `mhz`, the section cut for
// `designMHz`: the same for a direct feed, a quarter of it through a 4:1 balun, and through an ideal lossless
// quarter-wave section at the design frequency, longer or shorter in wavelengths off it.
[[nodiscard]] std::complex<double> throughMatch(const Match &match, std::complex<double> feedOhms, double mhz,
                                                double designMHz);
// The feed impedance behind an impedance read through a quarter-wave section, as the engine gives it at the
// section's far end: the inverse of throughMatch for the section; the same for the other matches, whose
// transform the engine does not make.
[[nodiscard]] std::complex<double> behindSection(const Match &match, std::complex<double> lineOhms, double mhz,
                                                 double designMHz);

// The feed impedance behind an impedance measured through the match, whatever its kind: the inverse of
// throughMatch.
[[nodiscard]] std::complex<double> behindMatch(const Match &match, std::complex<double> lineOhms, double mhz,
                                               double designMHz);

// The match as a record of the files: {"kind": "quarter-wave", "z0": 75, "vf": 0.66, "line": "RG-11"}, the
// line's figures only for a section, its cable only where it is one.
void writeMatchRecord(format::JsonWriter &json, std::string_view key, const Match &match);

// The feed resistance a quarter-wave section of this line matches to `lineOhms`: Z0 squared over it; the
// ideal line for a feed of R ohms is sqrt(R x lineOhms).
[[nodiscard]] double idealSectionZ0Ohms(double feedOhms, double lineOhms);

} // namespace tarvelin::design
