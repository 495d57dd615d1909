// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace tarvelin::calc {

// The outcome of the fraction search, with the number of turns it took (a turn moves the numerator or the
// denominator once), which tells how hard a value was to match.
struct FractionSearch
{
    std::int32_t numerator = 1;
    std::int32_t denominator = 1;
    std::uint64_t turns = 0;
};

// Searches for the fraction with the smallest denominator whose quotient, as a double, equals `value`
// exactly: the numerator climbs while the quotient is below the value; when it is above, the denominator
// moves on by one and the numerator becomes the nearest whole number to denominator × value (halves to
// even). There is no tolerance, so a value that is no simple fraction can take many turns.
//
// Both counters are 32-bit; stepping past 2,147,483,647, or a rounded product outside the 32-bit range,
// raises the overflow error. Infinite and NaN values raise the overflow and invalid-operation errors at once
// instead of searching.
[[nodiscard]] FractionSearch searchFraction(double value);

// What the overflow error means for `value`, for a reader who did not write the search: an infinite value (or
// one typed beyond the double range) has no fraction; otherwise the numerator (for a value of size 1 or more) or else
// the denominator would pass the 32-bit counter's limit before the search found a fraction.
[[nodiscard]] std::string overflowMeaning(double value);

// The fraction text of searchFraction: numerator, "/", denominator, for example "3/8" for 0.375, "-3/4"
// for -0.75, "0/2" for zero.
[[nodiscard]] std::string Dec2Frac(double value);

} // namespace tarvelin::calc
