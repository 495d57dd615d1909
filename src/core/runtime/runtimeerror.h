// SPDX-License-Identifier: MIT
#pragma once

#include <exception>
#include <string_view>

namespace tarvelin {

// Every run-time error the program can raise, numbered once here so that a report, a log line or a test
// can name it without comparing texts.
enum class ErrorNumber
{
    InvalidOperation = 1, // a floating-point operation without a meaningful result (0/0, a NaN operand)
    DivisionByZero = 2,
    Overflow = 3,          // a result beyond the double range, or a 32-bit counter stepping past its limit
    NoSuchMember = 4,      // a control-array index that has no member, such as Reflector column 8
    InvalidArgument = 5,   // a value outside what an operation accepts, such as a frequency that is not positive
    UnsupportedFormat = 6, // a number format pattern the number text does not know
};

[[nodiscard]] std::string_view errorDescription(ErrorNumber number) noexcept;

// The one exception type for failing statements. Each handler decides at its boundary what to do with it:
// show a message and end its pass, skip the step, or let it reach the unhandled-error report.
class RuntimeError : public std::exception
{
public:
    explicit RuntimeError(ErrorNumber number) noexcept : m_number(number) {}

    [[nodiscard]] ErrorNumber number() const noexcept { return m_number; }
    [[nodiscard]] std::string_view description() const noexcept { return errorDescription(m_number); }
    [[nodiscard]] const char *what() const noexcept override;

private:
    ErrorNumber m_number;
};

} // namespace tarvelin
