// SPDX-License-Identifier: MIT
#include "core/text/typedtext.h"

#include <charconv>
#include <cmath>

namespace tarvelin {

std::optional<double> decimalText(std::string_view text)
{
    text = trimmedText(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1); // from_chars takes a minus only
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    // from_chars reads "inf" and "nan" as words; a setting is digits.
    for (const char c : text)
        if (c == 'i' || c == 'I' || c == 'n' || c == 'N')
            return std::nullopt;
    return value;
}

std::string_view withoutUnit(std::string_view text, std::string_view unit)
{
    text = trimmedText(text);
    if (text.size() < unit.size())
        return text;
    const std::string_view tail = text.substr(text.size() - unit.size());
    for (std::size_t i = 0; i < unit.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(tail[i]) != lower(unit[i]))
            return text;
    }
    return trimmedText(text.substr(0, text.size() - unit.size()));
}

std::optional<double> megahertzText(std::string_view text)
{
    return decimalText(withoutUnit(text, "mhz"));
}

std::optional<int> wholeText(std::string_view text)
{
    text = trimmedText(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace tarvelin
