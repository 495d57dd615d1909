// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/nestedcheck.h"
#include "core/measure/measured.h"
#include "core/touchstone/touchstone.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarvelin::measure {

// A builder often sweeps every band of a quad of several bands at once, 13 to 30 MHz, at each band's feed or
// through the switch. Each sweep is read band by band: its frequencies within the band's own window (the span
// its check swept), on the band's line through the band's match, compared with that band's model. Sweeps in
// turn, oldest first, give each band its sweeps in turn, trimmed as the sheet trims them, each cut taken as
// the trim advised.
struct BandSweeps
{
    std::vector<MeasuredSweep> sweeps; // oldest first; none where no sweep reaches the band
    // Why the band's latest sweep shows no dip to trim by, or holds none of the band's frequencies.
    std::optional<std::string> warning;
};

[[nodiscard]] std::vector<BandSweeps> bandSweepsOf(std::span<const SweepFile> files,
                                                   std::span<const check::BandCheck> bands, double z0Ohms,
                                                   const design::MeasuredThrough &through);

} // namespace tarvelin::measure
