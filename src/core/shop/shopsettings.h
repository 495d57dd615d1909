// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/feed.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tarvelin::shop {

// One of the sweeps in turn of the loops, oldest first, as a sheet takes it: its file, its resonance to 100 Hz
// and, for each after the first, what the builder cut from the driven loop since the sweep before, in inches,
// shortened positive; none where the builder did not say.
struct SweepTurn
{
    std::string file;
    double resonanceMHz = 0.0;
    std::optional<double> cutInches;
    bool operator==(const SweepTurn &) const = default;
};

// Sweeps in turn of one design's loops as a sheet takes them: the latest's file and what it was read through
// to reach the feed point (in words; empty for none), and every sweep, oldest first, the latest last.
struct SheetSweeps
{
    std::string file;
    std::string through;
    std::vector<SweepTurn> inTurn;
    bool operator==(const SheetSweeps &) const = default;
};

// Sweeps in turn: the loops were cut already since the sweep before this one, which read `measuredMHz`, and
// are now as the design for `cutForMHz` has them. That cut should have moved the resonance to `expectedMHz`.
struct EarlierTrim
{
    enum class Cut
    {
        Given,   // as the builder said
        Advised, // not said: the trim the sheet advised, taken as cut
        None,    // not said, and the sweep did not move: taken as swept again without a cut
    };
    double cutForMHz = 0.0;
    double measuredMHz = 0.0;
    double expectedMHz = 0.0;
    double cutInches = 0.0; // from the driven loop, shortened positive
    Cut how = Cut::Given;
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
    design::Match match{};      // how the driven loop meets the feed line; a quarter-wave section is cut too
    // Sweeps in turn of these loops, oldest first, the latest the measured resonance's: the loops are trimmed
    // from what the cuts between them left. The sheet works out the earlier trim from them.
    std::vector<SweepTurn> inTurn{};
    std::optional<EarlierTrim> earlierTrim{}; // as the sheet worked it out
};

// A sheet's settings, whose measured resonance is the one the latest of `sweeps` gave, as if typed: they
// name that sweep and what it was read through, and where it is the latest of sweeps in turn the loops are
// trimmed from what the cuts between them left. The windows and tarvelin-calc take sweeps by this one rule.
void trimBySweeps(ShopSettings &settings, const SheetSweeps &sweeps);

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

// What the builder cut from the driven loop between two sweeps, as typed: a length in the sheet's notation or
// in any unit (3-1/4, 82 mm), shortened positive and a wire added negative, in inches; "advised" or nothing for
// the trim the sheet advised. A refusal says what is wanted.
[[nodiscard]] std::variant<std::optional<double>, std::string> readCut(const std::string &text);

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
