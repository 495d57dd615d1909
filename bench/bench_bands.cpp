// SPDX-License-Identifier: MIT
// A quad of 20, 15 and 10 m, two elements on a spider at 0.14 wavelength, against the same elements as three
// monoband quads, with tarvelin-calc's own launcher on one engine. The three-band check is every band's sweep
// from one deck of all the loops, each driver excited in turn, the idle drivers ended from the N-port, plus each
// band's own design alone beside it; the monoband checks are the window's check of each band's design. The
// goal is a three-band check within four times the three monoband checks together (ratio). The tune is the
// three bands tuned band by band, idle drivers closed. Counters: seconds, the ratio, the designs the tune
// modelled and its rounds.
#include "support/calclauncher.h"
#include "core/design/arraydesign.h"
#include "core/study/nestedstudy.h"
#include "core/study/nestedtune.h"
#include "core/study/study.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

using namespace tarvelin;
using Clock = std::chrono::steady_clock;

design::NestedGeometry referenceQuad()
{
    design::NestedSettings settings;
    settings.layout = design::NestedLayout::Spider;
    auto bands = std::get<std::vector<design::Band>>(design::readBands("20m,15m,10m"));
    return std::get<design::NestedGeometry>(design::nestedGeometry(bands, 2, settings));
}

class Launcher final : public study::EngineLauncher
{
public:
    void start(const study::EngineRound &round, std::function<void(study::EngineOutputs)> done) override
    {
        done(calcLauncher().run(round));
    }
    void cancel() override {}
};

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void threeBandCheck(benchmark::State &state)
{
    Launcher launcher;
    for (auto _ : state) {
        auto start = Clock::now();
        double monoband = 0.0;
        for (const char *frequency : {"14.175", "21.225", "28.5"}) {
            study::Study check(std::get<design::Design>(design::specifiedDesign(frequency, 2)), 1);
            study::driveStudy(check, launcher, {});
            if (!check.check()) {
                state.SkipWithError("a monoband check failed (is nec2c installed?)");
                return;
            }
        }
        monoband = secondsSince(start);
        start = Clock::now();
        study::NestedStudy nested(referenceQuad(), design::CheckSettings{}, design::IdleEnd{}, 1);
        study::driveStudy(nested, launcher, {});
        const double bands = secondsSince(start);
        if (!nested.bands()) {
            state.SkipWithError("the three-band check failed");
            return;
        }
        state.counters["monoband_s"] = monoband;
        state.counters["bands_s"] = bands;
        state.counters["ratio"] = bands / monoband;
    }
}
BENCHMARK(threeBandCheck)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void threeBandTune(benchmark::State &state)
{
    Launcher launcher;
    const auto processes = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const auto start = Clock::now();
        design::CheckSettings settings;
        settings.z0Ohms = 75.0;
        tune::TuneSettings goals;
        study::NestedTune tune(referenceQuad(), settings, design::IdleEnd{}, goals, processes);
        study::driveStudy(tune, launcher, {});
        if (!tune.result()) {
            state.SkipWithError("the tune failed");
            return;
        }
        state.counters["tune_s"] = secondsSince(start);
        state.counters["designs"] = tune.result()->designs;
        state.counters["rounds"] = tune.result()->rounds;
    }
}
BENCHMARK(threeBandTune)->Arg(1)->Arg(3)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace

BENCHMARK_MAIN();
