// SPDX-License-Identifier: MIT
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tarvelin::tune {

// Reads a saved file's fields by name. A field absent where it may be is none; one present must be of its
// kind and within its range, or the file is refused, naming the field: no value of the wrong type is ever
// taken for another, wrapped round or thrown at the reader. The first problem is kept, and every read after it
// gives none.
class FileFields
{
public:
    using Json = nlohmann::json;

    // The fields of `object`, named under `path` ("settings.match") in refusals.
    FileFields(const Json &object, std::string path = {});

    [[nodiscard]] const std::optional<std::string> &problem() const { return *m_problem; }

    // A number from `lowest` to `highest`; null is none where `nullable`.
    [[nodiscard]] std::optional<double> number(std::string_view key, double lowest, double highest, bool required,
                                               bool nullable = false);
    // A whole number from `lowest` to `highest`, however it is written (2, 2.0), and never one that wraps.
    [[nodiscard]] std::optional<std::int64_t> whole(std::string_view key, std::int64_t lowest, std::int64_t highest,
                                                    bool required);
    [[nodiscard]] std::optional<bool> flag(std::string_view key, bool required);
    [[nodiscard]] std::optional<std::string> text(std::string_view key, bool required);
    // An object's fields, or an array of exactly `size` entries; none where it is absent (and not required).
    [[nodiscard]] std::optional<FileFields> object(std::string_view key, bool required);
    [[nodiscard]] const Json *array(std::string_view key, std::size_t size, bool required);
    // Whether the field is there at all.
    [[nodiscard]] bool has(std::string_view key) const;

    // Refuses the file for `why`, naming the field.
    void refuse(std::string_view key, const std::string &why);

private:
    FileFields(const Json &object, std::string path, std::shared_ptr<std::optional<std::string>> problem);
    [[nodiscard]] const Json *field(std::string_view key, bool required, const char *kind);
    [[nodiscard]] std::string name(std::string_view key) const;

    const Json *m_object;
    std::string m_path;
    std::shared_ptr<std::optional<std::string>> m_problem; // shared by the fields of one file
};

} // namespace tarvelin::tune
