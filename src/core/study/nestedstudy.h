// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/idlewindows.h"
#include "core/check/nestedcheck.h"
#include "core/study/study.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvelin::study {

// The check of a quad of several bands as engine rounds of no more decks than engines: every band's sweep,
// each driver excited in turn, in a structure segmented for that band, its frequencies shared over the engines
// so that what each gives is the same however many run, and each band's own monoband design beside them. Then each band's check from the N-port, the idle
// drivers ended as declared, what nesting did to it, and with idle lines the lengths of them that harm a band.
class NestedStudy final : public EngineRounds
{
public:
    NestedStudy(design::NestedGeometry geometry, design::CheckSettings settings, design::IdleEnd idle, int processes);

    [[nodiscard]] std::optional<EngineRound> nextRound() override;
    void take(EngineOutputs outputs) override;
    [[nodiscard]] bool ended() const override { return m_ended; }

    [[nodiscard]] const design::NestedGeometry &geometry() const { return m_geometry; }
    [[nodiscard]] const design::CheckSettings &settings() const { return m_settings; }
    [[nodiscard]] const design::IdleEnd &idle() const { return m_idle; }
    // The frequencies of the round last handed out, for a progress bar.
    [[nodiscard]] int lastRoundFrequencies() const { return m_lastRoundFrequencies; }
    // Each band's check, lowest first, once the round is done.
    [[nodiscard]] const std::optional<std::vector<check::BandCheck>> &bands() const { return m_bands; }
    // With the idle drivers ended through lines: the lengths of that line that harm a band.
    [[nodiscard]] const std::vector<check::IdleLineWindow> &idleLineWindows() const { return m_windows; }
    // Why it gave none.
    [[nodiscard]] const std::optional<std::string> &failure() const { return m_failure; }

private:
    void plan();
    [[nodiscard]] bool readOutputs();
    [[nodiscard]] bool planWider();
    void finish();

    // A deck of the check, and where its drivers are fed.
    struct PlannedDeck
    {
        std::string text;
        std::vector<nec::DeckPort> ports;
        int frequencies = 0;
        std::size_t band = 0;
        bool monoband = false; // a band's own design alone
    };

    // A band's own monoband design, as its deck models it.
    struct Monoband
    {
        design::NestedGeometry geometry;
        std::vector<nec::DeckPort> ports;
    };

    design::NestedGeometry m_geometry;
    design::CheckSettings m_settings;
    design::IdleEnd m_idle;
    int m_processes = 1;
    std::vector<PlannedDeck> m_planned; // the bands' decks in band and frequency order, then the monobands'
    std::size_t m_handedOut = 0;
    int m_lastRoundFrequencies = 0;
    std::vector<std::string> m_outputs;
    std::vector<Monoband> m_monobands; // each band's, with several bands
    std::vector<std::vector<nec::NPort>> m_bandPorts; // each band's, every round's, lowest first
    std::vector<std::vector<nec::NPort>> m_monoPorts; // each band's own design alone
    std::vector<nec::NPort> m_firstRound;             // every band's sweep as asked, band after band
    bool m_widened = false;
    std::optional<std::vector<check::BandCheck>> m_bands;
    std::vector<check::IdleLineWindow> m_windows;
    std::optional<std::string> m_failure;
    bool m_started = false;
    bool m_ended = false;
};

} // namespace tarvelin::study
