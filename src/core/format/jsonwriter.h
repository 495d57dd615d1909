// SPDX-License-Identifier: MIT
#pragma once

#include "core/format/fieldtext.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tarvelin::format {

// Writes JSON, a field at a time, for every result the program gives: records and lists nest, texts are
// escaped, numbers are written as their kind of figure (what is no number as null), and the commas fall where
// they belong. Keys are the program's own names, plain ASCII, and are written as they are. Each result lists
// its fields by name through this one writer.
class JsonWriter
{
public:
    explicit JsonWriter(std::string &out) : m_out(out) {}

    // A record or a list, as a value or, with a key, as a field of the record it is in.
    JsonWriter &beginRecord(std::string_view key = {});
    JsonWriter &endRecord();
    JsonWriter &beginList(std::string_view key = {});
    JsonWriter &endList();

    JsonWriter &text(std::string_view key, std::string_view value)
    {
        open(key);
        appendJsonString(m_out, value);
        return *this;
    }
    // A list of texts, as a value or a field: a grid row of them at once.
    template <class Texts> JsonWriter &textList(std::string_view key, const Texts &values)
    {
        open(key);
        m_out.push_back('[');
        bool first = true;
        for (const auto &value : values) {
            if (!first)
                m_out.append(", ", 2);
            first = false;
            appendJsonString(m_out, value);
        }
        m_out.push_back(']');
        return *this;
    }

    JsonWriter &number(std::string_view key, double value, Figure kind);
    JsonWriter &number(std::string_view key, std::optional<double> value, Figure kind);
    JsonWriter &whole(std::string_view key, long long value);
    // A field whose value the caller appends, as JSON, quotes and all: for texts the program writes itself
    // straight into the output, such as a length's fraction with its inch mark escaped.
    [[nodiscard]] std::string &rawValue(std::string_view key)
    {
        open(key);
        return m_out;
    }
    JsonWriter &flag(std::string_view key, bool value);
    JsonWriter &null(std::string_view key);

    // Room for `bytes` more, for a record whose size is known roughly.
    void reserve(std::size_t bytes) { m_out.reserve(m_out.size() + bytes); }

    // A finished top-level record ends its line.
    void endLine() { m_out += '\n'; }

private:
    // The comma before a value, and its key inside a record. A batch writes millions of these, so they stay
    // in line here.
    void open(std::string_view key)
    {
        // The comma and the key go over in one piece; a key longer than any the program has, in two.
        std::array<char, 64> piece; // NOLINT: only the part written is appended
        std::size_t length = 0;
        if (m_afterValue) {
            piece[length++] = ',';
            piece[length++] = ' ';
        }
        m_afterValue = true;
        if (!key.empty()) {
            piece[length++] = '"';
            if (key.size() + length + 3 > piece.size()) {
                m_out.append(piece.data(), length);
                m_out.append(key);
                m_out.append("\": ", 3);
                return;
            }
            key.copy(piece.data() + length, key.size());
            length += key.size();
            piece[length++] = '"';
            piece[length++] = ':';
            piece[length++] = ' ';
        }
        m_out.append(piece.data(), length);
    }

    std::string &m_out;
    bool m_afterValue = false; // a value stands before the next one, which a comma must part from it
};

} // namespace tarvelin::format
