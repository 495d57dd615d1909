// SPDX-License-Identifier: MIT
#include "core/format/resulttable.h"

#include <algorithm>
#include <utility>

namespace tarvelin::format {

namespace {

// Characters a terminal shows for a UTF-8 text: every byte but the continuation bytes.
std::size_t shownWidth(const std::string &text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

} // namespace

void appendTerminalTable(std::string &out, const ResultTable &table)
{
    std::vector<std::size_t> widths;
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        std::size_t width = shownWidth(table.columns[c].heading);
        for (const std::vector<TableCell> &row : table.rows)
            width = std::max(width, shownWidth(row[c].text));
        widths.push_back(width);
    }
    const auto appendRow = [&](const auto &cells, const auto &textOf) {
        bool first = true;
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            if (!table.columns[c].displayed)
                continue;
            if (!std::exchange(first, false))
                out += "  ";
            const std::string &text = textOf(cells[c]);
            const std::size_t pad = widths[c] - std::min(widths[c], shownWidth(text));
            const bool left = table.columns[c].rowHeading || table.columns[c].prose;
            if (!left)
                out.append(pad, ' ');
            out += text;
            if (left)
                out.append(pad, ' ');
        }
        while (!out.empty() && out.back() == ' ')
            out.pop_back();
        out += '\n';
    };
    appendRow(table.columns, [](const TableColumn &column) -> const std::string & { return column.heading; });
    for (const std::vector<TableCell> &row : table.rows)
        appendRow(row, [](const TableCell &cell) -> const std::string & { return cell.text; });
}

} // namespace tarvelin::format
