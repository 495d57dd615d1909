// SPDX-License-Identifier: MIT
#include "core/nec/checktable.h"

#include "core/calc/designlengths.h"
#include "core/format/fieldtext.h"
#include "core/format/jsonwriter.h"
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
    const auto figure = [](std::string key, std::string heading, Figure kind, bool displayed = true) {
        TableColumn column{std::move(key), std::move(heading), displayed};
        column.figure = kind;
        return column;
    };
    table.columns = {{"frequency", "Design MHz", false},
                     figure("mhz", "MHz", Figure::Megahertz),
                     figure("r", "R (\u03a9)", Figure::Ohms),
                     figure("x", "X (\u03a9)", Figure::Ohms),
                     figure("swr", "SWR", Figure::Ratio),
                     figure("gain_dbi", "Gain (dBi)", Figure::Decibels),
                     figure("fb_db", "F/B (dB)", Figure::Decibels),
                     figure("fr_db", "F/R (dB)", Figure::Decibels),
                     figure("takeoff_deg", "Take-off (\u00b0)", Figure::Degrees, false)};
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
    return frequencyLabel(mhz);
}

// A figure with at least two significant digits and one decimal: "-14.5", "-0.046".
std::string figureText(double value)
{
    int decimals = 1;
    while (decimals < 9 && std::fabs(value) > 0.0 && std::fabs(value) < 10.0 * std::pow(10.0, -decimals))
        ++decimals;
    return fixedText(value, decimals);
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
    if (summary.sensitivityKhzPerInch) {
        // In kHz while that reads to a tenth, else in Hz: at the lowest frequencies a kHz is too coarse a unit.
        const double perInch = *summary.sensitivityKhzPerInch;
        const bool hertz = std::fabs(perInch) < 1.0;
        const double scale = hertz ? 1000.0 : 1.0;
        const std::string unit = hertz ? " Hz" : " kHz";
        add("Cutting sensitivity", figureText(perInch * scale) + unit + " per inch more driven loop (" +
                                       figureText(perInch * scale / 2.54) + unit + " per cm)");
    }
    if (summary.efficiencyPercent)
        add("Wire efficiency", fixedText(*summary.efficiencyPercent, 2) + " %");
    return table;
}

namespace {

// "key": [low, high], an edge outside the sweep null; null for a band that is nowhere.
void writeBand(JsonWriter &json, std::string_view key, const std::optional<BandEdges> &band)
{
    if (!band) {
        json.null(key);
        return;
    }
    json.beginList(key)
        .number({}, band->lowMHz, Figure::Megahertz)
        .number({}, band->highMHz, Figure::Megahertz)
        .endList();
}

void writeFigures(JsonWriter &json, const SweepPoint &p)
{
    json.number("swr", p.swr, Figure::Ratio)
        .number("gain_dbi", p.gainDbi, Figure::Decibels)
        .number("fb_db", p.frontToBackDb, Figure::Decibels)
        .number("fr_db", p.frontToRearDb, Figure::Decibels);
}

} // namespace

void writeCheckJson(JsonWriter &json, std::string_view frequencyText, const CheckSummary &summary)
{
    json.beginRecord().text("frequency", frequencyText).beginList("points");
    for (const SweepPoint &p : summary.points) {
        json.beginRecord()
            .number("mhz", p.mhz, Figure::Megahertz)
            .number("r", p.resistanceOhms, Figure::Ohms)
            .number("x", p.reactanceOhms, Figure::Ohms);
        writeFigures(json, p);
        if (p.elevationDegrees)
            json.number("elevation_deg", *p.elevationDegrees, Figure::Degrees);
        json.endRecord();
    }
    json.endList().beginRecord("design").number("mhz", summary.design.mhz, Figure::Megahertz);
    writeFigures(json, summary.design);
    json.endRecord();
    if (summary.design.elevationDegrees)
        json.number("takeoff_deg", *summary.design.elevationDegrees, Figure::Degrees);
    json.number("resonance_mhz", summary.resonanceMHz, Figure::Megahertz)
        .number("detune_percent", summary.detunePercent, Figure::Percent)
        .number("cut_as_for_mhz", summary.cutAsForMHz, Figure::Megahertz)
        .number("min_swr", summary.minSwr, Figure::Ratio)
        .number("min_swr_mhz", summary.minSwrMHz, Figure::Megahertz);
    writeBand(json, "swr2_mhz", summary.swr2MHz);
    writeBand(json, "fb20_mhz", summary.fb20MHz);
    json.number("reversal_mhz", summary.reversalMHz, Figure::Megahertz)
        .number("sensitivity_khz_per_in", summary.sensitivityKhzPerInch, Figure::KhzPerInch)
        .number("efficiency_percent", summary.efficiencyPercent, Figure::Percent)
        .beginList("azimuth");
    for (const PatternPoint &p : summary.azimuthPattern)
        json.beginRecord()
            .number("phi", p.phiDegrees, Figure::Degrees)
            .number("gain_dbi", p.totalGainDbi, Figure::Decibels)
            .endRecord();
    json.endList().endRecord();
}

} // namespace tarvelin::nec
