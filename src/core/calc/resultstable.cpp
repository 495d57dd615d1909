// SPDX-License-Identifier: MIT
#include "core/calc/resultstable.h"

#include "core/calc/resultgrid.h"

#include <array>
#include <string_view>

namespace tarvelin {

namespace {

struct ColumnPair
{
    std::string_view key;
    std::string_view heading;
};

constexpr std::array<ColumnPair, kGridColumnCount / 2> kColumnPairs{{
    {"total", "Total Length"},
    {"side", "Wire One Side"},
    {"spreader_half", "Spreader Half Length"},
    {"spreader_total", "Spreader Total Length"},
    {"spacing", "Element Spacing"},
}};

struct BoomLine
{
    BoomTotal total;
    std::string_view heading;
};

constexpr std::array<BoomLine, 3> kBoomLines{{
    {BoomTotal::Feet, "Total Boom Length (ft)"},
    {BoomTotal::Inches, "Total Boom Length (in)"},
    {BoomTotal::Centimetres, "Total Boom Length (cm)"},
}};

} // namespace

ResultTable gridTable(const ResultGrid &grid)
{
    ResultTable table;
    table.columns.push_back({"element", "Element", true, true});
    for (const ColumnPair &pair : kColumnPairs)
        for (const std::string_view unit : {"in", "cm"})
            table.columns.push_back({std::string(pair.key) + '_' + std::string(unit),
                                     std::string(pair.heading) + " (" + std::string(unit) + ')', true, false});
    for (const ElementRow row : kElementRows) {
        std::vector<TableCell> &cells = table.rows.emplace_back();
        cells.push_back({std::string(elementRowName(row)), std::nullopt});
        for (int c = 0; c < kGridColumnCount; ++c)
            cells.push_back({c < columnCount(row) ? grid.cellText(row, c) : std::string(), std::nullopt});
    }
    return table;
}

std::string resultsAsTabSeparated(const ResultGrid &grid)
{
    std::string text;
    appendTabSeparatedTable(text, gridTable(grid));
    // The totals carry their unit in the window (" FT."); a spreadsheet wants the number alone.
    for (const BoomLine &line : kBoomLines) {
        const std::string shown = grid.boomText(line.total);
        text += line.heading;
        text += '\t';
        text += shown.substr(0, shown.find(' '));
        text += '\n';
    }
    return text;
}

} // namespace tarvelin
