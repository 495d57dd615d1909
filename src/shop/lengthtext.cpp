// SPDX-License-Identifier: MIT
#include "shop/lengthtext.h"

#include "runtime/numbertext.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <numeric>

namespace tarvelin::shop {

namespace {

constexpr std::int64_t kHalfThousandthsPerInch = 2000;

// The nearest whole number to numerator / denominator, halves away from zero; the denominator is positive.
std::int64_t roundedQuotient(std::int64_t numerator, std::int64_t denominator)
{
    const std::int64_t magnitude = (2 * std::llabs(numerator) + denominator) / (2 * denominator);
    return numerator < 0 ? -magnitude : magnitude;
}

std::string decimalText(std::int64_t units, int decimals)
{
    std::string text = units < 0 ? "-" : "";
    std::int64_t magnitude = std::llabs(units);
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    text += std::to_string(magnitude / scale);
    std::string fraction = std::to_string(magnitude % scale);
    text += '.';
    text.append(static_cast<std::size_t>(decimals) - fraction.size(), '0');
    text += fraction;
    return text;
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

std::string feetInchesText(HalfThousandths length, int step)
{
    // Steps of 1/step inch: length / 2000 inches x step.
    const std::int64_t steps = roundedQuotient(length * step, kHalfThousandthsPerInch);
    if (steps == 0)
        return "0\"";
    std::int64_t magnitude = std::llabs(steps);
    const std::int64_t feet = magnitude / (12 * step);
    magnitude %= 12 * step;
    const std::int64_t inches = magnitude / step;
    std::int64_t numerator = magnitude % step;
    std::int64_t denominator = step;
    const std::int64_t common = std::gcd(numerator, denominator);
    numerator /= common;
    denominator /= common;

    std::string text = steps < 0 ? "-" : "";
    if (feet > 0)
        text += std::to_string(feet) + "' ";
    if (numerator == 0)
        text += std::to_string(inches);
    else if (inches == 0 && feet == 0)
        text += std::to_string(numerator) + "/" + std::to_string(denominator);
    else
        text += std::to_string(inches) + "-" + std::to_string(numerator) + "/" + std::to_string(denominator);
    return text + "\"";
}

std::string millimetresText(HalfThousandths length)
{
    // Tenths of a millimetre: length / 2000 x 254.
    return decimalText(roundedQuotient(length * 254, kHalfThousandthsPerInch), 1);
}

std::string metresText(HalfThousandths length)
{
    // Millimetres: length / 2000 x 25.4.
    return decimalText(roundedQuotient(length * 254, kHalfThousandthsPerInch * 10), 3);
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
