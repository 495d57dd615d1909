// SPDX-License-Identifier: MIT
// The fraction search taken one turn at a time, as builders have always described it: the reference that
// searchFraction must match, fraction, turn count and overflow alike.
#pragma once

#include "core/calc/dec2frac.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace tarvelin {

// Stops after `budget` turns with `finished` false.
struct Walked
{
    calc::FractionSearch search;
    bool overflow = false;
    bool finished = true;
};

inline Walked turnByTurn(double value, std::uint64_t budget = std::numeric_limits<std::uint64_t>::max())
{
    Walked w;
    calc::FractionSearch &s = w.search;
    double quotient = 1.0;
    while (quotient != value) {
        if (++s.turns > budget) {
            w.finished = false;
            return w;
        }
        if (quotient < value) {
            if (s.numerator == std::numeric_limits<std::int32_t>::max()) {
                w.overflow = true;
                return w;
            }
            ++s.numerator;
        } else {
            if (s.denominator == std::numeric_limits<std::int32_t>::max()) {
                w.overflow = true;
                return w;
            }
            ++s.denominator;
            const double rounded = std::nearbyint(s.denominator * value); // the default mode: halves to even
            if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
                  rounded <= std::numeric_limits<std::int32_t>::max())) {
                w.overflow = true;
                return w;
            }
            s.numerator = static_cast<std::int32_t>(rounded);
        }
        quotient = static_cast<double>(s.numerator) / s.denominator;
    }
    return w;
}

} // namespace tarvelin
