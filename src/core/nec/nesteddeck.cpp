// SPDX-License-Identifier: MIT
#include "core/nec/nesteddeck.h"

#include "core/design/arraydesign.h"
#include "core/nec/cnumbers.h"
#include "core/nec/deck.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace tarvelin::nec {

namespace {

// At least this many segments to the wavelength at the highest frequency of the deck.
constexpr double kSegmentsPerWavelength = 20.0;

struct Point
{
    double y;
    double z;
};

// One loop's wires, in the plane across the boom at x: a square's four, bottom first, or a diamond's five, its
// bottom corner's short level wire first. Gives the feed's segment.
DeckPort appendLoop(std::string &deck, int &tag, const design::NestedLoop &loop, design::LoopShape shape, int segments,
                    double radius, double x)
{
    std::vector<Point> corners;
    std::vector<int> counts;
    if (shape == design::LoopShape::Square) {
        const double h = loop.sideMetres / 2;
        corners = {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
        counts.assign(4, segments);
    } else {
        // The feed sits on a level wire about a segment long across the bottom corner, low enough that the
        // loop's wire is as long as the design's; the other three corners are on their spreaders' tips.
        const double r = loop.cornerRadiusMetres;
        const double side = loop.sideMetres;
        const double half = side / segments / 2;
        const double feedZ = -std::sqrt((side - half) * (side - half) - (r - half) * (r - half));
        corners = {{-half, feedZ}, {half, feedZ}, {r, 0.0}, {0.0, r}, {-r, 0.0}};
        counts = {1, segments, segments, segments, segments};
    }
    const DeckPort port{tag, (counts.front() + 1) / 2};
    for (std::size_t k = 0; k < corners.size(); ++k) {
        const Point &from = corners[k];
        const Point &to = corners[(k + 1) % corners.size()];
        deck += card("GW %d %d %.6f %.6f %.6f %.6f %.6f %.6f %.6g\n", tag++, counts[k], x, from.y, from.z, x, to.y,
                     to.z, radius);
    }
    return port;
}

} // namespace

int nestedSegmentsPerSide(double sideMetres, double highestMHz)
{
    const double longest = design::kSpeedOfLightMetresPerMicrosecond / highestMHz / kSegmentsPerWavelength;
    const int count = static_cast<int>(std::ceil(sideMetres / longest));
    return std::max(3, count % 2 == 0 ? count + 1 : count);
}

NestedDeck writeNestedDeck(const design::NestedGeometry &geometry, const design::CheckSettings &settings,
                           std::span<const double> sweepMHz, double segmentedForMHz)
{
    const CNumbers c;
    NestedDeck deck;
    std::string bands;
    for (const design::Band &band : geometry.bands)
        bands += (bands.empty() ? "" : ", ") + band.name + " " + design::frequencyLabel(band.designMHz) + " MHz";
    deck.text += card("CM Tarvelin " TARVELIN_VERSION ": %s cubical quad of %s bands on a %s, %s loops\n",
                      design::elementsWord(geometry.elements).c_str(), design::countWord(geometry.bands.size()).c_str(),
                      geometry.settings.layout == design::NestedLayout::Spider ? "spider" : "boom",
                      geometry.settings.shape == design::LoopShape::Square ? "square" : "diamond");
    deck.text += "CM " + bands + "\n";
    deck.text +=
        card("CM wire %.4g mm, %s, free space\n", settings.wireDiameterMm, settings.lossless ? "lossless" : "copper");
    deck.text += "CM boom on +X from the rearmost loop; loops in the Y-Z plane\n";
    deck.text += "CM each band's driver is excited in turn, the others' feeds closed\n";
    deck.text += "CE\n";

    const double radius = settings.wireDiameterMm / 2000.0;
    int tag = 1;
    for (const design::NestedLoop &loop : geometry.loops) {
        const DeckPort port =
            appendLoop(deck.text, tag, loop, geometry.settings.shape,
                       nestedSegmentsPerSide(loop.sideMetres / loop.perimeterFactor, segmentedForMHz), radius,
                       loop.stationMetres);
        if (loop.element == 1)
            deck.ports.push_back(port);
    }
    deck.text += "GE 0\n";
    if (!settings.lossless)
        deck.text += card("LD 5 0 0 0 %.3G\n", kCopperConductivity);
    // The currents are read at the drivers' feeds; the far field around the azimuth, forward first.
    deck.text += "PT 0 0 0 0\n";
    for (const double mhz : sweepMHz) {
        deck.text += card("FR 0 1 0 0 %.9g 0\n", mhz);
        for (const DeckPort &port : deck.ports) {
            deck.text += card("EX 0 %d %d 0 1.0 0.0\n", port.tag, port.segment);
            deck.text += card("RP 0 1 %d 1000 90 0 0 %d\n", 360 / kAzimuthStep + 1, kAzimuthStep);
        }
    }
    deck.text += "EN\n";
    return deck;
}

std::vector<double> nestedSweep(const design::NestedGeometry &geometry, const design::CheckSettings &settings)
{
    std::vector<double> sweeps;
    for (const design::Band &band : geometry.bands)
        for (const double mhz : design::sweepFrequencies(band.designMHz, settings))
            sweeps.push_back(mhz);
    return sweeps;
}

double bandSegmentedForMHz(const design::NestedGeometry &geometry, std::size_t band,
                           const design::CheckSettings &settings)
{
    return design::sweepFrequencies(geometry.bands[band].designMHz, settings).back();
}

NestedDeck nestedCheckDeck(const design::NestedGeometry &geometry, const design::CheckSettings &settings)
{
    const std::vector<double> sweeps = nestedSweep(geometry, settings);
    return writeNestedDeck(geometry, settings, sweeps, *std::max_element(sweeps.begin(), sweeps.end()));
}

} // namespace tarvelin::nec
