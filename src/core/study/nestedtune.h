// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/checksettings.h"
#include "core/design/idleend.h"
#include "core/design/nested.h"
#include "core/nec/nesteddeck.h"
#include "core/study/study.h"
#include "core/tune/bandsearch.h"
#include "core/tune/tunedbands.h"
#include "core/tune/tuner.h"

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace tarvelin::study {

// One band of a tuned quad of several bands: its figures over its band before and after, with every loop
// present and the idle drivers ended as declared, and how its loops moved.
struct BandTuning
{
    design::Band band;
    tune::BandFigures before;
    tune::BandFigures after;
    double driverFactor = 1.0;
    double reflectorFactor = 1.0;
    [[nodiscard]] bool swrMet(const tune::TuneSettings &tune) const { return after.worstSwr() <= tune.maxSwr; }
    [[nodiscard]] bool frontToBackMet(const tune::TuneSettings &tune) const
    {
        return after.lowestFrontToBackDb() >= tune.minFrontToBackDb;
    }
};

struct NestedTuneResult
{
    design::NestedGeometry specified;
    design::NestedGeometry tuned; // each loop's perimeter factor in it
    std::vector<BandTuning> bands;
    int rounds = 0;  // full rounds over the bands
    int designs = 0; // single-band designs modelled
    tune::TuneEnd end = tune::TuneEnd::Converged;
    // What it was tuned for.
    design::CheckSettings settings;
    design::IdleEnd idle;
    tune::TuneSettings goals;

    // The tuned quad as its file keeps it.
    [[nodiscard]] tune::TunedBands saved() const;
};

// The tune of a quad of several bands, band by band: each band's driver and reflector searched with every loop
// present, its driver's reactance and its F/B peak put at its design frequency, the rounds over the bands
// repeated until a whole round moves no loop, or the most rounds or designs are reached. Directors keep their
// specified loops. Each design is one band's frequencies with every driver excited in turn, so the idle
// drivers' endings are applied from the N-port. Which designs are modelled never depends on how many
// engines share them.
class NestedTune final : public EngineRounds
{
public:
    NestedTune(design::NestedGeometry specified, design::CheckSettings settings, design::IdleEnd idle,
               tune::TuneSettings tune, int processes);

    [[nodiscard]] std::optional<EngineRound> nextRound() override;
    void take(EngineOutputs outputs) override;
    [[nodiscard]] bool ended() const override { return m_ended; }

    // Once ended: the tuned quad, unless the engine failed before the specified one had its figures.
    [[nodiscard]] const std::optional<NestedTuneResult> &result() const { return m_result; }
    [[nodiscard]] const std::optional<std::string> &failure() const { return m_failure; }
    // Single-band designs modelled so far, for a progress line.
    [[nodiscard]] int designs() const { return m_result_.designs; }

    // A round holds at most this many band visits' steps; a band not done by then is taken up next round.
    static constexpr int kStepsPerVisit = 8;
    static constexpr int kMostRounds = 12;

private:
    enum class Phase
    {
        Before,
        Probes,
        Step,
        After,
    };
    struct Evaluation
    {
        std::vector<double> factors; // every loop's
        std::size_t band = 0;
        std::vector<nec::DeckPort> ports; // once its deck is written
    };
    struct Evaluated
    {
        tune::BandAim aim;
        tune::BandFigures figures;
    };

    [[nodiscard]] std::vector<double> factorsWith(std::size_t band, const tune::BandSearch::Point &point) const;
    [[nodiscard]] std::optional<Evaluated> evaluated(const Evaluation &evaluation, const std::string &output);
    void planVisit();
    void planAfter(tune::TuneEnd end);
    void advance(std::vector<Evaluated> results);
    void nextBand();

    design::NestedGeometry m_specified;
    design::CheckSettings m_settings;
    design::IdleEnd m_idle;
    tune::TuneSettings m_tune;
    int m_processes = 1;
    std::vector<tune::BandSearch> m_searches; // each band's
    std::vector<double> m_factors;            // every loop's, where the tune stands
    NestedTuneResult m_result_;
    Phase m_phase = Phase::Before;
    std::size_t m_band = 0;
    int m_steps = 0;                    // in this visit
    bool m_moved = false;               // any band in this round
    std::optional<tune::BandSearch::Point> m_stepTo;
    std::vector<Evaluation> m_planned; // the phase's designs, in order
    std::vector<Evaluated> m_done;     // their figures, as far as they have run
    std::size_t m_handedOut = 0;       // of m_planned, in the round under way
    std::chrono::steady_clock::time_point m_started;
    std::optional<NestedTuneResult> m_result;
    std::optional<std::string> m_failure;
    bool m_ended = false;
};

} // namespace tarvelin::study
