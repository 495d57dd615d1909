// SPDX-License-Identifier: MIT
#include "core/nec/analysis.h"

#include "core/calc/designlengths.h"
#include "core/format/fieldtext.h"
#include "core/nec/deck.h"

#include <algorithm>
#include <cmath>
#include <array>
#include <cstdio>
#include <span>

namespace tarvelin::nec {

AnalysisPlan planAnalysis(const ArrayGeometry &geometry, const CheckSettings &settings, int processes)
{
    return planSweep(geometry, settings, sweepFrequencies(geometry.designMHz, settings), true, processes);
}

AnalysisPlan planSweep(const ArrayGeometry &geometry, const CheckSettings &settings, std::vector<double> sweepMHz,
                       bool azimuth, int processes)
{
    AnalysisPlan plan;
    plan.sweepMHz = std::move(sweepMHz);
    if (plan.sweepMHz.empty())
        return plan;
    // The azimuth pattern costs about one more frequency.
    const std::size_t total = plan.sweepMHz.size() + (azimuth ? 1 : 0);
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
        request.azimuthPattern = azimuth && last;
        plan.decks.push_back(writeDeck(geometry, settings, request));
        plan.pointCount.push_back(share);
        start += share;
    }
    if (azimuth)
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
    return OutputProblem{"The engine's result at " + frequencyLabel(result.mhz) + " MHz fails its own checks (" + what +
                         "), so no figures are given: the model is outside what NEC-2 computes reliably."};
}

} // namespace

std::variant<SweepOutputs, OutputProblem> readOutputs(const AnalysisPlan &plan, const std::vector<std::string> &outputs,
                                                      const CheckSettings &settings)
{
    if (outputs.size() != plan.decks.size())
        return OutputProblem{"The engine gave " + std::to_string(outputs.size()) + " outputs for " +
                             std::to_string(plan.decks.size()) + " decks."};
    SweepOutputs read;
    for (std::size_t d = 0; d < outputs.size(); ++d) {
        auto parsed = parseNecOutput(outputs[d]);
        if (const auto *problem = std::get_if<OutputProblem>(&parsed))
            return *problem;
        const auto &blocks = std::get<std::vector<FrequencyResult>>(parsed);
        const bool azimuth = plan.azimuthDeck == d;
        const std::size_t expected = plan.pointCount[d] + (azimuth ? 1 : 0);
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
                                     frequencyLabel(blocks[i].mhz) + " MHz."};
            read.points.push_back(*point);
            read.efficiencyPercent.push_back(blocks[i].efficiencyPercent);
        }
        if (azimuth)
            read.azimuth = blocks.back();
    }
    return read;
}

namespace {

// Frequencies either side of `design`, one deck per side, so each deck's frequencies are an even step.
AnalysisPlan sidesPlan(const ArrayGeometry &geometry, const CheckSettings &settings,
                       const std::vector<double> &frequencies, double design)
{
    AnalysisPlan plan;
    std::vector<double> below;
    std::vector<double> above;
    for (const double f : frequencies)
        (f < design ? below : above).push_back(f);
    for (const std::vector<double> *side : {&below, &above}) {
        if (side->empty())
            continue;
        AnalysisPlan one = planSweep(geometry, settings, *side, false, 1);
        plan.pointCount.push_back(side->size());
        plan.sweepMHz.insert(plan.sweepMHz.end(), side->begin(), side->end());
        plan.decks.push_back(std::move(one.decks.front()));
    }
    return plan;
}

} // namespace

CheckRounds::CheckRounds(ArrayGeometry geometry, CheckSettings settings, int processes)
    : m_geometry(std::move(geometry)), m_settings(settings), m_processes(std::max(processes, 1))
{
    m_sweep = planAnalysis(m_geometry, m_settings, m_processes);
    m_decks = m_sweep.decks;
    m_frequencies = static_cast<int>(m_sweep.sweepMHz.size());
}

std::optional<OutputProblem> CheckRounds::take(const std::vector<std::string> &outputs)
{
    if (m_round == 1) {
        auto read = readOutputs(m_sweep, outputs, m_settings);
        if (auto *problem = std::get_if<OutputProblem>(&read))
            return std::move(*problem);
        m_first = std::move(std::get<SweepOutputs>(read));
        const std::size_t designIndex = m_sweep.sweepMHz.size() / 2;
        m_summary = summarise(m_first.points, designIndex, m_settings.z0Ohms, m_first.efficiencyPercent[designIndex],
                              m_first.azimuth ? &*m_first.azimuth : nullptr);
        m_round = 2;
        planSecondRound();
        return std::nullopt;
    }

    const auto widerDecks = static_cast<std::ptrdiff_t>(m_wider.decks.size());
    if (outputs.size() != m_wider.decks.size() + m_lengthened.decks.size())
        return OutputProblem{"The engine gave " + std::to_string(outputs.size()) + " outputs for " +
                             std::to_string(m_decks.size()) + " decks."};
    auto wider = readOutputs(m_wider, {outputs.begin(), outputs.begin() + widerDecks}, m_settings);
    if (auto *problem = std::get_if<OutputProblem>(&wider))
        return std::move(*problem);
    auto lengthened = readOutputs(m_lengthened, {outputs.begin() + widerDecks, outputs.end()}, m_settings);
    if (auto *problem = std::get_if<OutputProblem>(&lengthened))
        return std::move(*problem);
    m_decks.clear();
    m_frequencies = 0;

    // The wider sweep's points either side of the first, all read as one sweep.
    std::vector<SweepPoint> points = std::get<SweepOutputs>(wider).points;
    const double design = m_summary.design.mhz;
    const auto designIndex = static_cast<std::size_t>(
        std::count_if(points.begin(), points.end(), [design](const SweepPoint &p) { return p.mhz < design; }) +
        static_cast<std::ptrdiff_t>(m_sweep.sweepMHz.size() / 2));
    points.insert(points.end(), m_first.points.begin(), m_first.points.end());
    std::sort(points.begin(), points.end(), [](const SweepPoint &a, const SweepPoint &b) { return a.mhz < b.mhz; });
    const std::optional<double> efficiency = m_summary.efficiencyPercent;
    m_summary = summarise(std::move(points), designIndex, m_settings.z0Ohms, efficiency,
                          m_first.azimuth ? &*m_first.azimuth : nullptr);

    // The lengthened loop's resonance, the crossing nearest the design's: how far a longer driven loop
    // moves it.
    std::vector<SweepPoint> longer = std::move(std::get<SweepOutputs>(lengthened).points);
    if (m_summary.resonanceMHz && !longer.empty()) {
        const double resonance = *m_summary.resonanceMHz;
        const auto nearest = static_cast<std::size_t>(
            std::min_element(longer.begin(), longer.end(),
                             [resonance](const SweepPoint &a, const SweepPoint &b) {
                                 return std::fabs(a.mhz - resonance) < std::fabs(b.mhz - resonance);
                             }) -
            longer.begin());
        const CheckSummary moved = summarise(std::move(longer), nearest, m_settings.z0Ohms, std::nullopt, nullptr);
        if (moved.resonanceMHz) {
            const double addedInches = 4.0 * m_geometry.sidesMetres[1] * kSensitivityStep / kMetresPerInch;
            m_summary.sensitivityKhzPerInch = (*moved.resonanceMHz - resonance) * 1000.0 / addedInches;
        }
    }
    return std::nullopt;
}

void CheckRounds::planSecondRound()
{
    const std::vector<SweepPoint> &p = m_first.points;
    const double design = m_geometry.designMHz;
    bool lower = false;
    bool higher = false;
    if (!m_summary.resonanceMHz) {
        // Reactance rises through resonance: inductive everywhere puts it below the sweep.
        lower = p.front().reactanceOhms > 0.0;
        higher = p.back().reactanceOhms < 0.0;
    }
    if (m_summary.swr2MHz) {
        lower = lower || !m_summary.swr2MHz->lowMHz;
        higher = higher || !m_summary.swr2MHz->highMHz;
    }
    // As many steps on a side as the sweep has, from its edge out to the widest sweep.
    std::vector<double> extra;
    const int steps = std::max(3, m_settings.points / 2);
    const double widest = design * kWidestSweepPercent / 100.0;
    const auto side = [&](double edge, double far) {
        for (int k = 0; k < steps; ++k)
            extra.push_back(far + (edge - far) * k / steps);
    };
    if (lower && design - widest < p.front().mhz)
        side(p.front().mhz, design - widest);
    if (higher && design + widest > p.back().mhz)
        side(p.back().mhz, design + widest);
    std::sort(extra.begin(), extra.end());
    m_wider = sidesPlan(m_geometry, m_settings, extra, design);

    // The driven loop lengthened, swept just below the resonance, where its own will lie; without a
    // resonance yet, over the wider sweep.
    ArrayGeometry longer = m_geometry;
    longer.sidesMetres[1] *= 1.0 + kSensitivityStep;
    std::vector<double> around;
    if (m_summary.resonanceMHz)
        for (int k = 4; k >= 0; --k)
            around.push_back(*m_summary.resonanceMHz * (1.0 - 0.0025 * k));
    else
        around = extra;
    m_lengthened = sidesPlan(longer, m_settings, around, design);
    m_decks = m_wider.decks;
    m_decks.insert(m_decks.end(), m_lengthened.decks.begin(), m_lengthened.decks.end());
    m_frequencies = static_cast<int>(m_wider.sweepMHz.size() + m_lengthened.sweepMHz.size());
}

} // namespace tarvelin::nec
