// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <string_view>

namespace tarvelin {

// A text of the core, UTF-8, as Qt holds it.
[[nodiscard]] inline QString qText(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace tarvelin
