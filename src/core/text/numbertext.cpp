// SPDX-License-Identifier: MIT
#include "core/text/numbertext.h"

#include "core/runtime/runtimeerror.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>

namespace tarvelin {

namespace {

constexpr bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

constexpr bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Walks the text, skipping blanks, so the scanner below reads like the grammar it follows.
class Cursor
{
public:
    explicit Cursor(std::string_view text) : m_text(text) { skipBlanks(); }

    [[nodiscard]] char peek() const { return m_pos < m_text.size() ? m_text[m_pos] : '\0'; }
    void advance()
    {
        ++m_pos;
        skipBlanks();
    }
    [[nodiscard]] std::size_t position() const { return m_pos; }
    void rewind(std::size_t pos) { m_pos = pos; }

private:
    void skipBlanks()
    {
        while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
            ++m_pos;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

// The number as std::from_chars reads it: "0.", the significant digits, "e" and the exponent of the leading
// digit. Cell texts are short, so they are spelt on the stack; only a long text spills to the heap.
class Spelling
{
public:
    void push(char c)
    {
        if (m_size < m_inline.size())
            m_inline[m_size] = c;
        else {
            if (m_spill.empty())
                m_spill.assign(m_inline.data(), m_inline.size());
            m_spill += c;
        }
        ++m_size;
    }
    void append(std::string_view text)
    {
        for (const char c : text)
            push(c);
    }
    [[nodiscard]] const char *begin() const { return m_size <= m_inline.size() ? m_inline.data() : m_spill.data(); }
    [[nodiscard]] const char *end() const { return begin() + m_size; }

private:
    std::array<char, 64> m_inline; // only the first m_size are read
    std::string m_spill;
    std::size_t m_size = 0;
};

// The largest double has 309 digits before the point; patterns beyond 30 decimals say nothing more.
constexpr long kMaxDecimals = 30;
constexpr std::size_t kMaxKeptDigits = 309 + kMaxDecimals;

// A double is decided by at most 767 significant digits: the halfway points between neighbouring doubles
// have no more. Past 800 digits, whether any further digit is non-zero is all that counts, and one
// non-zero digit in their place keeps the value on the same side of every halfway point.
constexpr std::size_t kDecisiveDigits = 800;

// 0.d... x 10^e lies below 10^e: past these the number is sure to be out of the double range, whatever
// its digits (the largest double is below 10^309, half the smallest above 10^-325).
constexpr long long kOverflowExponent = 310;
constexpr long long kUnderflowExponent = -330;

// Exponents are read to this size at most; any larger one is out of range for any number of digits a
// text can hold.
constexpr long long kExponentCap = 100'000'000'000'000'000;

} // namespace

namespace {

// ParseNumber's reading, which also says where the number ended: `end` is the first character after it and the
// blanks that follow, or 0 where the text begins with no number.
double parseNumber(std::string_view text, std::size_t &end)
{
    Cursor cursor(text);
    end = 0;

    bool negative = false;
    if (cursor.peek() == '-' || cursor.peek() == '+') {
        negative = cursor.peek() == '-';
        cursor.advance();
    }

    // The number is read as 0.DDD... x 10^pointExponent: its significant digits, from the first that is not
    // zero, and where the point stands relative to them. Every digit is read, however many there are, so a
    // long text is its exact value, never another number.
    Spelling number;
    number.append(negative ? "-0." : "0.");
    std::size_t significant = 0;
    bool droppedNonZero = false;
    const auto keep = [&](char c) {
        if (significant < kDecisiveDigits)
            number.push(c);
        else
            droppedNonZero = droppedNonZero || c != '0';
        ++significant;
    };

    bool anyDigit = false;
    long long pointExponent = 0;
    while (isDigit(cursor.peek())) {
        const char c = cursor.peek();
        if (significant > 0 || c != '0') {
            keep(c);
            ++pointExponent;
        }
        anyDigit = true;
        cursor.advance();
    }
    if (cursor.peek() == '.') {
        cursor.advance();
        while (isDigit(cursor.peek())) {
            const char c = cursor.peek();
            if (significant > 0 || c != '0')
                keep(c);
            else
                --pointExponent;
            anyDigit = true;
            cursor.advance();
        }
    }
    if (!anyDigit)
        return 0.0;
    end = cursor.position();

    if (cursor.peek() == 'e' || cursor.peek() == 'E') {
        const std::size_t beforeExponent = cursor.position();
        cursor.advance();
        bool negativeExponent = false;
        if (cursor.peek() == '-' || cursor.peek() == '+') {
            negativeExponent = cursor.peek() == '-';
            cursor.advance();
        }
        if (isDigit(cursor.peek())) {
            long long exponent = 0;
            while (isDigit(cursor.peek())) {
                // Never overflows: the cap times ten, plus nine, fits.
                exponent = std::min(kExponentCap, exponent * 10 + (cursor.peek() - '0'));
                cursor.advance();
            }
            pointExponent += negativeExponent ? -exponent : exponent;
        } else {
            // "2e" or "2 east": the letter does not begin an exponent, so the number ends before it.
            cursor.rewind(beforeExponent);
        }
    }
    end = cursor.position();

    const double zero = negative ? -0.0 : 0.0;
    if (significant == 0 || pointExponent < kUnderflowExponent)
        return zero;
    if (pointExponent > kOverflowExponent)
        throw RuntimeError(ErrorNumber::Overflow);
    if (droppedNonZero)
        number.push('1');
    std::array<char, 8> exponentText{};
    const auto written = std::to_chars(exponentText.data(), exponentText.data() + exponentText.size(), pointExponent);
    number.push('e');
    number.append(std::string_view(exponentText.data(), written.ptr));

    double value = 0.0;
    const auto [last, ec] = std::from_chars(number.begin(), number.end(), value);
    if (ec == std::errc::result_out_of_range) {
        if (pointExponent > 0)
            throw RuntimeError(ErrorNumber::Overflow);
        return zero;
    }
    return value;
}

} // namespace

double ParseNumber(std::string_view text)
{
    std::size_t end = 0;
    return parseNumber(text, end);
}

std::size_t NumberTextLength(std::string_view text)
{
    std::size_t end = 0;
    try {
        (void)parseNumber(text, end);
    } catch (const RuntimeError &) {
        // Too large a number is read to its end all the same.
    }
    return end;
}

namespace {

// The cell text from its parts: sign, integer digits and fraction digits, dropping leading zeros of the
// integer part and trailing zeros of the fraction; a value that rounded to zero carries no sign.
std::string assembleNumberText(bool negative, std::string_view integerPart, std::string_view fractionPart)
{
    integerPart.remove_prefix(std::min(integerPart.find_first_not_of('0'), integerPart.size()));
    fractionPart = fractionPart.substr(0, fractionPart.find_last_not_of('0') + 1);
    std::string text;
    text.reserve(integerPart.size() + fractionPart.size() + 2);
    if (negative && !(integerPart.empty() && fractionPart.empty()))
        text += '-';
    text += integerPart;
    text += '.';
    text += fractionPart;
    return text;
}

constexpr std::array<double, 7> kPowersOfTen{1, 10, 100, 1000, 10000, 100000, 1000000};
constexpr std::size_t kQuickTextRoom = 40;

// The quick road for ordinary lengths, which gives the same text as the 15-digit road whenever it answers.
// With t = |value| x 10^decimals, the text is the whole number nearest to t, unless t lies near a half,
// where the 15-digit step may decide the direction. Rounding to 15 significant digits moves the value by
// at most half a unit of the 15th digit, at most 0.5e-14 x t at this scale, and t itself is off by at most
// half an ulp (1.2e-16 x t); so outside a margin of 1.1e-14 x t around the half, both roads round the same
// way. Values near a half, and values too large for the margin, take the 15-digit road.
// Writes the text into `out`, which has room for kQuickTextRoom characters, and gives its length; none where
// the quick road cannot be sure of the rounding.

std::optional<std::size_t> formatAwayFromHalves(double value, long decimals, char *out,
                                                std::uint64_t *unitsOut = nullptr)
{
    if (decimals >= static_cast<long>(kPowersOfTen.size()))
        return std::nullopt;
    const double scaled = std::fabs(value) * kPowersOfTen[static_cast<std::size_t>(decimals)];
    constexpr double kTwoPow52 = 4503599627370496.0;
    if (!(scaled < kTwoPow52))
        return std::nullopt;
    // Truncating to a whole number is the floor here, as the value is not negative and below 2^52; the
    // conversion is one instruction where floor() is a library call on the baseline processor.
    const auto truncated = static_cast<std::uint64_t>(static_cast<std::int64_t>(scaled));
    const auto whole = static_cast<double>(truncated);
    const double fraction = scaled - whole; // exact: both lie within one binade of each other
    if (std::fabs(fraction - 0.5) <= 1e-9 + 1.1e-14 * scaled)
        return std::nullopt;
    const std::uint64_t units = truncated + (fraction > 0.5 ? 1U : 0U);
    if (unitsOut)
        *unitsOut = units;

    // The text straight from the whole number of units: sign, the integer part without leading zeros, the
    // point, and the decimals without trailing zeros; a value that rounds to zero carries no sign. The
    // decimals come off the end one by one, as dividing by ten is cheap where dividing by 10^decimals is not.
    std::array<char, 8> fractionDigits;
    std::uint64_t integer = units;
    for (long i = decimals - 1; i >= 0; --i) {
        fractionDigits[static_cast<std::size_t>(i)] = static_cast<char>('0' + integer % 10);
        integer /= 10;
    }
    long shown = decimals;
    while (shown > 0 && fractionDigits[static_cast<std::size_t>(shown - 1)] == '0')
        --shown;
    char *end = out;
    if (value < 0 && units != 0)
        *end++ = '-';
    if (integer != 0)
        end = std::to_chars(end, out + kQuickTextRoom, integer).ptr;
    *end++ = '.';
    // All eight places are copied, which is one move of a fixed size, and only the shown ones are kept.
    std::copy_n(fractionDigits.data(), fractionDigits.size(), end);
    end += shown;
    return static_cast<std::size_t>(end - out);
}

} // namespace

namespace detail {

std::string formatBy15Digits(double value, long decimals)
{
    // 15 significant digits, as d.dddddddddddddde±x; the rounding below works on this decimal form, not on
    // the binary value, so that a displayed 204.9295 that is a hair below the half in binary still rounds up.
    constexpr int kSignificantDigits = 15;
    std::array<char, 32> scientific;
    const auto result = std::to_chars(scientific.data(), scientific.data() + scientific.size(), std::fabs(value),
                                      std::chars_format::scientific, kSignificantDigits - 1);
    std::array<char, kSignificantDigits> digits;
    digits[0] = scientific[0];
    std::copy_n(scientific.data() + 2, kSignificantDigits - 1, digits.data() + 1);
    const char *exponentText = std::find(scientific.data(), result.ptr, 'e') + 1;
    if (*exponentText == '+')
        ++exponentText;
    int exponent = 0;
    std::from_chars(exponentText, result.ptr, exponent);

    // Digit k of the decimal form counts from the first significant digit; position p of the point means
    // p digits stand before it (p may be zero or negative for values below one).
    const long pointPosition = exponent + 1L;
    const auto digitAt = [&](long k) { return k >= 0 && k < kSignificantDigits ? digits[k] : '0'; };

    // The integer digits and exactly `decimals` fraction digits, with room for one carried digit in front.
    std::array<char, kMaxKeptDigits + 1> keptBuffer; // only the digits written below are read
    char *const kept = keptBuffer.data() + 1;
    const long keptCount = std::max(pointPosition, 0L) + decimals;
    const long firstIndex = std::min(pointPosition, 0L);
    for (long k = 0; k < keptCount; ++k)
        kept[k] = digitAt(firstIndex + k);

    // Halves away from zero: the magnitude rounds up when the first dropped digit is 5 or more.
    char *first = kept;
    if (digitAt(firstIndex + keptCount) >= '5') {
        long k = keptCount - 1;
        for (; k >= 0 && kept[k] == '9'; --k)
            kept[k] = '0';
        if (k < 0)
            *--first = '1';
        else
            ++kept[k];
    }

    const char *const fractionStart = kept + keptCount - decimals;
    return assembleNumberText(value < 0, std::string_view(first, static_cast<std::size_t>(fractionStart - first)),
                              std::string_view(fractionStart, static_cast<std::size_t>(decimals)));
}

} // namespace detail

std::string FormatNumber(double value, std::string_view format)
{
    if (format.empty() || format.front() != '.' ||
        !std::all_of(format.begin() + 1, format.end(), [](char c) { return c == '#'; }))
        throw RuntimeError(ErrorNumber::UnsupportedFormat);
    const auto decimals = static_cast<long>(format.size() - 1);
    if (decimals > kMaxDecimals)
        throw RuntimeError(ErrorNumber::UnsupportedFormat);
    if (std::isnan(value))
        throw RuntimeError(ErrorNumber::InvalidOperation);
    if (std::isinf(value))
        throw RuntimeError(ErrorNumber::Overflow);

    std::array<char, kQuickTextRoom> quick;
    if (const std::optional<std::size_t> length = formatAwayFromHalves(value, decimals, quick.data()))
        return std::string(quick.data(), *length);
    return detail::formatBy15Digits(value, decimals);
}

double FormatCellInto(double value, std::string &text)
{
    if (std::isnan(value))
        throw RuntimeError(ErrorNumber::InvalidOperation);
    if (std::isinf(value))
        throw RuntimeError(ErrorNumber::Overflow);
    // The text of k thousandths reads back as the double nearest k / 1000, which is what dividing the exact
    // whole number k by 1000 gives; below 2^53 thousandths k is exact, and the quick road always is.
    std::uint64_t units = 0;
    std::array<char, kQuickTextRoom> quick;
    if (const std::optional<std::size_t> length = formatAwayFromHalves(value, 3, quick.data(), &units)) {
        text.assign(quick.data(), *length);
        const double magnitude = static_cast<double>(units) / 1000.0;
        return value < 0 && units != 0 ? -magnitude : magnitude;
    }
    text = detail::formatBy15Digits(value, 3);
    return ParseNumber(text);
}

CellValue FormatCell(double value)
{
    CellValue cell;
    cell.readBack = FormatCellInto(value, cell.text);
    return cell;
}

std::string WholeNumberText(std::int64_t value)
{
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

} // namespace tarvelin
