// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/checksummary.h"
#include "core/design/idleend.h"
#include "core/design/nested.h"
#include "core/nec/nport.h"

#include <span>
#include <string>
#include <variant>
#include <vector>

namespace tarvelin::check {

// One band of a quad of several bands, checked as it is used: its driver fed, every other band's driver ended
// as the switch box ends it, all the loops present.
struct BandCheck
{
    design::Band band;
    CheckSummary summary;
    // The band's own monoband design over the same sweep: what nesting moved it from.
    std::optional<CheckSummary> monoband;
};

// How far nesting moved the band from its monoband design, in per cent of the design frequency: its resonance,
// where both resonate within the sweep, else its lowest SWR where both dips lie inside it. None without the
// monoband design's check, or where the sweep holds neither.
struct NestingShift
{
    double fromMHz = 0.0;
    double toMHz = 0.0;
    bool resonance = true; // false: the lowest SWR's frequency
    [[nodiscard]] double percentOf(double designMHz) const { return (toMHz - fromMHz) / designMHz * 100.0; }
};
[[nodiscard]] std::optional<NestingShift> nestingShift(const BandCheck &band);

// How every band's driver is ended at `mhz` when the switch box ends the idle ones as `idle` says, lowest band
// first, for nec::fedWith(), which ignores the fed band's own.
[[nodiscard]] std::vector<nec::PortEnd> portEnds(const design::NestedGeometry &geometry, const design::IdleEnd &idle,
                                                 double mhz);

// One frequency of band `fed` with the idle drivers ended: its feed impedance, SWR through the band's match,
// gain and F/B; none where the N-port holds no pattern.
[[nodiscard]] std::optional<SweepPoint> bandPointOf(const design::NestedGeometry &geometry, const nec::NPort &nport,
                                                    std::size_t fed, const design::IdleEnd &idle, double z0Ohms);

// Band `b`'s check from its N-port at each of its frequencies, lowest first; those outside `sweptFromMHz` to
// `sweptToMHz` are marked as the wider round's.
[[nodiscard]] std::variant<BandCheck, std::string> checkBand(const design::NestedGeometry &geometry, std::size_t b,
                                                             std::span<const nec::NPort> nports,
                                                             const design::IdleEnd &idle,
                                                             const design::CheckSettings &settings,
                                                             double sweptFromMHz, double sweptToMHz);

// Each band's check from the drivers' N-port over every band's sweep, band after band as the check's deck
// runs them: each frequency's feed impedance and its gain forward and back with the idle drivers ended, read
// as a monoband check reads its sweep. A count of frequencies that is not each band's sweep is refused.
[[nodiscard]] std::variant<std::vector<BandCheck>, std::string> checkBands(const design::NestedGeometry &geometry,
                                                                           std::span<const nec::NPort> nports,
                                                                           const design::IdleEnd &idle,
                                                                           const design::CheckSettings &settings);

} // namespace tarvelin::check
