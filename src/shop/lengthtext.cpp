// SPDX-License-Identifier: MIT
#include "shop/lengthtext.h"

#include "runtime/numbertext.h"

#include <array>
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

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace

void appendFeetInches(std::string &out, HalfThousandths length, int step, bool escapeInchMark)
{
    // Steps of 1/step inch: length / 2000 inches x step.
    const std::int64_t steps = scaledLength(length, step, kHalfThousandthsPerInch);
    const std::string_view inchMark = escapeInchMark ? "\\\"" : "\"";
    if (steps == 0) {
        out += '0';
        out += inchMark;
        return;
    }
    std::int64_t magnitude = std::llabs(steps);
    const std::int64_t feet = magnitude / (12 * step);
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
    out += inchMark;
}

std::string feetInchesText(HalfThousandths length, int step)
{
    std::string text;
    appendFeetInches(text, length, step);
    return text;
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

std::optional<std::int64_t> thousandthsOf(std::string_view text)
{
    text = trimmed(text);
    text = text.substr(0, text.find(' ')); // a boom total carries its unit after a blank
    const std::size_t point = text.find('.');
    if (text.empty() || point == std::string_view::npos)
        return std::nullopt;
    const std::string_view whole = text.substr(0, point);
    const std::string_view decimals = text.substr(point + 1);
    if (decimals.size() > 3 || (whole.empty() && decimals.empty()))
        return std::nullopt;
    std::int64_t value = 0;
    for (const char c : whole) {
        if (c < '0' || c > '9' || value > 1'000'000'000'000)
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    std::int64_t fraction = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const char c = i < decimals.size() ? decimals[i] : '0';
        if (c < '0' || c > '9')
            return std::nullopt;
        fraction = fraction * 10 + (c - '0');
    }
    return value * 1000 + fraction;
}

std::optional<std::int64_t> typedLengthThousandths(std::string_view text)
{
    text = trimmed(text);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || !std::isfinite(value) || end == text.data())
        return std::nullopt;
    const std::string_view unit =
        trimmed(std::string_view(end, static_cast<std::size_t>(text.data() + text.size() - end)));
    double inches = 0.0;
    if (unit.empty() || unit == "in" || unit == "\"" || unit == "inch" || unit == "inches")
        inches = value;
    else if (unit == "mm")
        inches = value / 25.4;
    else if (unit == "cm")
        inches = value / 2.54;
    else if (unit == "m")
        inches = value / 0.0254;
    else if (unit == "ft" || unit == "'")
        inches = value * 12.0;
    else
        return std::nullopt;
    if (!(std::fabs(inches) < 1e9))
        return std::nullopt;
    // Rounded as the grid rounds, on the decimal form, so "2.0005" is 2.001 and not a hair below.
    const std::optional<std::int64_t> magnitude = thousandthsOf(FormatNumber(std::fabs(inches), kCellFormat));
    if (!magnitude)
        return std::nullopt;
    return inches < 0 ? -*magnitude : *magnitude;
}

} // namespace tarvelin::shop
