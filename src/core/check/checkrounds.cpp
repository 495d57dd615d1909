// SPDX-License-Identifier: MIT
#include "core/check/checkrounds.h"

#include "core/design/designlengths.h"
#include "core/format/fieldtext.h"
#include "core/nec/deck.h"

#include <algorithm>
#include <cmath>
#include <array>
#include <cstdio>
#include <span>

namespace tarvelin::check {

AnalysisPlan planAnalysis(const design::ArrayGeometry &geometry, const design::CheckSettings &settings, int processes)
{
    AnalysisPlan plan =
        planSweep(geometry, settings, design::sweepFrequencies(geometry.designMHz, settings), true, processes);
    plan.designMHz = geometry.designMHz;
    return plan;
}

AnalysisPlan planSweep(const design::ArrayGeometry &geometry, const design::CheckSettings &settings,
                       std::vector<double> sweepMHz, bool azimuth, int processes)
{
    AnalysisPlan plan;
    plan.sweepMHz = std::move(sweepMHz);
    plan.sectionMHz = geometry.designMHz;
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
        nec::DeckRequest request;
        request.sweepMHz = std::span<const double>(plan.sweepMHz).subspan(start, share);
        request.azimuthPattern = azimuth && last;
        request.cardPerFrequency = true;
        plan.decks.push_back(nec::writeDeck(geometry, settings, request));
        plan.pointCount.push_back(share);
        start += share;
    }
    if (azimuth)
        plan.azimuthDeck = decks - 1;
    return plan;
}

namespace {

// A feed resistance below this is no antenna's: the solution has broken down (a thousandth of an ohm).
constexpr double kLeastResistanceOhms = 1e-3;

// What makes a result one no wire antenna can have, so that the engine's solution broke down; nothing when
// it is plausible.
std::string implausible(const nec::FrequencyResult &result)
{
    if (result.efficiencyPercent && !(*result.efficiencyPercent >= 0.0 && *result.efficiencyPercent <= 100.5))
        return "a wire efficiency of " + format::fixedText(*result.efficiencyPercent, 2) + " %";
    if (!(result.resistanceOhms >= kLeastResistanceOhms))
        return "a feed resistance of " + format::fixedText(result.resistanceOhms, 4) + " ohms";
    return {};
}

nec::OutputProblem refused(const nec::FrequencyResult &result, const std::string &why)
{
    return nec::OutputProblem{"The engine's result at " + design::frequencyLabel(result.mhz) +
                              " MHz fails its own checks (" + why +
                              "), so no figures are given: the model is outside what NEC-2 computes reliably."};
}

} // namespace

std::variant<SweepOutputs, nec::OutputProblem>
readOutputs(const AnalysisPlan &plan, const std::vector<std::string> &outputs, const design::CheckSettings &settings)
{
    if (outputs.size() != plan.decks.size())
        return nec::OutputProblem{"The engine gave " + std::to_string(outputs.size()) + " outputs for " +
                                  std::to_string(plan.decks.size()) + " decks."};
    SweepOutputs read;
    for (std::size_t d = 0; d < outputs.size(); ++d) {
        auto parsed = nec::parseNecOutput(outputs[d]);
        if (const auto *problem = std::get_if<nec::OutputProblem>(&parsed))
            return *problem;
        const auto &blocks = std::get<std::vector<nec::FrequencyResult>>(parsed);
        const bool azimuth = plan.azimuthDeck == d;
        const std::size_t expected = plan.pointCount[d] + (azimuth ? 1 : 0);
        if (blocks.size() != expected)
            return nec::OutputProblem{"The engine's output holds " + std::to_string(blocks.size()) +
                                      " frequencies where " + std::to_string(expected) + " were asked for."};
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            const std::string why = implausible(blocks[i]);
            if (why.empty())
                continue;
            const bool design =
                i == plan.pointCount[d] || // the azimuth pattern's block is the design's
                (plan.designMHz && std::fabs(blocks[i].mhz - *plan.designMHz) <= 1e-9 * *plan.designMHz);
            if (design)
                return refused(blocks[i], why);
        }
        for (std::size_t i = 0; i < plan.pointCount[d]; ++i) {
            if (const std::string why = implausible(blocks[i]); !why.empty()) {
                read.leftOut.push_back({blocks[i].mhz, why});
                continue;
            }
            const std::optional<SweepPoint> point =
                sweepPointOf(blocks[i], settings.z0Ohms, settings.match, plan.sectionMHz);
            if (!point)
                return nec::OutputProblem{"The engine's output has no forward and backward gain at " +
                                          design::frequencyLabel(blocks[i].mhz) + " MHz."};
            read.points.push_back(*point);
            read.efficiencyPercent.push_back(blocks[i].efficiencyPercent);
        }
        if (azimuth)
            read.azimuth = blocks.back();
    }
    return read;
}

namespace {

// The ground solution is checked when the lowest wire is closer to the ground than this, in wavelengths, and
// found wanting when the feed impedance moves by more than this share of its magnitude.
constexpr double kNearGroundWavelengths = 0.2;
constexpr double kSegmentAgreement = 0.1;

// "233-j8", "120+j139"
std::string impedanceText(const SweepPoint &point)
{
    return format::fixedText(point.resistanceOhms, 0) + (point.reactanceOhms < 0 ? "-j" : "+j") +
           format::fixedText(std::fabs(point.reactanceOhms), 0);
}

// Frequencies either side of `design`, one deck per side, so each deck's frequencies are an even step.
AnalysisPlan sidesPlan(const design::ArrayGeometry &geometry, const design::CheckSettings &settings,
                       const std::vector<double> &frequencies, double design)
{
    AnalysisPlan plan;
    plan.sectionMHz = geometry.designMHz;
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

CheckRounds::CheckRounds(design::ArrayGeometry geometry, design::CheckSettings settings, int processes)
    : m_geometry(std::move(geometry)), m_settings(settings), m_processes(std::max(processes, 1))
{
    m_sweep = planAnalysis(m_geometry, m_settings, m_processes);
    m_decks = m_sweep.decks;
    m_frequencies = static_cast<int>(m_sweep.sweepMHz.size());
}

std::optional<nec::OutputProblem> CheckRounds::take(const std::vector<std::string> &outputs)
{
    if (m_round == 1) {
        auto read = readOutputs(m_sweep, outputs, m_settings);
        if (auto *problem = std::get_if<nec::OutputProblem>(&read))
            return std::move(*problem);
        m_first = std::move(std::get<SweepOutputs>(read));
        const std::size_t designIndex = designIndexOf(m_first.points, m_geometry.designMHz);
        m_summary = summarise(m_first.points, designIndex, m_settings.z0Ohms, m_first.efficiencyPercent[designIndex],
                              m_first.azimuth ? &*m_first.azimuth : nullptr, m_settings.match, m_geometry.designMHz);
        m_summary.elements = m_geometry.elementCount();
        m_summary.leftOut = m_first.leftOut;
        if (const std::string jacket = design::jacketNote(m_settings); !jacket.empty())
            m_summary.modelNotes.push_back(jacket);
        m_round = 2;
        planSecondRound();
        m_summary.ran = ranText(); // the sweep alone, unless a second round runs and says more
        return std::nullopt;
    }

    // The second round's decks: the wider sweep's, the lengthened loop's, then the finer segments'.
    std::vector<SweepOutputs> read;
    auto next = outputs.begin();
    for (const AnalysisPlan *plan : {&m_wider, &m_lengthened, &m_finer}) {
        const auto count = static_cast<std::ptrdiff_t>(plan->decks.size());
        if (outputs.end() - next < count)
            return nec::OutputProblem{"The engine gave " + std::to_string(outputs.size()) + " outputs for " +
                                      std::to_string(m_decks.size()) + " decks."};
        auto one = readOutputs(*plan, {next, next + count}, m_settings);
        if (auto *problem = std::get_if<nec::OutputProblem>(&one))
            return std::move(*problem);
        read.push_back(std::get<SweepOutputs>(std::move(one)));
        next += count;
    }
    m_decks.clear();
    m_frequencies = 0;

    // The wider sweep's points either side of the first, all read as one sweep, each marked as the wider's.
    std::vector<SweepPoint> points = std::move(read[0].points);
    for (SweepPoint &point : points)
        point.round = 2;
    points.insert(points.end(), m_first.points.begin(), m_first.points.end());
    std::sort(points.begin(), points.end(), [](const SweepPoint &a, const SweepPoint &b) { return a.mhz < b.mhz; });
    const std::optional<double> efficiency = m_summary.efficiencyPercent;
    const std::size_t designIndex = designIndexOf(points, m_geometry.designMHz);
    m_summary = summarise(std::move(points), designIndex, m_settings.z0Ohms, efficiency,
                          m_first.azimuth ? &*m_first.azimuth : nullptr, m_settings.match, m_geometry.designMHz);
    m_summary.elements = m_geometry.elementCount();
    m_summary.leftOut = m_first.leftOut;
    if (const std::string jacket = design::jacketNote(m_settings); !jacket.empty())
        m_summary.modelNotes.push_back(jacket);
    m_summary.leftOut.insert(m_summary.leftOut.end(), read[0].leftOut.begin(), read[0].leftOut.end());

    // The lengthened loop's resonance, the crossing nearest the design's: how far a longer driven loop
    // moves it.
    std::vector<SweepPoint> longer = std::move(read[1].points);
    if (m_summary.resonanceMHz && !longer.empty()) {
        const double resonance = *m_summary.resonanceMHz;
        const CheckSummary moved = summarise(std::move(longer), designIndexOf(longer, resonance), m_settings.z0Ohms,
                                             std::nullopt, nullptr, m_settings.match, m_geometry.designMHz);
        if (moved.resonanceMHz) {
            const double addedInches = 4.0 * m_geometry.sidesMetres[1] * kSensitivityStep / design::kMetresPerInch;
            m_summary.sensitivityKhzPerInch = (*moved.resonanceMHz - resonance) * 1000.0 / addedInches;
        }
    }
    if (!m_summary.sensitivityKhzPerInch)
        m_summary.noSensitivity = m_summary.resonanceMHz
                                      ? "the driven loop made " + format::fixedText(kSensitivityStep * 100.0, 1) +
                                            " % longer resonates outside the frequencies modelled for it"
                                      : "the model does not resonate within " +
                                            format::fixedText(kWidestSweepPercent, 0) + " % of the design frequency";

    // Close to the ground, the design frequency again with finer segments: where the feed impedance moves by
    // more than a tenth, NEC-2's ground solution is not to be trusted here.
    if (!read[2].points.empty()) {
        const SweepPoint &coarse = m_summary.design;
        const SweepPoint &fine = read[2].points.front();
        const double scale = std::hypot(coarse.resistanceOhms, coarse.reactanceOhms);
        if (std::fabs(fine.resistanceOhms - coarse.resistanceOhms) > kSegmentAgreement * scale ||
            std::fabs(fine.reactanceOhms - coarse.reactanceOhms) > kSegmentAgreement * scale)
            m_summary.modelNotes.push_back(
                "The lowest wire is only " + format::fixedText(m_lowestWireWavelengths, 2) +
                " wavelengths above the ground, where NEC-2's ground model is unsure: with " +
                std::to_string(m_finerSegments) + " segments a side the feed impedance at " +
                design::frequencyLabel(coarse.mhz) + " MHz is " + impedanceText(fine) + " ohms, not " +
                impedanceText(coarse) + ". Measure the built antenna at its working height.");
    }
    m_summary.ran = ranText();
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
    design::ArrayGeometry longer = m_geometry;
    longer.sidesMetres[1] *= 1.0 + kSensitivityStep;
    std::vector<double> around;
    if (m_summary.resonanceMHz) {
        for (int k = 4; k >= 0; --k)
            around.push_back(*m_summary.resonanceMHz * (1.0 - 0.0025 * k));
    } else {
        // The resonance lies beyond the sweep, perhaps just beyond its edge, and the lengthened loop's a little
        // below it: between the wider sweep's last step and the edge, or just inside a sweep it lies above.
        around = extra;
        if (lower)
            around.push_back(p.front().mhz);
        if (higher && p.size() >= 2)
            around.insert(around.end(), {p[p.size() - 2].mhz, p.back().mhz});
        std::sort(around.begin(), around.end());
    }
    m_lengthened = sidesPlan(longer, m_settings, around, design);

    // Close to the ground the design frequency again, with twice the segments (within their limit).
    m_finer = {};
    if (m_settings.groundHeightMetres) {
        const double largestSide = *std::max_element(m_geometry.sidesMetres.begin(), m_geometry.sidesMetres.end());
        const double wavelength = design::kSpeedOfLightMetresPerMicrosecond / design;
        m_lowestWireWavelengths = (*m_settings.groundHeightMetres - largestSide / 2) / wavelength;
        m_finerSegments = std::min(2 * m_settings.segments - 1, design::limits::kMostSegments);
        if (m_lowestWireWavelengths < kNearGroundWavelengths && m_finerSegments > m_settings.segments) {
            design::CheckSettings finer = m_settings;
            finer.segments = m_finerSegments;
            m_finer = planSweep(m_geometry, finer, {design}, false, 1);
        }
    }

    m_decks = m_wider.decks;
    m_frequencies = 0;
    for (const AnalysisPlan *plan : {&m_lengthened, &m_finer})
        m_decks.insert(m_decks.end(), plan->decks.begin(), plan->decks.end());
    for (const AnalysisPlan *plan : {&m_wider, &m_lengthened, &m_finer})
        m_frequencies += static_cast<int>(plan->sweepMHz.size());
}

std::string CheckRounds::ranText() const
{
    std::string text = std::to_string(m_sweep.sweepMHz.size()) + " frequencies across the sweep";
    const std::size_t wider = m_wider.sweepMHz.size();
    const std::size_t lengthened = m_lengthened.sweepMHz.size();
    const std::size_t finer = m_finer.sweepMHz.size();
    const std::size_t more = wider + lengthened + finer;
    if (m_round < 2 || more == 0)
        return text;
    text += ", then " + std::to_string(more) + " more for the verdict:";
    std::vector<std::string> parts;
    if (wider > 0)
        parts.push_back(std::to_string(wider) + " beyond the sweep's ends, for what it missed");
    if (lengthened > 0)
        parts.push_back(std::to_string(lengthened) + " with the driven loop " +
                        format::fixedText(kSensitivityStep * 100.0, 1) + " % longer, for the cutting sensitivity");
    if (finer > 0)
        parts.push_back(std::to_string(finer) + " with finer segments, to test the ground's solution");
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? " " : "; ") + parts[i];
    return text;
}

} // namespace tarvelin::check
