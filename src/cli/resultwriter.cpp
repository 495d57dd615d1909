// SPDX-License-Identifier: MIT
#include "cli/resultwriter.h"

#include "core/calc/designlengths.h"
#include "core/calc/memorygrid.h"
#include "core/calc/resultstable.h"
#include "core/nec/checksummary.h"
#include "core/nec/checktable.h"
#include "core/nec/tuner.h"
#include "core/shop/shopsheettext.h"

#include <cmath>
#include <cstdio>
#include "core/format/fieldtext.h"

#include <algorithm>
#include <array>

namespace tarvelin::cli {

namespace {

// The headings over the window's grid, each on one line, over its pair of columns.
constexpr std::array<std::string_view, 5> kPairHeadings{
    "Element Total Length", "Wire - One Side", "Spreader Half Length", "Spreader Total Length", "Element Spacing",
};

constexpr std::array<BoomTotal, 3> kBoomOrder{BoomTotal::Feet, BoomTotal::Inches, BoomTotal::Centimetres};

// Table geometry in characters: a cell is wide enough for the longest heading over half a pair, and for the
// longest text of its grid with a blank before it, so neighbouring cells never run together.
constexpr std::size_t kRowNameWidth = 12;
constexpr std::size_t kCellWidth = 11;
constexpr std::string_view kPairGap = "  ";

void appendPadded(std::string &out, std::string_view text, std::size_t width, bool rightAligned)
{
    const std::size_t pad = text.size() < width ? width - text.size() : 0;
    if (rightAligned)
        out.append(pad, ' ');
    out += text;
    if (!rightAligned)
        out.append(pad, ' ');
}

void appendCentred(std::string &out, std::string_view text, std::size_t width)
{
    const std::size_t pad = text.size() < width ? width - text.size() : 0;
    out.append(pad / 2, ' ');
    out += text;
    out.append(pad - pad / 2, ' ');
}

void trimTrailingBlanks(std::string &out)
{
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
}

// {"first": ..., "second": ...} on a line of its own.
void appendJsonRecord(std::string &out, std::string_view firstKey, std::string_view first, std::string_view secondKey,
                      std::string_view second)
{
    out += '{';
    appendJsonString(out, firstKey);
    out += ": ";
    appendJsonString(out, first);
    out += ", ";
    appendJsonString(out, secondKey);
    out += ": ";
    appendJsonString(out, second);
    out += "}\n";
}

constexpr std::string_view kFractionCsvHeader = "value,fraction,error\r\n";

std::string lowerCaseName(ElementRow row)
{
    std::string name(elementRowName(row));
    for (char &c : name)
        c = c == ' ' ? '_' : static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return name;
}

} // namespace

void ResultWriter::appendGridTable(std::string &out, std::string_view frequencyText, const MemoryGrid &grid)
{
    if (m_anyTableWritten)
        out += '\n';
    m_anyTableWritten = true;

    out += "Frequency: ";
    appendTerminalText(out, frequencyText);
    out += " mhz.\n\n";

    std::size_t cellWidth = kCellWidth;
    for (const ElementRow row : kElementRows)
        for (int c = 0; c < columnCount(row); ++c)
            cellWidth = std::max(cellWidth, grid.cell(row, c).size() + 1);

    out.append(kRowNameWidth, ' ');
    for (const std::string_view heading : kPairHeadings) {
        out += kPairGap;
        appendCentred(out, heading, 2 * cellWidth);
    }
    trimTrailingBlanks(out);
    out += '\n';

    appendPadded(out, "Elements", kRowNameWidth, false);
    for (std::size_t i = 0; i < kPairHeadings.size(); ++i) {
        out += kPairGap;
        appendPadded(out, "IN", cellWidth, true);
        appendPadded(out, "CM", cellWidth, true);
    }
    out += '\n';

    for (const ElementRow row : kElementRows) {
        appendPadded(out, elementRowName(row), kRowNameWidth, false);
        for (int c = 0; c < columnCount(row); ++c) {
            if (c % 2 == 0)
                out += kPairGap;
            appendPadded(out, grid.cell(row, c), cellWidth, true);
        }
        out += '\n';
    }

    out += "\nTotal Boom Length =";
    for (const BoomTotal total : kBoomOrder) {
        out += "  ";
        out += grid.boom(total);
    }
    out += '\n';
}

void ResultWriter::appendCsvHeaderOnce(std::string &out, std::string_view header)
{
    if (!m_headerWritten)
        out += header;
    m_headerWritten = true;
}

const std::string &ResultWriter::gridCsvHeader()
{
    static const std::string header = [] {
        // One line per frequency: every element's columns under the grid table's keys, the element first.
        const ResultTable grid = gridTable(MemoryGrid());
        std::string out = "frequency";
        for (const ElementRow row : kElementRows) {
            const std::string rowName = lowerCaseName(row);
            for (int c = 0; c < columnCount(row); ++c) {
                out += ',';
                out += rowName;
                out += '_';
                out += grid.columns[static_cast<std::size_t>(c) + 1].key;
            }
        }
        out += ",boom_ft,boom_in,boom_cm,error\r\n";
        return out;
    }();
    return header;
}

void ResultWriter::appendGrid(std::string &out, std::string_view frequencyText, const MemoryGrid &grid)
{
    switch (m_format) {
    case OutputFormat::Table:
        appendGridTable(out, frequencyText, grid);
        return;
    case OutputFormat::Csv:
        appendCsvHeaderOnce(out, gridCsvHeader());
        appendCsvField(out, frequencyText);
        for (const ElementRow row : kElementRows)
            for (int c = 0; c < columnCount(row); ++c) {
                out += ',';
                appendCsvField(out, grid.cell(row, c));
            }
        for (const BoomTotal total : kBoomOrder) {
            out += ',';
            // The number the window shows, without the unit its column is named for, so it stays a number.
            const std::string &shown = grid.boom(total);
            appendCsvField(out, std::string_view(shown).substr(0, shown.find(' ')));
        }
        out += ",\r\n";
        return;
    case OutputFormat::Json:
        out += "{\"frequency\": ";
        appendJsonString(out, frequencyText);
        out += ", \"cells\": [";
        for (const ElementRow row : kElementRows) {
            if (row != ElementRow::Reflector)
                out += ", ";
            out += '[';
            for (int c = 0; c < columnCount(row); ++c) {
                if (c > 0)
                    out += ", ";
                appendJsonString(out, grid.cell(row, c));
            }
            out += ']';
        }
        out += "], \"boom\": {\"feet\": ";
        appendJsonString(out, grid.boom(BoomTotal::Feet));
        out += ", \"inches\": ";
        appendJsonString(out, grid.boom(BoomTotal::Inches));
        out += ", \"centimetres\": ";
        appendJsonString(out, grid.boom(BoomTotal::Centimetres));
        out += "}}\n";
        return;
    }
}

void ResultWriter::appendGridFailure(std::string &out, std::string_view frequencyText, std::string_view message)
{
    appendFailureRecord(out, gridCsvHeader(), frequencyText, message);
}

void ResultWriter::appendFraction(std::string &out, std::string_view valueText, std::string_view fraction)
{
    switch (m_format) {
    case OutputFormat::Table:
        out += fraction;
        out += '\n';
        return;
    case OutputFormat::Csv:
        appendCsvHeaderOnce(out, kFractionCsvHeader);
        appendCsvField(out, valueText);
        out += ',';
        appendCsvField(out, fraction);
        out += ",\r\n";
        return;
    case OutputFormat::Json:
        appendJsonRecord(out, "value", valueText, "fraction", fraction);
        return;
    }
}

void ResultWriter::appendFractionFailure(std::string &out, std::string_view valueText, std::string_view message)
{
    switch (m_format) {
    case OutputFormat::Table:
        return;
    case OutputFormat::Csv:
        appendCsvHeaderOnce(out, kFractionCsvHeader);
        appendCsvField(out, valueText);
        out += ",,";
        appendCsvField(out, message);
        out += "\r\n";
        return;
    case OutputFormat::Json:
        appendJsonRecord(out, "value", valueText, "error", message);
        return;
    }
}

namespace {

// A JSON number with six significant digits, or null for what JSON cannot hold (an infinite SWR).
void appendJsonNumber(std::string &out, double value)
{
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    std::array<char, 32> text{};
    const int length = std::snprintf(text.data(), text.size(), "%.6g", value);
    out.append(text.data(), static_cast<std::size_t>(length));
}

// , "key": number, or null for a figure that does not exist.
void appendJsonKeyNumber(std::string &out, std::string_view key, std::optional<double> value)
{
    out += ", ";
    appendJsonString(out, key);
    out += ": ";
    if (value)
        appendJsonNumber(out, *value);
    else
        out += "null";
}

// , "key": [low, high], an edge outside the sweep null; null for a band that does not exist at all.
void appendJsonBand(std::string &out, std::string_view key, const std::optional<nec::BandEdges> &band)
{
    out += ", ";
    appendJsonString(out, key);
    out += ": ";
    if (!band) {
        out += "null";
        return;
    }
    const auto edge = [&out](std::optional<double> value) {
        if (value)
            appendJsonNumber(out, *value);
        else
            out += "null";
    };
    out += '[';
    edge(band->lowMHz);
    out += ", ";
    edge(band->highMHz);
    out += ']';
}

} // namespace

void ResultWriter::appendCheck(std::string &out, std::string_view frequencyText, std::string_view frequencyLabel,
                               const nec::CheckSummary &summary, double z0Ohms)
{
    switch (m_format) {
    case OutputFormat::Table: {
        if (m_anyTableWritten)
            out += '\n';
        m_anyTableWritten = true;
        out += "Antenna check for ";
        out += frequencyLabel;
        out += " MHz\n\n";
        appendTerminalTable(out, nec::verdictTable(summary, z0Ohms));
        out += '\n';
        appendTerminalTable(out, nec::checkTable(summary, frequencyLabel));
        return;
    }
    case OutputFormat::Csv: {
        appendCsvHeaderOnce(out, checkCsvHeader());
        // The window's rows, each with an empty error field before its line end.
        std::string rows;
        appendCsvTable(rows, nec::checkTable(summary, frequencyLabel), false);
        appendWithErrorField(out, rows);
        return;
    }
    case OutputFormat::Json:
        out += "{\"frequency\": ";
        appendJsonString(out, frequencyText);
        out += ", \"points\": [";
        for (std::size_t i = 0; i < summary.points.size(); ++i) {
            const nec::SweepPoint &p = summary.points[i];
            out += i == 0 ? "{\"mhz\": " : ", {\"mhz\": ";
            appendJsonNumber(out, p.mhz);
            out += ", \"r\": ";
            appendJsonNumber(out, p.resistanceOhms);
            out += ", \"x\": ";
            appendJsonNumber(out, p.reactanceOhms);
            out += ", \"swr\": ";
            appendJsonNumber(out, p.swr);
            out += ", \"gain_dbi\": ";
            appendJsonNumber(out, p.gainDbi);
            out += ", \"fb_db\": ";
            appendJsonNumber(out, p.frontToBackDb);
            out += ", \"fr_db\": ";
            appendJsonNumber(out, p.frontToRearDb);
            if (p.elevationDegrees) {
                out += ", \"elevation_deg\": ";
                appendJsonNumber(out, *p.elevationDegrees);
            }
            out += '}';
        }
        const nec::SweepPoint &d = summary.design;
        out += "], \"design\": {\"mhz\": ";
        appendJsonNumber(out, d.mhz);
        appendJsonKeyNumber(out, "swr", d.swr);
        appendJsonKeyNumber(out, "gain_dbi", d.gainDbi);
        appendJsonKeyNumber(out, "fb_db", d.frontToBackDb);
        appendJsonKeyNumber(out, "fr_db", d.frontToRearDb);
        out += '}';
        if (d.elevationDegrees) {
            out += ", \"takeoff_deg\": ";
            appendJsonNumber(out, *d.elevationDegrees);
        }
        appendJsonKeyNumber(out, "resonance_mhz", summary.resonanceMHz);
        appendJsonKeyNumber(out, "detune_percent", summary.detunePercent);
        appendJsonKeyNumber(out, "cut_as_for_mhz", summary.cutAsForMHz);
        appendJsonKeyNumber(out, "min_swr", summary.minSwr);
        appendJsonKeyNumber(out, "min_swr_mhz", summary.minSwrMHz);
        appendJsonBand(out, "swr2_mhz", summary.swr2MHz);
        appendJsonBand(out, "fb20_mhz", summary.fb20MHz);
        appendJsonKeyNumber(out, "reversal_mhz", summary.reversalMHz);
        appendJsonKeyNumber(out, "sensitivity_khz_per_in", summary.sensitivityKhzPerInch);
        appendJsonKeyNumber(out, "efficiency_percent", summary.efficiencyPercent);
        out += ", \"azimuth\": [";
        for (std::size_t i = 0; i < summary.azimuthPattern.size(); ++i) {
            out += i == 0 ? "{\"phi\": " : ", {\"phi\": ";
            appendJsonNumber(out, summary.azimuthPattern[i].phiDegrees);
            out += ", \"gain_dbi\": ";
            appendJsonNumber(out, summary.azimuthPattern[i].totalGainDbi);
            out += '}';
        }
        out += "]}\n";
        return;
    }
}

namespace {

// A header of the windows' CSV with tarvelin-calc's error column at its end.
std::string withErrorColumn(std::string header)
{
    header.insert(header.size() - 2, ",error");
    return header;
}

} // namespace

const std::string &ResultWriter::shopCsvHeader()
{
    static const std::string header = [] {
        std::string columns;
        appendCsvTable(columns, {shop::shopCsvTable({}).columns, {}}, true);
        return withErrorColumn(columns);
    }();
    return header;
}

const std::string &ResultWriter::checkCsvHeader()
{
    static const std::string header = [] {
        std::string columns;
        appendCsvTable(columns, nec::checkTable({}, {}), true);
        return withErrorColumn(columns);
    }();
    return header;
}

// Rows of the windows' CSV, each given tarvelin-calc's empty error field before its line end.
void ResultWriter::appendWithErrorField(std::string &out, const std::string &rows)
{
    std::size_t start = 0;
    for (std::size_t end = rows.find("\r\n"); end != std::string::npos; end = rows.find("\r\n", start)) {
        out.append(rows, start, end - start);
        out += ",\r\n";
        start = end + 2;
    }
}

namespace {

// The tuned design's CSV: the tuned table with the design frequency first on every row.
ResultTable tuneCsvTable(const DesignLengths &design, const nec::LoopFactors &factors)
{
    ResultTable table = nec::tunedTable(design, factors);
    table.columns.insert(table.columns.begin(), TableColumn{"frequency", "Frequency (MHz)"});
    for (std::vector<TableCell> &row : table.rows)
        row.insert(row.begin(), TableCell{design.frequencyLabel, std::nullopt});
    return table;
}

} // namespace

const std::string &ResultWriter::tuneCsvHeader()
{
    static const std::string header = [] {
        std::string text;
        appendCsvTable(text, {tuneCsvTable({}, {}).columns, {}}, true);
        return withErrorColumn(text);
    }();
    return header;
}

void ResultWriter::appendTune(std::string &out, std::string_view frequencyText, const DesignLengths &design,
                              const nec::TuneResult &result, const nec::TuneSettings &tune)
{
    const ResultTable loops = nec::tunedTable(design, result.factors);
    switch (m_format) {
    case OutputFormat::Table: {
        if (m_anyTableWritten)
            out += '\n';
        m_anyTableWritten = true;
        out += "Tuned design for " + design.frequencyLabel +
               " MHz, modelled for the chosen wire and ground; the specified design stays as it is.\n\n";
        appendTerminalTable(out, loops);
        out += "\nStations as designed.\n\n";
        appendTerminalTable(out, nec::tuneVerdictTable(result, tune));
        out += '\n' + nec::tuneOutcomeText(result, tune) + '\n';
        return;
    }
    case OutputFormat::Csv: {
        appendCsvHeaderOnce(out, tuneCsvHeader());
        std::string text;
        appendCsvTable(text, tuneCsvTable(design, result.factors), false);
        appendWithErrorField(out, text);
        return;
    }
    case OutputFormat::Json: {
        out += "{\"frequency\": ";
        appendJsonString(out, frequencyText);
        out += ", \"loops\": [";
        for (std::size_t i = 0; i < loops.rows.size(); ++i) {
            const std::vector<TableCell> &row = loops.rows[i];
            out += i == 0 ? "{" : ", {";
            out += "\"element\": ";
            appendJsonString(out, row[0].text);
            out += ", \"loop_in\": " + row[2].text + ", \"loop_mm\": " + row[3].text + ", \"side_in\": " + row[4].text +
                   ", \"factor\": " + row[5].text + ", \"specified_loop_in\": " + row[1].text + "}";
        }
        out += "], \"stations_in\": [";
        std::int64_t station = 0;
        for (std::size_t i = 0; i < design.spacingThousandths.size(); ++i) {
            station += design.spacingThousandths[i];
            out += (i == 0 ? "" : ", ") + fixedText(static_cast<double>(station) / 1000.0, 3);
        }
        out += ']';
        for (const auto &[key, figures] : {std::pair{"before", &result.before}, std::pair{"after", &result.after}}) {
            out += ", \"";
            out += key;
            out += "\": {\"swr\": ";
            appendJsonNumber(out, figures->design.swr);
            appendJsonKeyNumber(out, "gain_dbi", figures->design.gainDbi);
            appendJsonKeyNumber(out, "fb_db", figures->design.frontToBackDb);
            appendJsonKeyNumber(out, "fr_db", figures->design.frontToRearDb);
            appendJsonKeyNumber(out, "worst_swr", figures->worstSwr());
            appendJsonKeyNumber(out, "min_fb_db", figures->lowestFrontToBackDb());
            out += '}';
        }
        out += ", \"goals_met\": {\"swr\": ";
        out += result.swrGoalMet ? "true" : "false";
        out += ", \"fb\": ";
        out += result.frontToBackGoalMet ? "true" : "false";
        out += "}, \"band_percent\": ";
        appendJsonNumber(out, tune.bandPercent);
        out += ", \"evaluations\": " + std::to_string(result.evaluations) + ", \"seconds\": ";
        appendJsonNumber(out, result.seconds);
        out += "}\n";
        return;
    }
    }
}

void ResultWriter::appendTuneFailure(std::string &out, std::string_view frequencyText, std::string_view message)
{
    appendFailureRecord(out, tuneCsvHeader(), frequencyText, message);
}

void ResultWriter::appendCheckFailure(std::string &out, std::string_view frequencyText, std::string_view message)
{
    appendFailureRecord(out, checkCsvHeader(), frequencyText, message);
}

// A failed input under its mode's header: in csv the input, empty fields and the message in the error column;
// in json the input and the message; in the table nothing, since the message goes to stderr.
void ResultWriter::appendFailureRecord(std::string &out, const std::string &csvHeader, std::string_view frequencyText,
                                       std::string_view message)
{
    switch (m_format) {
    case OutputFormat::Table:
        return;
    case OutputFormat::Csv: {
        appendCsvHeaderOnce(out, csvHeader);
        appendCsvField(out, frequencyText);
        out.append(static_cast<std::size_t>(std::count(csvHeader.begin(), csvHeader.end(), ',')), ',');
        appendCsvField(out, message);
        out += "\r\n";
        return;
    }
    case OutputFormat::Json:
        appendJsonRecord(out, "frequency", frequencyText, "error", message);
        return;
    }
}

void ResultWriter::appendShopSheet(std::string &out, const shop::ShopSheet &sheet)
{
    switch (m_format) {
    case OutputFormat::Table: {
        if (m_anyTableWritten)
            out += '\n';
        m_anyTableWritten = true;
        // Only the frequency comes from the input; the rest of the table is the program's own text.
        shop::ShopSheet shown = sheet;
        shown.frequencyText = terminalSafe(sheet.frequencyText);
        out += shop::shopSheetTable(shown);
        return;
    }
    case OutputFormat::Csv: {
        appendCsvHeaderOnce(out, shopCsvHeader());
        std::string rows;
        appendCsvTable(rows, shop::shopCsvTable(sheet), false);
        appendWithErrorField(out, rows);
        return;
    }
    case OutputFormat::Json:
        out += shop::shopSheetJson(sheet);
        return;
    }
}

void ResultWriter::appendShopFailure(std::string &out, std::string_view frequencyText, std::string_view message)
{
    appendFailureRecord(out, shopCsvHeader(), frequencyText, message);
}

} // namespace tarvelin::cli
