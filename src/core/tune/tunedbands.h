// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/checksettings.h"
#include "core/design/idleend.h"
#include "core/design/nested.h"
#include "core/tune/tuner.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarvelin::tune {

// A tuned quad of several bands as a file, so that the sheet cuts exactly the loops the tune left: the bands
// with their feeds, the layout, the idle drivers' ending, the model and the goals it was tuned for, every
// loop's factor at full precision (its length, station and mark beside it for a reader), and how it ended.
struct TunedBands
{
    std::vector<design::Band> bands;
    int elements = 2;
    design::NestedSettings nested;
    design::IdleEnd idle;
    design::CheckSettings check;
    TuneSettings tune;
    std::vector<double> factors; // band by band, the reflector first
    int rounds = 0;
    int designs = 0;
    TuneEnd end = TuneEnd::Converged;
};

// Whether a tuned design's file is of a quad of several bands, by the format it names.
[[nodiscard]] bool isTunedBandsText(std::string_view text);

// The file's text: one JSON object; `tuned` is the tuned quad, whose loops it lists.
[[nodiscard]] std::string tunedBandsText(const TunedBands &design, const design::NestedGeometry &tuned);

// Reads the file; a refusal names what is wrong with it.
[[nodiscard]] std::variant<TunedBands, std::string> readTunedBands(std::string_view text);

// The tuned quad the file describes, made as every nested quad is and scaled by its factors.
[[nodiscard]] std::variant<design::NestedGeometry, std::string> tunedBandsGeometry(const TunedBands &design);

} // namespace tarvelin::tune
