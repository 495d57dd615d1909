// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/checksummary.h"
#include "core/design/arraydesign.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tarvelin::check {

// The check split over several engine processes: one deck each, a run of neighbouring sweep frequencies in
// each, the azimuth pattern with the shortest run. The engine's work grows with the frequencies it solves,
// so the runs take about as long as each other.
struct AnalysisPlan
{
    std::vector<double> sweepMHz;
    std::vector<std::string> decks;
    std::vector<std::size_t> pointCount;
    std::optional<std::size_t> azimuthDeck;
    std::optional<double> designMHz; // the frequency whose failing result refuses the whole sweep, if any
    double sectionMHz = 0.0;         // the design frequency a quarter-wave section in the decks is cut for
};

[[nodiscard]] AnalysisPlan planAnalysis(const design::ArrayGeometry &geometry, const design::CheckSettings &settings,
                                        int processes);

// The same for any sweep, with or without the azimuth pattern at the design frequency.
[[nodiscard]] AnalysisPlan planSweep(const design::ArrayGeometry &geometry, const design::CheckSettings &settings,
                                     std::vector<double> sweepMHz, bool azimuth, int processes);

// The sweep's points as read from a plan's outputs, in frequency order, each checked.
// A result that fails the engine's own checks is left out, and named, unless it is the design frequency's,
// which refuses the sweep.
struct SweepOutputs
{
    std::vector<SweepPoint> points;
    std::vector<std::optional<double>> efficiencyPercent; // beside each point
    std::optional<nec::FrequencyResult> azimuth;
    std::vector<LeftOutPoint> leftOut;
};
[[nodiscard]] std::variant<SweepOutputs, nec::OutputProblem>
readOutputs(const AnalysisPlan &plan, const std::vector<std::string> &outputs, const design::CheckSettings &settings);

// How far the driven loop is lengthened, as a fraction, to find how its length moves the resonance.
inline constexpr double kSensitivityStep = 0.005;
// The furthest a wider sweep reaches either side of the design frequency, in percent.
inline constexpr double kWidestSweepPercent = 10.0;

// The whole check as engine rounds. The first is the sweep. The second, read from what the first found,
// holds the driven loop lengthened by kSensitivityStep around the resonance, for the cutting sensitivity,
// and, where the resonance or an edge of the 2:1 band lies outside the sweep, one wider sweep reaching up
// to kWidestSweepPercent on that side, its points marked as its own; over ground, with the lowest wire
// within a fifth of a wavelength of it, also the design frequency with twice the segments, to see whether the
// ground solution holds. A launcher runs each round's decks at once and hands back their outputs in order.
class CheckRounds
{
public:
    CheckRounds(design::ArrayGeometry geometry, design::CheckSettings settings, int processes);

    // This round's decks; none once the check is done.
    [[nodiscard]] const std::vector<std::string> &decks() const { return m_decks; }
    // The frequencies this round solves, for progress.
    [[nodiscard]] int frequencies() const { return m_frequencies; }
    [[nodiscard]] int round() const { return m_round; }
    // What the rounds solved, once done: "13 frequencies across the sweep, then 11 more for the verdict: ...".
    [[nodiscard]] std::string ranText() const;
    [[nodiscard]] bool done() const { return m_decks.empty(); }

    // Takes this round's outputs and plans the next round, if any; a problem ends the check.
    [[nodiscard]] std::optional<nec::OutputProblem> take(const std::vector<std::string> &outputs);

    // The verdict once done.
    [[nodiscard]] const CheckSummary &summary() const { return m_summary; }
    [[nodiscard]] const design::ArrayGeometry &geometry() const { return m_geometry; }

private:
    void planSecondRound();

    design::ArrayGeometry m_geometry;
    design::CheckSettings m_settings;
    int m_processes = 1;
    int m_round = 1;
    AnalysisPlan m_sweep;
    AnalysisPlan m_wider;      // second round: the wider sweep's decks come first
    AnalysisPlan m_lengthened; // second round: the lengthened driven loop around the resonance
    AnalysisPlan m_finer;      // second round, close to the ground: the design frequency with finer segments
    double m_lowestWireWavelengths = 0.0;
    int m_finerSegments = 0;
    std::vector<std::string> m_decks;
    int m_frequencies = 0;
    SweepOutputs m_first;
    CheckSummary m_summary;
};

} // namespace tarvelin::check
