// SPDX-License-Identifier: MIT
#include "core/format/typedlength.h"

#include "core/format/fieldtext.h"
#include "core/text/numbertext.h"
#include "core/text/typedtext.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tarvelin::format {

namespace {

bool sameLetters(std::string_view typed, std::string_view word)
{
    return typed.size() == word.size() && std::equal(typed.begin(), typed.end(), word.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
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
        // Feet first, when the first number (a fraction too: "1 1/2 ft") is followed by a foot mark.
        const std::size_t start = m_at;
        if (const std::optional<std::int64_t> feet = quantity()) {
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
        const std::optional<std::int64_t> inches = quantity();
        if (!inches)
            return std::nullopt;
        blanks();
        if (!take('"'))
            (void)(word("inches") || word("inch") || word("in"));
        return inches;
    }

    // A number of the sheet's notation without its unit: "2.5", "2-1/2", "2 1/2" or "3/4".
    std::optional<std::int64_t> quantity()
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

    // A unit's word in any case: "in", "IN" and "In" are all inches.
    bool word(std::string_view w)
    {
        if (!sameLetters(m_text.substr(m_at, w.size()), w))
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
    const auto is = [unit](std::string_view word) { return sameLetters(unit, word); };
    if (unit.empty() || is("in") || unit == "\"" || is("inch") || is("inches"))
        inches = value;
    else if (is("mm"))
        inches = value / 25.4;
    else if (is("cm"))
        inches = value / 2.54;
    else if (is("m"))
        inches = value / 0.0254;
    else if (is("ft") || unit == "'" || is("feet") || is("foot"))
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

bool lacksUnit(std::string_view text)
{
    text = trimmedText(text);
    return !text.empty() && (std::isdigit(static_cast<unsigned char>(text.back())) || text.back() == '.');
}

std::optional<double> typedMetres(std::string_view text)
{
    if (lacksUnit(text))
        return std::nullopt;
    const std::optional<std::int64_t> thousandths = typedLengthThousandths(text);
    if (!thousandths)
        return std::nullopt;
    constexpr double kMetresPerInch = 0.0254;
    return std::round(static_cast<double>(*thousandths) / 1000.0 * kMetresPerInch * 1e4) / 1e4;
}

} // namespace tarvelin::format
