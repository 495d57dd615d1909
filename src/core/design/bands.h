// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/feed.h"

#include <array>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarvelin::design {

// An amateur band a quad of several bands may serve, 40 m to 6 m: its name, its edges, and the design
// frequency its name stands for, near the middle of what a quad on it is used for.
struct AmateurBand
{
    std::string_view name; // "20m"
    double lowestMHz;
    double highestMHz;
    std::string_view designText; // "14.175"
};

inline constexpr std::array<AmateurBand, 8> kAmateurBands{{
    {"40m", 7.0, 7.3, "7.15"},
    {"30m", 10.1, 10.15, "10.125"},
    {"20m", 14.0, 14.35, "14.175"},
    {"17m", 18.068, 18.168, "18.118"},
    {"15m", 21.0, 21.45, "21.225"},
    {"12m", 24.89, 24.99, "24.94"},
    {"10m", 28.0, 29.7, "28.5"},
    {"6m", 50.0, 54.0, "50.5"},
}};

// A quad nests loops for one to five bands on one set of spreaders; one band is the monoband design.
inline constexpr std::size_t kMostBands = 5;

// One band of a design: the amateur band's name, and its design frequency as typed and as read.
struct Band
{
    std::string name;          // "20m"
    std::string frequencyText; // "14.175", the name's own where the band was named
    double designMHz = 0.0;
    Match match{}; // how the band's driver meets its feed line
};

// Reads a list of bands, comma-separated, each a band's name ("20m", in any case, "20 m" too) or a design
// frequency in MHz inside one of the bands ("14.2"): lowest first, each band once. A refusal names the
// entry and what is wrong with it.
[[nodiscard]] std::variant<std::vector<Band>, std::string> readBands(std::string_view text);

// The names of the bands, as a refusal lists them: "40m, 30m, 20m, 17m, 15m, 12m, 10m or 6m".
[[nodiscard]] std::string amateurBandNames();

} // namespace tarvelin::design
