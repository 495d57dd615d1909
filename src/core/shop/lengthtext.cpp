// SPDX-License-Identifier: MIT
#include "core/shop/lengthtext.h"

#include "core/design/designlengths.h"
#include "core/text/numbertext.h"
#include "core/text/typedtext.h"

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

// A length's text is made in a buffer of its own and appended at once: a sheet writes hundreds of them.
using TextBuffer = std::array<char, 64>; // the longest: "-384307168202282' 3-29/32\\""

char *putWhole(char *at, std::int64_t value)
{
    return std::to_chars(at, at + 24, value).ptr;
}

void appendDecimal(std::string &out, std::int64_t units, int decimals)
{
    TextBuffer text;
    char *at = text.data();
    if (units < 0)
        *at++ = '-';
    const std::int64_t magnitude = std::llabs(units);
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    at = putWhole(at, magnitude / scale);
    *at++ = '.';
    std::int64_t fraction = magnitude % scale;
    for (std::int64_t place = scale / 10; place > 0; place /= 10) {
        *at++ = static_cast<char>('0' + fraction / place);
        fraction %= place;
    }
    out.append(text.data(), at);
}

void appendLength(std::string &out, HalfThousandths length, int step, bool withFeet, bool escapeInchMark = false)
{
    TextBuffer text;
    char *at = text.data();
    const auto inchMark = [&at, escapeInchMark] {
        if (escapeInchMark)
            *at++ = '\\';
        *at++ = '"';
    };
    // Steps of 1/step inch: length / 2000 inches x step.
    const std::int64_t steps = scaledLength(length, step, kHalfThousandthsPerInch);
    if (steps == 0) {
        *at++ = '0';
        inchMark();
        out.append(text.data(), at);
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
        *at++ = '-';
    if (feet > 0) {
        at = putWhole(at, feet);
        *at++ = '\'';
        *at++ = ' ';
    }
    if (numerator == 0 || inches > 0 || feet > 0)
        at = putWhole(at, inches);
    if (numerator != 0) {
        if (inches > 0 || feet > 0)
            *at++ = '-';
        at = putWhole(at, numerator);
        *at++ = '/';
        at = putWhole(at, denominator);
    }
    inchMark();
    out.append(text.data(), at);
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

void appendFeetInches(std::string &out, HalfThousandths length, int step, bool escapeInchMark)
{
    appendLength(out, length, step, true, escapeInchMark);
}

void appendMillimetres(std::string &out, HalfThousandths length)
{
    // Tenths of a millimetre: length / 2000 x 254.
    appendDecimal(out, scaledLength(length, 254, kHalfThousandthsPerInch), 1);
}

std::string millimetresText(HalfThousandths length)
{
    std::string text;
    appendMillimetres(text, length);
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
