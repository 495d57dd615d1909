// SPDX-License-Identifier: MIT
#pragma once

#include "core/measure/measured.h"
#include "core/check/idlewindows.h"
#include "core/check/nestedcheck.h"
#include "core/measure/bandsweeps.h"
#include "core/shop/nestedsheet.h"
#include "core/study/nestedtune.h"
#include "core/measure/stubsweep.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarvelin {
namespace calc {
class MemoryGrid;
}
namespace shop {
struct ShopSheet;
}
namespace design {
struct CheckSettings;
struct DesignLengths;
} // namespace design
namespace check {
struct CheckSummary;
}
namespace tune {
struct TuneResult;
struct TuneSettings;
} // namespace tune
} // namespace tarvelin

namespace tarvelin::cli {

enum class OutputFormat
{
    Table,
    Csv,
    Json,
    Touchstone, // a check's sweep only, as an analyser's file
};

// What each mode gives for one input.
enum class ResultKind
{
    Grid,
    Fraction,
    ShopSheet,
    Check,
    Tune,
    Stub,
};

// Turns results into the text of one output format, through the core's models: each result's table for the
// terminal and CSV (with tarvelin-calc's error column last), its record for JSON. Each call appends one
// finished record to `out`, so batch mode can write a result as soon as its line has been read.
class ResultWriter
{
public:
    explicit ResultWriter(OutputFormat format) : m_format(format) {}

    // A calculated grid, with exactly the texts the window shows.
    void appendGrid(std::string &out, std::string_view frequencyText, const calc::MemoryGrid &grid);
    void appendFraction(std::string &out, std::string_view valueText, std::string_view fraction);
    // A shop sheet; in csv, the sheet's columns and an error column, one row per element.
    void appendShopSheet(std::string &out, const shop::ShopSheet &sheet);
    // An antenna check: the sweep and its verdict, with the settings it ran with, and beside it a measured
    // sweep's figures, if any.
    // With measured sweeps, oldest first: the latest beside the model, and each one's move.
    void appendCheck(std::string &out, std::string_view frequencyText, const check::CheckSummary &summary,
                     const design::CheckSettings &settings, const std::vector<measure::MeasuredSweep> &sweeps = {},
                     const check::Goals &goals = {});
    // A quad of several bands: each band's verdict, or in JSON each band's check record.
    void appendBandsCheck(std::string &out, const design::NestedGeometry &geometry,
                          std::span<const check::BandCheck> bands, const design::CheckSettings &settings,
                          const design::IdleEnd &idle, std::span<const check::IdleLineWindow> windows,
                          const check::Goals &goals, std::span<const measure::BandSweeps> measured = {});
    // The cut list of a quad of several bands: the sheet, its JSON record, or in CSV one row a loop.
    void appendNestedSheet(std::string &out, const shop::NestedSheet &sheet,
                           std::span<const check::IdleLineWindow> avoid, const std::string &tuning);
    // A tuned quad of several bands: each band's figures before and after, its goals, and how the tune ended.
    void appendBandsTune(std::string &out, const study::NestedTuneResult &result, const tune::TuneSettings &tune,
                         const design::IdleEnd &idle);
    // A tuned design: its loops beside the specified ones, the figures before and after, and the goals.
    void appendTune(std::string &out, std::string_view frequencyText, const design::DesignLengths &design,
                    const tune::TuneResult &result, const tune::TuneSettings &tune, const design::Match &match);

    // A cable's velocity factor from a sweep of a cut piece of it.
    void appendStub(std::string &out, std::string_view file, double lengthMetres, const measure::StubReading &reading);

    // An input that gave no result of its kind: in csv the input, empty fields and the message in the error
    // column; in json the input and the message; in the table nothing, since the message goes to stderr.
    void appendFailure(std::string &out, ResultKind kind, std::string_view input, std::string_view message);

    // Whether failures go into the output itself (json, csv) or only to the error stream (table).
    [[nodiscard]] bool failuresInOutput() const
    {
        return m_format == OutputFormat::Csv || m_format == OutputFormat::Json;
    }

private:
    void appendCsvHeaderOnce(std::string &out, ResultKind kind);
    void separateTables(std::string &out);

    OutputFormat m_format;
    bool m_headerWritten = false;
    bool m_anyTableWritten = false;
};

} // namespace tarvelin::cli
