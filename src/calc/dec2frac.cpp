// SPDX-License-Identifier: MIT
#include "calc/dec2frac.h"

#include "runtime/arithmetic.h"
#include "runtime/numbertext.h"
#include "runtime/runtimeerror.h"

#include <cmath>
#include <limits>

namespace tarvelin {

namespace {

constexpr std::int32_t kCounterMax = std::numeric_limits<std::int32_t>::max();
constexpr double kCounterMaxAsDouble = kCounterMax;
constexpr double kCounterMinAsDouble = std::numeric_limits<std::int32_t>::min();

// Rounds to the nearest whole number, a half going to the even neighbour. Adding and taking away 2^52 leaves
// no fraction bits, so the processor's round-to-nearest-even does the work; valid for |x| < 2^52, which the
// caller ensures. Kept inline so that the search loop makes no call per turn.
inline double roundHalfEven(double x)
{
    constexpr double kTwoPow52 = 4503599627370496.0;
    return x >= 0 ? (x + kTwoPow52) - kTwoPow52 : (x - kTwoPow52) + kTwoPow52;
}

} // namespace

// The search runs turn by turn as described in the header, but is arranged per denominator so that the
// loop carries no unpredictable branch: a search can take a hundred million turns.
//
// While the denominator is 1 the quotient is the numerator itself, which climbs to the value. From then on
// every denominator d gets one turn that sets the numerator to round(d x value) and, when that quotient lies
// below the value, a second turn that adds one to the numerator. That second quotient is never below the
// value (the numerator now exceeds d x value by at least a quarter, allowing for the rounding of the
// product), so after it the denominator always moves on.
FractionSearch searchFraction(double value)
{
    if (std::isnan(value))
        throw RuntimeError(ErrorNumber::InvalidOperation);
    if (std::isinf(value))
        throw RuntimeError(ErrorNumber::Overflow);

    FractionSearch s;
    if (value == 1.0)
        return s;

    if (value > 1.0) {
        while (s.numerator < value) {
            if (s.numerator == kCounterMax)
                throw RuntimeError(ErrorNumber::Overflow);
            ++s.numerator;
            ++s.turns;
        }
        if (s.numerator == value)
            return s;
    }

    for (std::int64_t d = 2;; ++d) {
        if (d > kCounterMax)
            throw RuntimeError(ErrorNumber::Overflow); // the denominator was already at its limit
        const auto denominator = static_cast<double>(d);
        ++s.turns;
        const double product = arith::multiply(denominator, value);
        // Anything this far out rounds outside the 32-bit range; the test also keeps roundHalfEven valid.
        if (std::fabs(product) > 2 * kCounterMaxAsDouble)
            throw RuntimeError(ErrorNumber::Overflow);
        const double numerator = roundHalfEven(product);
        if (numerator < kCounterMinAsDouble || numerator > kCounterMaxAsDouble)
            throw RuntimeError(ErrorNumber::Overflow);
        const double quotient = arith::divide(numerator, denominator);
        if (quotient == value) {
            s.numerator = static_cast<std::int32_t>(numerator);
            s.denominator = static_cast<std::int32_t>(d);
            return s;
        }
        const bool below = quotient < value;
        s.turns += below ? 1U : 0U;
        if (below & (numerator == kCounterMaxAsDouble))
            throw RuntimeError(ErrorNumber::Overflow);
        if (below && arith::divide(numerator + 1, denominator) == value) {
            s.numerator = static_cast<std::int32_t>(numerator + 1);
            s.denominator = static_cast<std::int32_t>(d);
            return s;
        }
    }
}

std::string Dec2Frac(double value)
{
    const FractionSearch s = searchFraction(value);
    std::string text = WholeNumberText(s.numerator);
    text += '/';
    text += WholeNumberText(s.denominator);
    return text;
}

} // namespace tarvelin
