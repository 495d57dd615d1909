// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tarvelin::calc {

// The seven elements of the quad, front to back along the boom as they stand in the grid, top to bottom.
enum class ElementRow
{
    Reflector,
    Driven,
    Director1,
    Director2,
    Director3,
    Director4,
    Director5,
};

inline constexpr int kElementRowCount = 7;
inline constexpr std::array<ElementRow, kElementRowCount> kElementRows{
    ElementRow::Reflector, ElementRow::Driven,    ElementRow::Director1, ElementRow::Director2,
    ElementRow::Director3, ElementRow::Director4, ElementRow::Director5,
};

// Grid columns come in pairs, inches then centimetres.
namespace column {
inline constexpr int kTotalLengthInches = 0;
inline constexpr int kTotalLengthCentimetres = 1;
inline constexpr int kSideInches = 2;
inline constexpr int kSideCentimetres = 3;
inline constexpr int kSpreaderHalfInches = 4;
inline constexpr int kSpreaderHalfCentimetres = 5;
inline constexpr int kSpreaderTotalInches = 6;
inline constexpr int kSpreaderTotalCentimetres = 7;
inline constexpr int kSpacingInches = 8;
inline constexpr int kSpacingCentimetres = 9;
} // namespace column

inline constexpr int kGridColumnCount = 10;

// The reflector is the rearmost element, so it has no spacing to an element behind it: columns 8 and 9
// do not exist in its row.
[[nodiscard]] constexpr int columnCount(ElementRow row)
{
    return row == ElementRow::Reflector ? 8 : kGridColumnCount;
}

[[nodiscard]] constexpr int rowIndex(ElementRow row)
{
    return static_cast<int>(row);
}

[[nodiscard]] std::string_view elementRowName(ElementRow row);

// The three boom totals under the grid, each a number followed by its unit suffix.
enum class BoomTotal
{
    Feet,
    Inches,
    Centimetres,
};

[[nodiscard]] std::string_view boomSuffix(BoomTotal total);

// What the calculation pass writes to: the frequency text, the cells of the grid, the boom totals and the
// visibility of the boom caption. The main window implements it with its labels; an in-memory grid serves the
// command-line companion and the tests. Reaching a cell that does not exist raises NoSuchMember.
class ResultGrid
{
public:
    virtual ~ResultGrid() = default;

    [[nodiscard]] virtual std::string frequencyText() const = 0;

    [[nodiscard]] virtual std::string cellText(ElementRow row, int gridColumn) const = 0;
    virtual void setCellText(ElementRow row, int gridColumn, const std::string &text) = 0;

    [[nodiscard]] virtual std::string boomText(BoomTotal total) const = 0;
    virtual void setBoomText(BoomTotal total, const std::string &text) = 0;

    [[nodiscard]] virtual bool boomCaptionVisible() const = 0;
    virtual void setBoomCaptionVisible(bool visible) = 0;
};

} // namespace tarvelin::calc
