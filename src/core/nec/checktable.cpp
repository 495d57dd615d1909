// SPDX-License-Identifier: MIT
#include "core/nec/checktable.h"

#include "core/format/fieldtext.h"
#include "core/nec/checksummary.h"

#include <cmath>

namespace tarvelin::nec {

namespace {

TableCell numberCell(double value, int decimals)
{
    if (!std::isfinite(value))
        return {value > 0 ? "\u221e" : "-\u221e", value};
    return {fixedText(value, decimals), value};
}

} // namespace

ResultTable checkTable(const CheckSummary &summary, std::string_view frequencyLabel)
{
    ResultTable table;
    table.columns = {{"frequency", "Design MHz", false},
                     {"mhz", "MHz"},
                     {"r", "R (\u03a9)"},
                     {"x", "X (\u03a9)"},
                     {"swr", "SWR"},
                     {"gain_dbi", "Gain (dBi)"},
                     {"fb_db", "F/B (dB)"}};
    for (const SweepPoint &p : summary.points)
        table.rows.push_back({{std::string(frequencyLabel), std::nullopt},
                              numberCell(p.mhz, 4),
                              numberCell(p.resistanceOhms, 2),
                              numberCell(p.reactanceOhms, 2),
                              numberCell(p.swr, 3),
                              numberCell(p.gainDbi, 2),
                              numberCell(p.frontToBackDb, 2)});
    return table;
}

} // namespace tarvelin::nec
