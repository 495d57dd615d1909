// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvelin {

// The number text of the program: how a typed frequency and every displayed cell are read as numbers, and how
// a computed length becomes the text of a cell. The display is the program's only store, so these two must
// round-trip: ParseNumber(FormatNumber(v, f)) is the rounded value that the cell shows.

// The format of every cell: at most three decimals, no digit forced before the point.
inline constexpr std::string_view kCellFormat = ".###";

// Reads the number at the start of the text: optional sign, digits with "." as the point whatever the
// locale, an optional exponent (E or e with at least one digit). Blanks are skipped wherever they stand
// inside the number; reading stops at the first character that cannot continue it, so "14.2 MHz" and
// "402.241 IN." read as their numbers. A text with no number gives 0. A number beyond the double range
// raises the overflow error; one too small for a double reads as 0.
[[nodiscard]] double ParseNumber(std::string_view text);

// How much of the text ParseNumber reads: the number and the blanks after it; 0 where the text begins with
// no number. What follows is what ParseNumber ignores.
[[nodiscard]] std::size_t NumberTextLength(std::string_view text);

// Writes value with a pattern of a point and N '#' signs (".###"): the value is first taken to 15
// significant digits, then that decimal form is rounded to at most N decimals with halves away from zero,
// trailing zeros are dropped, no digit is written before the point below 1, and the point is always written
// (twelve is "12."). No grouping; "-" before a negative value that does not round to zero. Any other pattern,
// or one of more than 30 decimals, raises UnsupportedFormat; an infinity or NaN raises the overflow or
// invalid-operation error.
[[nodiscard]] std::string FormatNumber(double value, std::string_view format);

// A cell's text, exactly as FormatNumber(value, ".###") writes it, and the number ParseNumber reads back from
// that text, made in one go, so the calculation can carry the shown value on without reading its own text.
struct CellValue
{
    std::string text;
    double readBack = 0.0;
};
[[nodiscard]] CellValue FormatCell(double value);
// The same, writing the text into `text` (whose room is reused) and giving the number read back.
double FormatCellInto(double value, std::string &text);

namespace detail {
// FormatNumber's exact road, which always takes the 15-digit step; FormatNumber itself skips it where it
// cannot change the result. Exposed so the tests can hold the two roads to the same answers.
[[nodiscard]] std::string formatBy15Digits(double value, long decimals);
} // namespace detail

// Decimal digits, "-" before negatives, no blanks and no grouping.
[[nodiscard]] std::string WholeNumberText(std::int64_t value);

} // namespace tarvelin
