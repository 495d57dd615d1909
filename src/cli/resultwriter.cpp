// SPDX-License-Identifier: MIT
#include "cli/resultwriter.h"

#include "core/design/designlengths.h"
#include "core/calc/memorygrid.h"
#include "core/calc/gridtable.h"
#include "core/format/fieldtext.h"
#include "core/format/jsonwriter.h"
#include "core/check/checksummary.h"
#include "core/design/checksettings.h"
#include "core/document/bandscheck.h"
#include "core/document/bandstune.h"
#include "core/document/nestedsheet.h"
#include "core/document/checktable.h"
#include "core/measure/measured.h"
#include "core/tune/tuner.h"
#include "core/shop/shopsheettext.h"

#include <algorithm>
#include <array>

namespace tarvelin::cli {

namespace {

constexpr std::array<calc::BoomTotal, 3> kBoomOrder{calc::BoomTotal::Feet, calc::BoomTotal::Inches,
                                                    calc::BoomTotal::Centimetres};

// The grid in a terminal, laid out as the window lays it out: a heading over each pair of columns, then the
// units. A cell is wide enough for the longest heading over half a pair, and for the longest text of its grid
// with a blank before it, so neighbouring cells never run together.
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

void appendGridLayout(std::string &out, std::string_view frequencyText, const calc::MemoryGrid &grid)
{
    out += "Frequency: ";
    format::appendTerminalText(out, frequencyText);
    out += " mhz.\n\n";

    std::size_t cellWidth = kCellWidth;
    for (const calc::ElementRow row : calc::kElementRows)
        for (int c = 0; c < calc::columnCount(row); ++c)
            cellWidth = std::max(cellWidth, grid.cell(row, c).size() + 1);

    out.append(kRowNameWidth, ' ');
    for (int pair = 0; pair < calc::kGridColumnCount / 2; ++pair) {
        out += kPairGap;
        appendCentred(out, calc::gridPairHeading(pair), 2 * cellWidth);
    }
    while (out.back() == ' ')
        out.pop_back();
    out += '\n';
    appendPadded(out, "Elements", kRowNameWidth, false);
    for (int pair = 0; pair < calc::kGridColumnCount / 2; ++pair) {
        out += kPairGap;
        appendPadded(out, "IN", cellWidth, true);
        appendPadded(out, "CM", cellWidth, true);
    }
    out += '\n';
    for (const calc::ElementRow row : calc::kElementRows) {
        appendPadded(out, calc::elementRowName(row), kRowNameWidth, false);
        for (int c = 0; c < calc::columnCount(row); ++c) {
            if (c % 2 == 0)
                out += kPairGap;
            appendPadded(out, grid.cell(row, c), cellWidth, true);
        }
        out += '\n';
    }
    out += "\nTotal Boom Length =";
    for (const calc::BoomTotal total : kBoomOrder) {
        out += "  ";
        out += grid.boom(total);
    }
    out += '\n';
}

// The tuned design's CSV: the tuned table with the frequency as typed first on every row, as JSON has it,
// and the tune's figures and goals after it.
format::ResultTable tuneCsvTable(std::string_view frequencyText, const design::DesignLengths &design,
                                 const tune::TuneResult &result, const tune::TuneSettings &tune)
{
    format::ResultTable table = tune::tunedTable(design, result);
    table.columns.insert(table.columns.begin(), format::TableColumn{"frequency", "Frequency (MHz)"});
    const std::vector<format::TableColumn> figureColumns = tune::tuneFigureColumns();
    table.columns.insert(table.columns.end(), figureColumns.begin(), figureColumns.end());
    const std::vector<format::TableCell> figures = tune::tuneFigureCells(result, tune);
    for (std::vector<format::TableCell> &row : table.rows) {
        row.insert(row.begin(), format::TableCell{std::string(frequencyText), std::nullopt});
        row.insert(row.end(), figures.begin(), figures.end());
    }
    return table;
}

// Each kind's CSV columns, tarvelin-calc's error column last.
std::vector<format::TableColumn> csvColumns(ResultKind kind)
{
    std::vector<format::TableColumn> columns;
    switch (kind) {
    case ResultKind::Grid:
        columns = calc::gridCsvColumns();
        break;
    case ResultKind::Fraction:
        columns = {{"value", "Value"}, {"fraction", "Fraction"}};
        break;
    case ResultKind::ShopSheet:
        columns = shop::shopCsvTable({}).columns;
        break;
    case ResultKind::Check:
        columns = document::checkTable({}, {}).columns;
        break;
    case ResultKind::Tune:
        columns = tuneCsvTable({}, {}, {}, {}).columns;
        break;
    case ResultKind::Stub:
        columns = measure::stubTable({}, 0.0, {}).columns;
        break;
    }
    columns.push_back({"error", "Error"});
    return columns;
}

const std::string &csvHeader(ResultKind kind)
{
    static const auto headers = [] {
        std::array<std::string, 6> all;
        for (std::size_t k = 0; k < all.size(); ++k)
            format::appendCsvTable(all[k], {csvColumns(static_cast<ResultKind>(k)), {}}, true);
        return all;
    }();
    return headers[static_cast<std::size_t>(kind)];
}

// The rows of a result's table, each with an empty error field.
void appendCsvRows(std::string &out, format::ResultTable table)
{
    table.columns.push_back({"error", "Error"});
    for (std::vector<format::TableCell> &row : table.rows)
        row.emplace_back();
    format::appendCsvTable(out, table, false);
}

} // namespace

void ResultWriter::appendCsvHeaderOnce(std::string &out, ResultKind kind)
{
    if (!m_headerWritten)
        out += csvHeader(kind);
    m_headerWritten = true;
}

void ResultWriter::separateTables(std::string &out)
{
    if (m_anyTableWritten)
        out += '\n';
    m_anyTableWritten = true;
}

void ResultWriter::appendGrid(std::string &out, std::string_view frequencyText, const calc::MemoryGrid &grid)
{
    switch (m_format) {
    case OutputFormat::Table:
    case OutputFormat::Touchstone:
        separateTables(out);
        appendGridLayout(out, frequencyText, grid);
        return;
    case OutputFormat::Csv:
        appendCsvHeaderOnce(out, ResultKind::Grid);
        calc::appendGridCsvRow(out, frequencyText, grid);
        out += ",\r\n";
        return;
    case OutputFormat::Json: {
        format::JsonWriter json(out);
        calc::writeGridJson(json, frequencyText, grid);
        json.endLine();
        return;
    }
    }
}

void ResultWriter::appendFraction(std::string &out, std::string_view valueText, std::string_view fraction)
{
    switch (m_format) {
    case OutputFormat::Table:
    case OutputFormat::Touchstone:
        out += fraction;
        out += '\n';
        return;
    case OutputFormat::Csv:
        appendCsvHeaderOnce(out, ResultKind::Fraction);
        format::appendCsvField(out, valueText);
        out += ',';
        format::appendCsvField(out, fraction);
        out += ",\r\n";
        return;
    case OutputFormat::Json:
        format::JsonWriter(out).beginRecord().text("value", valueText).text("fraction", fraction).endRecord().endLine();
        return;
    }
}

void ResultWriter::appendShopSheet(std::string &out, const shop::ShopSheet &sheet)
{
    switch (m_format) {
    case OutputFormat::Table:
    case OutputFormat::Touchstone: {
        separateTables(out);
        // Only the frequency comes from the input; the rest of the table is the program's own text.
        shop::ShopSheet shown = sheet;
        shown.frequencyText = format::terminalSafe(sheet.frequencyText);
        out += format::documentText(shop::shopSheetDocument(shown));
        return;
    }
    case OutputFormat::Csv:
        appendCsvHeaderOnce(out, ResultKind::ShopSheet);
        appendCsvRows(out, shop::shopCsvTable(sheet));
        return;
    case OutputFormat::Json: {
        format::JsonWriter json(out);
        shop::writeShopSheetJson(json, sheet);
        json.endLine();
        return;
    }
    }
}

void ResultWriter::appendCheck(std::string &out, std::string_view frequencyText, const check::CheckSummary &summary,
                               const design::CheckSettings &settings, const std::vector<measure::MeasuredSweep> &sweeps,
                               const check::Goals &goals)
{
    switch (m_format) {
    case OutputFormat::Touchstone:
        out += document::checkTouchstone(summary, settings);
        return;
    case OutputFormat::Table:
        separateTables(out);
        out += format::documentText(document::checkDocument(summary, settings, sweeps, goals));
        return;
    case OutputFormat::Csv:
        appendCsvHeaderOnce(out, ResultKind::Check);
        appendCsvRows(out, document::checkTable(summary, std::string(frequencyText))); // as typed, as JSON has it
        return;
    case OutputFormat::Json: {
        format::JsonWriter json(out);
        document::writeCheckJson(json, frequencyText, summary, settings.match, sweeps);
        json.endLine();
        return;
    }
    }
}

void ResultWriter::appendBandsCheck(std::string &out, const design::NestedGeometry &geometry,
                                    std::span<const check::BandCheck> bands, const design::CheckSettings &settings,
                                    const design::IdleEnd &idle, std::span<const check::IdleLineWindow> windows,
                                    const check::Goals &goals, std::span<const measure::BandSweeps> measured)
{
    if (m_format == OutputFormat::Json) {
        format::JsonWriter json(out);
        document::writeBandsCheckJson(json, geometry, bands, idle, windows, measured);
        json.endLine();
        return;
    }
    separateTables(out);
    out += format::documentText(
        document::bandsCheckDocument(geometry, bands, settings, idle, windows, goals, measured));
}

void ResultWriter::appendNestedSheet(std::string &out, const shop::NestedSheet &sheet,
                                     std::span<const check::IdleLineWindow> avoid, const std::string &tuning)
{
    switch (m_format) {
    case OutputFormat::Json: {
        format::JsonWriter json(out);
        document::writeNestedSheetJson(json, sheet);
        json.endLine();
        return;
    }
    case OutputFormat::Csv:
        format::appendCsvTable(out, document::nestedLoopsTable(sheet), true);
        return;
    case OutputFormat::Table:
    case OutputFormat::Touchstone:
        break;
    }
    separateTables(out);
    out += format::documentText(document::nestedSheetDocument(sheet, avoid, tuning));
}

void ResultWriter::appendBandsTune(std::string &out, const study::NestedTuneResult &result,
                                   const tune::TuneSettings &tune, const design::IdleEnd &idle)
{
    if (m_format == OutputFormat::Json) {
        format::JsonWriter json(out);
        document::writeBandsTuneJson(json, result, tune, idle);
        json.endLine();
        return;
    }
    separateTables(out);
    out += format::documentText(document::bandsTuneDocument(result, tune, idle));
}

void ResultWriter::appendTune(std::string &out, std::string_view frequencyText, const design::DesignLengths &design,
                              const tune::TuneResult &result, const tune::TuneSettings &tune,
                              const design::Match &match)
{
    switch (m_format) {
    case OutputFormat::Table:
    case OutputFormat::Touchstone:
        separateTables(out);
        out += "Tuned design for " + design.frequencyLabel +
               " MHz, modelled for the chosen wire and ground; the specified design stays as it is.\n\n";
        format::appendTerminalTable(out, tune::tunedTable(design, result));
        out += result.stationsMetres.empty() ? "\nStations as designed.\n\n" : "\nStations as the tune moved them.\n\n";
        format::appendTerminalTable(out, tune::tuneVerdictTable(result, tune));
        out += '\n' + tune::tuneOutcomeText(result, tune) + '\n';
        return;
    case OutputFormat::Csv:
        appendCsvHeaderOnce(out, ResultKind::Tune);
        appendCsvRows(out, tuneCsvTable(frequencyText, design, result, tune));
        return;
    case OutputFormat::Json: {
        format::JsonWriter json(out);
        tune::writeTuneJson(json, frequencyText, design, result, tune, match);
        json.endLine();
        return;
    }
    }
}

void ResultWriter::appendStub(std::string &out, std::string_view file, double lengthMetres,
                              const measure::StubReading &reading)
{
    switch (m_format) {
    case OutputFormat::Table:
    case OutputFormat::Touchstone:
        out += measure::stubReadingText(reading, lengthMetres) + '\n';
        return;
    case OutputFormat::Csv:
        appendCsvHeaderOnce(out, ResultKind::Stub);
        appendCsvRows(out, measure::stubTable(file, lengthMetres, reading));
        return;
    case OutputFormat::Json: {
        format::JsonWriter json(out);
        measure::writeStubJson(json, file, lengthMetres, reading);
        json.endLine();
        return;
    }
    }
}

void ResultWriter::appendFailure(std::string &out, ResultKind kind, std::string_view input, std::string_view message)
{
    switch (m_format) {
    case OutputFormat::Table:
    case OutputFormat::Touchstone:
        return;
    case OutputFormat::Csv: {
        appendCsvHeaderOnce(out, kind);
        format::appendCsvField(out, input);
        const std::string &header = csvHeader(kind);
        out.append(static_cast<std::size_t>(std::count(header.begin(), header.end(), ',')), ',');
        format::appendCsvField(out, message);
        out += "\r\n";
        return;
    }
    case OutputFormat::Json:
        format::JsonWriter(out)
            .beginRecord()
            .text(kind == ResultKind::Fraction ? "value"
                  : kind == ResultKind::Stub   ? "file"
                                               : "frequency",
                  input)
            .text("error", message)
            .endRecord()
            .endLine();
        return;
    }
}

} // namespace tarvelin::cli
