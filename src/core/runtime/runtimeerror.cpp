// SPDX-License-Identifier: MIT
#include "core/runtime/runtimeerror.h"

namespace tarvelin {

std::string_view errorDescription(ErrorNumber number) noexcept
{
    switch (number) {
    case ErrorNumber::InvalidOperation:
        return "Invalid floating-point operation";
    case ErrorNumber::DivisionByZero:
        return "Division by zero";
    case ErrorNumber::Overflow:
        return "Overflow";
    case ErrorNumber::NoSuchMember:
        return "No such control array member";
    case ErrorNumber::InvalidArgument:
        return "Invalid argument";
    case ErrorNumber::UnsupportedFormat:
        return "Unsupported number format";
    }
    return "Unknown error";
}

const char *RuntimeError::what() const noexcept
{
    // Every description is a literal, so its data is null-terminated and lives for the whole program.
    return description().data();
}

} // namespace tarvelin
