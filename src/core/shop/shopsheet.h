// SPDX-License-Identifier: MIT
#pragma once

#include "core/calc/resultgrid.h"
#include "core/shop/lengthtext.h"
#include "core/shop/shopsettings.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <variant>

namespace tarvelin::shop {

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

// Runs the calculation pass on the frequency text, exactly as the window does, and works out the sheet from
// the texts it shows. Every setting is checked first; a wrong one is named in the refusal.
[[nodiscard]] std::variant<ShopSheet, ShopRefusal> makeShopSheet(const std::string &frequencyText,
                                                                 const ShopSettings &settings);

} // namespace tarvelin::shop
