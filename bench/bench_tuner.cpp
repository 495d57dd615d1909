// SPDX-License-Identifier: MIT
// A tune of the loops at 14.2 MHz, cut at 17 designs, its rounds run by tarvelin-calc's launcher: one search
// per core with the engines side by side, beside one search on one engine in series. Compare the two
// "evaluations_per_s" counters.
#include "core/nec/processlauncher.h"
#include "core/nec/study.h"

#include <benchmark/benchmark.h>

#include <thread>

namespace {

using namespace tarvelin;

void tune(benchmark::State &state, int processes)
{
    const auto geometry = std::get<nec::ArrayGeometry>(nec::geometryFor("14.2"));
    nec::ProcessLauncher launcher;
    nec::Study check(geometry, nec::CheckSettings{}, processes);
    nec::driveStudy(check, launcher, {});
    if (!check.check()) {
        state.SkipWithError("nec2c failed (is it installed?)");
        return;
    }
    nec::TuneSettings settings;
    settings.designLimit = 17;
    double evaluations = 0.0;
    for (auto _ : state) {
        nec::Study study(geometry, nec::CheckSettings{}, processes, settings, check.check());
        nec::driveStudy(study, launcher, {});
        if (!study.tuned() || study.failure()) {
            state.SkipWithError("the tune failed");
            return;
        }
        evaluations += study.tuned()->evaluations;
    }
    state.counters["evaluations_per_s"] = benchmark::Counter(evaluations, benchmark::Counter::kIsRate);
}

void sharedOverCores(benchmark::State &state)
{
    tune(state, static_cast<int>(std::max(1U, std::thread::hardware_concurrency())));
}
BENCHMARK(sharedOverCores)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2)->Repetitions(3);

void oneEngineInSeries(benchmark::State &state)
{
    tune(state, 1);
}
BENCHMARK(oneEngineInSeries)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2)->Repetitions(3);

} // namespace

BENCHMARK_MAIN();
