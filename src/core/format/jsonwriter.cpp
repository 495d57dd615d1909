// SPDX-License-Identifier: MIT
#include "core/format/jsonwriter.h"

namespace tarvelin::format {

JsonWriter &JsonWriter::beginRecord(std::string_view key)
{
    open(key);
    m_out += '{';
    m_afterValue = false;
    return *this;
}

JsonWriter &JsonWriter::endRecord()
{
    m_out += '}';
    m_afterValue = true;
    return *this;
}

JsonWriter &JsonWriter::beginList(std::string_view key)
{
    open(key);
    m_out += '[';
    m_afterValue = false;
    return *this;
}

JsonWriter &JsonWriter::endList()
{
    m_out += ']';
    m_afterValue = true;
    return *this;
}

JsonWriter &JsonWriter::number(std::string_view key, double value, Figure kind)
{
    open(key);
    const std::size_t before = m_out.size();
    appendFigure(m_out, value, kind);
    if (m_out.size() == before)
        m_out += "null";
    return *this;
}

JsonWriter &JsonWriter::number(std::string_view key, std::optional<double> value, Figure kind)
{
    if (!value)
        return null(key);
    return number(key, *value, kind);
}

JsonWriter &JsonWriter::whole(std::string_view key, long long value)
{
    open(key);
    m_out += std::to_string(value);
    return *this;
}

JsonWriter &JsonWriter::flag(std::string_view key, bool value)
{
    open(key);
    m_out += value ? "true" : "false";
    return *this;
}

JsonWriter &JsonWriter::null(std::string_view key)
{
    open(key);
    m_out += "null";
    return *this;
}

} // namespace tarvelin::format
