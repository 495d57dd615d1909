// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>

#include <cstdint>

namespace tarvelin {

// Colours are written &HBBGGRR in the layouts: blue in the high byte, red in the low one.
[[nodiscard]] inline QColor fromBgr(std::uint32_t bgr)
{
    return QColor::fromRgb(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                           static_cast<int>((bgr >> 16) & 0xFF));
}

namespace bgr {
inline constexpr std::uint32_t kDarkGreen = 0x008000;  // main window ground
inline constexpr std::uint32_t kGreen = 0x00C000;      // chart window ground
inline constexpr std::uint32_t kDarkYellow = 0x00C0C0; // button faces
inline constexpr std::uint32_t kLightGrey = 0xE0E0E0;  // grid cells, frequency box
inline constexpr std::uint32_t kGrey = 0x808080;       // row names, filler
inline constexpr std::uint32_t kBlack = 0x000000;
inline constexpr std::uint32_t kWhite = 0xFFFFFF;
inline constexpr std::uint32_t kPaleYellow = 0x80FFFF; // credits lines
} // namespace bgr

} // namespace tarvelin
