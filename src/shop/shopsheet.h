// SPDX-License-Identifier: MIT
#pragma once

#include "calc/resultgrid.h"
#include "shop/lengthtext.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <variant>

namespace tarvelin::shop {

// What the builder sets: the tape's fraction step, the extra wire for the join of each loop, how much of each
// spreader arm the hub takes, and, once the array is up, the frequency it was measured to resonate at.
struct ShopSettings
{
    int step = 16;
    std::int64_t allowanceThousandths = 0;
    std::int64_t hubOffsetThousandths = 0;
    std::optional<double> measuredMHz;
};

// One element's line of the cut list. All lengths in half-thousandths of an inch.
struct ElementCuts
{
    ElementRow element = ElementRow::Reflector;
    HalfThousandths loop = 0;
    HalfThousandths cut = 0; // loop plus the allowance
    HalfThousandths side = 0;
    std::array<HalfThousandths, 4> cornerMarks{}; // along the wire from one cut end
    HalfThousandths arm = 0;             // one of the four spreader arms: the spreader half less the hub offset
    HalfThousandths spreader = 0;        // the whole spreader, for reference
    HalfThousandths station = 0;         // along the boom from the reflector
    std::optional<HalfThousandths> trim; // with a measured resonance: lengthen (+) or shorten (-)
    std::optional<HalfThousandths> correctedStation; // with a measured resonance
};

inline constexpr int kArmsPerElement = 4;

// The whole sheet for one frequency.
struct ShopSheet
{
    std::string frequencyText;  // as typed
    std::string frequencyLabel; // the frequency as read, to three decimals, for titles and file names
    ShopSettings settings;
    std::array<ElementCuts, kElementRowCount> elements{};
    std::string windowBoomInches;                // the window's own boom total, as shown ("807.316 IN.")
    HalfThousandths boomLength = 0;              // the last station
    HalfThousandths wireTotal = 0;               // the seven cut lengths
    std::map<HalfThousandths, int> armsByLength; // arm length to how many, longest last
    std::string correctedFrequencyText;          // with a measured resonance: F x F / M, to three decimals
};

// Why no sheet could be made: which setting is wrong, or the pass's own message for the frequency.
struct ShopRefusal
{
    std::string message;
};

// Runs the calculation pass on the frequency text, exactly as the window does, and works out the sheet from
// the texts it shows. Every setting is checked first; a wrong one is named in the refusal.
[[nodiscard]] std::variant<ShopSheet, ShopRefusal> makeShopSheet(const std::string &frequencyText,
                                                                 const ShopSettings &settings);

// The design frequencies the sheet, the deck and the check work with. Below the lowest a loop outgrows
// the arithmetic of the sheet's lengths; above the highest the grid's shortest lengths round to nothing.
inline constexpr double kLowestDesignMHz = 0.01;
inline constexpr double kHighestDesignMHz = 100000.0;

// A measured resonance further than this from the design frequency is no trim: the array is wrong.
inline constexpr double kMeasuredTolerancePercent = 10.0;

// A frequency as every text of the sheet and the check writes it: three decimals, "14.200".
[[nodiscard]] std::string frequencyLabel(double mhz);

// The refusals, as the window and tarvelin-calc word them.
[[nodiscard]] std::string stepRefusal();
[[nodiscard]] std::string allowanceRefusal();
[[nodiscard]] std::string measuredRefusal();
[[nodiscard]] std::string frequencyRangeRefusal(double mhz);

} // namespace tarvelin::shop
