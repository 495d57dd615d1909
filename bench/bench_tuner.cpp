// SPDX-License-Identifier: MIT
// A tune of the loops at 14.2 MHz, cut at 17 designs, its rounds run by tarvelin-calc's launcher: one search
// per core with the engines side by side, beside one search on one engine in series. Compare the two
// "evaluations_per_s" counters. Then what two engines side by side can give on this machine now, and a whole
// tune to its end, each round's decks run again straight after it through one nec2c after another: "ratio"
// is how many times faster the tune got through them.
#include "core/nec/deck.h"
#include "support/calclauncher.h"
#include "core/study/study.h"

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
    cli::ProcessLauncher &launcher = calcLauncher();
    nec::Study check(nec::Design(geometry, nec::CheckSettings{}), processes);
    nec::driveStudy(check, launcher, {});
    if (!check.check())
        state.SkipWithError("nec2c failed (is it installed?)");
    return check.check();
}

void tune(benchmark::State &state, int processes)
{
    const auto geometry = std::get<nec::ArrayGeometry>(nec::geometryFor("14.2"));
    cli::ProcessLauncher &launcher = calcLauncher();
    const std::optional<nec::CheckSummary> check = checked(state, geometry, processes);
    if (!check)
        return;
    nec::TuneSettings settings;
    settings.designLimit = 17;
    double evaluations = 0.0;
    for (auto _ : state) {
        nec::Study study(nec::Design(geometry, nec::CheckSettings{}), processes, settings, check);
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

// What two cores can give at most, at this moment: the tune's band deck run twice side by side beside once
// alone, in turn. "ratio" is how many times faster two decks got through side by side. On a virtual machine
// whose cores the host shares out unevenly it can fall well below 2, and the whole tune's with it.
void twoEnginesBesideOne(benchmark::State &state)
{
    using Clock = std::chrono::steady_clock;
    const auto geometry = std::get<nec::ArrayGeometry>(nec::geometryFor("14.2"));
    const std::vector<double> band = nec::bandFrequencies(geometry.designMHz, nec::TuneSettings{});
    const std::string deck = nec::writeDeck(geometry, nec::CheckSettings{}, {band, false});
    double together = 0.0;
    double alone = 0.0;
    for (auto _ : state) {
        auto start = Clock::now();
        (void)calcLauncher().run({{deck, deck}, 2, nec::kEngineTimeLimit});
        together += std::chrono::duration<double>(Clock::now() - start).count();
        start = Clock::now();
        (void)calcLauncher().run({{deck}, 1, nec::kEngineTimeLimit});
        alone += std::chrono::duration<double>(Clock::now() - start).count();
    }
    state.counters["ratio"] = 2.0 * alone / together;
}
BENCHMARK(twoEnginesBesideOne)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

// tarvelin-calc's launcher, which after each round of the tune runs the same decks again through one nec2c
// after another: so both see the machine as it is at that moment, however its speed drifts over a minute.
class SideBySideLauncher final : public nec::EngineLauncher
{
public:
    void start(const nec::EngineRound &round, std::function<void(nec::EngineOutputs)> done) override
    {
        nec::EngineOutputs outputs = calcLauncher().run(round);
        const auto seriesStart = std::chrono::steady_clock::now();
        for (const std::string &deck : round.decks) {
            ++decks;
            (void)calcLauncher().run({{deck}, 1, nec::kEngineTimeLimit});
        }
        seriesSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - seriesStart).count();
        done(std::move(outputs));
    }
    void cancel() override {}

    int decks = 0;
    double seriesSeconds = 0.0;
};

// The whole tune's wall time is its own: the time its decks took again in series is taken out of it.
void wholeTuneBesideOneEngine(benchmark::State &state)
{
    using Clock = std::chrono::steady_clock;
    const auto geometry = std::get<nec::ArrayGeometry>(nec::geometryFor("14.2"));
    const int processes = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    const std::optional<nec::CheckSummary> check = checked(state, geometry, processes);
    if (!check)
        return;
    for (auto _ : state) {
        SideBySideLauncher launcher;
        nec::Study study(nec::Design(geometry, nec::CheckSettings{}), processes, nec::TuneSettings{}, check);
        const auto start = Clock::now();
        nec::driveStudy(study, launcher, {});
        const double tuneSeconds = std::chrono::duration<double>(Clock::now() - start).count() - launcher.seriesSeconds;
        if (!study.tuned() || study.failure()) {
            state.SkipWithError("the tune failed");
            return;
        }
        const int evaluations = study.tuned()->evaluations;
        state.counters["evaluations"] = evaluations;
        state.counters["decks"] = launcher.decks;
        state.counters["tune_s"] = tuneSeconds;
        state.counters["one_engine_s"] = launcher.seriesSeconds;
        state.counters["evaluations_per_s"] = evaluations / tuneSeconds;
        state.counters["one_engine_evaluations_per_s"] = evaluations / launcher.seriesSeconds;
        state.counters["ratio"] = launcher.seriesSeconds / tuneSeconds;
    }
}
BENCHMARK(wholeTuneBesideOneEngine)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace

BENCHMARK_MAIN();
