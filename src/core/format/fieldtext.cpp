// SPDX-License-Identifier: MIT
#include "core/format/fieldtext.h"

#include "core/text/typedtext.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace tarvelin::format {

namespace {

// Length of the valid UTF-8 sequence at the start of `s`, or 0 when it is not one.
std::size_t validUtf8Length(std::string_view s)
{
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
    const auto continuation = [&](std::size_t i) { return i < s.size() && (byte(i) & 0xC0) == 0x80; };
    const std::uint8_t b0 = byte(0);
    if (b0 < 0x80)
        return 1;
    if (b0 >= 0xC2 && b0 <= 0xDF)
        return continuation(1) ? 2 : 0;
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        if (!continuation(1) || !continuation(2))
            return 0;
        const std::uint8_t b1 = byte(1);
        if ((b0 == 0xE0 && b1 < 0xA0) || (b0 == 0xED && b1 >= 0xA0)) // overlong, or a UTF-16 surrogate
            return 0;
        return 3;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        if (!continuation(1) || !continuation(2) || !continuation(3))
            return 0;
        const std::uint8_t b1 = byte(1);
        if ((b0 == 0xF0 && b1 < 0x90) || (b0 == 0xF4 && b1 >= 0x90)) // overlong, or past U+10FFFF
            return 0;
        return 4;
    }
    return 0;
}

} // namespace

namespace {

// The bytes a JSON string takes as they are: printable ASCII but the quote and the backslash.
constexpr std::array<bool, 256> kPlainInJson = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x7F; ++c)
        plain[static_cast<std::size_t>(c)] = c != '"' && c != '\\';
    return plain;
}();

} // namespace

void appendJsonString(std::string &out, std::string_view text)
{
    static constexpr std::array<char, 16> kHex{'0', '1', '2', '3', '4', '5', '6', '7',
                                               '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    out += '"';
    while (!text.empty()) {
        // Plain printable ASCII, which is every number text, goes over as a whole run at once.
        std::size_t run = 0;
        while (run < text.size() && kPlainInJson[static_cast<unsigned char>(text[run])])
            ++run;
        if (run > 0) {
            out.append(text.substr(0, run));
            text.remove_prefix(run);
            continue;
        }
        const char c = text.front();
        const std::size_t length = validUtf8Length(text);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            text.remove_prefix(1);
            continue;
        }
        if (length > 1) {
            out.append(text.substr(0, length));
        } else if (c == '"' || c == '\\') {
            const char escaped[2] = {'\\', c};
            out.append(escaped, 2);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else { // the other control characters and DEL
            out += "\\u00";
            out += kHex[static_cast<unsigned char>(c) >> 4];
            out += kHex[static_cast<unsigned char>(c) & 0xF];
        }
        text.remove_prefix(length);
    }
    out += '"';
}

void appendTerminalText(std::string &out, std::string_view text)
{
    static constexpr std::array<char, 16> kHex{'0', '1', '2', '3', '4', '5', '6', '7',
                                               '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    const auto escape = [&](std::string_view bytes) {
        for (const char c : bytes) {
            out += "\\x";
            out += kHex[static_cast<unsigned char>(c) >> 4];
            out += kHex[static_cast<unsigned char>(c) & 0xF];
        }
    };
    while (!text.empty()) {
        const auto b0 = static_cast<unsigned char>(text.front());
        const std::size_t length = validUtf8Length(text);
        const bool c0 = b0 < 0x20 || b0 == 0x7F;
        const bool c1 = length == 2 && b0 == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0;
        if (length == 0 || c0 || c1)
            escape(text.substr(0, std::max<std::size_t>(length, 1)));
        else
            out.append(text.substr(0, length));
        text.remove_prefix(std::max<std::size_t>(length, 1));
    }
}

std::string terminalSafe(std::string_view text)
{
    std::string safe;
    appendTerminalText(safe, text);
    return safe;
}

namespace {

// A decimal number and nothing else: an optional sign, digits with at most one point, an optional exponent.
bool plainNumber(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            digits = true;
        else if (text[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (!digits)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        const std::size_t exponent = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
        if (i == exponent)
            return false;
    }
    return i == text.size();
}

bool startsFormula(std::string_view text)
{
    if (text.empty())
        return false;
    const char first = text.front();
    if (first != '=' && first != '+' && first != '-' && first != '@' && first != '\t' && first != '\r')
        return false;
    return !plainNumber(text);
}

} // namespace

std::string fixedText(double value, int decimals)
{
    std::array<char, 400> text{};
    const auto written =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, decimals);
    return std::string(text.data(), written.ptr);
}

void appendFigure(std::string &out, double value, Figure kind)
{
    if (!std::isfinite(value))
        return;
    std::array<char, 64> text{};
    const auto write = [&](int significant) {
        const auto written =
            std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::general, significant);
        out.append(text.data(), written.ptr);
    };
    switch (kind) {
    case Figure::Exact: {
        const auto written = std::to_chars(text.data(), text.data() + text.size(), value);
        out.append(text.data(), written.ptr);
        return;
    }
    case Figure::Megahertz:
        return write(9);
    case Figure::Ohms:
        return write(7);
    case Figure::Ratio:
    case Figure::Decibels:
    case Figure::Degrees:
    case Figure::Percent:
    case Figure::KhzPerInch:
        return write(6);
    case Figure::Seconds:
        return write(4);
    }
}

void appendCsvField(std::string &out, std::string_view text)
{
    if (startsFormula(text)) {
        std::string guarded = "'";
        guarded += text;
        appendCsvField(out, guarded);
        return;
    }
    // One pass over the text for the four characters that need quoting (a set search costs a memchr per
    // character, which a batch of a million lines notices).
    if (std::none_of(text.begin(), text.end(), [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; })) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

std::pair<std::string, std::string> distinctTexts(double one, double other, int decimals)
{
    const auto shownExactly = [](double value, int places) {
        return std::fabs(std::strtod(fixedText(value, places).c_str(), nullptr) - value) <= 1e-9 * std::fabs(value);
    };
    for (const int most = decimals + 4;
         decimals < most && !(shownExactly(one, decimals) && shownExactly(other, decimals));)
        ++decimals;
    while (one != other && decimals < 12 && fixedText(one, decimals) == fixedText(other, decimals))
        ++decimals;
    return {fixedText(one, decimals), fixedText(other, decimals)};
}

std::optional<std::int64_t> thousandthsOf(std::string_view text)
{
    text = trimmedText(text);
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

} // namespace tarvelin::format
