// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tarvelin {

class ResultGrid;

// The grid as tab-separated text for a spreadsheet: a heading row with the units, one row per element with
// exactly the texts shown (the reflector's two spacing fields empty), and the three boom totals as numbers
// under headings that carry their units. Lines end in "\n".
[[nodiscard]] std::string resultsAsTabSeparated(const ResultGrid &grid);

} // namespace tarvelin
