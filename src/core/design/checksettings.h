// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/feed.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace tarvelin::design {

// How the antenna check models the array, beyond the design itself.
struct CheckSettings
{
    int segments = 11;                        // per side of every loop
    double wireDiameterMm = 2.05;             // AWG 12
    bool lossless = false;                    // copper losses otherwise
    std::optional<double> groundHeightMetres; // boom height over average ground; free space without
    double spanPercent = 3.0;                 // the sweep runs from -span to +span around the design frequency
    int points = 13;                          // odd, so the design frequency is one of them
    double z0Ohms = 50.0;                     // what the SWR is measured against
    double insulationMm = 0.0;                // the wire's jacket; bare wire without
    double permittivity = 3.5;                // the jacket's, relative: PVC
    Match match{};                            // how the driven loop meets the feed line

    bool operator==(const CheckSettings &) const = default;
};

// The limits of every setting. The command line's refusals, the window's refusals and the ranges of the
// window's controls all come from here.
namespace limits {
inline constexpr double kLowestWireMm = 0.1;
inline constexpr double kHighestWireMm = 20.0;
inline constexpr int kLowestAwg = 8;
inline constexpr int kHighestAwg = 20;
inline constexpr int kFewestSegments = 5;
inline constexpr int kMostSegments = 51;
inline constexpr double kNarrowestSpanPercent = 0.5;
inline constexpr double kWidestSpanPercent = 20.0;
inline constexpr int kFewestPoints = 3;
inline constexpr int kMostPoints = 101;
inline constexpr double kLowestZ0Ohms = 1.0;
inline constexpr double kHighestZ0Ohms = 1000.0;
inline constexpr double kHighestBoomMetres = 1000.0;
inline constexpr double kThickestInsulationMm = 5.0;
inline constexpr double kLowestPermittivity = 1.0;
inline constexpr double kHighestPermittivity = 10.0;
} // namespace limits

// The jackets the window offers, by their relative permittivity.
struct Jacket
{
    const char *name;
    double permittivity;
};
inline constexpr Jacket kJackets[] = {{"PVC", 3.5}, {"polyethylene", 2.3}, {"PTFE", 2.1}};

// A jacket slows the wave along the wire, which the model takes as a series inductance along every wire:
// L' = (mu0 / 2 pi) (1 - 1 / er) ln((a + t) / a) henry a metre, for a conductor of radius a in a jacket t
// thick. None without a jacket.
[[nodiscard]] double jacketHenriesPerMetre(const CheckSettings &settings);

// What every result made with a jacket says of it: an estimate, which a measured sweep corrects. Empty
// for bare wire.
[[nodiscard]] std::string jacketNote(const CheckSettings &settings);

// How the check models the array, as a printed report says it: "Modelled with the NEC-2 engine nec2c: wire
// 2.05 mm, 11 segments per side, copper, free space; sweep ±3 % in 13 points; SWR against 50 Ω."
[[nodiscard]] std::string modelledText(const CheckSettings &settings);

// The diameter of an AWG gauge: 0.127 mm x 92^((36 - n) / 39).
[[nodiscard]] double awgDiameterMm(int gauge);

// The settings as typed: in a window's fields, or on the command line. An empty text is the default.
struct CheckSettingTexts
{
    std::string wireMm;
    std::string awg;
    std::string segments;
    std::string span;
    std::string points;
    std::string z0;
    std::string insulation; // mm
    std::string permittivity;
    bool lossless = false;
    std::optional<std::string> groundHeight; // over ground, with the boom at this height
};

enum class CheckSetting
{
    WireDiameter,
    Awg,
    Segments,
    Span,
    Points,
    Z0,
    GroundHeight,
    Insulation,
    Permittivity,
};

// Why the settings cannot be used: the setting, and a sentence for the user that states its limits.
struct CheckSettingRefusal
{
    CheckSetting setting = CheckSetting::WireDiameter;
    std::string message;
};

[[nodiscard]] std::variant<CheckSettings, CheckSettingRefusal> readCheckSettings(const CheckSettingTexts &texts);

// The boom's height over ground as typed ("15 m", "50 ft"), in metres: the one setting a window takes as text.
[[nodiscard]] std::variant<double, CheckSettingRefusal> readGroundHeight(const std::string &text);

// Whether settings made in code lie within the limits; the refusal names the first that does not.
[[nodiscard]] std::optional<CheckSettingRefusal> checkSettingsProblem(const CheckSettings &settings);

} // namespace tarvelin::design
