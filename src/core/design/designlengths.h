// SPDX-License-Identifier: MIT
#pragma once

#include "core/calc/memorygrid.h"
#include "core/calc/resultgrid.h"
#include "core/format/fieldtext.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarvelin::design {

// The design frequencies the sheet, the deck and the check work with. Below the lowest a loop outgrows
// the arithmetic of the sheet's lengths; above the highest the grid's shortest lengths round to nothing.
inline constexpr double kLowestDesignMHz = 0.01;
inline constexpr double kHighestDesignMHz = 100000.0;

// The design exactly as the window shows it: the calculation's grid for a frequency text, with every length
// read back from its text in whole thousandths of an inch, so what is built from it is what was shown.
struct DesignLengths
{
    std::string frequencyText;  // as typed
    double frequencyMHz = 0.0;  // as read
    std::string frequencyLabel; // as read, at least five digits: "14.200", "1.8125"
    calc::MemoryGrid grid;      // always the window's whole grid, seven elements
    // By element, reflector first, as many as the array has; the reflector's spacing is 0.
    std::vector<std::int64_t> loopThousandths;
    std::vector<std::int64_t> sideThousandths;
    std::vector<std::int64_t> spreaderHalfThousandths;
    std::vector<std::int64_t> spreaderThousandths;
    std::vector<std::int64_t> spacingThousandths;

    [[nodiscard]] std::size_t elementCount() const { return loopThousandths.size(); }
};

// Arrays of two to seven elements: the reflector, the driven element and the first directors of the window's
// design, each exactly as the window gives it.
inline constexpr int kFewestElements = 2;
inline constexpr int kMostElements = calc::kElementRowCount;

// What the Shop Sheet, the Antenna Check and their modes of tarvelin-calc say of a frequency text the pass
// refuses: they read decimal megahertz, where the main window keeps its own message.
inline constexpr std::string_view kDecimalFrequencyMessage = "Enter the centre frequency in MHz, such as 14.2.";

// Reads an element count as typed; a refusal names the limits.
[[nodiscard]] std::variant<int, std::string> readElementCount(const std::string &text);

// "seven", "three": a count as the texts write it.
[[nodiscard]] std::string countWord(std::size_t count);

// "seven-element", "three-element": what notes call an array of that many elements.
[[nodiscard]] std::string elementsWord(std::size_t elements);

// How titles and file names name a design: "14.200 MHz" for the seven-element array, as they always have;
// "14.200 MHz, three elements" for a shorter one.
[[nodiscard]] std::string designTitle(const std::string &frequencyLabel, std::size_t elements);

// What the windows beyond the specified ones say of a frequency text that is more than its number, as "14,2"
// or "14.214.2": the frequency it is read as, and what after the number is ignored. None where the whole text
// is read, with "MHz" after the number or not, and none for a text that gives no design.
[[nodiscard]] std::optional<std::string> frequencyReadingNote(const std::string &frequencyText);

// A frequency as every text beyond the specified windows writes it: to the kHz, with at least five
// significant digits: "14.200", "1.8125", "0.012824".
[[nodiscard]] std::string frequencyLabel(double mhz);

// The refusal of a frequency outside the range, naming it.
[[nodiscard]] std::string frequencyRangeRefusal(double mhz);

// The shortest text that reads back as the same double; in plain decimals where that stays short.
[[nodiscard]] std::string shortestText(double value);

} // namespace tarvelin::design
