// SPDX-License-Identifier: MIT
#include "core/nec/tuner.h"

#include "core/format/fieldtext.h"
#include "core/nec/analysis.h"
#include "core/runtime/typedtext.h"

#include <nlopt.hpp>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <cmath>
#include <limits>
#include <optional>

namespace tarvelin::nec {

std::variant<double, std::string> readTuneBand(const std::string &text)
{
    const std::optional<double> percent = decimalText(trimmedText(text));
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

ArrayGeometry scaledGeometry(const ArrayGeometry &specified, const LoopFactors &factors)
{
    ArrayGeometry scaled = specified;
    for (std::size_t i = 0; i < scaled.sidesMetres.size() && i < factors.size(); ++i)
        scaled.sidesMetres[i] *= factors[i];
    return scaled;
}

namespace {

// Gathers the decks of candidates evaluated at the same time into one round, so the engines run side by
// side, one per core, through a launcher that runs one round at a time. The first candidate of a round waits
// a moment for the others, which come within microseconds of each other as the searches step in turn.
class DeckBatcher
{
public:
    DeckBatcher(DeckRunner run, std::size_t width) : m_run(std::move(run)), m_width(std::max<std::size_t>(width, 1)) {}

    std::variant<std::vector<std::string>, std::string> run(const std::vector<std::string> &decks)
    {
        auto request = std::make_shared<Request>();
        request->decks = decks;
        std::unique_lock lock(m_mutex);
        m_pending.push_back(request);
        if (!m_leading) {
            m_leading = true;
            m_changed.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_pending.size() >= m_width; });
            std::vector<std::shared_ptr<Request>> round = std::move(m_pending);
            m_pending.clear();
            m_leading = false;
            lock.unlock();
            runRound(round);
            lock.lock();
            m_changed.notify_all();
        } else {
            m_changed.notify_all();
        }
        m_changed.wait(lock, [&request] { return request->done; });
        return std::move(request->result);
    }

private:
    struct Request
    {
        std::vector<std::string> decks;
        std::variant<std::vector<std::string>, std::string> result;
        bool done = false;
    };

    void runRound(const std::vector<std::shared_ptr<Request>> &round)
    {
        std::vector<std::string> decks;
        for (const auto &request : round)
            decks.insert(decks.end(), request->decks.begin(), request->decks.end());
        std::variant<std::vector<std::string>, std::string> outputs;
        {
            const std::lock_guard one(m_runMutex); // a late round waits for the one before
            outputs = m_run(decks);
        }
        const std::lock_guard lock(m_mutex);
        std::size_t next = 0;
        for (const auto &request : round) {
            if (const auto *failure = std::get_if<std::string>(&outputs)) {
                request->result = *failure;
            } else {
                const auto &all = std::get<std::vector<std::string>>(outputs);
                const auto first = all.begin() + static_cast<std::ptrdiff_t>(std::min(next, all.size()));
                const auto last =
                    all.begin() + static_cast<std::ptrdiff_t>(std::min(next + request->decks.size(), all.size()));
                request->result = std::vector<std::string>(first, last);
            }
            next += request->decks.size();
            request->done = true;
        }
    }

    DeckRunner m_run;
    std::size_t m_width;
    std::mutex m_mutex;
    std::mutex m_runMutex;
    std::condition_variable m_changed;
    std::vector<std::shared_ptr<Request>> m_pending;
    bool m_leading = false;
};

} // namespace

Evaluator necEvaluator(const ArrayGeometry &specified, const CheckSettings &settings, const TuneSettings &tune,
                       DeckRunner run)
{
    std::vector<double> band;
    for (int k = 0; k < kBandPoints; ++k)
        band.push_back(specified.designMHz * (1.0 + tune.bandPercent / 100.0 * (2.0 * k / (kBandPoints - 1) - 1.0)));
    auto batcher = std::make_shared<DeckBatcher>(std::move(run), static_cast<std::size_t>(tune.processes));
    return [specified, settings, band, batcher](const LoopFactors &factors) -> std::variant<BandFigures, std::string> {
        // One deck per candidate: the searches side by side fill the cores.
        const AnalysisPlan plan = planSweep(scaledGeometry(specified, factors), settings, band, false, 1);
        auto outputs = batcher->run(plan.decks);
        if (auto *failure = std::get_if<std::string>(&outputs))
            return std::move(*failure);
        auto read = readOutputs(plan, std::get<std::vector<std::string>>(outputs), settings);
        if (auto *problem = std::get_if<OutputProblem>(&read))
            return std::move(problem->message);
        const std::vector<SweepPoint> &points = std::get<SweepOutputs>(read).points;
        BandFigures figures;
        figures.design = points[points.size() / 2];
        for (const SweepPoint &p : points) {
            figures.swr.push_back(p.swr);
            figures.frontToBackDb.push_back(p.frontToBackDb);
        }
        return figures;
    };
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

// What the searches share: the best design any of them found, the count of evaluations, and whether one
// of them failed or the user cancelled.
struct Shared
{
    const TuneSettings &tune;
    const Evaluator &evaluate;
    const std::atomic<bool> &cancel;
    const std::function<void(int)> &progress;
    std::mutex mutex{};
    int evaluations = 0;
    double bestCost = std::numeric_limits<double>::infinity();
    LoopFactors best{};
    BandFigures bestFigures{};
    std::optional<std::string> failure{};
    std::atomic<bool> stop{false};
    int started = 1; // designs whose evaluation has begun, the specified design first
    bool designLimitReached = false;

    // Whether another design may be tried within the limit; if so, it counts from now.
    bool mayTryAnother()
    {
        const std::lock_guard lock(mutex);
        if (tune.designLimit > 0 && started >= tune.designLimit) {
            designLimitReached = true;
            return false;
        }
        ++started;
        return true;
    }
};

struct Search
{
    Shared &shared;
    nlopt::opt optimiser;
};

double objective(const std::vector<double> &x, std::vector<double> & /*gradient*/, void *data)
{
    auto &search = *static_cast<Search *>(data);
    Shared &shared = search.shared;
    if (shared.cancel.load() || shared.stop.load() || !shared.mayTryAnother()) {
        search.optimiser.force_stop();
        return std::numeric_limits<double>::max();
    }
    LoopFactors factors{};
    std::copy(x.begin(), x.end(), factors.begin());
    auto evaluated = shared.evaluate(factors);
    int evaluations = 0;
    double cost = std::numeric_limits<double>::max();
    {
        const std::lock_guard lock(shared.mutex);
        evaluations = ++shared.evaluations;
        if (auto *failure = std::get_if<std::string>(&evaluated)) {
            if (!shared.failure)
                shared.failure = std::move(*failure);
            shared.stop = true;
        } else {
            const BandFigures &figures = std::get<BandFigures>(evaluated);
            cost = costOf(figures, shared.tune);
            if (cost < shared.bestCost) {
                shared.bestCost = cost;
                shared.best = factors;
                shared.bestFigures = figures;
            }
        }
    }
    if (shared.progress)
        shared.progress(evaluations);
    if (shared.stop.load())
        search.optimiser.force_stop();
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

std::variant<TuneResult, std::string> tuneLoops(const TuneSettings &tune, double startFactor, const Evaluator &evaluate,
                                                const std::atomic<bool> &cancel,
                                                const std::function<void(int)> &progress)
{
    const auto started = std::chrono::steady_clock::now();
    TuneResult result;
    LoopFactors specified{};
    specified.fill(1.0);
    auto before = evaluate(specified);
    if (auto *failure = std::get_if<std::string>(&before))
        return std::move(*failure);
    result.before = std::get<BandFigures>(before);

    Shared shared{tune, evaluate, cancel, progress};
    shared.bestFigures = result.before;
    shared.best = specified;
    shared.bestCost = costOf(result.before, tune);
    const double start = std::clamp(startFactor, 1.0 - kLoopFactorLimit, 1.0 + kLoopFactorLimit);
    const auto searches = static_cast<std::size_t>(std::max(tune.processes, 1));
    std::atomic<bool> timedOut{false};
    std::vector<std::thread> threads;
    for (std::size_t k = 0; k < searches; ++k) {
        threads.emplace_back([&, k] {
            const auto [method, from] = searchPlan(k, start);
            Search search{shared, nlopt::opt(method, kLoopCount)};
            nlopt::opt &optimiser = search.optimiser;
            optimiser.set_lower_bounds(1.0 - kLoopFactorLimit);
            optimiser.set_upper_bounds(1.0 + kLoopFactorLimit);
            // A thousandth of a loop is about an inch on 20 m: finer than that no one cuts.
            optimiser.set_initial_step(0.005);
            optimiser.set_xtol_abs(1e-5);
            optimiser.set_ftol_abs(1e-5);
            optimiser.set_maxtime(std::max(1.0, tune.timeLimitSeconds));
            optimiser.set_min_objective(objective, &search);
            std::vector<double> x = from;
            double cost = 0.0;
            try {
                if (optimiser.optimize(x, cost) == nlopt::MAXTIME_REACHED)
                    timedOut = true;
            } catch (const nlopt::forced_stop &) {
            } catch (const nlopt::roundoff_limited &) {
                // The best point found stands.
            } catch (const std::exception &error) {
                const std::lock_guard lock(shared.mutex);
                if (!shared.failure)
                    shared.failure = std::string("The optimiser stopped: ") + error.what();
                shared.stop = true;
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    // A run cut short by Cancel is no failure: the best design so far stands.
    if (shared.failure && !cancel.load())
        return *shared.failure;
    result.factors = shared.best;
    result.after = shared.bestFigures;
    result.evaluations = shared.evaluations + 1;
    result.cancelled = cancel.load();
    result.timedOut = timedOut.load();
    result.designLimitReached = shared.designLimitReached;
    result.swrGoalMet = result.after.worstSwr() <= tune.maxSwr;
    result.frontToBackGoalMet = result.after.lowestFrontToBackDb() >= tune.minFrontToBackDb;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return result;
}

double tuneStartFactor(const CheckSummary &check)
{
    return check.resonanceMHz && check.design.mhz > 0.0 ? *check.resonanceMHz / check.design.mhz : 1.0;
}

std::string tuneOutcomeText(const TuneResult &result, const TuneSettings &tune)
{
    std::string text = result.swrGoalMet ? "SWR goal met" : "SWR goal missed";
    text += " (worst " + fixedText(result.after.worstSwr(), 2) + " against " + fixedText(tune.maxSwr, 2) + "); ";
    text += result.frontToBackGoalMet ? "F/B goal met" : "F/B goal missed";
    text += " (lowest " + fixedText(result.after.lowestFrontToBackDb(), 2) + " dB against " +
            fixedText(tune.minFrontToBackDb, 0) + " dB). ";
    text += std::to_string(result.evaluations) + " designs tried in " + fixedText(result.seconds, 1) + " s";
    text += result.cancelled            ? ", stopped by Cancel."
            : result.timedOut           ? ", stopped at the time limit."
            : result.designLimitReached ? ", stopped at the most designs to try."
                                        : ".";
    return text;
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
    for (std::size_t i = 0; i < kLoopCount; ++i) {
        const double specified = static_cast<double>(design.loopThousandths[i]) / 1000.0;
        const double loop = std::round(specified * factors[i] * 1000.0) / 1000.0;
        const double side = std::round(loop / 4.0 * 1000.0) / 1000.0;
        const double millimetres = std::round(loop * 254.0) / 10.0;
        table.rows.push_back({{std::string(elementRowName(kElementRows[i])), std::nullopt},
                              {fixedText(specified, 3), specified},
                              {fixedText(loop, 3), loop},
                              {fixedText(millimetres, 1), millimetres},
                              {fixedText(side, 3), side},
                              {fixedText(factors[i], 4), factors[i]}});
    }
    return table;
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
    const std::string at = " at " + fixedText(result.before.design.mhz, 3) + " MHz";
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
