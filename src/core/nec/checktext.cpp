// SPDX-License-Identifier: MIT
#include "core/nec/checktext.h"

#include "core/format/fieldtext.h"
#include "core/nec/checksummary.h"

namespace tarvelin::nec {

std::string checkCsvHeader()
{
    return "frequency,mhz,r,x,swr,gain_dbi,fb_db\r\n";
}

void appendCheckCsvRows(std::string &out, std::string_view frequencyLabel, const CheckSummary &summary)
{
    for (const SweepPoint &p : summary.points) {
        appendCsvField(out, frequencyLabel);
        for (const double value : {p.mhz, p.resistanceOhms, p.reactanceOhms, p.swr, p.gainDbi, p.frontToBackDb}) {
            out += ',';
            appendCsvNumber(out, value);
        }
        out += "\r\n";
    }
}

} // namespace tarvelin::nec
