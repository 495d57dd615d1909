// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tarvelin::design {

// One matched-loss figure as a maker's sheet prints it.
struct CoaxPoint
{
    double mhz = 0.0;
    double lossDbPer100ft = 0.0;
};

// A coaxial cable as its maker publishes it: the name a builder types, its nominal impedance and velocity
// factor, and its matched loss at every frequency the sheet prints. The velocity factor is nominal: copies of
// one sheet disagree by a few per cent and every batch differs, so a section cut from it can be off, and a
// builder measures the real one by sweeping a cut piece of it.
struct CoaxCable
{
    std::string_view name;
    double z0Ohms = 0.0;
    double velocityFactor = 0.0;
    std::string_view makerPart;
    std::span<const CoaxPoint> points;
};

// Every cable in the table, in the table's order.
[[nodiscard]] std::span<const CoaxCable> coaxCables();

// The cable a builder names, in any case and with or without a trailing "/U" ("rg-58/u" is RG-58); none for a
// name not in the table.
[[nodiscard]] const CoaxCable *findCoaxCable(std::string_view name);

// "RG-213, RG-8X, ... or RG-62", for a message that lists them.
[[nodiscard]] std::string coaxNamesText();

// A cable's matched loss as k1·√f + k2·f in dB per 100 m, f in MHz: conductor loss grows as the square root of
// frequency, the dielectric's as frequency. Both are fitted to the printed points, each point's error weighed
// against its own size so the low frequencies a quad works on count as much as the high ones, and neither
// below zero.
struct CoaxLossFit
{
    double k1 = 0.0;
    double k2 = 0.0;
};
[[nodiscard]] CoaxLossFit coaxLossFit(const CoaxCable &cable);

// The cable's matched loss at `mhz` in dB per 100 m: the sheet's own figure at a frequency it prints, the fit
// between and beyond them.
[[nodiscard]] double coaxLossDbPer100m(const CoaxCable &cable, double mhz);

} // namespace tarvelin::design
