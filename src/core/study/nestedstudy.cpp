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
    return round;
}

void NestedStudy::take(EngineOutputs outputs)
{
    m_ended = true;
    if (const auto *failed = std::get_if<EngineFailure>(&outputs)) {
        m_failure = failed->message;
        return;
    }
    std::vector<nec::NPort> nports;
    for (const std::string &output : std::get<std::vector<std::string>>(outputs)) {
        auto read = nec::parseNPortOutput(output, m_ports);
        if (const auto *problem = std::get_if<nec::OutputProblem>(&read)) {
            m_failure = problem->message;
            return;
        }
        for (nec::NPort &nport : std::get<std::vector<nec::NPort>>(read))
            nports.push_back(std::move(nport));
    }
    auto checked = check::checkBands(m_geometry, nports, m_idle, m_settings);
    if (const auto *refusal = std::get_if<std::string>(&checked))
        m_failure = *refusal;
    else
        m_bands = std::get<std::vector<check::BandCheck>>(std::move(checked));
    m_windows = check::idleLineWindows(m_geometry, nports, m_idle, m_settings);
}

} // namespace tarvelin::study
