// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/feed.h"
#include "core/design/feedrun.h"

#include <complex>

namespace tarvelin::design {

// The way from the loop to the feed line and to the analyser, as one value: the match at the feed point; the
// design frequency, which its quarter-wave section is cut for and a declared run's loss is given at; the line
// the SWR is read on; and what lay between the analyser and the feed point when a sweep was taken. Every impedance the
// program reads or shows goes along it: the model's and a sweep's SWR, the 2:1 band, the tune's SWR goal, the feed
// advice and the model's sweep as an analyser would read it.
struct FeedPath
{
    Match match{};
    double designMHz = 0.0;
    double z0Ohms = 50.0;
    design::MeasuredThrough through{};

    // What the feed line sees of the loop's impedance at `mhz`: the loop's own through the match.
    [[nodiscard]] std::complex<double> onLine(std::complex<double> loopOhms, double mhz) const;
    // The SWR on the line of the loop's impedance at `mhz`, through the match.
    [[nodiscard]] double swr(std::complex<double> loopOhms, double mhz) const;
    // The loop's impedance behind what an analyser read at `mhz`: the declared run taken out, then the match
    // where it was in the path. A sweep declared as taken at the feed point is the loop's own.
    [[nodiscard]] std::complex<double> atLoop(std::complex<double> analyserOhms, double mhz) const;
    // The loop's impedance behind what the engine gives at a quarter-wave section's far end, where the model
    // feeds the section; the engine's own for the other matches, which it does not model.
    [[nodiscard]] std::complex<double> behindModelledSection(std::complex<double> engineOhms, double mhz) const;
};

} // namespace tarvelin::design
