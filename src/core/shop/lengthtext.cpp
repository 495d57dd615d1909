// SPDX-License-Identifier: MIT
#include "core/shop/lengthtext.h"

#include "core/calc/designlengths.h"
#include "core/runtime/numbertext.h"
#include "core/runtime/typedtext.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <numeric>

namespace tarvelin::shop {

namespace {

constexpr std::int64_t kHalfThousandthsPerInch = 2000;

// The nearest whole number to numerator / denominator, halves away from zero; the denominator is positive
// and the numerator small enough to double.
std::int64_t roundedQuotient(std::int64_t numerator, std::int64_t denominator)
{
    const std::int64_t magnitude = (2 * std::llabs(numerator) + denominator) / (2 * denominator);
    return numerator < 0 ? -magnitude : magnitude;
}

// The nearest whole number to length x factor / kHalfThousandthsPerInch, halves away from zero, for every
// length a HalfThousandths can hold: the whole inches are scaled apart from the rest, so no product can
// overflow (the factors are at most a few hundred).
std::int64_t scaledLength(HalfThousandths length, std::int64_t factor, std::int64_t divisor)
{
    // Every length a sheet holds is far below this, and takes the one division.
    constexpr std::int64_t kSafeMagnitude = std::int64_t{1} << 50;
    if (length > -kSafeMagnitude && length < kSafeMagnitude)
        return roundedQuotient(length * factor, divisor);
    const std::int64_t whole = length / divisor;
    const std::int64_t rest = length % divisor; // the same sign as the length, or zero
    return whole * factor + roundedQuotient(rest * factor, divisor);
}

void appendWhole(std::string &out, std::int64_t value)
{
    std::array<char, 24> digits{};
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    out.append(digits.data(), written.ptr);
}

void appendDecimal(std::string &out, std::int64_t units, int decimals)
{
    if (units < 0)
        out += '-';
    const std::int64_t magnitude = std::llabs(units);
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    appendWhole(out, magnitude / scale);
    out += '.';
    std::int64_t fraction = magnitude % scale;
    for (std::int64_t place = scale / 10; place > 0; place /= 10) {
        out += static_cast<char>('0' + fraction / place);
        fraction %= place;
    }
}

void appendLength(std::string &out, HalfThousandths length, int step, bool withFeet)
{
    // Steps of 1/step inch: length / 2000 inches x step.
    const std::int64_t steps = scaledLength(length, step, kHalfThousandthsPerInch);
    if (steps == 0) {
        out += "0\"";
        return;
    }
    std::int64_t magnitude = std::llabs(steps);
    const std::int64_t feet = withFeet ? magnitude / (12 * step) : 0;
    if (withFeet)
        magnitude %= 12 * step;
    const std::int64_t inches = magnitude / step;
    std::int64_t numerator = magnitude % step;
    std::int64_t denominator = step;
    const std::int64_t common = std::gcd(numerator, denominator);
    numerator /= common;
    denominator /= common;

    if (steps < 0)
        out += '-';
    if (feet > 0) {
        appendWhole(out, feet);
        out += "' ";
    }
    if (numerator == 0 || inches > 0 || feet > 0)
        appendWhole(out, inches);
    if (numerator != 0) {
        if (inches > 0 || feet > 0)
            out += '-';
        appendWhole(out, numerator);
        out += '/';
        appendWhole(out, denominator);
    }
    out += '"';
}

} // namespace

std::string inchesText(HalfThousandths length, int step)
{
    std::string text;
    appendLength(text, length, step, false);
    return text;
}

std::string feetInchesText(HalfThousandths length, int step)
{
    std::string text;
    appendLength(text, length, step, true);
    return text;
}

std::string millimetresText(HalfThousandths length)
{
    // Tenths of a millimetre: length / 2000 x 254.
    std::string text;
    appendDecimal(text, scaledLength(length, 254, kHalfThousandthsPerInch), 1);
    return text;
}

std::string metresText(HalfThousandths length)
{
    // Millimetres: length / 2000 x 25.4.
    std::string text;
    appendDecimal(text, scaledLength(length, 254, kHalfThousandthsPerInch * 10), 3);
    return text;
}

} // namespace tarvelin::shop
