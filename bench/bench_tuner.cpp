// SPDX-License-Identifier: MIT
// The tuner's evaluations of candidate designs at 14.2 MHz: one search per core, their decks run side by
// side, one engine per core, as the tuner runs them, beside the same decks run by one engine in series.
// Compare the two "evaluations_per_s" counters.
#include "cli/necrunner.h"
#include "core/nec/analysis.h"
#include "core/nec/tuner.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace tarvelin;

nec::Evaluator evaluatorWith(int processes)
{
    const auto geometry = std::get<nec::ArrayGeometry>(nec::geometryFor("14.2"));
    nec::TuneSettings tune;
    tune.processes = processes;
    return nec::necEvaluator(
        geometry, nec::CheckSettings{}, tune,
        [](const std::vector<std::string> &decks) -> std::variant<std::vector<std::string>, std::string> {
            auto outputs = cli::runEngine(decks, std::chrono::seconds(60));
            if (auto *failure = std::get_if<cli::EngineFailure>(&outputs))
                return failure->message;
            return std::get<std::vector<std::string>>(outputs);
        });
}

// Eight candidates a step apart, evaluated by as many searches at once as there are engines, as the tuner's
// searches step side by side.
void candidates(benchmark::State &state, int processes)
{
    const nec::Evaluator evaluate = evaluatorWith(processes);
    std::atomic<bool> failed{false};
    for (auto _ : state) {
        std::vector<std::thread> searches;
        for (int s = 0; s < processes; ++s)
            searches.emplace_back([&, s] {
                for (int k = s; k < 8; k += processes) {
                    nec::LoopFactors factors{};
                    factors.fill(0.975 + 0.001 * k);
                    if (std::holds_alternative<std::string>(evaluate(factors)))
                        failed = true;
                }
            });
        for (std::thread &search : searches)
            search.join();
        if (failed) {
            state.SkipWithError("nec2c failed (is it installed?)");
            return;
        }
    }
    state.counters["evaluations_per_s"] =
        benchmark::Counter(8.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void sharedOverCores(benchmark::State &state)
{
    candidates(state, static_cast<int>(std::max(1U, std::thread::hardware_concurrency())));
}
BENCHMARK(sharedOverCores)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);

void oneEngineInSeries(benchmark::State &state)
{
    candidates(state, 1);
}
BENCHMARK(oneEngineInSeries)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);

} // namespace

BENCHMARK_MAIN();
