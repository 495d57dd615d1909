// SPDX-License-Identifier: MIT
#include "core/study/study.h"

#include "core/format/fieldtext.h"
#include "core/nec/deck.h"
#include "core/nec/necoutput.h"
#include "core/text/typedtext.h"

#include <algorithm>
#include <cmath>

namespace tarvelin::study {

std::variant<int, std::string> readProcessCount(const std::string &text)
{
    const std::optional<int> count = wholeText(text);
    if (!count || *count < 1 || *count > kMostProcesses)
        return "The engine processes must be a whole number from 1 to " + std::to_string(kMostProcesses) + ".";
    return *count;
}

Study::Study(const design::Design &design, int processes)
    : m_geometry(design.array), m_settings(design.settings), m_processes(std::max(processes, 1))
{
    m_rounds.emplace(m_geometry, m_settings, m_processes);
}

Study::Study(const design::Design &design, int processes, tune::TuneSettings tune,
             std::optional<check::CheckSummary> check)
    : m_geometry(design.array), m_settings(design.settings), m_processes(std::max(processes, 1)),
      m_check(std::move(check)), m_tune(tune)
{
    // The time limit bounds the whole tune, the check it starts with among it.
    m_tuneStarted = std::chrono::steady_clock::now();
    // A boom too short for the array is refused before any engine runs.
    auto space = tune::tuneSpaceFor(m_geometry, *m_tune);
    if (auto *refusal = std::get_if<std::string>(&space)) {
        m_failure = std::move(*refusal);
        m_ended = true;
        return;
    }
    m_space = std::get<tune::TuneSpace>(std::move(space));
    if (m_check)
        startTune();
    else
        m_rounds.emplace(m_geometry, m_settings, m_processes);
}

Study::~Study() = default;

bool Study::ended() const
{
    return m_ended;
}

std::optional<EngineRound> Study::nextRound()
{
    if (m_ended)
        return std::nullopt;
    if (!m_round) {
        if (m_rounds) {
            m_round = EngineRound{m_rounds->decks(), m_rounds->frequencies(), roundTimeLimit()};
        } else if (m_tunedSweep) {
            m_round =
                EngineRound{m_tunedSweep->decks, static_cast<int>(m_tunedSweep->sweepMHz.size()), roundTimeLimit()};
        } else if (m_searchesEnded) {
            planDesigns(tune::cutOffDesigns(m_search->best(), m_search->space().loops));
        } else if (m_search) {
            planDesigns(m_search->candidates());
        }
    }
    return m_round;
}

void Study::take(EngineOutputs outputs)
{
    if (m_ended || !m_round)
        return;
    m_round.reset();
    if (m_rounds) {
        if (const auto *failure = std::get_if<EngineFailure>(&outputs)) {
            m_failure = failure->timeLimit && m_tune ? tuneTimeLimitMessage() : failure->message;
            m_ended = true;
            return;
        }
        if (std::optional<nec::OutputProblem> problem = m_rounds->take(std::get<std::vector<std::string>>(outputs))) {
            m_failure = std::move(problem->message);
            m_ended = true;
            return;
        }
        if (!m_rounds->done())
            return;
        m_check = m_rounds->summary();
        m_ran = m_rounds->ranText();
        m_rounds.reset();
        if (m_tune)
            startTune();
        else
            m_ended = true;
        return;
    }
    if (const auto *failure = std::get_if<EngineFailure>(&outputs)) {
        if (!m_beforeKnown) {
            m_failure = failure->timeLimit ? tuneTimeLimitMessage() : failure->message;
            m_ended = true;
            return;
        }
        // The searches had ended: the tuned design stands without its cutting tolerance.
        if (m_searchesEnded)
            return endTune(failure->timeLimit ? std::nullopt : std::optional(failure->message), *m_searchesEnded);
        // The time limit stops a round as it stops the tune: no failure, the best so far stands.
        return endTune(failure->timeLimit ? std::nullopt : std::optional(failure->message),
                       failure->timeLimit ? tune::TuneEnd::TimeLimit : tune::TuneEnd::EngineFailure);
    }
    const auto &texts = std::get<std::vector<std::string>>(outputs);
    if (m_tunedSweep)
        return takeTunedSweep(texts);
    if (m_searchesEnded)
        return takeCutOff(texts);
    takeTuneRound(texts);
}

void Study::cancel(int frequenciesDone)
{
    if (m_ended)
        return;
    if (m_search) {
        m_ran = "Cancelled after " + progress(frequenciesDone).text;
    } else {
        const Progress now = progress(frequenciesDone);
        m_ran = "Cancelled after " + std::to_string(now.value) + " of " + std::to_string(now.maximum) + " frequencies" +
                (m_rounds && m_rounds->round() > 1 ? " of the verdict's round" : "");
    }
    if (m_beforeKnown)
        return endTune(std::nullopt, tune::TuneEnd::Cancelled);
    m_round.reset();
    m_ended = true;
}

void Study::startTune()
{
    m_search = std::make_unique<tune::LoopSearch>(*m_tune, *m_space, tune::tuneStartFactor(*m_check));
}

// A hung engine is stopped after kEngineTimeLimit, or in a tune as its time limit is reached.
std::chrono::seconds Study::roundTimeLimit() const
{
    if (!m_tune)
        return kEngineTimeLimit;
    const auto elapsed = std::chrono::steady_clock::now() - m_tuneStarted;
    const auto left = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::duration<double>(m_tune->timeLimitSeconds) - elapsed);
    return std::clamp(left, std::chrono::seconds(1), kEngineTimeLimit);
}

std::string Study::tuneTimeLimitMessage() const
{
    return "The tune reached its time limit of " + std::to_string(static_cast<int>(m_tune->timeLimitSeconds)) +
           " s before the design as specified was modelled, so nothing was tuned. Allow it more time.";
}

// The round's designs shared over the engines so each solves as many frequencies as the others: the designs'
// band frequencies in turn, a run of them to each engine; a run that spans two designs is one deck of two
// structures, which one process models in turn. Each frequency has a card of its own, so what the engine
// gives for it never depends on which others share its deck: the same on every machine.
void Study::planDesigns(std::span<const tune::TuneVector> designs)
{
    if (designs.empty())
        return;
    const std::vector<double> band = tune::bandFrequencies(m_geometry.designMHz, *m_tune);
    const std::size_t points = band.size();
    const std::size_t wanted = designs.size() * points;
    const auto engines = static_cast<std::size_t>(m_processes);
    const std::size_t each = (wanted + engines - 1) / engines;

    m_candidatePlans.assign(designs.size(), check::AnalysisPlan{});
    for (check::AnalysisPlan &plan : m_candidatePlans) {
        plan.designMHz = m_geometry.designMHz;
        plan.sectionMHz = m_geometry.designMHz;
    }
    m_engineParts.clear();
    EngineRound round;
    for (std::size_t start = 0; start < wanted; start += each) {
        const std::size_t end = std::min(start + each, wanted);
        std::vector<std::string> decks;
        std::vector<std::size_t> parts;
        for (std::size_t at = start; at < end;) {
            const std::size_t design = at / points;
            const std::size_t count = std::min(end, (design + 1) * points) - at;
            check::AnalysisPlan &plan = m_candidatePlans[design];
            nec::DeckRequest request;
            request.sweepMHz = std::span<const double>(band).subspan(at % points, count);
            request.cardPerFrequency = true;
            decks.push_back(
                nec::writeDeck(m_search->space().geometry(m_geometry, designs[design]), m_settings, request));
            plan.decks.push_back(decks.back());
            plan.pointCount.push_back(count);
            parts.push_back(design);
            at += count;
        }
        round.decks.push_back(decks.size() == 1 ? std::move(decks.front()) : nec::joinedDeck(decks));
        m_engineParts.push_back(std::move(parts));
    }
    round.frequencies = static_cast<int>(wanted);
    round.timeLimit = roundTimeLimit();
    m_round = std::move(round);
}

std::optional<std::vector<tune::BandFigures>> Study::figuresOf(const std::vector<std::string> &outputs)
{
    if (outputs.size() != m_engineParts.size())
        return std::nullopt;
    // Each deck's output taken apart by structure, each structure's text to its design.
    std::vector<std::vector<std::string>> designOutputs(m_candidatePlans.size());
    for (std::size_t e = 0; e < outputs.size(); ++e) {
        const std::vector<std::size_t> &parts = m_engineParts[e];
        const auto split = nec::splitNecOutput(outputs[e], parts.size());
        const auto *texts = std::get_if<std::vector<std::string_view>>(&split);
        for (std::size_t p = 0; p < parts.size(); ++p)
            // A structure missing from the output leaves its design without figures: unmodelled.
            designOutputs[parts[p]].emplace_back(texts ? (*texts)[p] : std::string_view());
    }
    std::vector<tune::BandFigures> figures;
    for (std::size_t d = 0; d < m_candidatePlans.size(); ++d) {
        auto read = check::readOutputs(m_candidatePlans[d], designOutputs[d], m_settings);
        const auto *sweep = std::get_if<check::SweepOutputs>(&read);
        // A design the engine cannot model at its design frequency is the worst there is, and the search
        // moves away from it.
        figures.push_back(sweep ? tune::bandFigures(sweep->points, m_geometry.designMHz) : tune::unmodelledFigures());
    }
    return figures;
}

void Study::takeTuneRound(const std::vector<std::string> &outputs)
{
    const std::optional<std::vector<tune::BandFigures>> figures = figuresOf(outputs);
    if (!figures)
        return endTune("The engine gave " + std::to_string(outputs.size()) + " outputs for more decks.",
                       tune::TuneEnd::EngineFailure);
    m_beforeKnown = true;
    m_search->take(*figures);
    if (m_search->problem())
        return endTune(*m_search->problem(), tune::TuneEnd::EngineFailure);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_tuneStarted).count();
    if (!m_search->ended() && seconds >= m_tune->timeLimitSeconds)
        return endTune(std::nullopt, tune::TuneEnd::TimeLimit);
    // Ended of themselves, converged or at the most designs: one more round, the tuned loops cut long and
    // short, tells the builder how exact the cut must be.
    if (m_search->ended()) {
        m_round.reset();
        m_searchesEnded = tune::TuneEnd::Converged;
    }
}

void Study::takeCutOff(const std::vector<std::string> &outputs)
{
    const std::optional<std::vector<tune::BandFigures>> figures = figuresOf(outputs);
    if (figures && figures->size() == 2)
        m_tolerance = tune::CutTolerance{(*figures)[0], (*figures)[1]};
    // Then the tuned loops over the check's own sweep, to be drawn beside the specified design's.
    m_tunedSweep =
        check::planAnalysis(m_search->space().geometry(m_geometry, m_search->best()), m_settings, m_processes);
}

void Study::takeTunedSweep(const std::vector<std::string> &outputs)
{
    auto read = check::readOutputs(*m_tunedSweep, outputs, m_settings);
    if (auto *sweep = std::get_if<check::SweepOutputs>(&read); sweep && !sweep->points.empty()) {
        const std::size_t designIndex = check::designIndexOf(sweep->points, m_geometry.designMHz);
        m_tunedCheck =
            check::summarise(sweep->points, designIndex, m_settings.z0Ohms, sweep->efficiencyPercent[designIndex],
                             sweep->azimuth ? &*sweep->azimuth : nullptr, m_settings.match, m_geometry.designMHz);
    }
    endTune(std::nullopt, *m_searchesEnded);
}

// The tune's end, whatever brought it: the best design so far stands once the specified one has its
// figures; before that there is no tuned design, only the failure. Cancelled before anything better than the
// specified design was found, there is none either: the user stopped it to have nothing.
void Study::endTune(std::optional<std::string> failure, tune::TuneEnd end)
{
    m_round.reset();
    m_ended = true;
    m_failure = std::move(failure);
    if (!m_beforeKnown)
        return;
    m_search->stop(end);
    m_tuned = m_search->result();
    m_tuned->tolerance = m_tolerance;
    // From the tune's start, its check among it, as its time limit counts; to the tenth of a second every text
    // and file gives it, so none says 65.6 s where another says 65.7.
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_tuneStarted).count();
    m_tuned->seconds = std::round(seconds * 10.0) / 10.0;
    if (end != tune::TuneEnd::Cancelled)
        m_ran = tune::designsTriedText(m_tuned->evaluations);
    else if (m_search->bestIsSpecified())
        m_tuned.reset();
}

std::string Study::roundText() const
{
    if (m_rounds)
        return m_rounds->round() == 1 ? "Running nec2c\u2026"
                                      : "Running nec2c: the cutting sensitivity and, where the sweep missed "
                                        "them, the resonance and the 2:1 edges\u2026";
    return "Tuning the loops with nec2c\u2026";
}

std::optional<tune::TuneResult> Study::bestSoFar() const
{
    return m_search && m_beforeKnown ? std::optional(m_search->result()) : std::nullopt;
}

Study::Progress Study::progress(int frequenciesDone) const
{
    if (m_search) {
        // A tune ends when its searches converge, which no count foretells: it says what it has done, the time
        // it has taken and the best design so far, and sets no end to fill towards.
        const std::optional<tune::TuneResult> best = bestSoFar();
        const int tried = best ? best->evaluations : 0;
        const auto seconds = static_cast<long long>(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - m_tuneStarted).count());
        std::string detail =
            "Tuning the loops: " + tune::designsTriedText(tried) + " in " + std::to_string(seconds) + " s";
        if (best) {
            detail += "; best so far " + format::fixedText(best->after.design.gainDbi, 2) + " dBi, worst SWR " +
                      format::fixedText(best->after.worstSwr(), 2) + ", lowest F/B " +
                      format::fixedText(best->after.lowestFrontToBackDb(), 2) + " dB" +
                      (best->swrGoalMet && best->frontToBackGoalMet ? ", the goals met" : ", the goals not yet met");
        }
        return {tried, 0, tune::designsTriedText(tried), detail + "."};
    }
    const int total = m_round ? m_round->frequencies : 0;
    const int done = std::clamp(frequenciesDone, 0, total);
    return {done, total, std::to_string(done) + " of " + std::to_string(total) + " frequencies", {}};
}

namespace {

// The rounds of one study as they run: a launcher that answers before start() returns goes round the loop
// here; one that answers later comes back through `done`.
struct Drive : std::enable_shared_from_this<Drive>
{
    EngineRounds &study;
    EngineLauncher &launcher;
    std::function<void()> ended;
    std::function<void()> roundStarted;
    bool starting = false;
    bool answeredAtOnce = false;

    Drive(EngineRounds &s, EngineLauncher &l, std::function<void()> e, std::function<void()> r)
        : study(s), launcher(l), ended(std::move(e)), roundStarted(std::move(r))
    {
    }

    void next()
    {
        for (;;) {
            const std::optional<EngineRound> round = study.nextRound();
            if (!round) {
                if (ended)
                    ended();
                return;
            }
            if (roundStarted) {
                roundStarted();
                if (study.ended()) // cancelled as it heard of the round
                    return;
            }
            starting = true;
            answeredAtOnce = false;
            launcher.start(*round, [self = shared_from_this()](EngineOutputs outputs) {
                self->study.take(std::move(outputs));
                if (self->starting)
                    self->answeredAtOnce = true;
                else
                    self->next();
            });
            starting = false;
            if (!answeredAtOnce)
                return;
        }
    }
};

} // namespace

void driveStudy(EngineRounds &study, EngineLauncher &launcher, std::function<void()> ended, std::function<void()> roundStarted)
{
    std::make_shared<Drive>(study, launcher, std::move(ended), std::move(roundStarted))->next();
}

} // namespace tarvelin::study
