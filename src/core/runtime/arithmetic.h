// SPDX-License-Identifier: MIT
#pragma once

#include <cmath>

namespace tarvelin::arith {

// The arithmetic check. Every floating-point computation of the calculation goes through one of these, which
// raise a RuntimeError for an invalid operation, a division by zero or an overflow. Underflow and inexact
// results pass, as they always have for lengths in inches.
//
// The check looks at the result rather than at the processor's exception flags: the operands are always
// finite (ParseNumber never yields an infinity or a NaN), so a non-finite result is exactly the case where
// one of the three exceptions occurred, and the compiler cannot reorder it away. The operations are inline
// because the fraction search runs them a hundred million times; only raising the error is out of line.

[[noreturn]] void raiseNonFinite(double result);
[[noreturn]] void raiseZeroDivisor(double dividend);

[[nodiscard]] inline double check(double result)
{
    if (!std::isfinite(result)) [[unlikely]]
        raiseNonFinite(result);
    return result;
}

[[nodiscard]] inline double add(double a, double b)
{
    return check(a + b);
}

[[nodiscard]] inline double subtract(double a, double b)
{
    return check(a - b);
}

[[nodiscard]] inline double multiply(double a, double b)
{
    return check(a * b);
}

[[nodiscard]] inline double divide(double a, double b)
{
    if (b == 0.0) [[unlikely]]
        raiseZeroDivisor(a);
    return check(a / b);
}

[[nodiscard]] inline double sine(double radians)
{
    return check(std::sin(check(radians)));
}

} // namespace tarvelin::arith
