// SPDX-License-Identifier: MIT
#include "core/design/nested.h"

#include "core/design/arraydesign.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvelin::design {

namespace {

double wavelengthMetres(double mhz)
{
    return kSpeedOfLightMetresPerMicrosecond / mhz;
}

double degrees(double radians)
{
    return radians * 180.0 / std::numbers::pi;
}

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

// Each element's place in the lowest band's design, in reflector-to-driver spacings: on a spider from the
// middle of the first and last elements, where the hub stands; on a boom from the reflector.
std::vector<double> spacingsFrom(const ArrayGeometry &array, NestedLayout layout)
{
    const std::vector<double> &stations = array.stationsMetres;
    const double unit = stations[1] - stations[0];
    const double origin = layout == NestedLayout::Spider ? (stations.front() + stations.back()) / 2 : stations[0];
    std::vector<double> spacings;
    for (const double station : stations)
        spacings.push_back((station - origin) / unit);
    return spacings;
}

std::optional<std::string> settingsRefusal(const std::vector<Band> &bands, int elements, const NestedSettings &settings)
{
    if (bands.empty() || bands.size() > kMostBands)
        return "A quad nests the loops of 1 to " + std::to_string(kMostBands) + " bands";
    if (elements < kFewestNestedElements || elements > kMostNestedElements)
        return "A quad of several bands has " + std::to_string(kFewestNestedElements) + " to " +
               std::to_string(kMostNestedElements) + " elements on every band";
    if (!(settings.spacingWavelengths >= kLowestSpacingWavelengths &&
          settings.spacingWavelengths <= kHighestSpacingWavelengths))
        return "The spacing must be " + shortestText(kLowestSpacingWavelengths) + " to " +
               shortestText(kHighestSpacingWavelengths) + " of a wavelength";
    if (settings.spiderAngleDeg) {
        if (settings.layout != NestedLayout::Spider)
            return std::string("The arms' angle is a spider's: on a boom the spreaders stand across it");
        if (!(*settings.spiderAngleDeg >= kLowestSpiderAngleDeg && *settings.spiderAngleDeg <= kHighestSpiderAngleDeg))
            return "The arms' angle must be " + shortestText(kLowestSpiderAngleDeg) + " to " +
                   shortestText(kHighestSpiderAngleDeg) + " degrees from the plane across the boom";
    }
    return std::nullopt;
}

void placeOnArms(NestedGeometry &nested);

// The bands' loops where a spider's straight arms put them: the lowest band's, its outermost, set each arm's
// lean; every other band's corners lie on the same arms.
void placeOnSpider(NestedGeometry &nested, const std::vector<double> &spacings)
{
    const double lowestWavelength = wavelengthMetres(nested.bands.front().designMHz);
    double &spacing = nested.settings.spacingWavelengths;
    if (nested.settings.spiderAngleDeg)
        spacing = nested.loop(0, 0).cornerRadiusMetres * std::tan(radians(*nested.settings.spiderAngleDeg)) /
                  (-spacings.front() * lowestWavelength);
    for (std::size_t e = 0; e < nested.elements; ++e)
        nested.armAnglesDeg.push_back(
            degrees(std::atan2(spacings[e] * spacing * lowestWavelength, nested.loop(0, e).cornerRadiusMetres)));
    placeOnArms(nested);
}

// Each loop where its corners meet its element's arms, the hub as far forward of the rearmost loop as it
// stands behind the hub.
void placeOnArms(NestedGeometry &nested)
{
    double rearmost = 0.0;
    for (NestedLoop &loop : nested.loops) {
        const double lean = radians(nested.armAnglesDeg[loop.element]);
        loop.offsetMetres = loop.cornerRadiusMetres * std::tan(lean);
        loop.attachmentMetres = loop.cornerRadiusMetres / std::cos(lean);
        rearmost = std::min(rearmost, loop.offsetMetres);
    }
    nested.hubStationsMetres.assign(nested.elements, -rearmost);
    for (NestedLoop &loop : nested.loops)
        loop.stationMetres = loop.offsetMetres - rearmost;
}

// Every band's loops of an element at one station, spaced for the geometric mean of the bands' frequencies.
void placeOnBoom(NestedGeometry &nested, const std::vector<double> &spacings)
{
    double logSum = 0.0;
    for (const Band &band : nested.bands)
        logSum += std::log(band.designMHz);
    const double meanWavelength = wavelengthMetres(std::exp(logSum / static_cast<double>(nested.bands.size())));
    for (std::size_t e = 0; e < nested.elements; ++e) {
        nested.hubStationsMetres.push_back(spacings[e] * nested.settings.spacingWavelengths * meanWavelength);
        nested.armAnglesDeg.push_back(0.0);
    }
    for (NestedLoop &loop : nested.loops) {
        loop.stationMetres = nested.hubStationsMetres[loop.element];
        loop.attachmentMetres = loop.cornerRadiusMetres;
    }
}

} // namespace

double NestedGeometry::spacingWavelengths(std::size_t band) const
{
    return (loop(band, 1).stationMetres - loop(band, 0).stationMetres) / wavelengthMetres(bands[band].designMHz);
}

NestedGeometry withPerimeterFactors(const NestedGeometry &specified, const std::vector<double> &factors)
{
    NestedGeometry scaled = specified;
    for (std::size_t i = 0; i < scaled.loops.size() && i < factors.size(); ++i) {
        NestedLoop &loop = scaled.loops[i];
        loop.sideMetres = specified.loops[i].sideMetres / specified.loops[i].perimeterFactor * factors[i];
        loop.cornerRadiusMetres = loop.sideMetres / std::numbers::sqrt2;
        loop.perimeterFactor = factors[i];
        loop.attachmentMetres = loop.cornerRadiusMetres;
    }
    if (scaled.settings.layout == NestedLayout::Spider)
        placeOnArms(scaled);
    return scaled;
}

NestedGeometry monobandOf(const NestedGeometry &geometry, std::size_t band)
{
    NestedGeometry monoband = geometry;
    monoband.bands = {geometry.bands[band]};
    monoband.settings.layout = NestedLayout::Boom;
    monoband.loops.clear();
    const auto made = specifiedDesign(geometry.bands[band].frequencyText, static_cast<int>(geometry.elements));
    const ArrayGeometry &array = std::get<Design>(made).array; // the nested quad was made from it
    monoband.hubStationsMetres = array.stationsMetres;
    monoband.armAnglesDeg.assign(geometry.elements, 0.0);
    for (std::size_t e = 0; e < geometry.elements; ++e) {
        NestedLoop loop = geometry.loop(band, e);
        loop.band = 0;
        loop.stationMetres = array.stationsMetres[e];
        loop.offsetMetres = 0.0;
        loop.attachmentMetres = loop.cornerRadiusMetres;
        monoband.loops.push_back(loop);
    }
    return monoband;
}

std::variant<NestedGeometry, std::string> nestedGeometry(const std::vector<Band> &bands, int elements,
                                                         const NestedSettings &settings)
{
    if (const std::optional<std::string> refusal = settingsRefusal(bands, elements, settings))
        return *refusal;
    NestedGeometry nested;
    nested.bands = bands;
    nested.settings = settings;
    nested.elements = static_cast<std::size_t>(elements);
    std::vector<double> spacings;
    for (std::size_t b = 0; b < bands.size(); ++b) {
        auto made = specifiedDesign(bands[b].frequencyText, elements);
        if (const auto *refusal = std::get_if<DesignRefusal>(&made))
            return bands[b].name + ": " + refusal->message;
        const ArrayGeometry &array = std::get<Design>(made).array;
        if (b == 0)
            spacings = spacingsFrom(array, settings.layout);
        for (std::size_t e = 0; e < array.elementCount(); ++e) {
            NestedLoop loop;
            loop.band = b;
            loop.element = e;
            loop.sideMetres = array.sidesMetres[e];
            loop.cornerRadiusMetres = loop.sideMetres / std::numbers::sqrt2;
            nested.loops.push_back(loop);
        }
    }
    if (settings.layout == NestedLayout::Spider)
        placeOnSpider(nested, spacings);
    else
        placeOnBoom(nested, spacings);
    return nested;
}

} // namespace tarvelin::design
