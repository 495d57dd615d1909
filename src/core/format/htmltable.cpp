// SPDX-License-Identifier: MIT
#include "core/format/resulttable.h"

namespace tarvelin::format {

// A cell's text never breaks: a length split after its feet would be misread at the bench.
void appendHtmlEscaped(std::string &out, std::string_view text, bool keepTogether)
{
    for (const char c : text) {
        switch (c) {
        case ' ':
            out += keepTogether ? "&nbsp;" : " ";
            break;
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
}

std::string htmlTable(const ResultTable &table)
{
    std::string out = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><tr>";
    const auto shown = [&table](std::size_t c) {
        return table.columns[c].displayed && table.columns[c].twinUnit.empty();
    };
    const auto twinOf = [&table](std::size_t c) {
        return c + 1 < table.columns.size() && table.columns[c + 1].displayed && !table.columns[c + 1].twinUnit.empty();
    };
    for (const TableColumn &column : table.columns) {
        if (!column.displayed || !column.twinUnit.empty())
            continue;
        out += "<th>";
        appendHtmlEscaped(out, column.heading);
        out += "</th>";
    }
    out += "</tr>";
    for (const std::vector<TableCell> &row : table.rows) {
        out += "<tr>";
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (!shown(c))
                continue;
            const bool heading = table.columns[c].rowHeading;
            out += heading                  ? "<th align=\"left\">"
                   : table.columns[c].prose ? "<td align=\"left\">"
                                            : "<td align=\"right\">";
            appendHtmlEscaped(out, row[c].text, true);
            if (twinOf(c) && !row[c + 1].text.empty()) {
                out += "<br>";
                appendHtmlEscaped(out, row[c + 1].text + ' ' + table.columns[c + 1].twinUnit, true);
            }
            out += heading ? "</th>" : "</td>";
        }
        out += "</tr>";
    }
    out += "</table>";
    return out;
}

} // namespace tarvelin::format
