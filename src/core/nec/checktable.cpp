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
                     {"fb_db", "F/B (dB)"},
                     {"fr_db", "F/R (dB)"},
                     {"takeoff_deg", "Take-off (\u00b0)", false}};
    for (const SweepPoint &p : summary.points)
        table.columns.back().displayed = table.columns.back().displayed || p.elevationDegrees.has_value();
    for (const SweepPoint &p : summary.points)
        table.rows.push_back({{std::string(frequencyLabel), std::nullopt},
                              numberCell(p.mhz, 4),
                              numberCell(p.resistanceOhms, 2),
                              numberCell(p.reactanceOhms, 2),
                              numberCell(p.swr, 3),
                              numberCell(p.gainDbi, 2),
                              numberCell(p.frontToBackDb, 2),
                              numberCell(p.frontToRearDb, 2),
                              p.elevationDegrees ? numberCell(*p.elevationDegrees, 1) : TableCell{}});
    return table;
}

namespace {

std::string megahertz(double mhz)
{
    return fixedText(mhz, 3);
}

// "13.790 to 13.960 MHz"; an edge outside the sweep is named as such: "below 13.774 (outside the sweep)
// to 14.039 MHz".
std::string bandText(const BandEdges &band, const std::vector<SweepPoint> &points)
{
    std::string text =
        band.lowMHz ? megahertz(*band.lowMHz) : "below " + megahertz(points.front().mhz) + " (outside the sweep)";
    text += " to ";
    text += band.highMHz ? megahertz(*band.highMHz) + " MHz"
                         : "above " + megahertz(points.back().mhz) + " MHz (outside the sweep)";
    return text;
}

} // namespace

ResultTable verdictTable(const CheckSummary &summary, double z0Ohms)
{
    ResultTable table;
    table.columns = {{"figure", "Verdict", true, true}, {"value", "", true, false, {}, true}};
    const auto add = [&table](std::string figure, std::string value) {
        table.rows.push_back({{std::move(figure), std::nullopt}, {std::move(value), std::nullopt}});
    };
    if (summary.points.empty())
        return table;
    const SweepPoint &d = summary.design;
    add("SWR at " + megahertz(d.mhz) + " MHz", (std::isfinite(d.swr) ? fixedText(d.swr, 2) : std::string("\u221e")) +
                                                   " on a " + fixedText(z0Ohms, 0) + " \u03a9 line");
    add("Gain", fixedText(d.gainDbi, 2) + " dBi");
    add("F/B", fixedText(d.frontToBackDb, 2) + " dB");
    add("F/R", fixedText(d.frontToRearDb, 2) + " dB");
    if (d.elevationDegrees)
        add("Take-off angle", fixedText(*d.elevationDegrees, 1) + "\u00b0");
    if (summary.resonanceMHz && summary.detunePercent && summary.cutAsForMHz)
        add("Resonance", megahertz(*summary.resonanceMHz) + " MHz, " + fixedText(std::fabs(*summary.detunePercent), 2) +
                             " % " + (*summary.detunePercent < 0 ? "low" : "high") + "; cut as for " +
                             megahertz(*summary.cutAsForMHz) + " MHz");
    else
        add("Resonance", "outside the sweep");
    add("Lowest SWR", fixedText(summary.minSwr, 2) + " at " + megahertz(summary.minSwrMHz) + " MHz");
    add("2:1 SWR", summary.swr2MHz ? bandText(*summary.swr2MHz, summary.points) : std::string("nowhere in the sweep"));
    add("F/B \u2265 20 dB",
        summary.fb20MHz ? bandText(*summary.fb20MHz, summary.points) : std::string("nowhere in the sweep"));
    if (summary.reversalMHz)
        add("Pattern reverses", "above " + megahertz(*summary.reversalMHz) + " MHz");
    if (summary.sensitivityKhzPerInch)
        add("Cutting sensitivity", fixedText(*summary.sensitivityKhzPerInch, 1) + " kHz per inch more driven loop (" +
                                       fixedText(*summary.sensitivityKhzPerInch / 2.54, 1) + " kHz per cm)");
    if (summary.efficiencyPercent)
        add("Wire efficiency", fixedText(*summary.efficiencyPercent, 2) + " %");
    return table;
}

} // namespace tarvelin::nec
