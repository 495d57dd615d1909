// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/nestedcheck.h"

#include <span>
#include <string>
#include <vector>

namespace tarvelin::check {

// Idle feed lines of these lengths are looked at, and a window's edges found to this.
inline constexpr double kLongestIdleLineMetres = 40.0;
inline constexpr double kIdleLineEdgeMetres = 0.001;
// A length harms a band where it costs the band this much of its lowest gain or lowest F/B across the band
// its goals hold for, this far either side of its design frequency, against the idle drivers closed. Over a
// wider sweep a long line would look open at one frequency or another at almost any length.
inline constexpr double kIdleLineBandPercent = 0.5;
inline constexpr double kIdleLineHarmDb = 3.0;

// A run of idle-line lengths that harms a band: where it starts and ends, the band, and the worst the band
// does inside it.
struct IdleLineWindow
{
    double fromMetres = 0.0;
    double toMetres = 0.0;
    std::size_t band = 0;             // into the bands, lowest first
    double lowestGainDbi = 0.0;       // across the band's sweep, at the window's worst length
    double lowestFrontToBackDb = 0.0; // likewise
    double worstMetres = 0.0;         // that length
};

// For idle drivers ended through lines of the idle ending's cable and switch end, every window of length from 0
// to kLongestIdleLineMetres that harms a band, from the N-port alone: a scan finer than any window, then each
// edge to kIdleLineEdgeMetres. The idle ending must be a line; its own length is replaced by each looked at.
[[nodiscard]] std::vector<IdleLineWindow> idleLineWindows(const design::NestedGeometry &geometry,
                                                          std::span<const nec::NPort> nports,
                                                          const design::IdleEnd &line,
                                                          const design::CheckSettings &settings);

} // namespace tarvelin::check
