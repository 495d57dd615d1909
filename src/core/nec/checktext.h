// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tarvelin::nec {

struct CheckSummary;

// The check's sweep as CSV, written alike by the window and by tarvelin-calc: RFC 4180 with CRLF line ends,
// one row per frequency, the design frequency to three decimals first, then numbers only, an infinite SWR
// as "inf".
[[nodiscard]] std::string checkCsvHeader();
void appendCheckCsvRows(std::string &out, std::string_view frequencyLabel, const CheckSummary &summary);

} // namespace tarvelin::nec
