// SPDX-License-Identifier: MIT
#include "core/tune/filefields.h"

#include "core/design/designlengths.h"

#include <cmath>

namespace tarvelin::tune {

FileFields::FileFields(const Json &object, std::string path)
    : FileFields(object, std::move(path), std::make_shared<std::optional<std::string>>())
{
}

FileFields::FileFields(const Json &object, std::string path, std::shared_ptr<std::optional<std::string>> problem)
    : m_object(&object), m_path(std::move(path)), m_problem(std::move(problem))
{
    if (!m_object->is_object() && !*m_problem)
        *m_problem = "Its \"" + m_path + "\" is not a record of fields.";
}

std::string FileFields::name(std::string_view key) const
{
    return m_path.empty() ? std::string(key) : m_path + "." + std::string(key);
}

void FileFields::refuse(std::string_view key, const std::string &why)
{
    if (!*m_problem)
        *m_problem = "Its \"" + name(key) + "\" " + why + ".";
}

bool FileFields::has(std::string_view key) const
{
    return m_object->is_object() && m_object->contains(key);
}

const FileFields::Json *FileFields::field(std::string_view key, bool required, const char *kind)
{
    if (*m_problem || !m_object->is_object())
        return nullptr;
    const auto found = m_object->find(key);
    if (found == m_object->end()) {
        if (required)
            refuse(key, std::string("is missing: it must be ") + kind);
        return nullptr;
    }
    return &*found;
}

std::optional<double> FileFields::number(std::string_view key, double lowest, double highest, bool required,
                                         bool nullable)
{
    const std::string range = "a number from " + design::shortestText(lowest) + " to " + design::shortestText(highest);
    const Json *value = field(key, required, range.c_str());
    if (!value || (nullable && value->is_null()))
        return std::nullopt;
    const double number = value->is_number() ? value->get<double>() : NAN;
    if (!(number >= lowest && number <= highest)) {
        refuse(key, "is not " + range);
        return std::nullopt;
    }
    return number;
}

std::optional<std::int64_t> FileFields::whole(std::string_view key, std::int64_t lowest, std::int64_t highest,
                                              bool required)
{
    const std::string range = "a whole number from " + std::to_string(lowest) + " to " + std::to_string(highest);
    const Json *value = field(key, required, range.c_str());
    if (!value)
        return std::nullopt;
    // As a double first: a whole number of any size is compared, never converted to a narrower type first.
    const double number = value->is_number() ? value->get<double>() : NAN;
    if (!(number >= static_cast<double>(lowest) && number <= static_cast<double>(highest) &&
          number == std::floor(number))) {
        refuse(key, "is not " + range);
        return std::nullopt;
    }
    return static_cast<std::int64_t>(number);
}

std::optional<bool> FileFields::flag(std::string_view key, bool required)
{
    const Json *value = field(key, required, "true or false");
    if (!value)
        return std::nullopt;
    if (!value->is_boolean()) {
        refuse(key, "is not true or false");
        return std::nullopt;
    }
    return value->get<bool>();
}

std::optional<std::string> FileFields::text(std::string_view key, bool required)
{
    const Json *value = field(key, required, "a text");
    if (!value)
        return std::nullopt;
    if (!value->is_string()) {
        refuse(key, "is not a text");
        return std::nullopt;
    }
    return value->get<std::string>();
}

std::optional<FileFields> FileFields::object(std::string_view key, bool required)
{
    const Json *value = field(key, required, "a record of fields");
    if (!value)
        return std::nullopt;
    if (!value->is_object()) {
        refuse(key, "is not a record of fields");
        return std::nullopt;
    }
    return FileFields(*value, name(key), m_problem);
}

const FileFields::Json *FileFields::array(std::string_view key, std::size_t size, bool required)
{
    const std::string list = "a list of " + std::to_string(size);
    const Json *value = field(key, required, list.c_str());
    if (!value)
        return nullptr;
    if (!value->is_array() || value->size() != size) {
        refuse(key, "is not " + list);
        return nullptr;
    }
    return value;
}

} // namespace tarvelin::tune
