// SPDX-License-Identifier: MIT
#pragma once

#include "gui/windows/styling/fonts.h"
#include "gui/windows/styling/twips.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tarvelin::form1layout {

// The main window as it is drawn, in twips and &HBBGGRR colours. This table is the only source of the
// window's geometry; Form1 builds its controls from it and converts with toPixels().

inline constexpr int kClientWidthTwips = 10950;
inline constexpr int kClientHeightTwips = 3675;
inline constexpr int kOuterHeightTwips = 4050;      // the client height plus the frame
inline constexpr int kPrintOuterHeightTwips = 3525; // the print layout leaves out the strip along the bottom

// The result grid: element row r, grid column c.
inline constexpr int kCellLeftTwips = 1320;
inline constexpr int kCellTopTwips = 840;
inline constexpr int kCellPitchAcrossTwips = 960;
inline constexpr int kCellPitchDownTwips = 285;
inline constexpr int kCellWidthTwips = 930;
inline constexpr int kCellHeightTwips = 255;

[[nodiscard]] constexpr TwipsRect cellRect(int row, int gridColumn)
{
    return {kCellLeftTwips + kCellPitchAcrossTwips * gridColumn, kCellTopTwips + kCellPitchDownTwips * row,
            kCellWidthTwips, kCellHeightTwips};
}

enum class Align
{
    Left,
    Centre,
    Right,
};

// A colour of the layout, or the system's colour for button faces (background) or button text (foreground).
using LayoutColor = std::optional<std::uint32_t>;
inline constexpr LayoutColor kSystemColor = std::nullopt;

struct LabelRow
{
    std::string_view name;
    int index; // member of a control array, or -1
    std::string_view caption;
    TwipsRect rect;
    bool opaque;
    LayoutColor back;
    LayoutColor fore;
    Align align;
    FontRole font;
    bool visible;
    std::string_view role; // what the label is for, as an accessibility tool reads it
};

// Every label but the grid cells, in stacking order from the bottom up: where two overlap, the later one
// lies on top. The grid cells sit between the backdrop (first) and the rest.
[[nodiscard]] std::span<const LabelRow> labels();

// The grid cells go in after this many rows of labels().
inline constexpr std::size_t kCellsAfterLabelRows = 1;

struct ButtonRow
{
    std::string_view name;
    std::string_view caption;
    TwipsRect rect;
    int tabIndex;
};

[[nodiscard]] std::span<const ButtonRow> buttons();

inline constexpr std::string_view kFrequencyBoxName = "Text1";
inline constexpr TwipsRect kFrequencyBoxRect{3690, 3330, 1035, 300};
inline constexpr int kFrequencyBoxTabIndex = 61;

} // namespace tarvelin::form1layout
