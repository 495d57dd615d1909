// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tarvelin::nec {

// How the antenna check models the array, beyond the design itself.
struct CheckSettings
{
    int segments = 11;                        // per side of every loop: odd, 5 to 51
    double wireDiameterMm = 2.05;             // AWG 12
    bool lossless = false;                    // copper losses otherwise
    std::optional<double> groundHeightMetres; // boom height over average ground; free space without
    double spanPercent = 3.0;                 // the sweep runs from -span to +span around the design frequency
    int points = 13;                          // odd, 3 to 101, so the design frequency is one of them
    double z0Ohms = 50.0;                     // what the SWR is measured against
};

// The diameter of an AWG gauge: 0.127 mm x 92^((36 - n) / 39).
[[nodiscard]] double awgDiameterMm(int gauge);

// Whether the settings can be modelled; the message names the setting that cannot.
[[nodiscard]] std::optional<std::string> checkSettingsProblem(const CheckSettings &settings);

// The frequencies of the sweep, lowest first, the design frequency in the middle.
[[nodiscard]] std::vector<double> sweepFrequencies(double designMHz, const CheckSettings &settings);

// The array as modelled: each loop's side and its station along the boom, in metres, as the window's grid
// shows them (converted from its inches, 0.0254 m to the inch).
struct ArrayGeometry
{
    std::string frequencyText;  // as typed
    std::string frequencyLabel; // as read, to three decimals: what every text of the check writes
    double designMHz = 0.0;
    std::vector<double> sidesMetres;    // reflector first
    std::vector<double> stationsMetres; // the reflector at 0
};

struct GeometryRefusal
{
    std::string message;
};

// Runs the window's calculation on the frequency text and takes the sides and stations from its texts.
[[nodiscard]] std::variant<ArrayGeometry, GeometryRefusal> geometryFor(const std::string &frequencyText);

// Whether NEC-2 can model the array with these settings. A refusal names what cannot be modelled and why;
// warnings name what can, but less reliably.
struct StructureCheck
{
    enum class Setting
    {
        None,
        GroundHeight,
        Wire,
    };
    std::optional<std::string> refusal;
    Setting refused = Setting::None; // the setting the refusal is about
    std::vector<std::string> warnings;
};

// The thin-wire model needs each segment at least this many wire radii long, and this many for accuracy.
inline constexpr double kShortestSegmentRadii = 2.0;
inline constexpr double kAccurateSegmentRadii = 8.0;

[[nodiscard]] StructureCheck checkStructure(const ArrayGeometry &geometry, const CheckSettings &settings);

} // namespace tarvelin::nec
