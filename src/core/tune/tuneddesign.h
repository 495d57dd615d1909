// SPDX-License-Identifier: MIT
#pragma once

#include "core/tune/tuner.h"
#include "core/shop/shopsheet.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace tarvelin::tune {

// A tuned design as a file, so that the sheet cuts exactly the loops the tune showed: the settings it was
// tuned for, the loop factors at full precision (each loop's length with them), the stations, the figures
// before and after, and how the search ended.
struct TunedDesign
{
    std::string frequencyText;
    design::CheckSettings check;
    TuneSettings tune;
    TuneResult result;
};

// The file's text: one JSON object, its "format" naming it.
[[nodiscard]] std::string tunedDesignText(const TunedDesign &design, const design::DesignLengths &lengths);

// Reads a tuned design's file; a refusal names what is wrong with it.
[[nodiscard]] std::variant<TunedDesign, std::string> readTunedDesign(std::string_view text);

// What the settings given differ in from the settings the design was tuned for, as "made for 2.05 mm wire,
// not 1.0 mm"; none when they agree. The frequency is compared by value, each check setting only when given.
struct GivenSettings
{
    std::optional<std::string> frequencyText;
    std::optional<int> elements;
    std::optional<double> wireDiameterMm;
    std::optional<int> segments;
    std::optional<bool> lossless;
    std::optional<std::optional<double>> groundHeightMetres; // given: over ground at this height, or free space
    std::optional<double> z0Ohms;
    std::optional<double> insulationMm; // given: with its permittivity
    std::optional<double> permittivity;
    std::optional<double> bandPercent;
    std::optional<double> maxSwr;
    std::optional<double> minFrontToBackDb;
    std::optional<double> boomMetres;
    std::optional<design::Match> match;
};
[[nodiscard]] std::optional<std::string> tunedDesignDifference(const TunedDesign &design, const GivenSettings &given);

// The tuned design as the sheet cuts it: its loop factors, and its stations where the tune moved them, to the
// thousandth of an inch; with the match and the line it was tuned for, from the settings it was tuned with.
[[nodiscard]] shop::TunedCut tunedCutOf(const TuneResult &result, const design::CheckSettings &settings);

// What a tuned sheet says of the tune that gave it: the figures before and after, the goals and its end.
// With a jacket on the wire, the outcome says the figures are an estimate.
[[nodiscard]] shop::SheetTuning sheetTuningOf(const TuneResult &result, const TuneSettings &tune,
                                              const design::CheckSettings &check);

} // namespace tarvelin::tune
