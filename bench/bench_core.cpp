// SPDX-License-Identifier: MIT
// Speed of the Qt-free core: one calculation pass over the in-memory grid, a whole shop sheet, and the
// longest fraction search a builder is likely to start.
#include "calc/calculationpass.h"
#include "calc/dec2frac.h"
#include "calc/memorygrid.h"
#include "runtime/messagebox.h"
#include "runtime/numbertext.h"
#include "nec/analysis.h"
#include "shop/shopsheet.h"
#include "shop/shopsheettext.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

namespace {

class SilentMessages final : public tarvelin::MessageBoxService
{
public:
    int MessageBox(const tarvelin::MessageBoxRequest &) override { return tarvelin::answer::kOk; }
};

void calculationPass(benchmark::State &state)
{
    tarvelin::MemoryGrid grid("28.5");
    SilentMessages messages;
    for (auto _ : state) {
        const bool ok = tarvelin::runCalculationPass(grid, messages);
        benchmark::DoNotOptimize(ok);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(calculationPass)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void formatCell(benchmark::State &state)
{
    double value = 444.2105263157895;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        std::string text = tarvelin::FormatNumber(value, tarvelin::kCellFormat);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(formatCell);

void parseCell(benchmark::State &state)
{
    const std::string text = "1128.296";
    for (auto _ : state) {
        benchmark::DoNotOptimize(text);
        double value = tarvelin::ParseNumber(text);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(parseCell);

// A whole shop sheet for 14.2 MHz with every setting, and its table text, as tarvelin-calc --shop makes it.
void shopSheetWithText(benchmark::State &state)
{
    const tarvelin::shop::ShopSettings settings{16, 2500, 1000, 14.05};
    for (auto _ : state) {
        auto made = tarvelin::shop::makeShopSheet("14.2", settings);
        std::string text = tarvelin::shop::shopSheetJson(std::get<tarvelin::shop::ShopSheet>(made));
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(shopSheetWithText)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// What the check does itself around the engine: the decks written and the engine's output read and merged,
// for 14.2 MHz at the defaults over two processes.
void antennaCheckOwnWork(benchmark::State &state)
{
    const auto geometry = std::get<tarvelin::nec::ArrayGeometry>(tarvelin::nec::geometryFor("14.2"));
    const tarvelin::nec::CheckSettings settings;
    const tarvelin::nec::AnalysisPlan plan = tarvelin::nec::planAnalysis(geometry, settings, 2);
    std::vector<std::string> outputs;
    for (std::size_t d = 0; d < plan.decks.size(); ++d) {
        std::ifstream in(std::string(TARVELIN_BENCH_FIXTURES) + "/deck" + std::to_string(d) + ".out");
        outputs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    for (auto _ : state) {
        const tarvelin::nec::AnalysisPlan again = tarvelin::nec::planAnalysis(geometry, settings, 2);
        auto merged = tarvelin::nec::mergeOutputs(again, outputs, settings);
        if (!std::holds_alternative<tarvelin::nec::CheckSummary>(merged)) {
            state.SkipWithError("the saved outputs do not read");
            return;
        }
        benchmark::DoNotOptimize(merged);
    }
}
BENCHMARK(antennaCheckOwnWork)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// 0.123456789 is matched by 13566680/109890109, which takes well over a hundred million turns.
void dec2fracLongSearch(benchmark::State &state)
{
    for (auto _ : state) {
        const tarvelin::FractionSearch s = tarvelin::searchFraction(0.123456789);
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(dec2fracLongSearch)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

} // namespace

BENCHMARK_MAIN();
