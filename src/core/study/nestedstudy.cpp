// SPDX-License-Identifier: MIT
#include "core/study/nestedstudy.h"

#include "core/design/arraydesign.h"

#include <algorithm>
#include <cmath>

namespace tarvelin::study {

NestedStudy::NestedStudy(design::NestedGeometry geometry, design::CheckSettings settings, design::IdleEnd idle,
                         int processes)
    : m_geometry(std::move(geometry)), m_settings(std::move(settings)), m_idle(std::move(idle)),
      m_processes(std::max(1, processes))
{
}

void NestedStudy::plan()
{
    // Each band's sweep in a structure segmented for that band, split in frequency order over as many decks as
    // the engines allow, each its frequencies alike however many share them; then each band's own design alone.
    const std::size_t bands = m_geometry.bands.size();
    const std::size_t parts = std::max<std::size_t>(1, static_cast<std::size_t>(m_processes) / bands);
    for (std::size_t band = 0; band < bands; ++band) {
        const std::vector<double> sweep = design::sweepFrequencies(m_geometry.bands[band].designMHz, m_settings);
        const double segmentedFor = nec::bandSegmentedForMHz(m_geometry, band, m_settings);
        const std::size_t chunks = std::min(parts, sweep.size());
        std::size_t start = 0;
        for (std::size_t chunk = 0; chunk < chunks; ++chunk) {
            const std::size_t count = sweep.size() / chunks + (chunk < sweep.size() % chunks ? 1 : 0);
            nec::NestedDeck deck =
                nec::writeNestedDeck(m_geometry, m_settings, std::span(sweep).subspan(start, count), segmentedFor);
            m_planned.push_back({std::move(deck.text), std::move(deck.ports), static_cast<int>(count), band, false});
            start += count;
        }
    }
    if (bands > 1)
        for (std::size_t band = 0; band < bands; ++band) {
            design::NestedGeometry monoband = design::monobandOf(m_geometry, band);
            const std::vector<double> sweep = design::sweepFrequencies(monoband.bands.front().designMHz, m_settings);
            nec::NestedDeck deck = nec::writeNestedDeck(monoband, m_settings, sweep,
                                                        nec::bandSegmentedForMHz(m_geometry, band, m_settings));
            m_planned.push_back({std::move(deck.text), deck.ports, static_cast<int>(sweep.size()), band, true});
            m_monobands.push_back({std::move(monoband), std::move(deck.ports)});
        }
}

std::optional<EngineRound> NestedStudy::nextRound()
{
    if (!m_started) {
        m_started = true;
        plan();
    }
    if (m_ended || m_handedOut >= m_planned.size())
        return std::nullopt;
    EngineRound round;
    round.timeLimit = kEngineTimeLimit;
    const std::size_t last = std::min(m_planned.size(), m_handedOut + static_cast<std::size_t>(m_processes));
    for (; m_handedOut < last; ++m_handedOut) {
        round.decks.push_back(m_planned[m_handedOut].text);
        round.frequencies += m_planned[m_handedOut].frequencies;
    }
    m_lastRoundFrequencies = round.frequencies;
    return round;
}

void NestedStudy::take(EngineOutputs outputs)
{
    if (const auto *failed = std::get_if<EngineFailure>(&outputs)) {
        m_failure = failed->message;
        m_ended = true;
        return;
    }
    for (std::string &text : std::get<std::vector<std::string>>(outputs))
        m_outputs.push_back(std::move(text));
    if (m_outputs.size() < m_planned.size())
        return;
    if (!readOutputs()) {
        m_ended = true;
        return;
    }
    if (!m_widened && planWider()) {
        m_widened = true;
        return;
    }
    m_ended = true;
    finish();
}

bool NestedStudy::readOutputs()
{
    const std::size_t bands = m_geometry.bands.size();
    m_bandPorts.resize(bands);
    m_monoPorts.resize(bands);
    for (std::size_t i = 0; i < m_planned.size(); ++i) {
        auto read = nec::parseNPortOutput(m_outputs[i], m_planned[i].ports);
        if (const auto *problem = std::get_if<nec::OutputProblem>(&read)) {
            m_failure = problem->message;
            return false;
        }
        const PlannedDeck &deck = m_planned[i];
        for (nec::NPort &nport : std::get<std::vector<nec::NPort>>(read)) {
            if (!m_widened && !deck.monoband)
                m_firstRound.push_back(nport);
            (deck.monoband ? m_monoPorts : m_bandPorts)[deck.band].push_back(std::move(nport));
        }
    }
    for (auto *ports : {&m_bandPorts, &m_monoPorts})
        for (std::vector<nec::NPort> &band : *ports)
            std::sort(band.begin(), band.end(),
                      [](const nec::NPort &a, const nec::NPort &b) { return a.mhz < b.mhz; });
    m_planned.clear();
    m_outputs.clear();
    m_handedOut = 0;
    return true;
}

// Where a band's sweep holds no resonance, one more round sweeps as far again beyond the end its reactance
// points to, as a check of one band widens its sweep for what it missed; the band's own design alone too.
namespace {

constexpr double kWiderPercent = 6.0;
constexpr std::size_t kMostWiderPoints = 40;

} // namespace

bool NestedStudy::planWider()
{
    for (std::size_t band = 0; band < m_geometry.bands.size(); ++band) {
        const std::vector<double> sweep = design::sweepFrequencies(m_geometry.bands[band].designMHz, m_settings);
        auto checked = check::checkBand(m_geometry, band, m_bandPorts[band], m_idle, m_settings, sweep.front(),
                                        sweep.back());
        if (!std::holds_alternative<check::BandCheck>(checked))
            continue;
        const check::CheckSummary &summary = std::get<check::BandCheck>(checked).summary;
        if (summary.resonanceMHz || summary.points.size() < 2)
            continue;
        const bool below = summary.points.front().reactanceOhms > 0.0;
        const bool above = summary.points.back().reactanceOhms < 0.0;
        if (below == above)
            continue;
        // As many points again at the sweep's own step, and at least far enough to reach what nesting and a
        // monoband cut leave between them, some 6 % of the design frequency.
        const double step = (sweep.back() - sweep.front()) / static_cast<double>(sweep.size() - 1);
        const auto reach = static_cast<std::size_t>(std::ceil(kWiderPercent / 100.0 * sweep[sweep.size() / 2] / step));
        const std::size_t count = std::min(kMostWiderPoints, std::max(sweep.size() - 1, reach));
        std::vector<double> wider;
        for (std::size_t k = 1; k <= count; ++k)
            wider.push_back(below ? sweep.front() - static_cast<double>(count + 1 - k) * step
                                  : sweep.back() + static_cast<double>(k) * step);
        if (wider.front() <= 0.0)
            continue;
        const double segmentedFor = nec::bandSegmentedForMHz(m_geometry, band, m_settings);
        nec::NestedDeck deck = nec::writeNestedDeck(m_geometry, m_settings, wider, segmentedFor);
        m_planned.push_back({std::move(deck.text), std::move(deck.ports), static_cast<int>(wider.size()), band, false});
        if (m_geometry.bands.size() > 1) {
            nec::NestedDeck alone = nec::writeNestedDeck(m_monobands[band].geometry, m_settings, wider, segmentedFor);
            m_planned.push_back(
                {std::move(alone.text), std::move(alone.ports), static_cast<int>(wider.size()), band, true});
        }
    }
    return !m_planned.empty();
}

void NestedStudy::finish()
{
    std::vector<check::BandCheck> bands;
    for (std::size_t band = 0; band < m_geometry.bands.size(); ++band) {
        const std::vector<double> sweep = design::sweepFrequencies(m_geometry.bands[band].designMHz, m_settings);
        auto checked = check::checkBand(m_geometry, band, m_bandPorts[band], m_idle, m_settings, sweep.front(),
                                        sweep.back());
        if (const auto *refusal = std::get_if<std::string>(&checked)) {
            m_failure = *refusal;
            return;
        }
        bands.push_back(std::get<check::BandCheck>(std::move(checked)));
        if (band < m_monobands.size() && !m_monoPorts[band].empty()) {
            auto alone = check::checkBand(m_monobands[band].geometry, 0, m_monoPorts[band], m_idle, m_settings,
                                          sweep.front(), sweep.back());
            if (const auto *check = std::get_if<check::BandCheck>(&alone))
                bands.back().monoband = check->summary;
        }
    }
    m_bands = std::move(bands);
    m_windows = check::idleLineWindows(m_geometry, m_firstRound, m_idle, m_settings);
}

} // namespace tarvelin::study
