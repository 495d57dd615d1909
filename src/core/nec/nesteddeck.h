// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/checksettings.h"
#include "core/design/nested.h"

#include <span>
#include <string>
#include <vector>

namespace tarvelin::nec {

// Where a band's driver is fed in a nested quad's deck: the wire's tag and its segment.
struct DeckPort
{
    int tag = 0;
    int segment = 0;
};

// How finely a nested quad is modelled: every loop's sides cut into an odd number of segments no longer than
// a twentieth of the shortest wavelength the deck is run at, the rule every loop is held to at once. A tuned
// loop is cut as its design's loop is, so that no step of a tune meets a jump in the model where a side would
// gain a segment; a tune moves a loop a tenth at most.
[[nodiscard]] int nestedSegmentsPerSide(double sideMetres, double highestMHz);

// The deck of a nested quad, every band's loops in one structure: four GW cards a square loop, its bottom
// side first, and five a diamond, whose bottom corner is a short level wire of one segment the feed sits on.
// At each frequency each band's driver is excited in turn, every other driver's feed closed, with its
// currents and the far field around the azimuth printed: the drivers' N-port, from which the core works out
// any termination of the idle drivers without running the engine again.
struct NestedDeck
{
    std::string text;
    std::vector<DeckPort> ports; // each band's driver, lowest band first
};
// `segmentedForMHz`: the highest frequency the structure is modelled at, for every deck of it alike.
[[nodiscard]] NestedDeck writeNestedDeck(const design::NestedGeometry &geometry, const design::CheckSettings &settings,
                                         std::span<const double> sweepMHz, double segmentedForMHz);

// The frequency a band's decks are segmented for: the top of its sweep. Each band is modelled no finer than
// it needs, and always alike, however its frequencies are shared over the engines.
[[nodiscard]] double bandSegmentedForMHz(const design::NestedGeometry &geometry, std::size_t band,
                                         const design::CheckSettings &settings);

// Every band's sweep of the settings, lowest band first.
[[nodiscard]] std::vector<double> nestedSweep(const design::NestedGeometry &geometry,
                                              const design::CheckSettings &settings);

// The deck of a check of a nested quad, as it is saved for any NEC-2 program: each band's sweep of the
// settings, lowest band first.
[[nodiscard]] NestedDeck nestedCheckDeck(const design::NestedGeometry &geometry, const design::CheckSettings &settings);

} // namespace tarvelin::nec
