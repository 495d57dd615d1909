// SPDX-License-Identifier: MIT
#pragma once

#include "core/shop/shopsheet.h"

#include <string>
#include <string_view>

namespace tarvelin::shop {

// The sheet's texts for every place it goes: the terminal, a JSON line, CSV rows and tab-separated text for
// a spreadsheet. Each length is given in feet, inches and a fraction of the sheet's step, and in millimetres.

// One JSON object on one line, ending in "\n".
[[nodiscard]] std::string shopSheetJson(const ShopSheet &sheet);

// CSV (RFC 4180): the header row once, then one row per element with the frequency first.
[[nodiscard]] std::string shopSheetCsvHeader();
[[nodiscard]] std::string shopSheetCsvRows(const ShopSheet &sheet);

// The tables as tab-separated text, with headings, for the clipboard.
[[nodiscard]] std::string shopSheetTabSeparated(const ShopSheet &sheet);

// The sheet laid out for a terminal.
[[nodiscard]] std::string shopSheetTable(const ShopSheet &sheet);

// The line that states the step and the largest rounding error: "Fractions to 1/16 in (rounding at most
// 1/32 in, 0.8 mm)."
[[nodiscard]] std::string roundingNote(int step);

} // namespace tarvelin::shop
