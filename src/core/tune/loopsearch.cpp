// SPDX-License-Identifier: MIT
// The search for the loop lengths, a round at a time, and which of two tunes is better.
#include "core/tune/tuner.h"

#include <nlopt.hpp>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <system_error>
#include <thread>

namespace tarvelin::tune {

namespace {

constexpr double kWorstSwr = 50.0;        // an open feed counts as very bad, not as infinite
constexpr double kDecibelsPerSwr = 10.0;  // a dB of F/B short weighs as a tenth of SWR over its goal
constexpr double kViolationPrice = 100.0; // dB of gain given up for each unit the goals are missed by
constexpr double kFeasible = 1e-9;        // goals met, to the engine's last digit
constexpr std::size_t kSearches = 2;      // the searches every tune runs side by side, on any machine

// How far a design misses the goals, summed over the band: each SWR above its goal, and each dB of F/B
// below its goal at a tenth of that weight. Zero when every goal is met.
double violationOf(const BandFigures &figures, const TuneSettings &tune)
{
    double violation = 0.0;
    for (const double swr : figures.swr)
        violation += std::max(0.0, std::min(swr, kWorstSwr) - tune.maxSwr);
    for (const double fb : figures.frontToBackDb)
        violation += std::max(0.0, tune.minFrontToBackDb - fb) / kDecibelsPerSwr;
    return violation;
}

// The goals come first: a design that meets them beats any that does not, whatever its gain; among those
// that meet them the most forward gain wins, among the others the one nearest the goals.
bool betterThan(const BandFigures &a, const BandFigures &b, const TuneSettings &tune)
{
    const double va = violationOf(a, tune);
    const double vb = violationOf(b, tune);
    const bool aMeets = va <= kFeasible;
    const bool bMeets = vb <= kFeasible;
    if (aMeets != bMeets)
        return aMeets;
    if (!aMeets && va != vb)
        return va < vb;
    return a.design.gainDbi > b.design.gainDbi;
}

// The price the penalised search minimises: the gain, and the goals' shortfall priced far above any gain a
// design could win by missing them, steeply so that a search well outside them heads back.
double penalisedCost(const BandFigures &figures, const TuneSettings &tune)
{
    const double violation = violationOf(figures, tune);
    return -figures.design.gainDbi + kViolationPrice * (violation + violation * violation);
}

// How each search treats the goals.
enum class GoalHandling
{
    Constraints, // COBYLA: the gain the objective, each band frequency's SWR and F/B a constraint
    Penalty,     // Sbplx: the penalised cost
};

// Search k's method: the constrained search, then the penalised one, both from the one-factor design.
struct SearchPlan
{
    nlopt::algorithm method;
    GoalHandling goals;
    std::vector<double> start;
};

SearchPlan searchPlan(std::size_t k, const TuneSpace &space, double start)
{
    std::vector<double> x = space.specified();
    std::fill(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(space.loops), start);
    if (k == 0)
        return {nlopt::LN_COBYLA, GoalHandling::Constraints, x};
    return {nlopt::LN_SBPLX, GoalHandling::Penalty, x};
}

} // namespace

// One search, run by NLopt on a thread of its own, which only ever runs while the tuner waits for it: the
// objective hands its design over and sleeps until the design's cost comes back. So the searches step in
// turn, a round at a time, and what they do never depends on how long anything took.
struct LoopSearch::Search
{
    enum class State
    {
        Stepping, // NLopt is working out the next design
        Asking,   // `design` waits for its cost
        Answered, // `cost` is there, or `stopping`
        Finished,
    };

    std::mutex mutex;
    std::condition_variable changed;
    State state = State::Stepping;
    TuneVector design;
    BandFigures figures; // the answer for `design`
    bool answered = false;
    bool stopping = false;
    const TuneSettings tune;
    const GoalHandling goals;
    nlopt::opt optimiser;
    std::thread thread;

    Search(const TuneSettings &settings, const SearchPlan &plan)
        : design(plan.start.size()), tune(settings), goals(plan.goals),
          optimiser(plan.method, static_cast<unsigned>(plan.start.size()))
    {
    }

    ~Search()
    {
        stop();
        if (thread.joinable())
            thread.join();
    }

    // The figures of the design at `x`: the last answer when it is for this design (NLopt asks for the
    // constraints at the point it has just asked the objective for), or else a new question. None once the
    // search is stopping.
    const BandFigures *figuresAt(const double *x)
    {
        std::unique_lock lock(mutex);
        if (!stopping && !(answered && std::equal(design.begin(), design.end(), x))) {
            std::copy(x, x + design.size(), design.begin());
            answered = false;
            state = State::Asking;
            changed.notify_all();
            changed.wait(lock, [this] { return state == State::Answered; });
            state = State::Stepping;
        }
        if (stopping) {
            optimiser.force_stop();
            return nullptr;
        }
        return &figures;
    }

    static double objective(const std::vector<double> &x, std::vector<double> & /*gradient*/, void *data)
    {
        auto &search = *static_cast<Search *>(data);
        const BandFigures *figures = search.figuresAt(x.data());
        if (!figures)
            return std::numeric_limits<double>::max();
        return search.goals == GoalHandling::Constraints ? -figures->design.gainDbi
                                                         : penalisedCost(*figures, search.tune);
    }

    // SWR at each band frequency no higher than its goal, then F/B at each no lower than its own, as
    // values that are at most zero when met.
    static void constraints(unsigned count, double *result, unsigned /*n*/, const double *x, double * /*gradient*/,
                            void *data)
    {
        auto &search = *static_cast<Search *>(data);
        const BandFigures *figures = search.figuresAt(x);
        for (unsigned i = 0; i < count; ++i)
            result[i] = 0.0;
        if (!figures)
            return;
        const std::size_t points = figures->swr.size();
        for (std::size_t k = 0; k < points && k < count; ++k)
            result[k] = std::min(figures->swr[k], kWorstSwr) - search.tune.maxSwr;
        for (std::size_t k = 0; k < figures->frontToBackDb.size() && points + k < count; ++k)
            result[points + k] = (search.tune.minFrontToBackDb - figures->frontToBackDb[k]) / kDecibelsPerSwr;
    }

    void run(std::vector<double> x)
    {
        double lowest = 0.0;
        try {
            (void)optimiser.optimize(x, lowest);
        } catch (const std::exception &) {
            // Stopped, or NLopt gave up on rounding: the best design it asked for is already known.
        }
        const std::lock_guard lock(mutex);
        state = State::Finished;
        changed.notify_all();
    }

    // Waits until the search asks for a design or has finished; gives whether it asks.
    bool waitForStep()
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return state == State::Asking || state == State::Finished; });
        return state == State::Asking;
    }

    void answer(const BandFigures &designFigures)
    {
        {
            const std::lock_guard lock(mutex);
            figures = designFigures;
            answered = true;
            state = State::Answered;
        }
        changed.notify_all();
    }

    void stop()
    {
        std::unique_lock lock(mutex);
        stopping = true;
        if (state == State::Asking)
            state = State::Answered;
        changed.notify_all();
        changed.wait(lock, [this] { return state == State::Finished || !thread.joinable(); });
    }
};

LoopSearch::LoopSearch(const TuneSettings &tune, TuneSpace space, double startFactor)
    : m_tune(tune), m_space(std::move(space)),
      m_start(std::clamp(startFactor, 1.0 - kLoopFactorLimit, 1.0 + kLoopFactorLimit))
{
    m_candidates = {m_space.specified()};
    m_asking = {nullptr};
}

LoopSearch::~LoopSearch() = default;

void LoopSearch::consider(const TuneVector &design, const BandFigures &figures)
{
    ++m_evaluations;
    // Strictly better only, in the candidates' order: ties go to the design found first.
    if (betterThan(figures, m_bestFigures, m_tune)) {
        m_best = design;
        m_bestFigures = figures;
    }
}

void LoopSearch::take(const std::vector<BandFigures> &figures)
{
    if (ended() || figures.size() != m_candidates.size())
        return;
    if (!m_started) {
        m_started = true;
        m_before = figures.front();
        m_best = m_candidates.front();
        m_bestFigures = m_before;
        m_known.emplace(m_best, m_before);
        ++m_evaluations;
        for (std::size_t k = 0; k < kSearches; ++k) {
            std::variant<std::unique_ptr<Search>, std::string> search = startSearch(k);
            if (auto *error = std::get_if<std::string>(&search)) {
                // No thread to search on: the tune cannot be the one it is on every other machine.
                m_problem = "The tuner could not start its searches: " + *error;
                m_searches.clear();
                break;
            }
            m_searches.push_back(std::get<std::unique_ptr<Search>>(std::move(search)));
        }
    } else {
        for (std::size_t i = 0; i < m_candidates.size(); ++i) {
            consider(m_candidates[i], figures[i]);
            m_known.emplace(m_candidates[i], figures[i]);
            m_asking[i]->answer(figures[i]);
        }
        for (const auto &[search, candidate] : m_sharing)
            search->answer(figures[candidate]);
    }
    collect();
}

// Steps `search` on to a design no one has modelled yet, answering from the figures known; gives whether it
// asks for one, or else has ended.
bool LoopSearch::ask(Search &search)
{
    while (search.waitForStep()) {
        const auto known = m_known.find(search.design);
        if (known == m_known.end())
            return true;
        search.answer(known->second);
    }
    return false;
}

// The next design of every search still going, within the most designs to try. A design that two searches
// ask for in the same round is modelled once for both.
void LoopSearch::collect()
{
    m_candidates.clear();
    m_asking.clear();
    m_sharing.clear();
    for (const std::unique_ptr<Search> &search : m_searches) {
        if (!ask(*search))
            continue;
        const auto same = std::find(m_candidates.begin(), m_candidates.end(), search->design);
        if (same != m_candidates.end()) {
            m_sharing.emplace_back(search.get(), static_cast<std::size_t>(same - m_candidates.begin()));
            continue;
        }
        if (m_tune.designLimit > 0 && m_evaluations + static_cast<int>(m_candidates.size()) >= m_tune.designLimit) {
            m_end = TuneEnd::DesignLimit;
            search->stop();
            continue;
        }
        m_candidates.push_back(search->design);
        m_asking.push_back(search.get());
    }
}

std::variant<std::unique_ptr<LoopSearch::Search>, std::string> LoopSearch::startSearch(std::size_t k) const
{
    const SearchPlan plan = searchPlan(k, m_space, m_start);
    auto search = std::make_unique<Search>(m_tune, plan);
    nlopt::opt &optimiser = search->optimiser;
    // A thousandth of a loop is about an inch on 20 m: finer than that no one cuts. The penalised search ends
    // when a step moves no loop by more than a tenth of that, the constrained one, whose steps shrink only as
    // its model of the goals allows, at three tenths; both when the cost moves by less than the engine's
    // last digit of gain, a hundredth of a dB. Never on the clock, so every machine ends at the same design.
    // A gap moves in steps of a hundredth of a wavelength, and ends finer than a ten-thousandth, about 2 mm
    // on 20 m.
    const std::size_t gaps = m_space.designedGaps.size();
    const auto perVariable = [this, gaps](double loop, double gap) {
        std::vector<double> values(m_space.loops, loop);
        values.insert(values.end(), gaps, gap);
        return values;
    };
    const double longestGap = m_space.longestBoom - limits::kShortestGapWavelengths * (static_cast<double>(gaps) - 1.0);
    optimiser.set_lower_bounds(perVariable(1.0 - kLoopFactorLimit, limits::kShortestGapWavelengths));
    optimiser.set_upper_bounds(perVariable(1.0 + kLoopFactorLimit, longestGap));
    optimiser.set_initial_step(perVariable(0.005, 0.01));
    optimiser.set_xtol_abs(perVariable(plan.goals == GoalHandling::Constraints ? 3e-4 : 1e-4, 1e-4));
    optimiser.set_ftol_abs(1e-2);
    optimiser.set_min_objective(&Search::objective, search.get());
    if (plan.goals == GoalHandling::Constraints)
        optimiser.add_inequality_mconstraint(&Search::constraints, search.get(),
                                             std::vector<double>(2 * kBandPoints, 0.0));
    try {
        search->thread = std::thread(&Search::run, search.get(), plan.start);
    } catch (const std::system_error &error) {
        return std::string(error.what());
    }
    return search;
}

void LoopSearch::stop(TuneEnd why)
{
    if (ended())
        return;
    m_end = why;
    for (const std::unique_ptr<Search> &search : m_searches)
        search->stop();
    m_candidates.clear();
    m_asking.clear();
}

TuneResult LoopSearch::result() const
{
    TuneResult result;
    result.factors.assign(m_best.begin(),
                          m_best.begin() + static_cast<std::ptrdiff_t>(std::min(m_space.loops, m_best.size())));
    result.stationsMetres = m_space.stationsMetres(m_best);
    result.before = m_before;
    result.after = m_bestFigures;
    result.evaluations = m_evaluations;
    result.end = m_end;
    result.swrGoalMet = result.after.worstSwr() <= m_tune.maxSwr;
    result.frontToBackGoalMet = result.after.lowestFrontToBackDb() >= m_tune.minFrontToBackDb;
    return result;
}

bool replacesShownTune(const TuneResult &ended, const TuneSettings &endedTune, const TuneResult &shown,
                       const TuneSettings &shownTune)
{
    const auto finished = [](TuneEnd end) { return end != TuneEnd::Cancelled && end != TuneEnd::EngineFailure; };
    if (finished(ended.end) || !finished(shown.end))
        return true;
    const bool sameAims = endedTune.bandPercent == shownTune.bandPercent && endedTune.maxSwr == shownTune.maxSwr &&
                          endedTune.minFrontToBackDb == shownTune.minFrontToBackDb;
    return sameAims && betterThan(ended.after, shown.after, endedTune);
}

} // namespace tarvelin::tune
