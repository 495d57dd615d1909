// SPDX-License-Identifier: MIT
// A tune of the loops at 14.2 MHz, cut at 17 designs, its rounds run by tarvelin-calc's launcher: one search
// per core with the engines side by side, beside one search on one engine in series. Compare the two
// "evaluations_per_s" counters. Then a whole tune to its end, beside exactly its decks run again through one
// nec2c after another: "ratio" is how many times faster the tune got through them.
#include "core/nec/processlauncher.h"
#include "core/nec/study.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <optional>
#include <thread>
#include <vector>

namespace {

using namespace tarvelin;

// The check a tune at 14.2 MHz starts from; none, and the benchmark skipped, when nec2c fails.
std::optional<nec::CheckSummary> checked(benchmark::State &state, const nec::ArrayGeometry &geometry, int processes)
{
    nec::ProcessLauncher launcher;
    nec::Study check(geometry, nec::CheckSettings{}, processes);
    nec::driveStudy(check, launcher, {});
    if (!check.check())
        state.SkipWithError("nec2c failed (is it installed?)");
    return check.check();
}

void tune(benchmark::State &state, int processes)
{
    const auto geometry = std::get<nec::ArrayGeometry>(nec::geometryFor("14.2"));
    nec::ProcessLauncher launcher;
    const std::optional<nec::CheckSummary> check = checked(state, geometry, processes);
    if (!check)
        return;
    nec::TuneSettings settings;
    settings.designLimit = 17;
    double evaluations = 0.0;
    for (auto _ : state) {
        nec::Study study(geometry, nec::CheckSettings{}, processes, settings, check);
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

// tarvelin-calc's launcher, noting every round it runs.
class RecordingLauncher final : public nec::EngineLauncher
{
public:
    void start(const nec::EngineRound &round, std::function<void(nec::EngineOutputs)> done) override
    {
        rounds.push_back(round);
        m_launcher.start(round, std::move(done));
    }
    void cancel() override { m_launcher.cancel(); }

    std::vector<nec::EngineRound> rounds;

private:
    nec::ProcessLauncher m_launcher;
};

void wholeTuneBesideOneEngine(benchmark::State &state)
{
    using Clock = std::chrono::steady_clock;
    const auto geometry = std::get<nec::ArrayGeometry>(nec::geometryFor("14.2"));
    const int processes = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    const std::optional<nec::CheckSummary> check = checked(state, geometry, processes);
    if (!check)
        return;
    for (auto _ : state) {
        RecordingLauncher launcher;
        nec::Study study(geometry, nec::CheckSettings{}, processes, nec::TuneSettings{}, check);
        const auto tuneStart = Clock::now();
        nec::driveStudy(study, launcher, {});
        const double tuneSeconds = std::chrono::duration<double>(Clock::now() - tuneStart).count();
        if (!study.tuned() || study.failure()) {
            state.SkipWithError("the tune failed");
            return;
        }
        int decks = 0;
        const auto seriesStart = Clock::now();
        for (const nec::EngineRound &round : launcher.rounds)
            for (const std::string &deck : round.decks) {
                ++decks;
                (void)nec::ProcessLauncher::run({{deck}, 1, nec::kEngineTimeLimit});
            }
        const double seriesSeconds = std::chrono::duration<double>(Clock::now() - seriesStart).count();
        state.counters["evaluations"] = study.tuned()->evaluations;
        state.counters["decks"] = decks;
        state.counters["tune_s"] = tuneSeconds;
        state.counters["one_engine_s"] = seriesSeconds;
        state.counters["ratio"] = seriesSeconds / tuneSeconds;
    }
}
BENCHMARK(wholeTuneBesideOneEngine)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace

BENCHMARK_MAIN();
