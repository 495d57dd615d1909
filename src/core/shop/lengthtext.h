// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvelin::shop {

// Lengths on the shop sheet are whole numbers of half-thousandths of an inch: every grid value is a text of
// whole thousandths, and halving a side is the only division the sheet makes, so every length is exact
// until it is written as text.
using HalfThousandths = std::int64_t;

[[nodiscard]] constexpr HalfThousandths fromThousandths(std::int64_t thousandths)
{
    return thousandths * 2;
}

// A length as the number files keep: decimal inches, and millimetres to the 0.0127 mm a half thousandth is.
[[nodiscard]] constexpr double inchesOf(HalfThousandths length)
{
    return static_cast<double>(length) / 2000.0;
}
[[nodiscard]] constexpr double millimetresOf(HalfThousandths length)
{
    return static_cast<double>(length * 127) / 10000.0;
}

// Feet, inches and a fraction, rounded to the nearest multiple of 1/step inch, halves away from zero, the
// fraction in lowest terms: 74' 3-9/16", 74' 0", 10-1/2", 3/16", 0"; a "-" in front of a negative length
// that does not round to zero.
[[nodiscard]] std::string feetInchesText(HalfThousandths length, int step);
// The same, appended to `out`, for the JSON that writes many; with `escapeInchMark`, the inch mark is \".
void appendFeetInches(std::string &out, HalfThousandths length, int step, bool escapeInchMark);

// The same in inches alone, for a trim that a tape measures from the end of the wire: 20-5/16".
[[nodiscard]] std::string inchesText(HalfThousandths length, int step);

// Millimetres to one decimal (25.4 to the inch), halves away from zero: 22645.3.
[[nodiscard]] std::string millimetresText(HalfThousandths length);
void appendMillimetres(std::string &out, HalfThousandths length);

// Metres to three decimals, halves away from zero: 153.848.
[[nodiscard]] std::string metresText(HalfThousandths length);

} // namespace tarvelin::shop
