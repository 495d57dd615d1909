// SPDX-License-Identifier: MIT
#include "core/nec/study.h"

#include <algorithm>

namespace tarvelin::nec {

Study::Study(ArrayGeometry geometry, CheckSettings settings, int processes)
    : m_geometry(std::move(geometry)), m_settings(settings), m_processes(std::max(processes, 1))
{
    m_rounds.emplace(m_geometry, m_settings, m_processes);
}

Study::Study(ArrayGeometry geometry, CheckSettings settings, int processes, TuneSettings tune,
             std::optional<CheckSummary> check)
    : m_geometry(std::move(geometry)), m_settings(settings), m_processes(std::max(processes, 1)),
      m_check(std::move(check)), m_tune(tune)
{
    m_tune->processes = m_processes;
    // The time limit bounds the whole tune, the check it starts with among it.
    m_tuneStarted = std::chrono::steady_clock::now();
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
        } else if (m_searchesEnded) {
            planDesigns(cutOffDesigns(m_search->result().factors));
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
        if (std::optional<OutputProblem> problem = m_rounds->take(std::get<std::vector<std::string>>(outputs))) {
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
                       failure->timeLimit ? TuneEnd::TimeLimit : TuneEnd::EngineFailure);
    }
    const auto &texts = std::get<std::vector<std::string>>(outputs);
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
        return endTune(std::nullopt, TuneEnd::Cancelled);
    m_round.reset();
    m_ended = true;
}

void Study::startTune()
{
    m_search = std::make_unique<LoopSearch>(*m_tune, tuneStartFactor(*m_check));
    m_searchStarted = std::chrono::steady_clock::now();
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

// Each design's band frequencies go to decks of their own; a round with fewer designs than engines shares
// each design's frequencies over several, so no engine idles.
void Study::planDesigns(std::span<const LoopFactors> candidates)
{
    if (candidates.empty())
        return;
    const std::vector<double> band = bandFrequencies(m_geometry.designMHz, *m_tune);
    const int decksEach = std::max(1, m_processes / static_cast<int>(candidates.size()));
    m_candidatePlans.clear();
    EngineRound round;
    for (const LoopFactors &factors : candidates) {
        m_candidatePlans.push_back(planSweep(scaledGeometry(m_geometry, factors), m_settings, band, false, decksEach));
        m_candidatePlans.back().designMHz = m_geometry.designMHz;
        const AnalysisPlan &plan = m_candidatePlans.back();
        round.decks.insert(round.decks.end(), plan.decks.begin(), plan.decks.end());
        round.frequencies += static_cast<int>(band.size());
    }
    round.timeLimit = roundTimeLimit();
    m_round = std::move(round);
}

std::optional<std::vector<BandFigures>> Study::figuresOf(const std::vector<std::string> &outputs) const
{
    std::vector<BandFigures> figures;
    std::size_t next = 0;
    for (const AnalysisPlan &plan : m_candidatePlans) {
        const std::size_t count = plan.decks.size();
        if (next + count > outputs.size())
            return std::nullopt;
        auto read = readOutputs(plan,
                                {outputs.begin() + static_cast<std::ptrdiff_t>(next),
                                 outputs.begin() + static_cast<std::ptrdiff_t>(next + count)},
                                m_settings);
        // A design the engine cannot model at its design frequency is the worst there is, and the search
        // moves away from it.
        const auto *sweep = std::get_if<SweepOutputs>(&read);
        figures.push_back(sweep ? bandFigures(sweep->points, m_geometry.designMHz) : unmodelledFigures());
        next += count;
    }
    return figures;
}

void Study::takeTuneRound(const std::vector<std::string> &outputs)
{
    const std::optional<std::vector<BandFigures>> figures = figuresOf(outputs);
    if (!figures)
        return endTune("The engine gave " + std::to_string(outputs.size()) + " outputs for more decks.",
                       TuneEnd::EngineFailure);
    m_beforeKnown = true;
    m_search->take(*figures);
    if (m_search->problem())
        return endTune(*m_search->problem(), TuneEnd::EngineFailure);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_tuneStarted).count();
    if (!m_search->ended() && seconds >= m_tune->timeLimitSeconds)
        return endTune(std::nullopt, TuneEnd::TimeLimit);
    // Ended of themselves, converged or at the most designs: one more round, the tuned loops cut long and
    // short, tells the builder how exact the cut must be.
    if (m_search->ended()) {
        m_round.reset();
        m_searchesEnded = TuneEnd::Converged;
    }
}

void Study::takeCutOff(const std::vector<std::string> &outputs)
{
    const std::optional<std::vector<BandFigures>> figures = figuresOf(outputs);
    if (figures && figures->size() == 2)
        m_tolerance = CutTolerance{(*figures)[0], (*figures)[1]};
    endTune(std::nullopt, *m_searchesEnded);
}

// The tune's end, whatever brought it: the best design so far stands once the specified one has its
// figures; before that there is no tuned design, only the failure. Cancelled before anything better than the
// specified design was found, there is none either: the user stopped it to have nothing.
void Study::endTune(std::optional<std::string> failure, TuneEnd end)
{
    m_round.reset();
    m_ended = true;
    m_failure = std::move(failure);
    if (!m_beforeKnown)
        return;
    m_search->stop(end);
    m_tuned = m_search->result();
    m_tuned->tolerance = m_tolerance;
    m_tuned->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_searchStarted).count();
    if (end != TuneEnd::Cancelled)
        m_ran = designsTriedText(m_tuned->evaluations);
    else if (std::all_of(m_tuned->factors.begin(), m_tuned->factors.end(), [](double f) { return f == 1.0; }))
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

Study::Progress Study::progress(int frequenciesDone) const
{
    if (m_search) {
        // Towards the most designs to try, or else the time limit, whichever ends the tune if it does not
        // converge first.
        const int tried = m_beforeKnown ? m_search->result().evaluations : 0;
        const std::string text = designsTriedText(tried);
        if (m_tune->designLimit > 0)
            return {tried, m_tune->designLimit, text};
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_tuneStarted).count();
        const auto limit = static_cast<int>(m_tune->timeLimitSeconds);
        return {std::min(static_cast<int>(seconds), limit), limit, text};
    }
    const int total = m_round ? m_round->frequencies : 0;
    const int done = std::clamp(frequenciesDone, 0, total);
    return {done, total, std::to_string(done) + " of " + std::to_string(total) + " frequencies"};
}

namespace {

// The rounds of one study as they run: a launcher that answers before start() returns goes round the loop
// here; one that answers later comes back through `done`.
struct Drive : std::enable_shared_from_this<Drive>
{
    Study &study;
    EngineLauncher &launcher;
    std::function<void()> ended;
    std::function<void()> roundStarted;
    bool starting = false;
    bool answeredAtOnce = false;

    Drive(Study &s, EngineLauncher &l, std::function<void()> e, std::function<void()> r)
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

void driveStudy(Study &study, EngineLauncher &launcher, std::function<void()> ended, std::function<void()> roundStarted)
{
    std::make_shared<Drive>(study, launcher, std::move(ended), std::move(roundStarted))->next();
}

} // namespace tarvelin::nec
