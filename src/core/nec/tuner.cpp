// SPDX-License-Identifier: MIT
#include "core/nec/tuner.h"

#include "core/format/fieldtext.h"
#include "core/format/jsonwriter.h"
#include "core/nec/analysis.h"
#include "core/runtime/typedtext.h"

#include <nlopt.hpp>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace tarvelin::nec {

std::variant<double, std::string> readTuneBand(const std::string &text)
{
    const std::optional<double> percent = decimalText(withoutUnit(text, "%"));
    if (!percent || !(*percent >= limits::kLowestBandPercent && *percent <= limits::kHighestBandPercent))
        return "The band must be " + fixedText(limits::kLowestBandPercent, 1) + " to " +
               fixedText(limits::kHighestBandPercent, 1) + " % either side of the design frequency.";
    return *percent;
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

ArrayGeometry scaledGeometry(const ArrayGeometry &specified, const LoopFactors &factors)
{
    ArrayGeometry scaled = specified;
    for (std::size_t i = 0; i < scaled.sidesMetres.size() && i < factors.size(); ++i)
        scaled.sidesMetres[i] *= factors[i];
    return scaled;
}

namespace {

// What the tuner minimises: the forward gain lost, and a steep price on every SWR above the goal and every
// F/B below it across the band, so the goals come before the last tenth of a dB of gain.
double costOf(const BandFigures &figures, const TuneSettings &tune)
{
    constexpr double kSwrWeight = 10.0;
    constexpr double kFrontToBackWeight = 0.05;
    constexpr double kWorstSwr = 50.0; // an open feed counts as very bad, not as infinite
    double cost = -figures.design.gainDbi;
    for (const double swr : figures.swr) {
        const double over = std::max(0.0, std::min(swr, kWorstSwr) - tune.maxSwr);
        cost += kSwrWeight * over * over;
    }
    for (const double fb : figures.frontToBackDb) {
        const double under = std::max(0.0, tune.minFrontToBackDb - fb);
        cost += kFrontToBackWeight * under * under;
    }
    return cost;
}

// Search k's method and start: BOBYQA and Sbplx from the one-factor design, further searches from it with
// the reflector and the directors pulled apart, alternately more and less.
std::pair<nlopt::algorithm, std::vector<double>> searchPlan(std::size_t k, double start)
{
    std::vector<double> x(kLoopCount, start);
    if (k >= 2) {
        const double spread = 0.004 * static_cast<double>((k / 2)) * (k % 2 == 0 ? 1.0 : -1.0);
        x[0] += spread;
        for (std::size_t i = 2; i < kLoopCount; ++i)
            x[i] -= spread / 2;
    }
    for (double &factor : x)
        factor = std::clamp(factor, 1.0 - kLoopFactorLimit, 1.0 + kLoopFactorLimit);
    return {k % 2 == 0 ? nlopt::LN_BOBYQA : nlopt::LN_SBPLX, x};
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
    LoopFactors design{};
    double cost = 0.0;
    bool stopping = false;
    nlopt::opt optimiser;
    std::thread thread;

    explicit Search(nlopt::algorithm method) : optimiser(method, kLoopCount) {}

    ~Search()
    {
        stop();
        if (thread.joinable())
            thread.join();
    }

    static double objective(const std::vector<double> &x, std::vector<double> & /*gradient*/, void *data)
    {
        auto &search = *static_cast<Search *>(data);
        std::unique_lock lock(search.mutex);
        if (!search.stopping) {
            std::copy(x.begin(), x.end(), search.design.begin());
            search.state = State::Asking;
            search.changed.notify_all();
            search.changed.wait(lock, [&search] { return search.state == State::Answered; });
            search.state = State::Stepping;
        }
        if (search.stopping) {
            search.optimiser.force_stop();
            return std::numeric_limits<double>::max();
        }
        return search.cost;
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

    void answer(double designCost)
    {
        {
            const std::lock_guard lock(mutex);
            cost = designCost;
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

LoopSearch::LoopSearch(const TuneSettings &tune, double startFactor)
    : m_tune(tune), m_start(std::clamp(startFactor, 1.0 - kLoopFactorLimit, 1.0 + kLoopFactorLimit))
{
    LoopFactors specified{};
    specified.fill(1.0);
    m_candidates = {specified};
    m_asking = {nullptr};
}

LoopSearch::~LoopSearch() = default;

void LoopSearch::consider(const LoopFactors &factors, const BandFigures &figures)
{
    ++m_evaluations;
    const double cost = costOf(figures, m_tune);
    // Strictly better only, in the candidates' order: ties go to the design found first.
    if (cost < m_bestCost) {
        m_bestCost = cost;
        m_best = factors;
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
        m_bestCost = costOf(m_before, m_tune);
        ++m_evaluations;
        const auto count = static_cast<std::size_t>(std::max(m_tune.processes, 1));
        for (std::size_t k = 0; k < count; ++k) {
            const auto [method, from] = searchPlan(k, m_start);
            auto search = std::make_unique<Search>(method);
            nlopt::opt &optimiser = search->optimiser;
            optimiser.set_lower_bounds(1.0 - kLoopFactorLimit);
            optimiser.set_upper_bounds(1.0 + kLoopFactorLimit);
            // A thousandth of a loop is about an inch on 20 m: finer than that no one cuts.
            optimiser.set_initial_step(0.005);
            optimiser.set_xtol_abs(1e-5);
            optimiser.set_ftol_abs(1e-5);
            optimiser.set_min_objective(&Search::objective, search.get());
            try {
                search->thread = std::thread(&Search::run, search.get(), from);
            } catch (const std::system_error &error) {
                // No thread to search on: the searches started so far go on alone.
                if (m_searches.empty())
                    m_problem = std::string("The tuner could not start its searches: ") + error.what();
                break;
            }
            m_searches.push_back(std::move(search));
        }
    } else {
        for (std::size_t i = 0; i < m_candidates.size(); ++i) {
            consider(m_candidates[i], figures[i]);
            m_asking[i]->answer(costOf(figures[i], m_tune));
        }
    }
    collect();
}

// The next design of every search still going, within the most designs to try.
void LoopSearch::collect()
{
    m_candidates.clear();
    m_asking.clear();
    for (const std::unique_ptr<Search> &search : m_searches) {
        if (!search->waitForStep())
            continue;
        if (m_tune.designLimit > 0 && m_evaluations + static_cast<int>(m_candidates.size()) >= m_tune.designLimit) {
            m_end = TuneEnd::DesignLimit;
            search->stop();
            continue;
        }
        m_candidates.push_back(search->design);
        m_asking.push_back(search.get());
    }
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
    result.factors = m_best;
    result.before = m_before;
    result.after = m_bestFigures;
    result.evaluations = m_evaluations;
    result.end = m_end;
    result.swrGoalMet = result.after.worstSwr() <= m_tune.maxSwr;
    result.frontToBackGoalMet = result.after.lowestFrontToBackDb() >= m_tune.minFrontToBackDb;
    return result;
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
            fixedText(tune.minFrontToBackDb, 0) + " dB). ";
    text += designsTriedText(result.evaluations) + " in " + fixedText(result.seconds, 1) + " s";
    switch (result.end) {
    case TuneEnd::Converged:
        return text + ".";
    case TuneEnd::DesignLimit:
        return text + ", stopped at the most designs to try.";
    case TuneEnd::TimeLimit:
        return text + ", stopped at the time limit.";
    case TuneEnd::Cancelled:
        return text + ", stopped by Cancel.";
    case TuneEnd::EngineFailure:
        return text + ", stopped by the engine's failure.";
    }
    return text + ".";
    return text;
}

std::array<TunedLoop, kLoopCount> tunedLoops(const DesignLengths &design, const LoopFactors &factors)
{
    std::array<TunedLoop, kLoopCount> loops{};
    for (std::size_t i = 0; i < kLoopCount; ++i) {
        TunedLoop &loop = loops[i];
        loop.element = kElementRows[i];
        loop.specifiedInches = static_cast<double>(design.loopThousandths[i]) / 1000.0;
        loop.inches = std::round(loop.specifiedInches * factors[i] * 1000.0) / 1000.0;
        loop.sideInches = std::round(loop.inches / 4.0 * 1000.0) / 1000.0;
        loop.millimetres = std::round(loop.inches * 254.0) / 10.0;
        loop.factor = factors[i];
    }
    return loops;
}

ResultTable tunedTable(const DesignLengths &design, const LoopFactors &factors)
{
    ResultTable table;
    table.columns = {{"element", "Tuned design", true, true},
                     {"specified_loop_in", "Specified loop (in)"},
                     {"loop_in", "Loop (in)"},
                     {"loop_mm", "Loop (mm)"},
                     {"side_in", "Side (in)"},
                     {"factor", "Factor"}};
    for (const TunedLoop &loop : tunedLoops(design, factors))
        table.rows.push_back({{std::string(elementRowName(loop.element)), std::nullopt},
                              {fixedText(loop.specifiedInches, 3), loop.specifiedInches},
                              {fixedText(loop.inches, 3), loop.inches},
                              {fixedText(loop.millimetres, 1), loop.millimetres},
                              {fixedText(loop.sideInches, 3), loop.sideInches},
                              {fixedText(loop.factor, 4), loop.factor}});
    return table;
}

void writeTuneJson(JsonWriter &json, std::string_view frequencyText, const DesignLengths &design,
                   const TuneResult &result, const TuneSettings &tune)
{
    json.beginRecord().text("frequency", frequencyText).beginList("loops");
    for (const TunedLoop &loop : tunedLoops(design, result.factors))
        json.beginRecord()
            .text("element", elementRowName(loop.element))
            .number("loop_in", loop.inches, Figure::Exact)
            .number("loop_mm", loop.millimetres, Figure::Exact)
            .number("side_in", loop.sideInches, Figure::Exact)
            .number("factor", loop.factor, Figure::Exact)
            .number("specified_loop_in", loop.specifiedInches, Figure::Exact)
            .endRecord();
    json.endList().beginList("stations_in");
    std::int64_t station = 0;
    for (const std::int64_t spacing : design.spacingThousandths) {
        station += spacing;
        json.number({}, static_cast<double>(station) / 1000.0, Figure::Exact);
    }
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
        .number("band_percent", tune.bandPercent, Figure::Exact)
        .whole("evaluations", result.evaluations)
        .number("seconds", result.seconds, Figure::Seconds)
        .endRecord();
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
    return table;
}

} // namespace tarvelin::nec
