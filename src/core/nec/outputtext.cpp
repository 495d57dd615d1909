// SPDX-License-Identifier: MIT
#include "core/nec/outputtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tarvelin::nec {

std::vector<std::string_view> fieldsOf(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r'))
            ++at;
        const std::size_t start = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t' && line[at] != '\r')
            ++at;
        if (at > start)
            fields.push_back(line.substr(start, at - start));
    }
    return fields;
}

std::optional<double> numberOf(std::string_view field)
{
    if (!field.empty() && field.front() == '+')
        field.remove_prefix(1);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc() || end != field.data() + field.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool Lines::next(std::string_view &line)
{
    if (m_at >= m_text.size())
        return false;
    const std::size_t end = std::min(m_text.find('\n', m_at), m_text.size());
    line = m_text.substr(m_at, end - m_at);
    m_at = end + 1;
    return true;
}

} // namespace tarvelin::nec
