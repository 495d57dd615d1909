// SPDX-License-Identifier: MIT
#pragma once

namespace tarvelin::arith {

// The arithmetic check. Every floating-point computation of the calculation goes through one of these, which
// raise a RuntimeError for an invalid operation, a division by zero or an overflow. Underflow and inexact
// results pass, as they always have for lengths in inches.
//
// The check looks at the result rather than at the processor's exception flags: the operands are always
// finite (ParseNumber never yields an infinity or a NaN), so a non-finite result is exactly the case where
// one of the three exceptions occurred, and the compiler cannot reorder it away.

[[nodiscard]] double check(double result);

[[nodiscard]] double add(double a, double b);
[[nodiscard]] double subtract(double a, double b);
[[nodiscard]] double multiply(double a, double b);
[[nodiscard]] double divide(double a, double b);
[[nodiscard]] double sine(double radians);

} // namespace tarvelin::arith
