// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/feed.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace tarvelin::shop {

// Sweeps in turn: the loops were trimmed once already, by the sweep before this one, and are now as cut for
// `cutForMHz`; that sweep read `measuredMHz`.
struct EarlierTrim
{
    double cutForMHz = 0.0;
    double measuredMHz = 0.0;
    bool operator==(const EarlierTrim &) const = default;
};

// What the builder sets: the tape's fraction step, the extra wire for the join of each loop, how much of each
// spreader arm the hub takes, and, once the array is up, the frequency it was measured to resonate at.
struct ShopSettings
{
    int step = 16;
    std::int64_t allowanceThousandths = 0;
    std::int64_t hubOffsetThousandths = 0;
    std::optional<double> measuredMHz;
    bool predicted = false;     // the resonance is the antenna check's prediction, not a measurement
    std::string sweepFile{};    // the analyser's sweep whose lowest SWR gave the measured resonance, if any
    std::string sweepThrough{}; // what that sweep was read through to reach the feed point, if anything
    std::string modelNote{};    // with a predicted resonance: what the model behind it can get wrong, if anything
    int elements = 7;           // the array's: the reflector, the driven element and the first directors
    Match match{};              // how the driven loop meets the feed line; a quarter-wave section is cut too
    std::optional<EarlierTrim> earlierTrim{}; // a later sweep's: the loops are trimmed from their last trim
};

// The limits of the settings that do not depend on the design; the hub offset is also held below the
// shortest spreader half, and the measured resonance to 10 % of the design frequency, once the sheet is made.
namespace limits {
inline constexpr std::int64_t kLongestAllowanceThousandths = 1'000'000; // 1000 in
inline constexpr double kMeasuredTolerancePercent = 10.0;
} // namespace limits

// The fraction steps a tape measure offers: 1/8, 1/16, 1/32 or 1/64 inch.
inline constexpr std::array<int, 4> kFractionSteps{8, 16, 32, 64};

[[nodiscard]] constexpr bool isFractionStep(int step)
{
    return std::find(kFractionSteps.begin(), kFractionSteps.end(), step) != kFractionSteps.end();
}

// The settings as typed: in the window's fields, or on the command line. An empty text is the default.
struct ShopSettingTexts
{
    std::string step;
    std::string allowance;
    std::string hubOffset;
    std::string measured;
};

enum class ShopSetting
{
    Step,
    Allowance,
    HubOffset,
    Measured,
};

// Why a sheet cannot be made: the setting at fault, if it is one, and a sentence for the user.
struct ShopRefusal
{
    std::string message;
    std::optional<ShopSetting> setting;
};

[[nodiscard]] std::variant<ShopSettings, ShopRefusal> readShopSettings(const ShopSettingTexts &texts);

// The resonance the antenna check predicts, at full precision, to trim the sheet by in place of a measured
// one. A prediction further than kMeasuredTolerancePercent from the design frequency, or none, is refused.
[[nodiscard]] std::variant<double, ShopRefusal> predictedResonance(std::optional<double> resonanceMHz,
                                                                   double designMHz);

// The refusals, as the window and tarvelin-calc word them.
[[nodiscard]] std::string stepRefusal();
[[nodiscard]] std::string allowanceRefusal();
[[nodiscard]] std::string hubOffsetRefusal();
[[nodiscard]] std::string measuredRefusal();
// A sweep's lowest SWR, at `foundMHz`, further than kMeasuredTolerancePercent from the design frequency.
[[nodiscard]] std::string sweepOfAnotherDesign(const std::string &file, double foundMHz, double designMHz);

} // namespace tarvelin::shop
