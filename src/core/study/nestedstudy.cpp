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

std::optional<EngineRound> NestedStudy::nextRound()
{
    if (m_started)
        return std::nullopt;
    m_started = true;
    const std::vector<double> frequencies = nec::nestedSweep(m_geometry, m_settings);
    const double highestMHz = *std::max_element(frequencies.begin(), frequencies.end());
    // Runs in frequency order, as even as they divide.
    const std::size_t parts = std::min(static_cast<std::size_t>(m_processes), frequencies.size());
    EngineRound round;
    round.frequencies = static_cast<int>(frequencies.size());
    round.timeLimit = kEngineTimeLimit;
    std::size_t start = 0;
    for (std::size_t part = 0; part < parts; ++part) {
        const std::size_t count = frequencies.size() / parts + (part < frequencies.size() % parts ? 1 : 0);
        const nec::NestedDeck deck =
            nec::writeNestedDeck(m_geometry, m_settings, std::span(frequencies).subspan(start, count), highestMHz);
        m_ports = deck.ports;
        round.decks.push_back(deck.text);
        start += count;
    }
    // Each band's own monoband design, over its own sweep, segmented as in the nested decks.
    if (m_geometry.bands.size() > 1)
        for (std::size_t band = 0; band < m_geometry.bands.size(); ++band) {
            design::NestedGeometry monoband = design::monobandOf(m_geometry, band);
            const std::vector<double> sweep = design::sweepFrequencies(monoband.bands.front().designMHz, m_settings);
            nec::NestedDeck deck = nec::writeNestedDeck(monoband, m_settings, sweep, highestMHz);
            round.decks.push_back(std::move(deck.text));
            round.frequencies += static_cast<int>(sweep.size());
            m_monobands.push_back({std::move(monoband), std::move(deck.ports)});
        }
    return round;
}

void NestedStudy::take(EngineOutputs outputs)
{
    m_ended = true;
    if (const auto *failed = std::get_if<EngineFailure>(&outputs)) {
        m_failure = failed->message;
        return;
    }
    const std::vector<std::string> &texts = std::get<std::vector<std::string>>(outputs);
    const std::size_t monobands = m_monobands.size();
    std::vector<nec::NPort> nports;
    for (std::size_t i = 0; i + monobands < texts.size(); ++i) {
        auto read = nec::parseNPortOutput(texts[i], m_ports);
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
    for (std::size_t band = 0; band < monobands; ++band)
        m_bands->at(band).monoband = monobandCheck(band, texts[texts.size() - monobands + band]);
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
