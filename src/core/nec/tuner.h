// SPDX-License-Identifier: MIT
#pragma once

#include "core/calc/designlengths.h"
#include "core/format/resulttable.h"
#include "core/nec/checksummary.h"
#include "core/nec/necmodel.h"

#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <variant>
#include <vector>

namespace tarvelin::nec {

inline constexpr std::size_t kLoopCount = 7;
using LoopFactors = std::array<double, kLoopCount>; // each loop against the specified one, reflector first

// What the tuner aims for over its band, and how long it may take.
struct TuneSettings
{
    double bandPercent = 0.5; // either side of the design frequency
    double maxSwr = 1.5;
    double minFrontToBackDb = 20.0;
    double timeLimitSeconds = 45.0; // the searches; with the check first, a tune at 14.2 MHz stays within a minute
    int designLimit = 0;            // designs tried at most, the specified one among them; 0 for none
    int processes = 1;              // engine processes at once
};

namespace limits {
inline constexpr double kLowestBandPercent = 0.1;
inline constexpr double kHighestBandPercent = 5.0;
inline constexpr double kShortestTuneSeconds = 5.0;
inline constexpr double kLongestTuneSeconds = 3600.0;
inline constexpr int kFewestDesigns = 2; // the specified design and one other
inline constexpr int kMostDesigns = 1'000'000;
} // namespace limits

// Reads the band as typed, in percent; a refusal names the limits.
[[nodiscard]] std::variant<double, std::string> readTuneBand(const std::string &text);
// Reads the searches' time limit as typed, in seconds; a refusal names the limits.
[[nodiscard]] std::variant<double, std::string> readTuneSeconds(const std::string &text);
// Reads the most designs the tuner may try, a whole number; a refusal names the limits.
[[nodiscard]] std::variant<int, std::string> readTuneDesigns(const std::string &text);

// Each loop may move this far from the specified loop, as a fraction.
inline constexpr double kLoopFactorLimit = 0.10;
// Frequencies across the band: its edges, the design frequency and halfway between.
inline constexpr int kBandPoints = 5;

// A design's figures over the band, as the tuner weighs them.
struct BandFigures
{
    SweepPoint design;       // at the design frequency: SWR, gain, F/B and F/R
    std::vector<double> swr; // at each band frequency, lowest first
    std::vector<double> frontToBackDb;
    [[nodiscard]] double worstSwr() const;
    [[nodiscard]] double lowestFrontToBackDb() const;
};

// Works out the figures of the array with its loops scaled, or says why the engine could not.
using Evaluator = std::function<std::variant<BandFigures, std::string>(const LoopFactors &factors)>;

// Runs a round of decks at once and gives their outputs in order, or the failure's message.
using DeckRunner = std::function<std::variant<std::vector<std::string>, std::string>(const std::vector<std::string> &)>;

// The evaluator that models the array with NEC-2: one deck of the band's frequencies, shared over
// `tune.processes` engines.
[[nodiscard]] Evaluator necEvaluator(const ArrayGeometry &specified, const CheckSettings &settings,
                                     const TuneSettings &tune, DeckRunner run);

// The array with each loop scaled by its factor, the stations as designed.
[[nodiscard]] ArrayGeometry scaledGeometry(const ArrayGeometry &specified, const LoopFactors &factors);

struct TuneResult
{
    LoopFactors factors{};
    BandFigures before; // the specified design
    BandFigures after;  // the tuned one
    bool swrGoalMet = false;
    bool frontToBackGoalMet = false;
    int evaluations = 0;
    double seconds = 0.0;
    bool timedOut = false;
    bool designLimitReached = false;
    bool cancelled = false;
};

// Tunes the seven loop lengths, each within kLoopFactorLimit of the specified loop, starting from all
// loops scaled by `startFactor` (the one-factor correction from the check's resonance). It weighs the
// forward gain at the design frequency against any SWR above the goal and any F/B below it across the
// band, with a derivative-free local method. `cancel` stops it between evaluations, keeping the best so
// far; `progress` hears the count of evaluations.
[[nodiscard]] std::variant<TuneResult, std::string> tuneLoops(const TuneSettings &tune, double startFactor,
                                                              const Evaluator &evaluate,
                                                              const std::atomic<bool> &cancel,
                                                              const std::function<void(int)> &progress);

// Where the tuner starts: every loop scaled by resonance / design, the one factor that would put the
// check's resonance on the design frequency; the specified loops when the check found none.
[[nodiscard]] double tuneStartFactor(const CheckSummary &check);

// How the tune ended, in one line: each goal met or missed with how close it came, the designs tried, the
// time taken and what stopped it.
[[nodiscard]] std::string tuneOutcomeText(const TuneResult &result, const TuneSettings &tune);

// The tuned design as a table: per element the specified loop, the tuned loop in inches and millimetres,
// its side and its factor; the stations as designed.
[[nodiscard]] ResultTable tunedTable(const DesignLengths &design, const LoopFactors &factors);

// The verdict before and after as a table: per figure the specified design's and the tuned one's.
[[nodiscard]] ResultTable tuneVerdictTable(const TuneResult &result, const TuneSettings &tune);

} // namespace tarvelin::nec
