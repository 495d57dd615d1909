// SPDX-License-Identifier: MIT
#include "core/study/nestedtune.h"

#include "core/check/nestedcheck.h"
#include "core/nec/nport.h"

#include <algorithm>
#include <cmath>

namespace tarvelin::study {

NestedTune::NestedTune(design::NestedGeometry specified, design::CheckSettings settings, design::IdleEnd idle,
                       tune::TuneSettings tune, int processes)
    : m_specified(std::move(specified)), m_settings(std::move(settings)), m_idle(std::move(idle)),
      m_tune(std::move(tune)), m_processes(std::max(1, processes)), m_started(std::chrono::steady_clock::now())
{
    m_factors.assign(m_specified.loops.size(), 1.0);
    m_searches.assign(m_specified.bands.size(), tune::BandSearch(tune::kLoopFactorLimit));
    m_result_.specified = m_specified;
    m_result_.settings = m_settings;
    m_result_.idle = m_idle;
    m_result_.goals = m_tune;
    for (std::size_t band = 0; band < m_specified.bands.size(); ++band)
        m_planned.push_back({m_factors, band, {}});
}

tune::TunedBands NestedTuneResult::saved() const
{
    tune::TunedBands file;
    file.bands = tuned.bands;
    file.elements = static_cast<int>(tuned.elements);
    file.nested = specified.settings;
    file.idle = idle;
    file.check = settings;
    file.tune = goals;
    for (const design::NestedLoop &loop : tuned.loops)
        file.factors.push_back(loop.perimeterFactor);
    file.rounds = rounds;
    file.designs = designs;
    file.end = end;
    return file;
}

std::optional<EngineRound> NestedTune::nextRound()
{
    if (m_ended || m_handedOut >= m_planned.size())
        return std::nullopt;
    EngineRound round;
    round.timeLimit = kEngineTimeLimit;
    const std::size_t first = m_done.size();
    const std::size_t last = std::min(m_planned.size(), first + static_cast<std::size_t>(m_processes));
    for (std::size_t i = first; i < last; ++i) {
        Evaluation &evaluation = m_planned[i];
        const design::NestedGeometry geometry = design::withPerimeterFactors(m_specified, evaluation.factors);
        const std::vector<double> frequencies =
            tune::bandFrequencies(m_specified.bands[evaluation.band].designMHz, m_tune);
        // Segmented as the band's check is, so that the tuned figures are the check's.
        nec::NestedDeck deck = nec::writeNestedDeck(
            geometry, m_settings, frequencies,
            std::max(frequencies.back(), nec::bandSegmentedForMHz(m_specified, evaluation.band, m_settings)));
        evaluation.ports = std::move(deck.ports);
        round.decks.push_back(std::move(deck.text));
        round.frequencies += static_cast<int>(frequencies.size());
    }
    m_handedOut = last;
    return round;
}

void NestedTune::take(EngineOutputs outputs)
{
    if (const auto *failed = std::get_if<EngineFailure>(&outputs)) {
        m_failure = failed->message;
        m_ended = true;
        return;
    }
    const std::vector<std::string> &texts = std::get<std::vector<std::string>>(outputs);
    for (const std::string &text : texts) {
        const std::optional<Evaluated> result = evaluated(m_planned[m_done.size()], text);
        if (!result) {
            m_ended = true;
            return;
        }
        m_done.push_back(*result);
    }
    m_result_.designs += static_cast<int>(texts.size());
    if (m_done.size() < m_planned.size())
        return;
    std::vector<Evaluated> done = std::move(m_done);
    m_done.clear();
    m_planned.clear();
    m_handedOut = 0;
    advance(std::move(done));
}

std::optional<NestedTune::Evaluated> NestedTune::evaluated(const Evaluation &evaluation, const std::string &output)
{
    auto read = nec::parseNPortOutput(output, evaluation.ports);
    if (const auto *problem = std::get_if<nec::OutputProblem>(&read)) {
        m_failure = problem->message;
        return std::nullopt;
    }
    std::vector<check::SweepPoint> points;
    for (const nec::NPort &nport : std::get<std::vector<nec::NPort>>(read)) {
        const std::optional<check::SweepPoint> point =
            check::bandPointOf(m_specified, nport, evaluation.band, m_idle, m_settings.z0Ohms);
        if (!point) {
            m_failure = "The engine gave no pattern for " + m_specified.bands[evaluation.band].name;
            return std::nullopt;
        }
        points.push_back(*point);
    }
    const double designMHz = m_specified.bands[evaluation.band].designMHz;
    return Evaluated{tune::bandAimOf(points, designMHz), tune::bandFigures(points, designMHz)};
}

std::vector<double> NestedTune::factorsWith(std::size_t band, const tune::BandSearch::Point &point) const
{
    std::vector<double> factors = m_factors;
    factors[band * m_specified.elements + 1] = std::exp(point[0]);
    factors[band * m_specified.elements] = std::exp(point[1]);
    return factors;
}

void NestedTune::advance(std::vector<Evaluated> results)
{
    tune::BandSearch &search = m_searches[std::min(m_band, m_searches.size() - 1)];
    switch (m_phase) {
    case Phase::Before:
        for (std::size_t band = 0; band < results.size(); ++band)
            m_result_.bands.push_back({m_specified.bands[band], results[band].figures, results[band].figures});
        m_band = 0;
        m_moved = false;
        planVisit();
        return;
    case Phase::Probes: {
        std::vector<tune::BandAim> aims;
        for (const Evaluated &result : results)
            aims.push_back(result.aim);
        search.takeProbes(aims);
        m_steps = 0;
        break;
    }
    case Phase::Step:
        search.take(*m_stepTo, results.front().aim);
        m_factors = factorsWith(m_band, *m_stepTo);
        m_moved = true;
        ++m_steps;
        break;
    case Phase::After:
        for (std::size_t band = 0; band < results.size(); ++band) {
            BandTuning &tuning = m_result_.bands[band];
            tuning.after = results[band].figures;
            tuning.driverFactor = m_factors[band * m_specified.elements + 1];
            tuning.reflectorFactor = m_factors[band * m_specified.elements];
        }
        m_result_.tuned = design::withPerimeterFactors(m_specified, m_factors);
        m_result = std::move(m_result_);
        m_ended = true;
        return;
    }
    const std::optional<tune::BandSearch::Point> next = m_steps < kStepsPerVisit ? search.step() : std::nullopt;
    if (!next) {
        nextBand();
        return;
    }
    if (m_result_.designs + 1 + static_cast<int>(m_specified.bands.size()) > m_tune.designLimit &&
        m_tune.designLimit > 0) {
        planAfter(tune::TuneEnd::DesignLimit);
        return;
    }
    m_stepTo = next;
    m_phase = Phase::Step;
    m_planned.push_back({factorsWith(m_band, *next), m_band, {}});
}

void NestedTune::nextBand()
{
    if (++m_band < m_specified.bands.size()) {
        planVisit();
        return;
    }
    ++m_result_.rounds;
    if (!m_moved) {
        planAfter(tune::TuneEnd::Converged);
        return;
    }
    if (m_result_.rounds >= kMostRounds) {
        planAfter(tune::TuneEnd::DesignLimit);
        return;
    }
    m_band = 0;
    m_moved = false;
    planVisit();
}

void NestedTune::planVisit()
{
    const std::vector<tune::BandSearch::Point> probes = m_searches[m_band].probes();
    if (m_tune.designLimit > 0 && m_result_.designs + static_cast<int>(probes.size() + m_specified.bands.size()) >
                                      m_tune.designLimit) {
        planAfter(tune::TuneEnd::DesignLimit);
        return;
    }
    const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - m_started;
    if (taken.count() > m_tune.timeLimitSeconds) {
        planAfter(tune::TuneEnd::TimeLimit);
        return;
    }
    m_phase = Phase::Probes;
    for (const tune::BandSearch::Point &point : probes)
        m_planned.push_back({factorsWith(m_band, point), m_band, {}});
}

void NestedTune::planAfter(tune::TuneEnd end)
{
    m_result_.end = end;
    m_phase = Phase::After;
    for (std::size_t band = 0; band < m_specified.bands.size(); ++band)
        m_planned.push_back({m_factors, band, {}});
}

} // namespace tarvelin::study
