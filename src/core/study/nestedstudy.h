// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/idlewindows.h"
#include "core/check/nestedcheck.h"
#include "core/study/study.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvelin::study {

// The check of a quad of several bands as one engine round: every band's sweep, each driver excited in turn,
// its frequencies shared over the engines in runs of the same structure, so what each gives is the same
// however many run, and each band's own monoband design beside them. Then each band's check from the N-port, the idle
// drivers ended as declared, what nesting did to it, and with idle lines the lengths of them that harm a band.
class NestedStudy final : public EngineRounds
{
public:
    NestedStudy(design::NestedGeometry geometry, design::CheckSettings settings, design::IdleEnd idle, int processes);

    [[nodiscard]] std::optional<EngineRound> nextRound() override;
    void take(EngineOutputs outputs) override;
    [[nodiscard]] bool ended() const override { return m_ended; }

    [[nodiscard]] const design::NestedGeometry &geometry() const { return m_geometry; }
    // Each band's check, lowest first, once the round is done.
    [[nodiscard]] const std::optional<std::vector<check::BandCheck>> &bands() const { return m_bands; }
    // With the idle drivers ended through lines: the lengths of that line that harm a band.
    [[nodiscard]] const std::vector<check::IdleLineWindow> &idleLineWindows() const { return m_windows; }
    // Why it gave none.
    [[nodiscard]] const std::optional<std::string> &failure() const { return m_failure; }

private:
    [[nodiscard]] std::optional<check::CheckSummary> monobandCheck(std::size_t band, const std::string &output) const;

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
    std::vector<nec::DeckPort> m_ports;
    std::vector<Monoband> m_monobands; // each band's, with several bands
    std::optional<std::vector<check::BandCheck>> m_bands;
    std::vector<check::IdleLineWindow> m_windows;
    std::optional<std::string> m_failure;
    bool m_started = false;
    bool m_ended = false;
};

} // namespace tarvelin::study
