// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/checkrounds.h"
#include "core/tune/tuner.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace tarvelin::study {

// One round of engine work: decks the engines run side by side, one process each, the frequencies they
// solve together (for progress), and how long the round may take before its engines are stopped.
struct EngineRound
{
    std::vector<std::string> decks;
    int frequencies = 0;
    std::chrono::seconds timeLimit{0};
};

// Why a round gave no outputs: the message for the user, and whether it was the round's time limit.
struct EngineFailure
{
    std::string message;
    bool timeLimit = false;
};

// A round's outputs in deck order, or why the engine gave none.
using EngineOutputs = std::variant<std::vector<std::string>, EngineFailure>;

// The one interface to the engine. The window's launcher (QProcess, on its event loop) and tarvelin-calc's
// (fork and exec, blocking) each implement it. start() runs a round's decks at once and calls `done` once,
// with the outputs or the failure, before it returns or later; cancel() stops the round under way, whose
// `done` is then never called.
class EngineLauncher
{
public:
    virtual ~EngineLauncher() = default;
    virtual void start(const EngineRound &round, std::function<void(EngineOutputs)> done) = 0;
    virtual void cancel() = 0;
};

// Engine processes a study may run at once, however many cores the machine reports.
inline constexpr int kMostProcesses = 256;
// Reads how many engine processes to run at once, a whole number; a refusal names the limits.
[[nodiscard]] std::variant<int, std::string> readProcessCount(const std::string &text);

// A hung engine is stopped after this long; a tune's rounds also end with its time limit.
inline constexpr std::chrono::seconds kEngineTimeLimit{300};

// The whole of an antenna check, or a tune of the loop lengths, as engine rounds: a study plans every round,
// hands each to a launcher through driveStudy(), and takes the outputs back. A check is the sweep, then the
// verdict's round (the cutting sensitivity and, where the sweep missed them, the resonance and the 2:1
// edges). A tune is the check, unless it starts from one already made, then the searches' rounds: each
// round holds the designs the searches ask for next, their band frequencies shared evenly over the engines.
// The engines decide only how the work is shared, never what is modelled. Once the searches end of themselves, one
// round models the tuned loops cut long and short, and one more sweeps the tuned design as the check swept the
// specified one. The window and tarvelin-calc only start a study, show its progress and show its result.
// What hands engine rounds out one after another and takes their outputs back: a study of one band, or of a
// quad of several bands.
class EngineRounds
{
public:
    virtual ~EngineRounds() = default;
    // The next round to run; none once the rounds have ended.
    [[nodiscard]] virtual std::optional<EngineRound> nextRound() = 0;
    // The outputs of the round last given.
    virtual void take(EngineOutputs outputs) = 0;
    [[nodiscard]] virtual bool ended() const = 0;
};

class Study final : public EngineRounds
{
public:
    // The check of the design.
    Study(const design::Design &design, int processes);
    // A tune of the design, after the check made here first or the one given.
    Study(const design::Design &design, int processes, tune::TuneSettings tune,
          std::optional<check::CheckSummary> check = std::nullopt);
    ~Study() override;
    Study(const Study &) = delete;
    Study &operator=(const Study &) = delete;

    // The next round to run; none once the study has ended.
    [[nodiscard]] std::optional<EngineRound> nextRound() override;
    // The outputs of the round last given. A failure ends a check; a tune ends with its best design so far.
    void take(EngineOutputs outputs) override;
    // Ends the study where it stands: a check gives nothing, a tune its best design so far. What had been done
    // is kept for ranText(): `frequenciesDone` of the round under way.
    void cancel(int frequenciesDone = 0);

    [[nodiscard]] bool ended() const override;
    [[nodiscard]] bool tuning() const { return m_tune.has_value(); }
    [[nodiscard]] const design::ArrayGeometry &geometry() const { return m_geometry; }
    [[nodiscard]] const design::CheckSettings &settings() const { return m_settings; }
    // The check, once its rounds are done.
    [[nodiscard]] const std::optional<check::CheckSummary> &check() const { return m_check; }
    // The tuned design, once the tune has ended with a design better than the specified one or not.
    [[nodiscard]] const std::optional<tune::TuneResult> &tuned() const { return m_tuned; }
    // A tune's best design so far, once the specified one has its figures.
    [[nodiscard]] std::optional<tune::TuneResult> bestSoFar() const;
    // The tuned design over the check's sweep, once a tune has ended of itself, to draw beside the check.
    [[nodiscard]] const std::optional<check::CheckSummary> &tunedCheck() const { return m_tunedCheck; }
    // Why the study gave no result, or why a tune ended early.
    [[nodiscard]] const std::optional<std::string> &failure() const { return m_failure; }

    // What the engines are doing now, for a status line.
    [[nodiscard]] std::string roundText() const;
    // How far the study has come: a check's round by the frequencies done, towards the round's; a tune by the
    // designs tried, with no end to fill towards (maximum 0), and in `detail` the time taken and the best design
    // so far, for a status line.
    struct Progress
    {
        int value = 0;
        int maximum = 0;
        std::string text;
        std::string detail;
    };
    [[nodiscard]] Progress progress(int frequenciesDone) const;
    // What ran, once the study has ended, for the status line: a check's frequencies round by round, a tune's
    // designs tried, or what had been done when it was cancelled.
    [[nodiscard]] std::string ranText() const { return m_ran; }

private:
    void startTune();
    [[nodiscard]] std::chrono::seconds roundTimeLimit() const;
    [[nodiscard]] std::string tuneTimeLimitMessage() const;
    void planDesigns(std::span<const tune::TuneVector> designs);
    [[nodiscard]] std::optional<std::vector<tune::BandFigures>> figuresOf(const std::vector<std::string> &outputs);
    void takeTuneRound(const std::vector<std::string> &outputs);
    void takeCutOff(const std::vector<std::string> &outputs);
    void takeTunedSweep(const std::vector<std::string> &outputs);
    void endTune(std::optional<std::string> failure, tune::TuneEnd end);

    design::ArrayGeometry m_geometry;
    design::CheckSettings m_settings;
    int m_processes = 1;
    std::optional<check::CheckRounds> m_rounds;
    std::optional<check::CheckSummary> m_check;
    std::optional<tune::TuneSettings> m_tune;
    std::optional<tune::TuneSpace> m_space; // what the tune may change, worked out as it is set
    std::unique_ptr<tune::LoopSearch> m_search;
    std::vector<check::AnalysisPlan> m_candidatePlans;   // the round's candidates, each over its own decks
    std::vector<std::vector<std::size_t>> m_engineParts; // per deck of the round, the design of each structure
    std::optional<tune::TuneEnd> m_searchesEnded; // and why: the cutting tolerance's round runs before the tune ends
    std::optional<tune::CutTolerance> m_tolerance;
    std::optional<check::AnalysisPlan> m_tunedSweep; // the tuned loops over the sweep, once the tolerance is in
    std::optional<check::CheckSummary> m_tunedCheck;
    std::optional<EngineRound> m_round;                    // the round handed out and not yet taken
    std::chrono::steady_clock::time_point m_tuneStarted{}; // the time limit's clock, from the check on
    bool m_beforeKnown = false; // the specified design's figures are in, so a tune has a best design
    std::optional<tune::TuneResult> m_tuned;
    std::optional<std::string> m_failure;
    std::string m_ran;
    bool m_ended = false;
};

// Runs the rounds on `launcher`, one after another, until they end; `ended` is called then. With a launcher
// that answers before start() returns, this returns once the rounds have ended; with one that answers from its
// event loop, at once. `roundStarted` hears each round as it starts.
void driveStudy(EngineRounds &study, EngineLauncher &launcher, std::function<void()> ended,
                std::function<void()> roundStarted = {});

} // namespace tarvelin::study
