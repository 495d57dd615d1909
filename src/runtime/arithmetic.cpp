// SPDX-License-Identifier: MIT
#include "runtime/arithmetic.h"

#include "runtime/runtimeerror.h"

#include <cmath>

namespace tarvelin::arith {

double check(double result)
{
    if (std::isnan(result))
        throw RuntimeError(ErrorNumber::InvalidOperation);
    if (std::isinf(result))
        throw RuntimeError(ErrorNumber::Overflow);
    return result;
}

double add(double a, double b)
{
    return check(a + b);
}

double subtract(double a, double b)
{
    return check(a - b);
}

double multiply(double a, double b)
{
    return check(a * b);
}

double divide(double a, double b)
{
    if (b == 0.0) {
        // 0/0 has no value at all; anything else over zero is the division-by-zero case proper.
        if (a == 0.0 || std::isnan(a))
            throw RuntimeError(ErrorNumber::InvalidOperation);
        throw RuntimeError(ErrorNumber::DivisionByZero);
    }
    return check(a / b);
}

double sine(double radians)
{
    return check(std::sin(check(radians)));
}

} // namespace tarvelin::arith
