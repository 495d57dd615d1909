// SPDX-License-Identifier: MIT
#include "core/calc/dec2frac.h"

#include "core/text/numbertext.h"
#include "core/runtime/runtimeerror.h"

#include <bit>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

// The search described in the header walks denominators one at a time, which for a value such as
// 0.123456789 means a hundred million turns. This file reaches the same fraction, the same error and the
// same turn count without the walk:
//
// 1. Which fraction. For every denominator d from 2 on, the search tries the numerator nearest to d × value
//    (and, when that quotient lies below the value, the next one). Because every numerator the search can
//    reach is below 2^31, the quotients n/d that round to the value lie in an interval narrower than 1/d,
//    so at most one numerator per denominator can match and it is the nearest one; the next one up is half
//    a unit or more away and never matches. The search therefore stops at the smallest denominator d ≥ 2
//    for which some n/d rounds to the value: the fraction with the smallest denominator in the value's
//    rounding interval. That is a node of the Stern-Brocot path towards the value, a convergent or
//    semiconvergent of its continued fraction. Along each run of semiconvergents the fractions close in on
//    the value from one side, so whether n/d rounds to the value (a correctly rounded division, compared
//    exactly) is false and then true, and a bisection finds the first.
//
// 2. How many turns. Climbing the numerator of a value above 1 takes ceil(value) − 1 turns. After that
//    every denominator that does not match takes one turn, plus one more when the rounded numerator lies
//    below d × value. For all but a few denominators that is simply whether the fractional part of d × value
//    is below one half, which is a sum of floor functions of a linear function of d and is counted by the
//    Euclid-like floor sum. The exceptions are the denominators where d × value lies so close to k + ½ that
//    the product's own rounding to a double decides (a product rounded onto k + ½ goes to the even k).
//    They are found with a modular search, stepped through by the three distances between them, and
//    decided exactly from where each falls and whether its k is even.
//
// All counting is done in whole numbers: a double is an odd whole number times a power of two, so the
// fractional part of d × value is d × odd mod 2^shift.

namespace tarvelin::calc {

namespace {

using u64 = std::uint64_t;
__extension__ typedef unsigned __int128 u128; // GCC and Clang both have it on 64-bit targets

constexpr std::int64_t kCounterMax = std::numeric_limits<std::int32_t>::max();

// Σ_{i=0}^{n-1} floor((a i + b) / m), by the reduction that swaps the roles of a and m like Euclid's
// algorithm. The callers keep a < 2^53, m ≤ 2^86, b < 2^88 and n < 2^31, so every intermediate fits in
// 128 bits.
u128 floorSum(u128 n, u128 m, u128 a, u128 b)
{
    u128 sum = 0;
    for (;;) {
        if (a >= m) {
            sum += (n * (n - 1) / 2) * (a / m);
            a %= m;
        }
        if (b >= m) {
            sum += n * (b / m);
            b %= m;
        }
        const u128 yMax = a * n + b;
        if (yMax < m)
            return sum;
        n = yMax / m;
        b = yMax % m;
        std::swap(m, a);
    }
}

// The smallest x in [0, limit] with lo ≤ (a x) mod m ≤ hi, where 0 < lo ≤ hi < m and a < m, with how many
// times a x passes m; none if there is no such x. Either a multiple of a reaches [lo, hi] before passing
// m, or the search moves to the wrapped problem for how many times m must be passed, whose modulus is a:
// Euclid's steps again. Below the first step every number is under 2^54, so the steps run in 64-bit
// arithmetic, and the wrapped problem's own count of passes saves the one wide division per step.
struct Solution
{
    u64 x = 0;
    u64 passes = 0; // floor(a x / m)
};

template <typename T> std::optional<Solution> firstInRange(T a, T m, T lo, T hi, u64 limit)
{
    if (a == 0)
        return std::nullopt;
    // lo = quotient a + remainder; the first multiple of a from lo on is a away from lo less the remainder.
    const T quotient = lo / a;
    const auto remainder = static_cast<u64>(lo - quotient * a);
    const auto small = static_cast<u64>(a);
    if (remainder == 0 || small - remainder <= hi - lo) {
        const u128 first = u128(quotient) + (remainder != 0 ? 1 : 0);
        return first <= limit ? std::optional<Solution>(Solution{static_cast<u64>(first), 0}) : std::nullopt;
    }
    // Now [lo, hi] lies between two multiples of a, so hi − lo < a − remainder and a < 2^53. Find the fewest
    // passes y with [lo + m y, hi + m y] holding a multiple of a: with m = q a + r, r y = a y' + s for the
    // wrapped problem's y' and s in [wrapLo, wrapHi], and then x = q y + y' + ceil((lo + s) / a), whose
    // last term is the quotient plus 1 or 2, as remainder + s lies in (0, 2a).
    const u64 wrapLo = small - remainder - static_cast<u64>(hi - lo); // (−hi) mod a
    const u64 wrapHi = small - remainder;                             // (−lo) mod a
    const T q = m / a;
    const auto r = static_cast<u64>(m - q * a);
    // a x − m y ≥ lo > 0 gives y < x, so the passes never need to exceed the limit either.
    const std::optional<Solution> wrapped = firstInRange<u64>(r, small, wrapLo, wrapHi, limit);
    if (!wrapped)
        return std::nullopt;
    const u64 y = wrapped->x;
    const u64 s = r * y - small * wrapped->passes; // exact: the true value lies in [0, a)
    const u128 x = u128(q) * y + wrapped->passes + quotient + (remainder + s <= small ? 1 : 2);
    return x <= limit ? std::optional<Solution>(Solution{static_cast<u64>(x), y}) : std::nullopt;
}

// A positive value that is no whole number, as odd / 2^shift.
struct Dyadic
{
    u64 odd = 0;
    int shift = 0;
};

Dyadic dyadicOf(double positive)
{
    int exponent = 0;
    const double mantissa = std::frexp(positive, &exponent); // positive = mantissa × 2^exponent
    auto whole = static_cast<u64>(std::ldexp(mantissa, 53));
    int shift = 53 - exponent;
    const int zeros = std::countr_zero(whole);
    whole >>= zeros;
    shift -= zeros;
    return {whole, shift};
}

// Whether n/d, as the search computes it, gives the value exactly.
struct Fraction
{
    u64 numerator = 0;
    u64 denominator = 0;
};

inline bool roundsTo(const Fraction &f, double value)
{
    return static_cast<double>(f.numerator) / static_cast<double>(f.denominator) == value;
}

// The fraction with the smallest denominator whose quotient rounds to `value` (positive, no whole number),
// limited to numerators up to `numeratorLimit` and denominators up to 2^31 − 1; none if it lies beyond.
std::optional<Fraction> simplestFraction(double value, Dyadic x, u64 numeratorLimit)
{
    // Continued fraction of odd / 2^shift; (p0/q0, p1/q1) are the last two convergents.
    u128 a = x.odd;
    u128 b = u128(1) << x.shift;
    u64 p0 = 0, q0 = 1, p1 = 1, q1 = 0;
    while (b != 0) {
        const u128 term = a / b;
        const u128 rest = a - term * b;
        a = b;
        b = rest;

        // The run (p0 + j p1) / (q0 + j q1) for j = 1 .. term, cut where a counter would pass its limit.
        u128 jMax = term;
        if (q1 != 0)
            jMax = std::min<u128>(jMax, (kCounterMax - q0) / q1);
        if (p1 != 0)
            jMax = std::min<u128>(jMax, (numeratorLimit - p0) / p1);
        const auto at = [&](u64 j) { return Fraction{p0 + j * p1, q0 + j * q1}; };
        if (jMax >= 1 && roundsTo(at(u64(jMax)), value)) {
            u64 lo = 1, hi = u64(jMax); // the first match lies in [lo, hi]
            while (lo < hi) {
                const u64 mid = lo + (hi - lo) / 2;
                if (roundsTo(at(mid), value))
                    hi = mid;
                else
                    lo = mid + 1;
            }
            return at(lo);
        }
        if (jMax < term)
            return std::nullopt; // the next node on the path already passes a counter's limit
        const Fraction next = at(u64(term));
        p0 = std::exchange(p1, next.numerator);
        q0 = std::exchange(q1, next.denominator);
    }
    return std::nullopt; // not reached: the last convergent is the value itself
}

// How many of the denominators 2 .. last get the extra turn for a numerator below d × x (x positive, no
// whole number, and none of these denominators matching it).
u64 belowTurns(Dyadic x, u64 last)
{
    if (last < 2)
        return 0;
    const u128 count = last - 1;
    const u128 modulus = u128(1) << x.shift;
    const u128 half = modulus >> 1;

    // The product d × x is rounded to a double before it is rounded to a whole number, which matters only
    // where d × x lies within half a unit in the last place of k + ½. Those units are at most 2^(bits − 53)
    // for a product below 2^bits, the largest product here being last × x.
    const u128 largestProduct = (u128(last) * x.odd) >> x.shift;
    const int bits = 64 - std::countl_zero(static_cast<u64>(largestProduct + 1));
    const int reachShift = x.shift + bits - 54;
    const u128 reach = reachShift < 0 ? 0 : (u128(1) << reachShift);
    const u128 nearLo = half - reach; // fractional parts in [nearLo, nearHi] are decided one by one
    const u128 nearHi = half + reach;

    // Denominators whose fractional part is below nearLo: the nearest whole number lies below the product.
    const u128 start = u128(2) * x.odd;
    const u128 atOrAbove =
        floorSum(count, modulus, x.odd, start + modulus - nearLo) - floorSum(count, modulus, x.odd, start);
    u64 below = static_cast<u64>(count - atOrAbove);

    // The denominators near a half, decided one by one. The fractional parts of d × x step round the circle
    // by a fixed amount, so the returns to a window come at only three distances (g1, g2 or g1 + g2, the
    // first two found once by the modular search) and each next one is found without searching again.
    const u128 step = x.odd % modulus;
    const u128 width = nearHi - nearLo + 1;
    const auto firstFrom = [&](u64 d) -> std::optional<u64> {
        const u128 offset = (step * d) & (modulus - 1);
        if (offset >= nearLo && offset <= nearHi)
            return d;
        const std::optional<Solution> more =
            firstInRange<u128>(step, modulus, (nearLo + modulus - offset) & (modulus - 1),
                               (nearHi + modulus - offset) & (modulus - 1), last - d);
        return more ? std::optional<u64>(d + more->x) : std::nullopt;
    };
    std::optional<u64> d = firstFrom(2);
    if (!d)
        return below;
    // g1 moves a point up the window by rise, g2 moves it down by fall; both are smaller than the width.
    std::optional<u64> g1, g2;
    u128 rise = 0, fall = 0;
    if (width > 1) {
        if (const auto rising = firstInRange<u128>(step, modulus, 1, width - 1, last))
            g1 = rising->x;
        if (const auto falling = firstInRange<u128>(step, modulus, modulus - width + 1, modulus - 1, last))
            g2 = falling->x;
        if (g1)
            rise = (step * *g1) & (modulus - 1);
        if (g2)
            fall = modulus - ((step * *g2) & (modulus - 1));
    }
    // A candidate's turn, decided in whole numbers. With k the whole part of d × x, the product rounded to a
    // double lands on k + ½ when it lies within half a unit in the last place of it, 2^(log2 k − 53) for
    // k ≥ 1 and 2^−54 for k = 0, and k + ½ then rounds to the even one of k and k + 1. Outside that the
    // nearest whole number decides. Here `place` is the position in the window [nearLo, nearHi].
    const auto belowAt = [&](u64 k, u64 place) {
        const int unitShift = x.shift - 53 + (k == 0 ? -1 : 63 - std::countl_zero(k));
        const u64 halfUnit = unitShift < 0 ? 0 : u64(1) << unitShift;
        const u64 reachBy = static_cast<u64>(reach);
        return (place < reachBy - halfUnit || (place <= reachBy + halfUnit && k % 2 == 0)) ? 1U : 0U;
    };
    // The window is at most 2^32 grid steps wide, so positions in it and the distances fit in 64 bits. Each
    // move adds a known whole part to k: rising stays below the next whole number, falling and the
    // combined move pass it.
    const bool hasRise = g1.has_value(), hasFall = g2.has_value(), hasBoth = hasRise && hasFall;
    const u64 up = hasRise ? static_cast<u64>(*g1) : 0, down = hasFall ? static_cast<u64>(*g2) : 0;
    const u64 riseBy = static_cast<u64>(rise), fallBy = static_cast<u64>(fall), span = static_cast<u64>(width);
    const u64 riseWhole = static_cast<u64>((u128(up) * x.odd) >> x.shift);
    const u64 fallWhole = static_cast<u64>((u128(down) * x.odd) >> x.shift) + 1;
    const bool preferRise = hasRise && (!hasFall || up < down);
    const u128 mask = modulus - 1;
    while (d) {
        u64 at = *d;
        const u128 product = u128(at) * x.odd;
        auto place = static_cast<u64>((product & mask) - nearLo);
        auto k = static_cast<u64>(product >> x.shift);
        for (;;) {
            below += belowAt(k, place);
            const bool canRise = hasRise && place + riseBy < span;
            const bool canFall = hasFall && place >= fallBy;
            const bool takeRise = canRise && (preferRise || !canFall);
            const bool takeFall = canFall && !takeRise;
            const u64 distance = takeRise ? up : takeFall ? down : up + down;
            place = takeRise ? place + riseBy : takeFall ? place - fallBy : place + riseBy - fallBy;
            k += takeRise ? riseWhole : takeFall ? fallWhole : riseWhole + fallWhole;
            if (!(takeRise || takeFall || (hasBoth && place < span)) || distance > last - at)
                break; // no regular return within reach
            at += distance;
        }
        d = at < last ? firstFrom(at + 1) : std::nullopt;
    }
    return below;
}

} // namespace

std::string overflowMeaning(double value)
{
    if (std::isinf(value))
        return "the value is beyond the largest number held (about 1.8e308), and has no fraction";
    return std::string("no fraction was found before its ") + (std::fabs(value) >= 1.0 ? "numerator" : "denominator") +
           " passed " + std::to_string(kCounterMax) + ", the largest the search counts to";
}

FractionSearch searchFraction(double value)
{
    if (std::isnan(value))
        throw RuntimeError(ErrorNumber::InvalidOperation);
    if (std::isinf(value))
        throw RuntimeError(ErrorNumber::Overflow);

    FractionSearch s;
    if (value == 1.0)
        return s;

    // Above 1 the numerator first climbs one by one to the first whole number not below the value.
    u64 climb = 0;
    if (value > 1.0) {
        if (value > double(kCounterMax))
            throw RuntimeError(ErrorNumber::Overflow);
        const double top = std::ceil(value);
        climb = static_cast<u64>(top) - 1;
        if (top == value) {
            s.numerator = static_cast<std::int32_t>(top);
            s.turns = climb;
            return s;
        }
    }

    // A whole number below 1 (zero or negative) is matched at denominator 2, which the first turn reaches.
    const double magnitude = std::fabs(value);
    if (value <= 0.0 && std::floor(magnitude) == magnitude) {
        const double numerator = 2.0 * value;
        if (numerator < -double(kCounterMax) - 1.0)
            throw RuntimeError(ErrorNumber::Overflow);
        s.numerator = static_cast<std::int32_t>(numerator);
        s.denominator = 2;
        s.turns = 1;
        return s;
    }

    // Beyond these magnitudes no reachable fraction can round to the value, and the search overflows.
    if (magnitude >= 2147483648.0 || magnitude < 0x1p-32)
        throw RuntimeError(ErrorNumber::Overflow);

    const Dyadic x = dyadicOf(magnitude);
    const u64 numeratorLimit = value > 0 ? u64(kCounterMax) : u64(kCounterMax) + 1;
    const std::optional<Fraction> found = simplestFraction(magnitude, x, numeratorLimit);
    if (!found)
        throw RuntimeError(ErrorNumber::Overflow);

    const u64 skipped = found->denominator - 2; // denominators 2 .. D − 1, each at least one turn
    u64 below = belowTurns(x, found->denominator - 1);
    if (value < 0)
        below = skipped - below; // mirrored: a numerator below |d × value| lies above d × value
    s.numerator = value > 0 ? static_cast<std::int32_t>(found->numerator)
                            : static_cast<std::int32_t>(-static_cast<std::int64_t>(found->numerator));
    s.denominator = static_cast<std::int32_t>(found->denominator);
    s.turns = climb + (found->denominator - 1) + below;
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

} // namespace tarvelin::calc
