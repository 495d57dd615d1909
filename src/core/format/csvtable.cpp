// SPDX-License-Identifier: MIT
#include "core/format/fieldtext.h"
#include "core/format/resulttable.h"

namespace tarvelin::format {

void appendCsvTable(std::string &out, const ResultTable &table, bool header)
{
    if (header) {
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            if (c > 0)
                out += ',';
            appendCsvField(out, table.columns[c].key);
        }
        out += "\r\n";
    }
    for (const std::vector<TableCell> &row : table.rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0)
                out += ',';
            if (row[c].number)
                appendFigure(out, *row[c].number, table.columns[c].figure);
            else
                appendCsvField(out, row[c].text);
        }
        out += "\r\n";
    }
}

} // namespace tarvelin::format
