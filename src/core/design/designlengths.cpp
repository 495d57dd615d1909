// SPDX-License-Identifier: MIT
#include "core/design/designlengths.h"

#include "core/calc/calculationpass.h"
#include "core/format/fieldtext.h"
#include "core/text/numbertext.h"
#include "core/text/typedtext.h"
#include "core/runtime/runtimeerror.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tarvelin::design {

std::string frequencyLabel(double mhz)
{
    // To the kHz, as a builder reads a frequency, and finer where that leaves fewer than five significant
    // digits: a 160 m frequency, or a frequency below 1 MHz, is never shown rounded to what its cut depends on.
    int decimals = 3;
    if (std::isfinite(mhz) && mhz != 0.0)
        decimals = std::clamp(4 - static_cast<int>(std::floor(std::log10(std::fabs(mhz)))), 3, 12);
    return format::fixedText(mhz, decimals);
}

std::string shortestText(double value)
{
    std::array<char, 400> buffer{};
    const bool plain = std::fabs(value) >= 1e-6 && std::fabs(value) < 1e15;
    const auto written =
        plain ? std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed)
              : std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), written.ptr);
}

std::optional<std::string> frequencyReadingNote(const std::string &frequencyText)
{
    const std::string_view rest = trimmedText(std::string_view(frequencyText).substr(NumberTextLength(frequencyText)));
    if (withoutUnit(rest, "mhz").empty())
        return std::nullopt;
    double mhz = 0.0;
    try {
        mhz = ParseNumber(frequencyText);
    } catch (const RuntimeError &) {
        return std::nullopt;
    }
    if (!(mhz >= kLowestDesignMHz && mhz <= kHighestDesignMHz))
        return std::nullopt;
    return "Read as " + frequencyLabel(mhz) + " MHz: only the number at the start counts, and \"" + std::string(rest) +
           "\" after it is ignored.";
}

std::string frequencyRangeRefusal(double mhz)
{
    return shortestText(mhz) + " MHz is outside the frequencies Tarvelin works out a cut list and a model for: " +
           shortestText(kLowestDesignMHz) + " to " + shortestText(kHighestDesignMHz) + " MHz.";
}

std::string countWord(std::size_t count)
{
    static constexpr std::array<std::string_view, 8> kWords{"no",   "one",  "two", "three",
                                                            "four", "five", "six", "seven"};
    return count < kWords.size() ? std::string(kWords[count]) : std::to_string(count);
}

std::variant<int, std::string> readElementCount(const std::string &text)
{
    const std::optional<double> count = decimalText(trimmedText(text));
    if (!count || *count != std::floor(*count) || !(*count >= kFewestElements && *count <= kMostElements))
        return "The elements must be a whole number from " + std::to_string(kFewestElements) + " to " +
               std::to_string(kMostElements) + ".";
    return static_cast<int>(*count);
}

std::string elementsWord(std::size_t elements)
{
    return countWord(elements) + "-element";
}

std::string designTitle(const std::string &frequencyLabel, std::size_t elements)
{
    if (elements == calc::kElementRowCount)
        return frequencyLabel + " MHz";
    return frequencyLabel + " MHz, " + countWord(elements) + " elements";
}

} // namespace tarvelin::design
