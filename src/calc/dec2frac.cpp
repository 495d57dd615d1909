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

FractionSearch searchFraction(double value)
{
    if (std::isnan(value))
        throw RuntimeError(ErrorNumber::InvalidOperation);
    if (std::isinf(value))
        throw RuntimeError(ErrorNumber::Overflow);

    FractionSearch s;
    double quotient = 1.0;
    while (quotient != value) {
        ++s.turns;
        if (quotient < value) {
            if (s.numerator == kCounterMax)
                throw RuntimeError(ErrorNumber::Overflow);
            ++s.numerator;
        } else {
            if (s.denominator == kCounterMax)
                throw RuntimeError(ErrorNumber::Overflow);
            ++s.denominator;
            const double product = arith::multiply(s.denominator, value);
            // Anything this far out rounds outside the 32-bit range; the test also keeps roundHalfEven valid.
            if (std::fabs(product) > 2 * kCounterMaxAsDouble)
                throw RuntimeError(ErrorNumber::Overflow);
            const double rounded = roundHalfEven(product);
            if (rounded < kCounterMinAsDouble || rounded > kCounterMaxAsDouble)
                throw RuntimeError(ErrorNumber::Overflow);
            s.numerator = static_cast<std::int32_t>(rounded);
        }
        quotient = arith::divide(s.numerator, s.denominator);
    }
    return s;
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
