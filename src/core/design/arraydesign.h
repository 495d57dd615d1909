// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/checksettings.h"
#include "core/design/designlengths.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tarvelin::design {

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

// The array as modelled from the design's lengths as the window shows them: each side and station in metres.
[[nodiscard]] ArrayGeometry geometryOf(const DesignLengths &lengths);

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

// Where a design came from: the window's pass for a frequency text and an element count, a tune of it, or a
// tuned design's file.
enum class DesignSource
{
    Specified,
    Tuned,
    File,
};

// A design as every feature takes it: the specified design's lengths as the window shows them, the array (the
// frequency as typed and as read, each loop's side at full precision and each element's station), the
// settings it is modelled with (the wire and its jacket, the ground, the feed line, and how finely), and where
// it came from; a tuned design's array holds its tuned loops and stations. The deck, the study, the check,
// the tune and the sheet are all made from one.
struct Design
{
    Design() = default;
    Design(DesignLengths lengthsOf, CheckSettings settingsOf)
        : lengths(std::move(lengthsOf)), array(geometryOf(lengths)), settings(settingsOf)
    {
    }

    DesignLengths lengths; // the specified design's, whatever a tune made of it
    ArrayGeometry array;
    CheckSettings settings;
    DesignSource source = DesignSource::Specified;
    std::vector<std::string> warnings; // what the model of it may get wrong, for beside its results

    [[nodiscard]] std::size_t elementCount() const { return array.elementCount(); }
    [[nodiscard]] const std::string &frequencyText() const { return array.frequencyText; }
};

// Why a design cannot be modelled: the frequency text itself, or the structure with these settings.
struct DesignRefusal
{
    std::string message;
    bool frequency = false;                                          // the frequency cannot be read
    StructureCheck::Setting setting = StructureCheck::Setting::None; // otherwise, the setting it is about
};

// The specified design of a frequency text and an element count, with the default settings: the one place a
// design's lengths come from the window's calculation. A refusal is of the frequency text.
[[nodiscard]] std::variant<Design, DesignRefusal> specifiedDesign(const std::string &frequencyText,
                                                                  int elements = kMostElements);

// The design frequency a frequency text gives, as the design reads it ("14,2" is 14); none where it gives no
// design of that many elements.
[[nodiscard]] std::optional<double> designMHzOf(const std::string &frequencyText, int elements = kMostElements);

// The specified design of a frequency text and an element count, checked for NEC-2 with the settings.
[[nodiscard]] std::variant<Design, DesignRefusal> designFor(const std::string &frequencyText, int elements,
                                                            const CheckSettings &settings);

} // namespace tarvelin::design
