// SPDX-License-Identifier: MIT
#pragma once

#include "core/format/fieldtext.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelin::format {

// A result as a table, the one model its formats are written from: the terminal, CSV, the printouts' HTML
// and the windows' tables. A new format is one writer over this; a new column is one edit where a result
// kind makes its table.
struct TableColumn
{
    std::string key;               // the CSV header's name, with its unit: "gain_dbi"
    std::string heading;           // as a person reads it: "Gain (dBi)"
    bool displayed = true;         // false: in the files only, such as the design frequency beside every row
    bool rowHeading = false;       // names its row, as the element does: a window shows it as the row's header
    std::string twinUnit{};        // set: the column before in this unit ("mm"); a page shows it under that one
    bool prose = false;            // words rather than figures, aligned to the left
    Figure figure = Figure::Exact; // how the files write its numbers
};

struct TableCell
{
    std::string text;             // as shown, with its decimals: "10.95", "> 999"
    std::optional<double> number; // the value itself, for files that hold numbers; none for a text
};

struct ResultTable
{
    std::vector<TableColumn> columns;
    std::vector<std::vector<TableCell>> rows;
};

// CSV, RFC 4180 with CRLF line ends: the keys as the header, when asked for, then every row; numbers as their
// column's kind of figure writes them (what is no number, such as an infinite SWR, left empty), texts guarded
// against spreadsheet formulas.
void appendCsvTable(std::string &out, const ResultTable &table, bool header);

// The displayed columns aligned for a terminal: headings over right-aligned texts, a row's heading to the left.
void appendTerminalTable(std::string &out, const ResultTable &table);

// The displayed columns as an HTML table for the printouts, every text escaped and kept on its line; a twin
// column's text stands under its partner's, with its unit.
[[nodiscard]] std::string htmlTable(const ResultTable &table);

// Text escaped for HTML; kept together, its blanks do not break.
void appendHtmlEscaped(std::string &out, std::string_view text, bool keepTogether = false);

// Every column as tab-separated text for a spreadsheet's paste: the headings, then the rows, lines ending in
// "\n". A tab or line break inside a text becomes a blank, so it cannot shift the cells after it.
void appendTabSeparatedTable(std::string &out, const ResultTable &table);

} // namespace tarvelin::format
