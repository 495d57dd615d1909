// SPDX-License-Identifier: MIT
// Speed of the Qt-free core: one calculation pass over the in-memory grid, a whole shop sheet, the
// antenna check's own work, and the fraction search beside the turn-by-turn walk.
#include "core/calc/calculationpass.h"
#include "core/calc/dec2frac.h"
#include "core/calc/fractionwalk.h"
#include "core/calc/memorygrid.h"
#include "core/calc/referencepass.h"
#include "core/text/numbertext.h"
#include "core/runtime/runtimeerror.h"
#include "core/check/checkrounds.h"
#include "core/format/jsonwriter.h"
#include "core/shop/shopsheet.h"
#include "core/shop/shopsheettext.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

namespace {

std::int32_t dec2fracOrZero(double value)
{
    try {
        return tarvelin::calc::searchFraction(value).denominator;
    } catch (const tarvelin::RuntimeError &) {
        return 0;
    }
}

void calculationPass(benchmark::State &state)
{
    tarvelin::calc::MemoryGrid grid("28.5");
    for (auto _ : state) {
        const bool ok = tarvelin::calc::runCalculationPass(grid);
        benchmark::DoNotOptimize(ok);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(calculationPass)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The steps alone, straight into a grid, beside the text-by-text steps they replaced.
void calculationSteps(benchmark::State &state, void (*steps)(tarvelin::calc::MemoryGrid &))
{
    tarvelin::calc::MemoryGrid grid("28.5");
    for (auto _ : state) {
        steps(grid);
        benchmark::ClobberMemory();
    }
}
BENCHMARK_CAPTURE(calculationSteps, carried_numbers, &tarvelin::calc::calculateInto)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(calculationSteps, text_by_text, &tarvelin::reference::calculateInto)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

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
        std::string text;
        tarvelin::format::JsonWriter json(text);
        tarvelin::shop::writeShopSheetJson(json, std::get<tarvelin::shop::ShopSheet>(made));
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(shopSheetWithText)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// What the check does itself around the engine: the decks written and the engine's output read and merged,
// for 14.2 MHz at the defaults over two processes.
void antennaCheckOwnWork(benchmark::State &state)
{
    const auto geometry = std::get<tarvelin::design::ArrayGeometry>(tarvelin::design::geometryFor("14.2"));
    const tarvelin::design::CheckSettings settings;
    const tarvelin::check::AnalysisPlan plan = tarvelin::check::planAnalysis(geometry, settings, 2);
    std::vector<std::string> outputs;
    for (std::size_t d = 0; d < plan.decks.size(); ++d) {
        std::ifstream in(std::string(TARVELIN_BENCH_FIXTURES) + "/deck" + std::to_string(d) + ".out");
        outputs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    for (auto _ : state) {
        const tarvelin::check::AnalysisPlan again = tarvelin::check::planAnalysis(geometry, settings, 2);
        auto read = tarvelin::check::readOutputs(again, outputs, settings);
        auto *sweep = std::get_if<tarvelin::check::SweepOutputs>(&read);
        if (!sweep) {
            state.SkipWithError("the saved outputs do not read");
            return;
        }
        const std::size_t design = again.sweepMHz.size() / 2;
        auto merged =
            tarvelin::check::summarise(std::move(sweep->points), design, settings.z0Ohms,
                                       sweep->efficiencyPercent[design], sweep->azimuth ? &*sweep->azimuth : nullptr);
        benchmark::DoNotOptimize(merged);
    }
}
BENCHMARK(antennaCheckOwnWork)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// 0.123456789 is matched by 13566680/109890109, which takes well over a hundred million turns. Taking them
// one at a time, as the search is described, is the measure the fraction search is compared with.
void dec2fracTurnByTurn(benchmark::State &state)
{
    for (auto _ : state) {
        const tarvelin::Walked w = tarvelin::turnByTurn(0.123456789);
        benchmark::DoNotOptimize(w);
    }
}
BENCHMARK(dec2fracTurnByTurn)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

// The same search and the hardest ones met so far: a denominator near the limit with hundreds of products
// landing near a half, and values that end in the overflow error (the error's unwinding included).
void dec2frac(benchmark::State &state, double value)
{
    for (auto _ : state) {
        try {
            const tarvelin::calc::FractionSearch s = tarvelin::calc::searchFraction(value);
            benchmark::DoNotOptimize(s);
        } catch (const tarvelin::RuntimeError &raised) {
            benchmark::DoNotOptimize(raised);
        }
    }
}
BENCHMARK_CAPTURE(dec2frac, 0.123456789, 0.123456789)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(dec2frac, 0.333333333, 0.333333333)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(dec2frac, three_eighths, 0.375)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(dec2frac, near_halves, -0.66526518338830198)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(dec2frac, overflow_sum_of_tenths, 0.1 + 0.2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(dec2frac, overflow_tiny, 1e-300)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(dec2frac, overflow_above_limit, 2147483647.5)->Unit(benchmark::kMicrosecond);

// Many doubles of every magnitude and sign, as a mean per value.
void dec2fracAnyDouble(benchmark::State &state)
{
    std::vector<double> values;
    std::mt19937_64 random(11);
    for (int i = 0; i < 4096; ++i) {
        const double value = std::ldexp(double(random() >> 11) * 0x1p-53, int(random() % 64) - 32);
        values.push_back(random() % 2 ? value : -value);
    }
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(dec2fracOrZero(values[next]));
        next = (next + 1) % values.size();
    }
}
BENCHMARK(dec2fracAnyDouble)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
