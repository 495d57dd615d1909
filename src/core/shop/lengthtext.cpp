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

// A length in the sheet's own notation, in billionths of an inch, exactly: feet and inches with a fraction
// ("1' 2-1/2\"", "2 ft 3 in", "2-1/2\"", "2 1/2", "3/4"), or plain decimal inches ("2.5"). None when the text
// is in another form, such as millimetres or an exponent.
class ImperialReader
{
public:
    explicit ImperialReader(std::string_view text) : m_text(text) {}

    std::optional<std::int64_t> read()
    {
        bool negative = false;
        if (take('-'))
            negative = true;
        else
            take('+');
        blanks();
        std::optional<std::int64_t> total;
        // Feet first, when the first number is followed by a foot mark.
        const std::size_t start = m_at;
        if (const std::optional<std::int64_t> feet = decimal()) {
            blanks();
            if (take('\'') || word("feet") || word("foot") || word("ft")) {
                total = *feet * 12;
                blanks();
            } else {
                m_at = start;
            }
        }
        if (m_at < m_text.size()) {
            const std::optional<std::int64_t> inches = inchesPart();
            if (!inches)
                return std::nullopt;
            total = total.value_or(0) + *inches;
        }
        blanks();
        if (!total || m_at != m_text.size())
            return std::nullopt;
        return negative ? -*total : *total;
    }

private:
    static constexpr std::int64_t kBillion = 1'000'000'000;
    static constexpr std::int64_t kLargestWhole = 100'000'000; // inches, or feet: far beyond any length

    std::optional<std::int64_t> inchesPart()
    {
        std::optional<std::int64_t> inches;
        const std::size_t start = m_at;
        if (const std::optional<std::int64_t> whole = decimal()) {
            // "2-1/2" or "2 1/2": a whole number of inches and a fraction.
            const std::size_t afterWhole = m_at;
            const bool wholeOnly = m_text.substr(start, afterWhole - start).find('.') == std::string_view::npos;
            if (wholeOnly && (take('-') || take(' '))) {
                blanks();
                if (const std::optional<std::int64_t> part = fraction())
                    inches = *whole + *part;
                else
                    m_at = afterWhole;
            }
            if (!inches && m_at < m_text.size() && m_text[m_at] == '/') {
                m_at = start;
                inches = fraction();
            } else if (!inches) {
                inches = whole;
            }
        } else {
            inches = fraction();
        }
        if (!inches)
            return std::nullopt;
        blanks();
        if (!take('"'))
            (void)(word("inches") || word("inch") || word("in"));
        return inches;
    }

    // Digits with an optional point and decimals, in billionths.
    std::optional<std::int64_t> decimal()
    {
        std::int64_t whole = 0;
        std::size_t digits = 0;
        while (m_at < m_text.size() && isDigit(m_text[m_at])) {
            whole = whole * 10 + (m_text[m_at++] - '0');
            if (whole > kLargestWhole)
                return std::nullopt;
            ++digits;
        }
        std::int64_t part = 0;
        if (m_at < m_text.size() && m_text[m_at] == '.') {
            ++m_at;
            std::int64_t scale = kBillion / 10;
            while (m_at < m_text.size() && isDigit(m_text[m_at])) {
                part += (m_text[m_at++] - '0') * scale;
                scale /= 10;
                ++digits;
            }
        }
        if (digits == 0 || (m_at < m_text.size() && (m_text[m_at] == 'e' || m_text[m_at] == 'E')))
            return std::nullopt;
        return whole * kBillion + part;
    }

    // "n/d" as billionths, rounded.
    std::optional<std::int64_t> fraction()
    {
        const std::optional<std::int64_t> numerator = digitsValue();
        if (!numerator || !take('/'))
            return std::nullopt;
        const std::optional<std::int64_t> denominator = digitsValue();
        if (!denominator || *denominator == 0)
            return std::nullopt;
        return (*numerator * kBillion * 2 + *denominator) / (2 * *denominator);
    }

    std::optional<std::int64_t> digitsValue()
    {
        std::int64_t value = 0;
        const std::size_t start = m_at;
        while (m_at < m_text.size() && isDigit(m_text[m_at])) {
            value = value * 10 + (m_text[m_at++] - '0');
            if (value > 1'000'000)
                return std::nullopt;
        }
        return m_at > start ? std::optional<std::int64_t>(value) : std::nullopt;
    }

    static bool isDigit(char c) { return c >= '0' && c <= '9'; }

    bool take(char c)
    {
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    bool word(std::string_view w)
    {
        if (m_text.substr(m_at, w.size()) != w)
            return false;
        const std::size_t after = m_at + w.size();
        if (after < m_text.size() && std::isalpha(static_cast<unsigned char>(m_text[after])))
            return false;
        m_at = after;
        return true;
    }

    void blanks()
    {
        while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\t'))
            ++m_at;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

} // namespace

namespace {

void appendLength(std::string &out, HalfThousandths length, int step, bool escapeInchMark, bool withFeet)
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
    out += inchMark;
}

} // namespace

void appendFeetInches(std::string &out, HalfThousandths length, int step, bool escapeInchMark)
{
    appendLength(out, length, step, escapeInchMark, true);
}

std::string inchesText(HalfThousandths length, int step)
{
    std::string text;
    appendLength(text, length, step, false, false);
    return text;
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

std::optional<std::int64_t> typedLengthThousandths(std::string_view text)
{
    text = trimmedText(text);
    // The sheet's own notation first, read exactly: feet, inches and fractions.
    if (const std::optional<std::int64_t> billionths = ImperialReader(text).read()) {
        const std::int64_t magnitude = (std::llabs(*billionths) + 500'000) / 1'000'000;
        return *billionths < 0 ? -magnitude : magnitude;
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || !std::isfinite(value) || end == text.data())
        return std::nullopt;
    const std::string_view unit =
        trimmedText(std::string_view(end, static_cast<std::size_t>(text.data() + text.size() - end)));
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
    // Rounded as the grid rounds, on the decimal form, so "2.0005" is 2.001 and not a hair below; a length
    // that rounds to nothing is written "." and is zero.
    const std::string shown = FormatNumber(std::fabs(inches), kCellFormat);
    if (shown == ".")
        return 0;
    const std::optional<std::int64_t> magnitude = thousandthsOf(shown);
    if (!magnitude)
        return std::nullopt;
    return inches < 0 ? -*magnitude : *magnitude;
}

} // namespace tarvelin::shop
