// SPDX-License-Identifier: MIT
#include "core/nec/analysis.h"

#include "core/format/fieldtext.h"
#include "core/nec/deck.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <span>

namespace tarvelin::nec {

AnalysisPlan planAnalysis(const ArrayGeometry &geometry, const CheckSettings &settings, int processes)
{
    AnalysisPlan plan;
    plan.sweepMHz = sweepFrequencies(geometry.designMHz, settings);
    // The azimuth pattern costs about one more frequency.
    const std::size_t total = plan.sweepMHz.size() + 1;
    const std::size_t decks =
        std::clamp<std::size_t>(static_cast<std::size_t>(std::max(processes, 1)), 1, plan.sweepMHz.size());
    std::size_t start = 0;
    for (std::size_t d = 0; d < decks; ++d) {
        // Share `total` as evenly as the decks allow; the last deck's share includes the azimuth pattern.
        std::size_t share = total / decks + (d < total % decks ? 1 : 0);
        const bool last = d + 1 == decks;
        if (last)
            share = plan.sweepMHz.size() - start;
        else
            share = std::min(share, plan.sweepMHz.size() - start - (decks - d - 1));
        DeckRequest request;
        request.sweepMHz = std::span<const double>(plan.sweepMHz).subspan(start, share);
        request.azimuthPattern = last;
        plan.decks.push_back(writeDeck(geometry, settings, request));
        plan.firstPoint.push_back(start);
        plan.pointCount.push_back(share);
        start += share;
    }
    plan.azimuthDeck = decks - 1;
    return plan;
}

namespace {

// A result no wire antenna can have means the engine's solution broke down: it is no result.
std::optional<OutputProblem> implausible(const FrequencyResult &result)
{
    std::string what;
    if (result.efficiencyPercent && !(*result.efficiencyPercent >= 0.0 && *result.efficiencyPercent <= 100.5))
        what = "a wire efficiency of " + fixedText(*result.efficiencyPercent, 2) + " %";
    else if (!(result.resistanceOhms > 0.0))
        what = "a feed resistance of " + fixedText(result.resistanceOhms, 2) + " ohms";
    if (what.empty())
        return std::nullopt;
    return OutputProblem{"The engine's result at " + fixedText(result.mhz, 3) + " MHz fails its own checks (" + what +
                         "), so no figures are given: the model is outside what NEC-2 computes reliably."};
}

} // namespace

std::variant<CheckSummary, OutputProblem>
mergeOutputs(const AnalysisPlan &plan, const std::vector<std::string> &outputs, const CheckSettings &settings)
{
    if (outputs.size() != plan.decks.size())
        return OutputProblem{"The engine gave " + std::to_string(outputs.size()) + " outputs for " +
                             std::to_string(plan.decks.size()) + " decks."};
    std::vector<SweepPoint> points;
    std::optional<double> designEfficiency;
    FrequencyResult azimuth;
    bool haveAzimuth = false;
    const std::size_t designIndex = plan.sweepMHz.size() / 2;
    for (std::size_t d = 0; d < outputs.size(); ++d) {
        auto parsed = parseNecOutput(outputs[d]);
        if (const auto *problem = std::get_if<OutputProblem>(&parsed))
            return *problem;
        const auto &blocks = std::get<std::vector<FrequencyResult>>(parsed);
        const std::size_t expected = plan.pointCount[d] + (d == plan.azimuthDeck ? 1 : 0);
        if (blocks.size() != expected)
            return OutputProblem{"The engine's output holds " + std::to_string(blocks.size()) + " frequencies where " +
                                 std::to_string(expected) + " were asked for."};
        for (const FrequencyResult &block : blocks)
            if (std::optional<OutputProblem> problem = implausible(block))
                return *problem;
        for (std::size_t i = 0; i < plan.pointCount[d]; ++i) {
            const std::optional<SweepPoint> point = sweepPointOf(blocks[i], settings.z0Ohms);
            if (!point)
                return OutputProblem{"The engine's output has no forward and backward gain at " +
                                     fixedText(blocks[i].mhz, 3) + " MHz."};
            if (plan.firstPoint[d] + i == designIndex)
                designEfficiency = blocks[i].efficiencyPercent;
            points.push_back(*point);
        }
        if (d == plan.azimuthDeck) {
            azimuth = blocks.back();
            haveAzimuth = true;
        }
    }
    return summarise(std::move(points), designIndex, settings.z0Ohms, designEfficiency,
                     haveAzimuth ? &azimuth : nullptr);
}

} // namespace tarvelin::nec
