// SPDX-License-Identifier: MIT
#include "core/shop/shopsettings.h"

#include "core/design/designlengths.h"
#include "core/format/fieldtext.h"
#include "core/format/typedlength.h"

#include "core/text/typedtext.h"
#include "core/shop/lengthtext.h"

#include <cmath>

namespace tarvelin::shop {

std::string stepRefusal()
{
    return "The fraction step must be 8, 16, 32 or 64 (1/8 to 1/64 inch).";
}

std::string allowanceRefusal()
{
    return "The wire allowance must be a length from 0 to 1000 in, such as 2.5 in, 2-1/2\" or 60 mm.";
}

std::string hubOffsetRefusal()
{
    return "The hub offset must be a length of 0 or more, such as 1 in or 25 mm, and shorter than the shortest "
           "spreader half.";
}

std::string measuredRefusal()
{
    return "The measured resonance must be a frequency in MHz within 10 % of the design frequency.";
}

std::string sweepOfAnotherDesign(const std::string &file, double foundMHz, double designMHz)
{
    return "The resonance of " + file + ", at " + design::frequencyLabel(foundMHz) + " MHz, lies more than " +
           format::fixedText(limits::kMeasuredTolerancePercent, 0) + " % from the design frequency, " +
           design::frequencyLabel(designMHz) + " MHz: the sweep is not of this design, so it gives no trim.";
}

std::variant<std::optional<double>, std::string> readCut(const std::string &text)
{
    const std::string_view typed = trimmedText(text);
    if (typed.empty() || typed == "advised")
        return std::optional<double>();
    const std::optional<std::int64_t> thousandths = format::typedLengthThousandths(typed);
    // No trim of a loop comes near 1000 inches.
    if (!thousandths || std::llabs(*thousandths) >= 1'000'000)
        return std::string("What was cut from the driven loop must be a length, such as 3-1/4 (inches) or 82 mm, "
                           "a wire added as a negative one, or advised for the trim the sheet advised.");
    return std::optional(static_cast<double>(*thousandths) / 1000.0);
}

void trimBySweeps(ShopSettings &settings, const SheetSweeps &sweeps)
{
    if (!settings.measuredMHz || sweeps.file.empty())
        return;
    settings.sweepFile = sweeps.file;
    settings.sweepThrough = sweeps.through;
    if (sweeps.inTurn.size() > 1 && *settings.measuredMHz == sweeps.inTurn.back().resonanceMHz)
        settings.inTurn = sweeps.inTurn;
}

std::variant<double, ShopRefusal> predictedResonance(std::optional<double> resonanceMHz, double designMHz)
{
    if (!resonanceMHz)
        return ShopRefusal{"The model does not resonate within its sweep, so it gives no trim: check the design "
                           "with a wider span.",
                           ShopSetting::Measured};
    if (std::fabs(*resonanceMHz - designMHz) > designMHz * limits::kMeasuredTolerancePercent / 100.0)
        return ShopRefusal{"The model resonates at " + design::frequencyLabel(*resonanceMHz) + " MHz, more than " +
                               format::fixedText(limits::kMeasuredTolerancePercent, 0) +
                               " % from the design frequency, so it gives no trim.",
                           ShopSetting::Measured};
    return *resonanceMHz;
}

std::variant<ShopSettings, ShopRefusal> readShopSettings(const ShopSettingTexts &texts)
{
    ShopSettings settings;
    if (!trimmedText(texts.step).empty()) {
        const std::optional<int> step = wholeText(texts.step);
        if (!step || !isFractionStep(*step))
            return ShopRefusal{stepRefusal(), ShopSetting::Step};
        settings.step = *step;
    }
    // An empty length is none: zero.
    const auto length = [](const std::string &text) -> std::optional<std::int64_t> {
        return trimmedText(text).empty() ? std::optional<std::int64_t>(0) : format::typedLengthThousandths(text);
    };
    const std::optional<std::int64_t> allowance = length(texts.allowance);
    if (!allowance || *allowance < 0 || *allowance > limits::kLongestAllowanceThousandths)
        return ShopRefusal{allowanceRefusal(), ShopSetting::Allowance};
    settings.allowanceThousandths = *allowance;
    const std::optional<std::int64_t> hub = length(texts.hubOffset);
    if (!hub || *hub < 0)
        return ShopRefusal{hubOffsetRefusal(), ShopSetting::HubOffset};
    settings.hubOffsetThousandths = *hub;
    if (!trimmedText(texts.measured).empty()) {
        // Read at full precision, as the design frequency is: a measurement equal to it trims nothing.
        const std::optional<double> measured = megahertzText(texts.measured);
        if (!measured || !(*measured > 0.0))
            return ShopRefusal{measuredRefusal(), ShopSetting::Measured};
        settings.measuredMHz = *measured;
    }
    return settings;
}

} // namespace tarvelin::shop
