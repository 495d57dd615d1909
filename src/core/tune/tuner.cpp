// SPDX-License-Identifier: MIT
#include "core/tune/tuner.h"

#include "core/format/fieldtext.h"
#include "core/format/jsonwriter.h"
#include "core/check/checkrounds.h"
#include "core/format/typedlength.h"
#include "core/text/typedtext.h"

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

namespace tarvelin::nec {

std::variant<double, std::string> readTuneBand(const std::string &text)
{
    const std::optional<double> percent = decimalText(withoutUnit(text, "%"));
    if (!percent || !(*percent >= limits::kLowestBandPercent && *percent <= limits::kHighestBandPercent))
        return bandRefusal();
    return *percent;
}

std::string boomRefusal()
{
    return "The boom length must be a length above 0 and below " + fixedText(limits::kHighestBoomMetres, 0) +
           " m, such as 7.5 m or 25 ft.";
}

std::string bandRefusal()
{
    return "The band must be " + fixedText(limits::kLowestBandPercent, 1) + " to " +
           fixedText(limits::kHighestBandPercent, 1) + " % either side of the design frequency.";
}

std::variant<double, std::string> readTuneSeconds(const std::string &text)
{
    const std::optional<double> seconds = decimalText(trimmedText(text));
    if (!seconds || !(*seconds >= limits::kShortestTuneSeconds && *seconds <= limits::kLongestTuneSeconds))
        return "The time limit must be " + fixedText(limits::kShortestTuneSeconds, 0) + " to " +
               fixedText(limits::kLongestTuneSeconds, 0) + " seconds.";
    return *seconds;
}

std::variant<int, std::string> readTuneDesigns(const std::string &text)
{
    const std::optional<double> designs = decimalText(trimmedText(text));
    if (!designs || *designs != std::floor(*designs) ||
        !(*designs >= limits::kFewestDesigns && *designs <= limits::kMostDesigns))
        return "The most designs to try must be a whole number from " + std::to_string(limits::kFewestDesigns) +
               " to " + std::to_string(limits::kMostDesigns) + ".";
    return static_cast<int>(*designs);
}

std::variant<double, std::string> readGoalSwr(const std::string &text)
{
    const std::optional<double> swr = decimalText(trimmedText(text));
    if (!swr || !(*swr >= limits::kLowestGoalSwr && *swr <= limits::kHighestGoalSwr))
        return "The SWR goal must be " + fixedText(limits::kLowestGoalSwr, 1) + " to " +
               fixedText(limits::kHighestGoalSwr, 1) + ".";
    return *swr;
}

std::variant<double, std::string> readGoalFrontToBack(const std::string &text)
{
    const std::optional<double> db = decimalText(withoutUnit(text, "db"));
    if (!db || !(*db >= limits::kLowestGoalFrontToBackDb && *db <= limits::kHighestGoalFrontToBackDb))
        return "The F/B goal must be " + fixedText(limits::kLowestGoalFrontToBackDb, 0) + " to " +
               fixedText(limits::kHighestGoalFrontToBackDb, 0) + " dB.";
    return *db;
}

std::variant<double, std::string> readTuneBoom(const std::string &text)
{
    if (lacksUnit(text))
        return "The boom length needs its unit, m or ft, such as 7.5 m or 25 ft.";
    const double metres = typedMetres(text).value_or(0.0);
    if (!(metres > 0.0 && metres < limits::kHighestBoomMetres))
        return boomRefusal();
    return metres;
}

std::optional<std::string> tuneSettingsProblem(const TuneSettings &tune)
{
    if (!(tune.bandPercent >= limits::kLowestBandPercent && tune.bandPercent <= limits::kHighestBandPercent))
        return bandRefusal();
    if (!(tune.maxSwr >= limits::kLowestGoalSwr && tune.maxSwr <= limits::kHighestGoalSwr))
        return std::get<std::string>(readGoalSwr(""));
    if (!(tune.minFrontToBackDb >= limits::kLowestGoalFrontToBackDb &&
          tune.minFrontToBackDb <= limits::kHighestGoalFrontToBackDb))
        return std::get<std::string>(readGoalFrontToBack(""));
    if (tune.boomMetres && !(*tune.boomMetres > 0.0 && *tune.boomMetres < limits::kHighestBoomMetres))
        return boomRefusal();
    return std::nullopt;
}

double BandFigures::worstSwr() const
{
    return swr.empty() ? design.swr : *std::max_element(swr.begin(), swr.end());
}

double BandFigures::lowestFrontToBackDb() const
{
    return frontToBackDb.empty() ? design.frontToBackDb : *std::min_element(frontToBackDb.begin(), frontToBackDb.end());
}

std::vector<double> bandFrequencies(double designMHz, const TuneSettings &tune)
{
    std::vector<double> band;
    for (int k = 0; k < kBandPoints; ++k)
        band.push_back(designMHz * (1.0 + tune.bandPercent / 100.0 * (2.0 * k / (kBandPoints - 1) - 1.0)));
    return band;
}

BandFigures bandFigures(const std::vector<SweepPoint> &points, double designMHz)
{
    BandFigures figures;
    if (points.empty())
        return figures;
    figures.design = points[designIndexOf(points, designMHz)];
    for (const SweepPoint &p : points) {
        figures.swr.push_back(p.swr);
        figures.frontToBackDb.push_back(p.frontToBackDb);
    }
    return figures;
}

BandFigures unmodelledFigures()
{
    BandFigures figures;
    figures.design.swr = std::numeric_limits<double>::infinity();
    figures.design.gainDbi = -100.0;
    figures.design.frontToBackDb = -100.0;
    figures.design.frontToRearDb = -100.0;
    figures.swr.assign(kBandPoints, figures.design.swr);
    figures.frontToBackDb.assign(kBandPoints, figures.design.frontToBackDb);
    return figures;
}

double CutTolerance::worstSwr() const
{
    return std::max(longer.worstSwr(), shorter.worstSwr());
}

double CutTolerance::lowestFrontToBackDb() const
{
    return std::min(longer.lowestFrontToBackDb(), shorter.lowestFrontToBackDb());
}

bool TuneResult::goalsMetWhenCutOff(const TuneSettings &tune) const
{
    return tolerance && tolerance->worstSwr() <= tune.maxSwr &&
           tolerance->lowestFrontToBackDb() >= tune.minFrontToBackDb;
}

std::array<TuneVector, 2> cutOffDesigns(const TuneVector &tuned, std::size_t loops)
{
    std::array<TuneVector, 2> designs{tuned, tuned};
    for (std::size_t i = 0; i < loops && i < tuned.size(); ++i) {
        designs[0][i] *= 1.0 + kCutTolerancePercent / 100.0;
        designs[1][i] *= 1.0 - kCutTolerancePercent / 100.0;
    }
    return designs;
}

ArrayGeometry scaledGeometry(const ArrayGeometry &specified, const LoopFactors &factors)
{
    ArrayGeometry scaled = specified;
    for (std::size_t i = 0; i < scaled.sidesMetres.size() && i < factors.size(); ++i)
        scaled.sidesMetres[i] *= factors[i];
    return scaled;
}

ArrayGeometry tunedGeometry(const ArrayGeometry &specified, const TuneResult &tuned)
{
    ArrayGeometry geometry = scaledGeometry(specified, tuned.factors);
    if (tuned.stationsMetres.size() == geometry.stationsMetres.size())
        geometry.stationsMetres = tuned.stationsMetres;
    return geometry;
}

Design tunedDesign(const Design &specified, const TuneResult &tuned)
{
    Design design = specified;
    design.array = tunedGeometry(specified.array, tuned);
    design.source = DesignSource::Tuned;
    design.loopFactors = tuned.factors;
    design.tunedStationsMetres = tuned.stationsMetres;
    return design;
}

namespace {

// The gaps a design asks for, within the boom: none shorter than the shortest gap, and where together they
// are longer than the boom, each gap's length beyond the shortest shrunk in proportion until they fit. Every
// design the search asks for is so one that can be built, and the search needs no constraint for it.
std::vector<double> gapsWithinBoom(std::span<const double> asked, double boom)
{
    const double shortest = limits::kShortestGapWavelengths;
    std::vector<double> gaps;
    double total = 0.0;
    for (const double gap : asked) {
        gaps.push_back(std::max(gap, shortest));
        total += gaps.back();
    }
    const double least = shortest * static_cast<double>(gaps.size());
    if (total > boom && total > least) {
        const double share = std::max(boom - least, 0.0) / (total - least);
        for (double &gap : gaps)
            gap = shortest + (gap - shortest) * share;
    }
    return gaps;
}

} // namespace

std::variant<TuneSpace, std::string> tuneSpaceFor(const ArrayGeometry &specified, const TuneSettings &tune)
{
    TuneSpace space;
    space.loops = specified.elementCount();
    space.wavelengthMetres = kSpeedOfLightMetresPerMicrosecond / specified.designMHz;
    if (!tune.boomMetres)
        return space;
    const std::size_t gaps = space.loops > 0 ? space.loops - 1 : 0;
    space.longestBoom = *tune.boomMetres / space.wavelengthMetres;
    const double least = limits::kShortestGapWavelengths * static_cast<double>(gaps);
    if (space.longestBoom < least) {
        // What the boom needs, rounded up, to as many decimals as set it apart from the boom given.
        const double needs = least * space.wavelengthMetres;
        int decimals = 2;
        const auto upTo = [needs](int places) { return std::ceil(needs * std::pow(10.0, places)) / std::pow(10.0, places); };
        while (decimals < 6 && fixedText(upTo(decimals), decimals) == fixedText(*tune.boomMetres, decimals))
            ++decimals;
        const std::string boom = fixedText(*tune.boomMetres, decimals);
        const std::string needed = fixedText(upTo(decimals), decimals);
        return "A boom of " + boom + " m cannot hold " + countWord(space.loops) + " elements " +
               fixedText(limits::kShortestGapWavelengths, 2) + " wavelength apart: it needs at least " + needed +
               " m at " + specified.frequencyLabel + " MHz.";
    }
    for (std::size_t i = 1; i < specified.stationsMetres.size(); ++i)
        space.designedGaps.push_back((specified.stationsMetres[i] - specified.stationsMetres[i - 1]) /
                                     space.wavelengthMetres);
    return space;
}

TuneVector TuneSpace::specified() const
{
    TuneVector design(loops, 1.0);
    for (const double gap : gapsWithinBoom(designedGaps, longestBoom))
        design.push_back(gap);
    return design;
}

std::vector<double> TuneSpace::stationsMetres(const TuneVector &design) const
{
    if (!stationsFree() || design.size() != variables())
        return {};
    std::vector<double> stations{0.0};
    for (const double gap : gapsWithinBoom(std::span(design).subspan(loops), longestBoom))
        stations.push_back(stations.back() + gap * wavelengthMetres);
    return stations;
}

ArrayGeometry TuneSpace::geometry(const ArrayGeometry &specified, const TuneVector &design) const
{
    ArrayGeometry shaped =
        scaledGeometry(specified, LoopFactors(design.begin(), design.begin() + std::min(loops, design.size())));
    if (std::vector<double> stations = stationsMetres(design); stations.size() == shaped.stationsMetres.size())
        shaped.stationsMetres = std::move(stations);
    return shaped;
}

namespace {

constexpr double kWorstSwr = 50.0;          // an open feed counts as very bad, not as infinite
constexpr double kDecibelsPerSwr = 10.0;    // a dB of F/B short weighs as a tenth of SWR over its goal
constexpr double kViolationPrice = 100.0;   // dB of gain given up for each unit the goals are missed by
constexpr double kFeasible = 1e-9;          // goals met, to the engine's last digit
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

bool sameCheck(const ArrayGeometry &now, const CheckSettings &settings, const ArrayGeometry &checked,
               const CheckSettings &ran)
{
    return settings == ran && now.designMHz == checked.designMHz && now.elementCount() == checked.elementCount();
}

std::optional<std::string> tuneStartRefusal(bool running, bool checked, bool checkCurrent)
{
    if (running)
        return "A run is under way: Tune Loops can start once it has ended.";
    if (!checked)
        return "Run the check first: Tune Loops tunes the design the check shows.";
    if (!checkCurrent)
        return "The settings or the frequency changed since the check: Run it again, then tune.";
    return std::nullopt;
}

std::string tuneDescription(const TuneSettings &tune)
{
    return std::string(tune.boomMetres ? "Tune each loop's length and each element's station"
                                       : "Tune each loop's length") +
           " with the model for this wire and ground: SWR " + fixedText(tune.maxSwr, 2) + " or less and F/B " +
           shortestText(tune.minFrontToBackDb) + " dB or more across \u00b1" + shortestText(tune.bandPercent) +
           " %, then the most gain" +
           (tune.boomMetres ? ", on a boom of " + shortestText(*tune.boomMetres) + " m at most" : std::string()) +
           ". The specified design stays as it is.";
}

double tuneStartFactor(const CheckSummary &check)
{
    return check.resonanceMHz && check.design.mhz > 0.0 ? *check.resonanceMHz / check.design.mhz : 1.0;
}

std::string designsTriedText(int designs)
{
    return std::to_string(designs) + (designs == 1 ? " design tried" : " designs tried");
}

std::string tuneOutcomeText(const TuneResult &result, const TuneSettings &tune)
{
    std::string text = result.swrGoalMet ? "SWR goal met" : "SWR goal missed";
    text += " (worst " + fixedText(result.after.worstSwr(), 2) + " against " + fixedText(tune.maxSwr, 2) + "); ";
    text += result.frontToBackGoalMet ? "F/B goal met" : "F/B goal missed";
    text += " (lowest " + fixedText(result.after.lowestFrontToBackDb(), 2) + " dB against " +
            shortestText(tune.minFrontToBackDb) + " dB). ";
    text += designsTriedText(result.evaluations) + " in " + fixedText(result.seconds, 1) + " s";
    switch (result.end) {
    case TuneEnd::Converged:
        text += ", converged.";
        break;
    case TuneEnd::DesignLimit:
        text += ", stopped at the most designs to try.";
        break;
    case TuneEnd::TimeLimit:
        text += ", stopped at the time limit, not converged.";
        break;
    case TuneEnd::Cancelled:
        text += ", stopped by Cancel.";
        break;
    case TuneEnd::EngineFailure:
        text += ", stopped by the engine's failure.";
        break;
    }
    if (result.tolerance) {
        text += " Every loop cut " + fixedText(kCutTolerancePercent, 1) + " % long or short: worst SWR " +
                fixedText(result.tolerance->worstSwr(), 2) + ", lowest F/B " +
                fixedText(result.tolerance->lowestFrontToBackDb(), 2) + " dB";
        if (result.swrGoalMet && result.frontToBackGoalMet)
            text += result.goalsMetWhenCutOff(tune) ? "; the goals are still met."
                                                    : "; the goals are met only when "
                                                      "the loops are cut exactly.";
        else
            text += ".";
    }
    return text;
}

std::string_view tuneEndText(TuneEnd end)
{
    switch (end) {
    case TuneEnd::Converged:
        return "converged";
    case TuneEnd::DesignLimit:
        return "most designs to try";
    case TuneEnd::TimeLimit:
        return "time limit, not converged";
    case TuneEnd::Cancelled:
        return "cancelled";
    case TuneEnd::EngineFailure:
        return "engine failure";
    }
    return "converged";
}

Cut tunedCut(const DesignLengths &design, const TuneResult &tuned)
{
    std::vector<std::int64_t> stations;
    for (const double metres : tuned.stationsMetres)
        stations.push_back(stationThousandthsOf(metres));
    return cutOf(design, tuned.factors, stations);
}

std::vector<TunedLoop> tunedLoops(const DesignLengths &design, const TuneResult &tuned)
{
    const Cut cut = tunedCut(design, tuned);
    std::vector<TunedLoop> loops(std::min(design.elementCount(), tuned.factors.size()));
    for (std::size_t i = 0; i < loops.size(); ++i) {
        const CutElement &element = cut.elements[i];
        TunedLoop &loop = loops[i];
        loop.element = element.element;
        loop.specifiedInches = static_cast<double>(design.loopThousandths[i]) / 1000.0;
        loop.inches = static_cast<double>(element.loopThousandths) / 1000.0;
        loop.sideInches = static_cast<double>(element.sideThousandths) / 1000.0;
        loop.millimetres = std::round(loop.inches * 254.0) / 10.0;
        loop.factor = tuned.factors[i];
        loop.stationInches = static_cast<double>(element.stationThousandths) / 1000.0;
        loop.stationMillimetres = std::round(loop.stationInches * 254.0) / 10.0;
    }
    return loops;
}

ResultTable tunedTable(const DesignLengths &design, const TuneResult &tuned)
{
    ResultTable table;
    table.columns = {{"element", "Tuned design", true, true},
                     {"specified_loop_in", "Specified loop (in)"},
                     {"loop_in", "Loop (in)"},
                     {"loop_mm", "Loop (mm)"},
                     {"side_in", "Side (in)"},
                     {"factor", "Tuned / specified"},
                     {"station_in", "Station (in)"},
                     {"station_mm", "Station (mm)"}};
    for (const TunedLoop &loop : tunedLoops(design, tuned))
        table.rows.push_back({{std::string(elementRowName(loop.element)), std::nullopt},
                              {fixedText(loop.specifiedInches, 3), loop.specifiedInches},
                              {fixedText(loop.inches, 3), loop.inches},
                              {fixedText(loop.millimetres, 1), loop.millimetres},
                              {fixedText(loop.sideInches, 3), loop.sideInches},
                              {fixedText(loop.factor, 4), loop.factor},
                              {fixedText(loop.stationInches, 3), loop.stationInches},
                              {fixedText(loop.stationMillimetres, 1), loop.stationMillimetres}});
    return table;
}

void writeTuneJson(JsonWriter &json, std::string_view frequencyText, const DesignLengths &design,
                   const TuneResult &result, const TuneSettings &tune, const Match &match)
{
    json.beginRecord();
    writeTuneFields(json, frequencyText, design, result, tune);
    writeMatchRecord(json, "match", match); // the SWR goal is met on the line through it
    json.endRecord();
}

void writeTuneFields(JsonWriter &json, std::string_view frequencyText, const DesignLengths &design,
                     const TuneResult &result, const TuneSettings &tune)
{
    json.text("frequency", frequencyText)
        .whole("elements", static_cast<long long>(result.factors.size()))
        .beginList("loops");
    const std::vector<TunedLoop> loops = tunedLoops(design, result);
    for (const TunedLoop &loop : loops)
        json.beginRecord()
            .text("element", elementRowName(loop.element))
            .number("loop_in", loop.inches, Figure::Exact)
            .number("loop_mm", loop.millimetres, Figure::Exact)
            .number("side_in", loop.sideInches, Figure::Exact)
            .number("factor", loop.factor, Figure::Exact)
            .number("specified_loop_in", loop.specifiedInches, Figure::Exact)
            .number("station_in", loop.stationInches, Figure::Exact)
            .number("station_mm", loop.stationMillimetres, Figure::Exact)
            .endRecord();
    json.endList().beginList("stations_in");
    for (const TunedLoop &loop : loops)
        json.number({}, loop.stationInches, Figure::Exact);
    json.endList();
    for (const auto &[key, figures] : {std::pair{"before", &result.before}, std::pair{"after", &result.after}})
        json.beginRecord(key)
            .number("swr", figures->design.swr, Figure::Ratio)
            .number("gain_dbi", figures->design.gainDbi, Figure::Decibels)
            .number("fb_db", figures->design.frontToBackDb, Figure::Decibels)
            .number("fr_db", figures->design.frontToRearDb, Figure::Decibels)
            .number("worst_swr", figures->worstSwr(), Figure::Ratio)
            .number("min_fb_db", figures->lowestFrontToBackDb(), Figure::Decibels)
            .endRecord();
    json.beginRecord("goals_met")
        .flag("swr", result.swrGoalMet)
        .flag("fb", result.frontToBackGoalMet)
        .endRecord()
        .beginRecord("goals")
        .number("swr", tune.maxSwr, Figure::Exact)
        .number("fb_db", tune.minFrontToBackDb, Figure::Exact)
        .endRecord()
        .number("band_percent", tune.bandPercent, Figure::Exact)
        .number("boom_m", tune.boomMetres, Figure::Exact)
        .text("ended", tuneEndText(result.end));
    if (result.tolerance)
        json.beginRecord("tolerance")
            .number("percent", kCutTolerancePercent, Figure::Exact)
            .number("worst_swr", result.tolerance->worstSwr(), Figure::Ratio)
            .number("min_fb_db", result.tolerance->lowestFrontToBackDb(), Figure::Decibels)
            .flag("goals_met", result.goalsMetWhenCutOff(tune))
            .endRecord();
    json.whole("evaluations", result.evaluations).number("seconds", result.seconds, Figure::Seconds);
}

std::vector<TableColumn> tuneFigureColumns()
{
    const auto figure = [](std::string key, std::string heading, Figure kind) {
        return TableColumn{std::move(key), std::move(heading), false, false, {}, false, kind};
    };
    std::vector<TableColumn> columns;
    for (const char *when : {"before", "after"}) {
        const std::string w = when;
        columns.push_back(figure(w + "_swr", "SWR " + w, Figure::Ratio));
        columns.push_back(figure(w + "_gain_dbi", "Gain (dBi) " + w, Figure::Decibels));
        columns.push_back(figure(w + "_fb_db", "F/B (dB) " + w, Figure::Decibels));
        columns.push_back(figure(w + "_worst_swr", "Worst SWR " + w, Figure::Ratio));
        columns.push_back(figure(w + "_min_fb_db", "Lowest F/B (dB) " + w, Figure::Decibels));
    }
    columns.push_back(figure("swr_goal_met", "SWR goal met", Figure::Exact));
    columns.push_back(figure("fb_goal_met", "F/B goal met", Figure::Exact));
    columns.push_back(figure("tolerance_worst_swr", "Worst SWR cut off", Figure::Ratio));
    columns.push_back(figure("tolerance_min_fb_db", "Lowest F/B (dB) cut off", Figure::Decibels));
    columns.push_back(TableColumn{"ended", "Ended", false, false, {}, true});
    return columns;
}

std::vector<TableCell> tuneFigureCells(const TuneResult &result, const TuneSettings & /*tune*/)
{
    const auto number = [](double value) { return TableCell{fixedText(value, 2), value}; };
    const auto yes = [](bool met) { return TableCell{met ? "true" : "false", std::nullopt}; };
    std::vector<TableCell> cells;
    for (const BandFigures *figures : {&result.before, &result.after}) {
        cells.push_back(number(figures->design.swr));
        cells.push_back(number(figures->design.gainDbi));
        cells.push_back(number(figures->design.frontToBackDb));
        cells.push_back(number(figures->worstSwr()));
        cells.push_back(number(figures->lowestFrontToBackDb()));
    }
    cells.push_back(yes(result.swrGoalMet));
    cells.push_back(yes(result.frontToBackGoalMet));
    if (result.tolerance) {
        cells.push_back(number(result.tolerance->worstSwr()));
        cells.push_back(number(result.tolerance->lowestFrontToBackDb()));
    } else {
        cells.resize(cells.size() + 2);
    }
    cells.push_back({std::string(tuneEndText(result.end)), std::nullopt});
    return cells;
}

ResultTable tuneVerdictTable(const TuneResult &result, const TuneSettings &tune)
{
    ResultTable table;
    table.columns = {{"figure", "Modelled", true, true}, {"specified", "Specified"}, {"tuned", "Tuned"}};
    const auto add = [&table](std::string figure, double before, double after, int decimals) {
        table.rows.push_back({{std::move(figure), std::nullopt},
                              {fixedText(before, decimals), before},
                              {fixedText(after, decimals), after}});
    };
    const std::string at = " at " + frequencyLabel(result.before.design.mhz) + " MHz";
    add("SWR" + at, result.before.design.swr, result.after.design.swr, 2);
    add("Gain (dBi)" + at, result.before.design.gainDbi, result.after.design.gainDbi, 2);
    add("F/B (dB)" + at, result.before.design.frontToBackDb, result.after.design.frontToBackDb, 2);
    add("F/R (dB)" + at, result.before.design.frontToRearDb, result.after.design.frontToRearDb, 2);
    const std::string band = " over \u00b1" + fixedText(tune.bandPercent, 2) + " %";
    add("Worst SWR" + band, result.before.worstSwr(), result.after.worstSwr(), 2);
    add("Lowest F/B (dB)" + band, result.before.lowestFrontToBackDb(), result.after.lowestFrontToBackDb(), 2);
    if (result.tolerance) {
        // The tuned design only: the specified one is cut as the window gives it.
        const std::string cut = ", loops cut \u00b1" + fixedText(kCutTolerancePercent, 1) + " %";
        const auto addTuned = [&table](std::string figure, double value) {
            table.rows.push_back(
                {{std::move(figure), std::nullopt}, {std::string(), std::nullopt}, {fixedText(value, 2), value}});
        };
        addTuned("Worst SWR" + band + cut, result.tolerance->worstSwr());
        addTuned("Lowest F/B (dB)" + band + cut, result.tolerance->lowestFrontToBackDb());
    }
    return table;
}

} // namespace tarvelin::nec
