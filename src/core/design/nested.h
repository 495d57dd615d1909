// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/bands.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tarvelin::design {

// How the loops of several bands are held. On a boom each element's loops of every band stand in one plane,
// at one station; on a spider each element's arms lean from one hub, so that each band's loops stand their
// own fraction of a wavelength apart.
enum class NestedLayout
{
    Boom,
    Spider,
};

// How the spreaders are mounted: as an X, the loops square with their top and bottom wires level, fed in
// the middle of the bottom wire; or upright and level, the loops diamonds, fed at the bottom corner. The
// corners sit on the spreaders either way.
enum class LoopShape
{
    Square,
    Diamond,
};

// A nested quad has two to four elements, the same on every band.
inline constexpr int kFewestNestedElements = 2;
inline constexpr int kMostNestedElements = 4;

// The reflector-to-driver spacing, as a fraction of a wavelength, that builders of nested quads use.
inline constexpr double kDefaultSpacingWavelengths = 0.14;
inline constexpr double kLowestSpacingWavelengths = 0.05;
inline constexpr double kHighestSpacingWavelengths = 0.3;
// A spider's arms lean this far at most from the plane across the boom.
inline constexpr double kLowestSpiderAngleDeg = 5.0;
inline constexpr double kHighestSpiderAngleDeg = 45.0;

struct NestedSettings
{
    NestedLayout layout = NestedLayout::Boom;
    LoopShape shape = LoopShape::Square;
    // The reflector-to-driver spacing in wavelengths: on a spider, of the lowest band, whose arms set the
    // lean every band follows; on a boom, of the geometric mean of the bands' frequencies, so that no band
    // is further from it than the others.
    double spacingWavelengths = kDefaultSpacingWavelengths;
    // On a spider, the reflector's and the driver's arms lean this far instead, degrees from the plane across
    // the boom, the others in proportion.
    std::optional<double> spiderAngleDeg;
};

// One loop of a nested quad, where it stands and where it meets its spreaders.
struct NestedLoop
{
    std::size_t band = 0;    // into the design's bands, lowest first
    std::size_t element = 0; // reflector 0, driver 1, directors after
    double sideMetres = 0.0;
    double stationMetres = 0.0;      // along the boom from the rearmost loop
    double offsetMetres = 0.0;       // along the boom from its element's hub; 0 on a boom
    double cornerRadiusMetres = 0.0; // a corner's distance from the boom's axis: the side over the square root of 2
    double attachmentMetres = 0.0;   // from the hub along the arm to the corner
    double perimeterFactor = 1.0;    // the loop against the window's design at its band's frequency
};

// The loops of every band on one set of spreaders, and the spreaders that hold them.
struct NestedGeometry
{
    std::vector<Band> bands; // lowest first
    NestedSettings settings;
    std::size_t elements = 0;
    std::vector<double> hubStationsMetres; // each element's, along the boom from the rearmost loop
    std::vector<double> armAnglesDeg; // each element's arms from the plane across the boom; behind the hub negative
    std::vector<NestedLoop> loops;    // band by band, lowest first; in each, the reflector first

    [[nodiscard]] const NestedLoop &loop(std::size_t band, std::size_t element) const
    {
        return loops[band * elements + element];
    }
    // The band's reflector-to-driver spacing as a fraction of its wavelength.
    [[nodiscard]] double spacingWavelengths(std::size_t band) const;
};

// The quad with each loop's perimeter scaled by its factor against the window's design, band by band as
// `loops`: on a boom at the stations as designed, on a spider along the same arms, the hub where the rearmost
// loop then needs it.
[[nodiscard]] NestedGeometry withPerimeterFactors(const NestedGeometry &specified, const std::vector<double> &factors);

// One band of a nested quad as its own monoband design: its loops alone, at the stations the window's design
// gives them, so that the check can say what nesting did to the band.
[[nodiscard]] NestedGeometry monobandOf(const NestedGeometry &geometry, std::size_t band);

// The nested quad of these bands: each band's loops the first `elements` of the window's design at its
// frequency, placed as the settings say. A refusal names the setting.
[[nodiscard]] std::variant<NestedGeometry, std::string> nestedGeometry(const std::vector<Band> &bands, int elements,
                                                                       const NestedSettings &settings);

} // namespace tarvelin::design
