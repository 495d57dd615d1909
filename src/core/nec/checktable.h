// SPDX-License-Identifier: MIT
#pragma once

#include "core/format/resulttable.h"

#include <string_view>

namespace tarvelin::nec {

struct CheckSummary;

// The check's sweep as a table, one row per frequency: the design frequency (in files only), then MHz, R, X,
// SWR, gain and F/B, shown with 4, 2, 2, 3, 2 and 2 decimals, an infinite SWR as "∞".
[[nodiscard]] ResultTable checkTable(const CheckSummary &summary, std::string_view frequencyLabel);

} // namespace tarvelin::nec
