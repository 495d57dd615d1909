// SPDX-License-Identifier: MIT
#pragma once

#include "core/nec/checksummary.h"
#include "core/nec/necmodel.h"

#include <string>
#include <variant>
#include <vector>

namespace tarvelin::nec {

// The check split over several engine processes: one deck each, a run of neighbouring sweep frequencies in
// each, the azimuth pattern with the shortest run. The engine's work grows with the frequencies it solves,
// so the runs take about as long as each other.
struct AnalysisPlan
{
    std::vector<double> sweepMHz;
    std::vector<std::string> decks;
    std::vector<std::size_t> firstPoint; // where each deck's frequencies start in the sweep
    std::vector<std::size_t> pointCount;
    std::size_t azimuthDeck = 0;
};

[[nodiscard]] AnalysisPlan planAnalysis(const ArrayGeometry &geometry, const CheckSettings &settings, int processes);

// The engine's outputs, one per deck of the plan, read and merged in frequency order into the summary.
[[nodiscard]] std::variant<CheckSummary, OutputProblem>
mergeOutputs(const AnalysisPlan &plan, const std::vector<std::string> &outputs, const CheckSettings &settings);

} // namespace tarvelin::nec
