// SPDX-License-Identifier: MIT
#include "core/format/resulttable.h"

namespace tarvelin::format {

namespace {

void appendField(std::string &out, const std::string &text)
{
    for (const char c : text)
        out += c == '\t' || c == '\n' || c == '\r' ? ' ' : c;
}

} // namespace

void appendTabSeparatedTable(std::string &out, const ResultTable &table)
{
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        if (c > 0)
            out += '\t';
        appendField(out, table.columns[c].heading);
    }
    out += '\n';
    for (const std::vector<TableCell> &row : table.rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0)
                out += '\t';
            appendField(out, row[c].text);
        }
        out += '\n';
    }
}

} // namespace tarvelin::format
