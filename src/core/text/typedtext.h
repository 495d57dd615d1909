// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string_view>

namespace tarvelin {

// A setting typed as a number: the whole text, but for blanks around it, is a decimal number, with an
// optional sign and exponent and "." as the point; no infinity, no NaN, nothing after it.
[[nodiscard]] std::optional<double> decimalText(std::string_view text);

// The text without `unit` at its end, in any case, and the blanks before it: "0.5 %" is "0.5" for "%". The
// text as it was, trimmed, where it does not end in the unit.
[[nodiscard]] std::string_view withoutUnit(std::string_view text, std::string_view unit);

// A frequency typed in MHz: a decimal number as above, and "MHz" after it if the user wrote the unit, in any
// case ("14.2", "14.2 MHz", "14.2mhz").
[[nodiscard]] std::optional<double> megahertzText(std::string_view text);

// The same for a whole number that fits an int.
[[nodiscard]] std::optional<int> wholeText(std::string_view text);

// The text without blanks and tabs at either end. Inline: every grid text the sheet reads passes through it.
[[nodiscard]] constexpr std::string_view trimmedText(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace tarvelin
