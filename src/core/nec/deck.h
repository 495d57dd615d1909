// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/arraydesign.h"

#include <span>
#include <string>

namespace tarvelin::nec {

// What one deck asks of the engine.
struct DeckRequest
{
    std::span<const double> sweepMHz; // frequencies of the sweep in this deck: an even step, lowest first
    bool azimuthPattern = false;      // also the azimuth pattern at the design frequency, in 5 degree steps
    bool tuned = false;               // the array is a tune's: the first CM card says so
    // Each frequency on a card of its own rather than one stepped card, so the engine works at exactly the
    // frequency written and never at one it added up: what it gives for a frequency is then the same whichever
    // others share the deck, as the runs shared over however many engines need.
    bool cardPerFrequency = false;
};

// The NEC-2 deck of the design: four GW cards per loop, reflector first, each loop's first wire its bottom
// side, corners shared; a 1 V source on the centre segment of the driven loop's bottom side; copper losses
// unless lossless; free space or average ground (Sommerfeld/Norton, permittivity 13, 0.005 S/m) with the
// boom at the given height; the sweep, and the pattern cards for the forward gain and the rear half in steps
// of kAzimuthStep (over ground, at every elevation from 1 to 60 degrees and every tenth from 0.1 to 3, a
// frequency card each). CM cards name the program, the design and the
// settings.
[[nodiscard]] std::string writeDeck(const design::ArrayGeometry &geometry, const design::CheckSettings &settings,
                                    const DeckRequest &request);

// The deck of a check of the design, as it is saved for any NEC-2 program: the whole sweep of the settings and
// the azimuth pattern at the design frequency.
[[nodiscard]] std::string checkDeck(const design::Design &design);

// Several decks as one run of the engine: each deck's end card becomes a next-structure card, so one process
// models them one after another, each as if alone. Its output comes apart again with splitNecOutput().
[[nodiscard]] std::string joinedDeck(std::span<const std::string> decks);

// Elevation angles searched over ground, in degrees: every degree, and the lowest finely.
inline constexpr int kLowestElevation = 1;
inline constexpr int kHighestElevation = 60;
inline constexpr int kFineElevations = 30;
inline constexpr double kFineElevationStep = 0.1;
// The azimuth pattern's step, in degrees.
inline constexpr int kAzimuthStep = 5;

} // namespace tarvelin::nec
