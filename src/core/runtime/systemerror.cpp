// SPDX-License-Identifier: MIT
#include "core/runtime/systemerror.h"

#include <array>
#include <cstring>

namespace tarvelin {

namespace {

// strerror_r is either the GNU function, which gives the text, or the POSIX one, which fills the buffer.
[[maybe_unused]] const char *textOf(const char *given, const char * /*buffer*/)
{
    return given;
}

[[maybe_unused]] const char *textOf(int /*status*/, const char *buffer)
{
    return buffer;
}

} // namespace

std::string systemErrorText(int error)
{
    std::array<char, 256> buffer{};
    return textOf(strerror_r(error, buffer.data(), buffer.size()), buffer.data());
}

} // namespace tarvelin
