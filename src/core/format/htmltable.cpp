// SPDX-License-Identifier: MIT
#include "core/format/resulttable.h"

namespace tarvelin {

namespace {

void appendEscaped(std::string &out, const std::string &text)
{
    for (const char c : text) {
        switch (c) {
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

} // namespace

std::string htmlTable(const ResultTable &table)
{
    std::string out = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><tr>";
    for (const TableColumn &column : table.columns) {
        if (!column.displayed)
            continue;
        out += "<th>";
        appendEscaped(out, column.heading);
        out += "</th>";
    }
    out += "</tr>";
    for (const std::vector<TableCell> &row : table.rows) {
        out += "<tr>";
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (!table.columns[c].displayed)
                continue;
            out += "<td align=\"right\">";
            appendEscaped(out, row[c].text);
            out += "</td>";
        }
        out += "</tr>";
    }
    out += "</table>";
    return out;
}

} // namespace tarvelin
