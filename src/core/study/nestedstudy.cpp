// SPDX-License-Identifier: MIT
#include "core/study/nestedstudy.h"

#include "core/design/arraydesign.h"

#include <algorithm>

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
            m_planned.push_back({std::move(deck.text), std::move(deck.ports), static_cast<int>(count), false});
            start += count;
        }
    }
    if (bands > 1)
        for (std::size_t band = 0; band < bands; ++band) {
            design::NestedGeometry monoband = design::monobandOf(m_geometry, band);
            const std::vector<double> sweep = design::sweepFrequencies(monoband.bands.front().designMHz, m_settings);
            nec::NestedDeck deck = nec::writeNestedDeck(monoband, m_settings, sweep,
                                                        nec::bandSegmentedForMHz(m_geometry, band, m_settings));
            m_planned.push_back({std::move(deck.text), deck.ports, static_cast<int>(sweep.size()), true});
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
    m_ended = true;
    std::vector<nec::NPort> nports;
    for (std::size_t i = 0; i < m_planned.size() && !m_planned[i].monoband; ++i) {
        auto read = nec::parseNPortOutput(m_outputs[i], m_planned[i].ports);
        if (const auto *problem = std::get_if<nec::OutputProblem>(&read)) {
            m_failure = problem->message;
            return;
        }
        for (nec::NPort &nport : std::get<std::vector<nec::NPort>>(read))
            nports.push_back(std::move(nport));
    }
    auto checked = check::checkBands(m_geometry, nports, m_idle, m_settings);
    if (const auto *refusal = std::get_if<std::string>(&checked)) {
        m_failure = *refusal;
        return;
    }
    m_bands = std::get<std::vector<check::BandCheck>>(std::move(checked));
    const std::size_t monobands = m_monobands.size();
    for (std::size_t band = 0; band < monobands; ++band)
        m_bands->at(band).monoband = monobandCheck(band, m_outputs[m_outputs.size() - monobands + band]);
    m_windows = check::idleLineWindows(m_geometry, nports, m_idle, m_settings);
}

std::optional<check::CheckSummary> NestedStudy::monobandCheck(std::size_t band, const std::string &output) const
{
    const Monoband &monoband = m_monobands[band];
    auto read = nec::parseNPortOutput(output, monoband.ports);
    if (std::holds_alternative<nec::OutputProblem>(read))
        return std::nullopt;
    auto checked = check::checkBands(monoband.geometry, std::get<std::vector<nec::NPort>>(read), m_idle, m_settings);
    if (std::holds_alternative<std::string>(checked))
        return std::nullopt;
    return std::get<std::vector<check::BandCheck>>(checked).front().summary;
}

} // namespace tarvelin::study
