// SPDX-License-Identifier: MIT
#pragma once

#include "core/format/resulttable.h"

#include <string>

namespace tarvelin {

class ResultGrid;

// The grid as a table: the element names each row, then the ten columns in the grid's order, each holding
// exactly the text shown (the reflector's two spacing cells empty). Keys name the column and its unit:
// "total_in", "spacing_cm".
[[nodiscard]] ResultTable gridTable(const ResultGrid &grid);

// The grid as tab-separated text for a spreadsheet: the table, then the three boom totals as numbers under
// headings that carry their units. Lines end in "\n".
[[nodiscard]] std::string resultsAsTabSeparated(const ResultGrid &grid);

} // namespace tarvelin
