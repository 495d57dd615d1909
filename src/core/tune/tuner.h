// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/designlengths.h"
#include "core/format/resulttable.h"
#include "core/check/checksummary.h"
#include "core/design/arraydesign.h"
#include "core/design/cut.h"

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tarvelin::format {
class JsonWriter;
}

namespace tarvelin::tune {

using LoopFactors = std::vector<double>; // each loop against the specified one, reflector first
// A design as the search sees it: each loop's factor, reflector first, then, where the stations are free, each
// gap to the next element in wavelengths at the design frequency, reflector to driven element first.
using TuneVector = std::vector<double>;

// What the tuner aims for over its band, and how long it may take.
struct TuneSettings
{
    double bandPercent = 0.5; // either side of the design frequency
    double maxSwr = check::kSwrGoal;
    double minFrontToBackDb = check::kFrontToBackGoalDb;
    // A tune ends when its searches converge, or at the most designs to try: both the same on any machine.
    // The time limit only caps a tune that would otherwise run on; a tune that reaches it says so.
    double timeLimitSeconds = 1800.0; // the whole tune, its check among it
    int designLimit = 3000;           // designs tried at most, the specified one among them; 0 for none
    std::optional<double> boomMetres; // the stations move too, on a boom no longer than this; as designed without
};

namespace limits {
inline constexpr double kLowestBandPercent = 0.1;
inline constexpr double kHighestBandPercent = 5.0;
inline constexpr double kShortestTuneSeconds = 5.0;
inline constexpr double kLongestTuneSeconds = 3600.0;
inline constexpr int kFewestDesigns = 2; // the specified design and one other
inline constexpr int kMostDesigns = 1'000'000;
inline constexpr double kLowestGoalSwr = 1.1;
inline constexpr double kHighestGoalSwr = 3.0;
inline constexpr double kLowestGoalFrontToBackDb = 0.0;
inline constexpr double kHighestGoalFrontToBackDb = 40.0;
// Moving the stations, no two elements come closer than this, in wavelengths: closer, the loops couple so
// tightly that the feed's impedance falls out of reach and the wire's losses climb.
inline constexpr double kShortestGapWavelengths = 0.05;
} // namespace limits

// Reads the band as typed, in percent; a refusal names the limits.
[[nodiscard]] std::variant<double, std::string> readTuneBand(const std::string &text);
// The refusal of a band outside the limits, however it was given.
[[nodiscard]] std::string bandRefusal();
[[nodiscard]] std::string boomRefusal();
// Reads the tune's time limit as typed, in seconds; a refusal names the limits.
[[nodiscard]] std::variant<double, std::string> readTuneSeconds(const std::string &text);
// Reads the most designs the tuner may try, a whole number; a refusal names the limits.
[[nodiscard]] std::variant<int, std::string> readTuneDesigns(const std::string &text);
// Reads the goals: the highest SWR across the band, and the lowest F/B in dB; a refusal names the limits.
[[nodiscard]] std::variant<double, std::string> readGoalSwr(const std::string &text);
[[nodiscard]] std::variant<double, std::string> readGoalFrontToBack(const std::string &text);
// Reads the longest boom the stations may take, as a length ("7.5 m", "25 ft"), in metres; a refusal names
// the limits.
[[nodiscard]] std::variant<double, std::string> readTuneBoom(const std::string &text);
// Whether tune settings made in code, or read from a file, lie within the limits; the refusal names the first
// that does not.
[[nodiscard]] std::optional<std::string> tuneSettingsProblem(const TuneSettings &tune);

// Each loop may move this far from the specified loop, as a fraction.
inline constexpr double kLoopFactorLimit = 0.10;
// Frequencies across the band: its edges, the design frequency and halfway between.
inline constexpr int kBandPoints = 5;

// A design's figures over the band, as the tuner weighs them.
struct BandFigures
{
    check::SweepPoint design; // at the design frequency: SWR, gain, F/B and F/R
    std::vector<double> swr;  // at each band frequency, lowest first
    std::vector<double> frontToBackDb;
    [[nodiscard]] double worstSwr() const;
    [[nodiscard]] double lowestFrontToBackDb() const;
};

// The band's frequencies around the design frequency, lowest first: its edges, the design frequency and
// halfway between.
[[nodiscard]] std::vector<double> bandFrequencies(double designMHz, const TuneSettings &tune);

// The figures of a design over the band, read from the engine's points at the band frequencies.
[[nodiscard]] BandFigures bandFigures(const std::vector<check::SweepPoint> &points, double designMHz);

// The figures of a design the engine could not model: worse than any design it could.
[[nodiscard]] BandFigures unmodelledFigures();

// The array with each loop scaled by its factor, the stations as designed.
[[nodiscard]] design::ArrayGeometry scaledGeometry(const design::ArrayGeometry &specified, const LoopFactors &factors);

// What a tune may change in the array: every loop, and with a boom length the stations too, the reflector at
// the boom's end, every gap at least kShortestGapWavelengths and the boom no longer than given.
struct TuneSpace
{
    std::size_t loops = 0;
    std::vector<double> designedGaps; // in wavelengths; none when the stations stay as designed
    double longestBoom = 0.0;         // in wavelengths, with the stations free
    double wavelengthMetres = 0.0;    // at the design frequency

    [[nodiscard]] std::size_t variables() const { return loops + designedGaps.size(); }
    [[nodiscard]] bool stationsFree() const { return !designedGaps.empty(); }
    // The specified design: every loop as designed, the stations as designed, or moved in along a boom shorter
    // than the design's.
    [[nodiscard]] TuneVector specified() const;
    // The array of a design the search tries.
    [[nodiscard]] design::ArrayGeometry geometry(const design::ArrayGeometry &specified,
                                                 const TuneVector &design) const;
    // The stations of a design, in metres from the reflector; none when they stay as designed.
    [[nodiscard]] std::vector<double> stationsMetres(const TuneVector &design) const;
};

// The tune's space for the array, or why the boom given cannot hold it.
[[nodiscard]] std::variant<TuneSpace, std::string> tuneSpaceFor(const design::ArrayGeometry &specified,
                                                                const TuneSettings &tune);

// What ended a tune.
enum class TuneEnd
{
    Converged,     // every search converged
    DesignLimit,   // the most designs to try were tried
    TimeLimit,     // the time limit came first
    Cancelled,     // the user stopped it
    EngineFailure, // the engine failed; the best design before it stands
};

// How far off a builder's cut may be: every loop this much long, and this much short (about 7/8" on the
// 20 m driven loop).
inline constexpr double kCutTolerancePercent = 0.1;

// The tuned design's figures over the band with every loop cut long, and with every loop cut short.
struct CutTolerance
{
    BandFigures longer;
    BandFigures shorter;
    [[nodiscard]] double worstSwr() const;
    [[nodiscard]] double lowestFrontToBackDb() const;
};

struct TuneResult
{
    LoopFactors factors{};
    std::vector<double> stationsMetres; // from the reflector, where the tune moved them; none when as designed
    BandFigures before;                 // the specified design
    BandFigures after;                  // the tuned one
    bool swrGoalMet = false;
    bool frontToBackGoalMet = false;
    int evaluations = 0;
    double seconds = 0.0;
    TuneEnd end = TuneEnd::Converged;
    std::optional<CutTolerance> tolerance; // once the searches have ended of themselves
    [[nodiscard]] bool goalsMetWhenCutOff(const TuneSettings &tune) const;
};

// The tuned design's array: its loops, and its stations where the tune moved them.
[[nodiscard]] design::ArrayGeometry tunedGeometry(const design::ArrayGeometry &specified, const TuneResult &tuned);
// The tuned design, from the specified one it was tuned from.
[[nodiscard]] design::Design tunedDesign(const design::Design &specified, const TuneResult &tuned);

// The tuned loops cut kCutTolerancePercent long, then short, the stations where the tune put them.
[[nodiscard]] std::array<TuneVector, 2> cutOffDesigns(const TuneVector &tuned, std::size_t loops);

// The search for the loop lengths, a round at a time. Each loop stays within kLoopFactorLimit of the
// specified loop; the searches start from all loops scaled by `startFactor` (the one-factor correction from
// the check's resonance): COBYLA, with the gain its objective and every band frequency's SWR and F/B goal a
// constraint, and Sbplx, with the goals' shortfall priced far above any gain, side by side. The goals come
// first in the best design too: one that meets them beats any that does not. The first round is the
// specified design alone; each later one holds the next design of each search still going, a design asked
// for before answered from its figures and one both ask for modelled once. The plan is the same on every
// machine: the engines only share out each round's frequencies, so the same figures always give the same
// rounds and the same result, however many cores and however long each round took.
class LoopSearch
{
public:
    LoopSearch(const TuneSettings &tune, TuneSpace space, double startFactor);
    ~LoopSearch();
    LoopSearch(const LoopSearch &) = delete;
    LoopSearch &operator=(const LoopSearch &) = delete;

    // The designs whose figures the searches need next; none once the tune has ended.
    [[nodiscard]] const std::vector<TuneVector> &candidates() const { return m_candidates; }
    [[nodiscard]] const TuneSpace &space() const { return m_space; }
    // The best design so far, as the search sees it; whether it is still the specified one.
    [[nodiscard]] const TuneVector &best() const { return m_best; }
    [[nodiscard]] bool bestIsSpecified() const { return m_best == m_space.specified(); }
    // The candidates' figures, in their order: the searches take their next step.
    void take(const std::vector<BandFigures> &figures);
    // Ends the searches for `why`; the best design so far stands.
    void stop(TuneEnd why);
    [[nodiscard]] bool ended() const { return m_candidates.empty(); }
    // Why the searches could not start, if they could not.
    [[nodiscard]] const std::optional<std::string> &problem() const { return m_problem; }

    // The best design so far, once the specified one has its figures.
    [[nodiscard]] TuneResult result() const;

private:
    struct Search;
    [[nodiscard]] std::variant<std::unique_ptr<Search>, std::string> startSearch(std::size_t k) const;
    void collect();
    [[nodiscard]] bool ask(Search &search);
    void consider(const TuneVector &design, const BandFigures &figures);

    TuneSettings m_tune;
    TuneSpace m_space;
    double m_start = 1.0;
    std::vector<std::unique_ptr<Search>> m_searches;
    std::vector<TuneVector> m_candidates;
    std::vector<Search *> m_asking; // the search behind each candidate; none for the specified design
    std::vector<std::pair<Search *, std::size_t>> m_sharing; // a search asking for another's candidate
    std::map<TuneVector, BandFigures> m_known;               // every design modelled
    bool m_started = false;
    int m_evaluations = 0;
    TuneVector m_best{};
    BandFigures m_before;
    BandFigures m_bestFigures;
    TuneEnd m_end = TuneEnd::Converged;
    std::optional<std::string> m_problem;
};

// Whether a tune that has just ended takes the place of the one shown before it, of the same check: one that
// finished (converged, or stopped at its most designs or its time limit) always does, and so does one cut
// short (by Cancel or by the engine) in place of another cut short; in place of a finished one, a tune cut
// short only where it beats it by the tuner's own measure, for the same goals and band. A builder's finished
// tune is never lost to a half-run one.
[[nodiscard]] bool replacesShownTune(const TuneResult &ended, const TuneSettings &endedTune, const TuneResult &shown,
                                     const TuneSettings &shownTune);

// Whether the check of `checked` with `ran` is the check of `now` with `settings`: the same frequency, the same
// elements and the same settings. A tune starts only from the check of the design as it stands.
[[nodiscard]] bool sameCheck(const design::ArrayGeometry &now, const design::CheckSettings &settings,
                             const design::ArrayGeometry &checked, const design::CheckSettings &ran);

// Whether a tune may start, and if not why, as the windows say it: a tune starts from a finished check of the
// design and the settings as they stand, once nothing else runs. None when it may.
[[nodiscard]] std::optional<std::string> tuneStartRefusal(bool running, bool checked, bool checkCurrent);
// What a tune with these settings does, in a sentence: its goals, its band and what it may move.
[[nodiscard]] std::string tuneDescription(const TuneSettings &tune);

// Where the tuner starts: every loop scaled by resonance / design, the one factor that would put the
// check's resonance on the design frequency; the specified loops when the check found none.
[[nodiscard]] double tuneStartFactor(const check::CheckSummary &check);

// What ended the tune, as the files say it: "converged", "most designs to try", "time limit, not converged",
// "cancelled" or "engine failure".
[[nodiscard]] std::string_view tuneEndText(TuneEnd end);

// "1 design tried", "7 designs tried".
[[nodiscard]] std::string designsTriedText(int designs);

// How the tune ended, in one line: each goal met or missed with how close it came, the designs tried, the
// time taken and what stopped it.
[[nodiscard]] std::string tuneOutcomeText(const TuneResult &result, const TuneSettings &tune);

// One loop of the tuned design: the specified loop's length and the tuned one's, in inches and millimetres,
// its side and its factor, and its station from the reflector, as designed or where the tune moved it.
struct TunedLoop
{
    calc::ElementRow element = calc::ElementRow::Reflector;
    double specifiedInches = 0.0;
    double inches = 0.0;
    double millimetres = 0.0;
    double sideInches = 0.0;
    double factor = 1.0;
    double stationInches = 0.0; // to the thousandth, as the sheet cuts it
    double stationMillimetres = 0.0;
};
[[nodiscard]] std::vector<TunedLoop> tunedLoops(const design::DesignLengths &design, const TuneResult &tuned);

// The tuned design as it is cut: the specified lengths with the tune's loop factors and stations.
[[nodiscard]] design::Cut tunedCut(const design::DesignLengths &design, const TuneResult &tuned);

// The tuned design as a table: per element the specified loop, the tuned loop in inches and millimetres,
// its side, its factor and its station.
[[nodiscard]] format::ResultTable tunedTable(const design::DesignLengths &design, const TuneResult &tuned);

// The tune as one JSON record: the frequency as typed, the tuned loops, the stations as designed, the
// figures before and after, the goals, the band and what the search took.
void writeTuneJson(format::JsonWriter &json, std::string_view frequencyText, const design::DesignLengths &design,
                   const TuneResult &result, const TuneSettings &tune, const design::Match &match);
// The same fields inside a record the caller has begun, for a file that says more around them.
void writeTuneFields(format::JsonWriter &json, std::string_view frequencyText, const design::DesignLengths &design,
                     const TuneResult &result, const TuneSettings &tune);

// The tune's figures as columns beside every row of a file's tuned table: before and after at the design
// frequency and over the band, the goals met, the cutting tolerance and how the search ended.
[[nodiscard]] std::vector<format::TableColumn> tuneFigureColumns();
[[nodiscard]] std::vector<format::TableCell> tuneFigureCells(const TuneResult &result, const TuneSettings &tune);

// The verdict before and after as a table: per figure the specified design's and the tuned one's.
[[nodiscard]] format::ResultTable tuneVerdictTable(const TuneResult &result, const TuneSettings &tune);

} // namespace tarvelin::tune
