// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/arraydesign.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tarvelin::design {

// One element of a design as it is built, in thousandths of an inch. A loop is its specified length times its
// factor, to the thousandth; its side is a quarter of that loop, so four sides make the loop as cut; its
// spreader half is that side's half diagonal, and the spreader both halves. A loop with no factor is the
// window's own, side and spreaders as the window shows them.
struct CutElement
{
    calc::ElementRow element = calc::ElementRow::Reflector;
    double loopInches = 0.0; // the specified loop times its factor, before any rounding
    std::int64_t loopThousandths = 0;
    std::int64_t sideThousandths = 0;
    std::int64_t spreaderHalfThousandths = 0;
    std::int64_t spreaderThousandths = 0;
    std::int64_t stationThousandths = 0; // from the reflector
};

// A design as it is cut: its elements, reflector first, and whether the stations are a tune's own.
struct Cut
{
    std::vector<CutElement> elements;
    bool stationsTuned = false;
};

// The stations a tune placed in metres, each to the thousandth of an inch the sheet marks it to.
[[nodiscard]] std::vector<std::int64_t> stationThousandthsOf(std::span<const double> metres);

// The cut of the specified lengths with each loop scaled by its factor (none: as specified) and the stations
// where a tune placed them (none, or fewer than the elements: as designed).
[[nodiscard]] Cut cutOf(const DesignLengths &lengths, std::span<const double> loopFactors = {},
                        std::span<const std::int64_t> stationThousandths = {});

} // namespace tarvelin::design
