// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <string_view>

namespace tarvelin::calc {

class MemoryGrid;
class ResultGrid;

// What the user is told when the frequency text cannot be calculated. The wording asks for an integer,
// though fractional frequencies are the normal case; it is the text builders know.
inline constexpr std::string_view kRefusedFrequencyMessage = "You must enter an integer value.";

// Fills the whole result grid from its frequency text: the 73 steps of the calculation, column by column,
// each reading its sources back from the texts written before it, so that the three-decimal rounding of
// every shown value carries into what is derived from it.
//
// The pass works on a scratch copy and hands the texts to `grid` only once every step has succeeded, so a
// refused frequency changes nothing on display. On failure it returns false, and the caller tells the user
// kRefusedFrequencyMessage.
bool runCalculationPass(ResultGrid &grid);

// The steps themselves, into `scratch`, whose frequency text is the input. Raises the RuntimeError of the
// first failing step; what was written before it stays in `scratch`.
void calculateInto(MemoryGrid &scratch);

// The seven loop lengths in inches as the formulas give them, never rounded, reflector first: what the grid's
// thousandths of an inch stand for. Far up in frequency those thousandths are coarse beside a loop.
[[nodiscard]] std::array<double, 7> unroundedLoopInches(double mhz);

} // namespace tarvelin::calc
