// SPDX-License-Identifier: MIT
#include "core/calc/gridtable.h"

#include "core/calc/memorygrid.h"
#include "core/calc/resultgrid.h"
#include "core/format/jsonwriter.h"

#include <array>
#include <span>
#include <string_view>

namespace tarvelin::calc {

namespace {

struct ColumnPair
{
    std::string_view key;
    std::string_view heading;
};

constexpr std::array<ColumnPair, kGridColumnCount / 2> kColumnPairs{{
    {"total", "Element Total Length"},
    {"side", "Wire - One Side"},
    {"spreader_half", "Spreader Half Length"},
    {"spreader_total", "Spreader Total Length"},
    {"spacing", "Element Spacing"},
}};

struct BoomLine
{
    BoomTotal total;
    std::string_view key;
    std::string_view heading;
};

constexpr std::array<BoomLine, 3> kBoomLines{{
    {BoomTotal::Feet, "boom_ft", "Total Boom Length (ft)"},
    {BoomTotal::Inches, "boom_in", "Total Boom Length (in)"},
    {BoomTotal::Centimetres, "boom_cm", "Total Boom Length (cm)"},
}};

} // namespace

std::string_view gridPairHeading(int pair)
{
    return kColumnPairs[static_cast<std::size_t>(pair)].heading;
}

const std::vector<format::TableColumn> &gridCsvColumns()
{
    static const std::vector<format::TableColumn> columns = [] {
        const format::ResultTable grid = gridTable(MemoryGrid());
        std::vector<format::TableColumn> all{{"frequency", "Frequency (MHz)"}};
        for (const ElementRow row : kElementRows) {
            std::string name(elementRowName(row));
            for (char &c : name)
                c = c == ' ' ? '_' : static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            for (int c = 0; c < columnCount(row); ++c) {
                format::TableColumn column = grid.columns[static_cast<std::size_t>(c) + 1];
                column.key = name + '_' + column.key;
                column.heading = std::string(elementRowName(row)) + ' ' + column.heading;
                all.push_back(std::move(column));
            }
        }
        for (const BoomLine &line : kBoomLines)
            all.push_back({std::string(line.key), std::string(line.heading)});
        return all;
    }();
    return columns;
}

void appendGridCsvRow(std::string &out, std::string_view frequencyText, const MemoryGrid &grid)
{
    // In the columns' order, straight from the grid: a batch writes a million of these.
    format::appendCsvField(out, frequencyText);
    for (const ElementRow row : kElementRows)
        for (int c = 0; c < columnCount(row); ++c) {
            out += ',';
            format::appendCsvField(out, grid.cell(row, c));
        }
    for (const BoomLine &line : kBoomLines) {
        out += ',';
        const std::string &shown = grid.boom(line.total);
        format::appendCsvField(out, std::string_view(shown).substr(0, shown.find(' ')));
    }
}

void writeGridJson(format::JsonWriter &json, std::string_view frequencyText, const MemoryGrid &grid)
{
    json.beginRecord().text("frequency", frequencyText).beginList("cells");
    for (const ElementRow row : kElementRows) {
        std::array<std::string_view, kGridColumnCount> cells{};
        for (int c = 0; c < columnCount(row); ++c)
            cells[static_cast<std::size_t>(c)] = grid.cell(row, c);
        json.textList({}, std::span(cells.data(), static_cast<std::size_t>(columnCount(row))));
    }
    json.endList()
        .beginRecord("boom")
        .text("feet", grid.boom(BoomTotal::Feet))
        .text("inches", grid.boom(BoomTotal::Inches))
        .text("centimetres", grid.boom(BoomTotal::Centimetres))
        .endRecord()
        .endRecord();
}

format::ResultTable gridTable(const ResultGrid &grid)
{
    format::ResultTable table;
    table.columns.push_back({"element", "Element", true, true});
    for (const ColumnPair &pair : kColumnPairs)
        for (const std::string_view unit : {"in", "cm"})
            table.columns.push_back({std::string(pair.key) + '_' + std::string(unit),
                                     std::string(pair.heading) + " (" + std::string(unit) + ')', true, false});
    for (const ElementRow row : kElementRows) {
        std::vector<format::TableCell> &cells = table.rows.emplace_back();
        cells.push_back({std::string(elementRowName(row)), std::nullopt});
        for (int c = 0; c < kGridColumnCount; ++c)
            cells.push_back({c < columnCount(row) ? grid.cellText(row, c) : std::string(), std::nullopt});
    }
    return table;
}

std::string resultsAsTabSeparated(const ResultGrid &grid)
{
    std::string text;
    format::appendTabSeparatedTable(text, gridTable(grid));
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

} // namespace tarvelin::calc
