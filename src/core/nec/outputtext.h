// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace tarvelin::nec {

// The engine's printed output, read a line and a field at a time.

// Splits a line into its blank-separated fields.
[[nodiscard]] std::vector<std::string_view> fieldsOf(std::string_view line);

// A field as a finite number; none for anything else, "+1.0E+00" read as 1.
[[nodiscard]] std::optional<double> numberOf(std::string_view field);

class Lines
{
public:
    explicit Lines(std::string_view text) : m_text(text) {}

    [[nodiscard]] bool next(std::string_view &line);

private:
    std::string_view m_text;
    std::size_t m_at = 0;
};

} // namespace tarvelin::nec
