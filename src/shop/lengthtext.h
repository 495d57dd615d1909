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

// The fraction steps a tape measure offers: 1/8, 1/16, 1/32 or 1/64 inch.
[[nodiscard]] constexpr bool isFractionStep(int step)
{
    return step == 8 || step == 16 || step == 32 || step == 64;
}

// Feet, inches and a fraction, rounded to the nearest multiple of 1/step inch, halves away from zero, the
// fraction in lowest terms: 74' 3-9/16", 74' 0", 10-1/2", 3/16", 0"; a "-" in front of a negative length
// that does not round to zero.
[[nodiscard]] std::string feetInchesText(HalfThousandths length, int step);
// The same, appended to `out`; with `escapeInchMark`, the inch mark is written \" for a JSON string.
void appendFeetInches(std::string &out, HalfThousandths length, int step, bool escapeInchMark = false);

// Millimetres to one decimal (25.4 to the inch), halves away from zero: 22645.3.
[[nodiscard]] std::string millimetresText(HalfThousandths length);
void appendMillimetres(std::string &out, HalfThousandths length);

// Metres to three decimals, halves away from zero: 153.848.
[[nodiscard]] std::string metresText(HalfThousandths length);

// A displayed grid text ("891.549", ".633", "12660.", "807.316 IN.") as whole thousandths of an inch; none
// when it is not such a text.
[[nodiscard]] std::optional<std::int64_t> thousandthsOf(std::string_view text);

// A length the user typed, in inches or millimetres ("2.5", "2.5 in", "2.5\"", "60 mm", "6 cm"; also "m" and
// "ft" for long lengths such as a boom's height), rounded to
// whole thousandths of an inch, halves away from zero; none when it is not a length.
[[nodiscard]] std::optional<std::int64_t> typedLengthThousandths(std::string_view text);

} // namespace tarvelin::shop
