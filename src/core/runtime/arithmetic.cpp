// SPDX-License-Identifier: MIT
#include "core/runtime/arithmetic.h"

#include "core/runtime/runtimeerror.h"

namespace tarvelin::arith {

void raiseNonFinite(double result)
{
    throw RuntimeError(std::isnan(result) ? ErrorNumber::InvalidOperation : ErrorNumber::Overflow);
}

void raiseZeroDivisor(double dividend)
{
    // 0/0 has no value at all; anything else over zero is the division-by-zero case proper.
    throw RuntimeError(dividend == 0.0 || std::isnan(dividend) ? ErrorNumber::InvalidOperation
                                                               : ErrorNumber::DivisionByZero);
}

} // namespace tarvelin::arith
