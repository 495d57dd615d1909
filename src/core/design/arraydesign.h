// SPDX-License-Identifier: MIT
#pragma once

#include "core/calc/designlengths.h"
#include "core/design/checksettings.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tarvelin::nec {

// The frequencies of the sweep, lowest first, the design frequency in the middle.
[[nodiscard]] std::vector<double> sweepFrequencies(double designMHz, const CheckSettings &settings);

// The array as modelled: each loop's side and its station along the boom, in metres, as the window's grid
// shows them (converted from its inches, 0.0254 m to the inch).
inline constexpr double kMetresPerInch = 0.0254;
// A wavelength in metres is this over the frequency in MHz.
inline constexpr double kSpeedOfLightMetresPerMicrosecond = 299.792458;

struct ArrayGeometry
{
    std::string frequencyText;  // as typed
    std::string frequencyLabel; // as read, at least five digits: what every text of the check writes
    double designMHz = 0.0;
    std::vector<double> sidesMetres;    // reflector first
    std::vector<double> stationsMetres; // the reflector at 0

    [[nodiscard]] std::size_t elementCount() const { return sidesMetres.size(); }
};

struct GeometryRefusal
{
    std::string message;
};

// Runs the window's calculation on the frequency text and takes the sides and stations of the first
// `elements` loops from its texts.
[[nodiscard]] std::variant<ArrayGeometry, GeometryRefusal> geometryFor(const std::string &frequencyText,
                                                                       int elements = kMostElements);

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

// Rounding a loop to the grid's thousandth of an inch is worth a warning when it moves the loop by more than
// this share of its length.
inline constexpr double kLargestRoundingShare = 0.005;

[[nodiscard]] StructureCheck checkStructure(const ArrayGeometry &geometry, const CheckSettings &settings);

// The design of a typed frequency, checked for NEC-2 with the settings: what a check, a tune and a deck are
// made from, with the warnings that go beside their results.
struct CheckDesign
{
    ArrayGeometry geometry;
    std::vector<std::string> warnings;
};

// Why a design cannot be modelled: the frequency text itself, or the structure with these settings.
struct DesignRefusal
{
    std::string message;
    bool frequency = false;                                          // the frequency cannot be read
    StructureCheck::Setting setting = StructureCheck::Setting::None; // otherwise, the setting it is about
};

[[nodiscard]] std::variant<CheckDesign, DesignRefusal> designFor(const std::string &frequencyText, int elements,
                                                                 const CheckSettings &settings);

} // namespace tarvelin::nec
