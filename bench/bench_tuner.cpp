// SPDX-License-Identifier: MIT
// The seven-element tune at 14.2 MHz in free space, from its check to its end as the window runs it, on one,
// two and four engines at once, with tarvelin-calc's own launcher. The same designs are tried whatever the
// count: only the time differs. Counters: the whole time (tune_s), the designs tried, the time the engines'
// rounds took (engine_s) and its share of the whole, the time at which the best design first had 11.75 dBi
// with the goals met (reached_s; 0 when it never did), and the tuned gain. This machine's speed at the
// moment is given beside them: two five-frequency decks side by side (pair_s), so a run on a busy or slow
// machine can be told from a slower tune.
#include "core/nec/deck.h"
#include "support/calclauncher.h"
#include "core/study/study.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <optional>
#include <vector>

namespace {

using namespace tarvelin;
using Clock = std::chrono::steady_clock;

// Today's best seven-element design, as the tune first found it.
constexpr double kReferenceGainDbi = 11.75;

// tarvelin-calc's launcher, timing its rounds, and noting when the study's best design first reaches the
// reference: after each round, as the window's status line would show it.
class TimedLauncher final : public study::EngineLauncher
{
public:
    explicit TimedLauncher(const study::Study &study) : m_study(study) {}

    void start(const study::EngineRound &round, std::function<void(study::EngineOutputs)> done) override
    {
        const auto started = Clock::now();
        study::EngineOutputs outputs = calcLauncher().run(round);
        engineSeconds += std::chrono::duration<double>(Clock::now() - started).count();
        done(std::move(outputs));
        const std::optional<tune::TuneResult> best = m_study.bestSoFar();
        if (!reachedSeconds && best && best->swrGoalMet && best->frontToBackGoalMet &&
            best->after.design.gainDbi >= kReferenceGainDbi)
            reachedSeconds = std::chrono::duration<double>(Clock::now() - begun).count();
    }
    void cancel() override {}

    Clock::time_point begun = Clock::now();
    double engineSeconds = 0.0;
    std::optional<double> reachedSeconds;

private:
    const study::Study &m_study;
};

// Two decks of the tune's five band frequencies side by side: a round of two designs on two engines.
double pairSeconds(const design::ArrayGeometry &geometry)
{
    const std::vector<double> band = tune::bandFrequencies(geometry.designMHz, tune::TuneSettings{});
    nec::DeckRequest request;
    request.sweepMHz = band;
    request.cardPerFrequency = true;
    const std::string deck = nec::writeDeck(geometry, design::CheckSettings{}, request);
    const auto start = Clock::now();
    (void)calcLauncher().run({{deck, deck}, 2 * tune::kBandPoints, study::kEngineTimeLimit});
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void sevenElementTune(benchmark::State &state)
{
    const auto processes = static_cast<int>(state.range(0));
    const auto geometry = std::get<design::ArrayGeometry>(design::geometryFor("14.2"));
    for (auto _ : state) {
        state.counters["pair_s"] = pairSeconds(geometry);
        study::Study study(std::get<design::Design>(design::specifiedDesign("14.2")), processes, tune::TuneSettings{});
        TimedLauncher launcher(study);
        study::driveStudy(study, launcher, {});
        const double seconds = std::chrono::duration<double>(Clock::now() - launcher.begun).count();
        if (!study.tuned() || study.failure()) {
            state.SkipWithError("the tune failed (is nec2c installed?)");
            return;
        }
        const tune::TuneResult &tuned = *study.tuned();
        state.counters["tune_s"] = seconds;
        state.counters["designs"] = tuned.evaluations;
        state.counters["engine_s"] = launcher.engineSeconds;
        state.counters["engine_share"] = launcher.engineSeconds / seconds;
        state.counters["reached_s"] = launcher.reachedSeconds.value_or(0.0);
        state.counters["gain_dbi"] = tuned.after.design.gainDbi;
        state.counters["goals_met"] = tuned.swrGoalMet && tuned.frontToBackGoalMet ? 1 : 0;
    }
}
BENCHMARK(sevenElementTune)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace

BENCHMARK_MAIN();
