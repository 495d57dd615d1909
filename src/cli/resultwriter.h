// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tarvelin {
class MemoryGrid;
namespace shop {
struct ShopSheet;
}
struct DesignLengths;
namespace nec {
struct CheckSummary;
struct TuneResult;
struct TuneSettings;
} // namespace nec
} // namespace tarvelin

namespace tarvelin::cli {

enum class OutputFormat
{
    Table,
    Csv,
    Json,
};

// Turns results into the text of one output format. Each call appends to `out`, one finished record at a
// time, so batch mode can write a result as soon as its line has been read.
class ResultWriter
{
public:
    explicit ResultWriter(OutputFormat format) : m_format(format) {}

    // A calculated grid, with exactly the texts the window shows.
    void appendGrid(std::string &out, std::string_view frequencyText, const MemoryGrid &grid);
    // A frequency the calculation refused, with the message the window would show.
    void appendGridFailure(std::string &out, std::string_view frequencyText, std::string_view message);

    void appendFraction(std::string &out, std::string_view valueText, std::string_view fraction);
    void appendFractionFailure(std::string &out, std::string_view valueText, std::string_view message);

    // A shop sheet; in csv, the sheet's columns and an error column, one row per element.
    void appendShopSheet(std::string &out, const shop::ShopSheet &sheet);
    void appendShopFailure(std::string &out, std::string_view frequencyText, std::string_view message);
    // A frequency the check refused or could not run, or whose engine failed.
    void appendCheckFailure(std::string &out, std::string_view frequencyText, std::string_view message);

    // An antenna check: the sweep and its verdict, the SWR against a line of z0 ohms.
    // `frequencyLabel` is the frequency as read, three decimals, for the table's heading.
    void appendCheck(std::string &out, std::string_view frequencyText, std::string_view frequencyLabel,
                     const nec::CheckSummary &summary, double z0Ohms);

    // A tuned design: its loops beside the specified ones, the figures before and after, and the goals.
    void appendTune(std::string &out, std::string_view frequencyText, const DesignLengths &design,
                    const nec::TuneResult &result, const nec::TuneSettings &tune);
    void appendTuneFailure(std::string &out, std::string_view frequencyText, std::string_view message);

    // Whether failures go into the output itself (json, csv) or only to the error stream (table).
    [[nodiscard]] bool failuresInOutput() const { return m_format != OutputFormat::Table; }

private:
    [[nodiscard]] static const std::string &gridCsvHeader();
    [[nodiscard]] static const std::string &shopCsvHeader();
    [[nodiscard]] static const std::string &checkCsvHeader();
    [[nodiscard]] static const std::string &tuneCsvHeader();
    static void appendWithErrorField(std::string &out, const std::string &rows);
    void appendFailureRecord(std::string &out, const std::string &csvHeader, std::string_view frequencyText,
                             std::string_view message);
    void appendCsvHeaderOnce(std::string &out, std::string_view header);
    void appendGridTable(std::string &out, std::string_view frequencyText, const MemoryGrid &grid);

    OutputFormat m_format;
    bool m_headerWritten = false;
    bool m_anyTableWritten = false;
};

} // namespace tarvelin::cli
