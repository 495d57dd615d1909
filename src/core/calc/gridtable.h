// SPDX-License-Identifier: MIT
#pragma once

#include "core/format/resulttable.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarvelin::format {
class JsonWriter;
}

namespace tarvelin::calc {

class MemoryGrid;
class ResultGrid;

// The grid as a table: the element names each row, then the ten columns in the grid's order, each holding
// exactly the text shown (the reflector's two spacing cells empty). Keys name the column and its unit:
// "total_in", "spacing_cm".
[[nodiscard]] format::ResultTable gridTable(const ResultGrid &grid);

// The headings over the grid's pairs of columns, inches then centimetres, as every text of the grid names them.
[[nodiscard]] std::string_view gridPairHeading(int pair);

// The grid as one CSV line a frequency: the frequency as typed, every element's cells under "<element>_<key>"
// (reflector_total_in, ...), then the boom totals as numbers under boom_ft, boom_in and boom_cm.
[[nodiscard]] const std::vector<format::TableColumn> &gridCsvColumns();
void appendGridCsvRow(std::string &out, std::string_view frequencyText, const MemoryGrid &grid);

// The grid as one JSON record: the frequency as typed, the cells row by row, the boom totals as shown.
void writeGridJson(format::JsonWriter &json, std::string_view frequencyText, const MemoryGrid &grid);

// The grid as tab-separated text for a spreadsheet: the table, then the three boom totals as numbers under
// headings that carry their units. Lines end in "\n".
[[nodiscard]] std::string resultsAsTabSeparated(const ResultGrid &grid);

} // namespace tarvelin::calc
