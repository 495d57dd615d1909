// SPDX-License-Identifier: MIT
#include "shop/shopsheet.h"

#include "calc/calculationpass.h"
#include "calc/memorygrid.h"
#include "runtime/runtimeerror.h"
#include "runtime/numbertext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tarvelin::shop {

namespace {

// The calculated grid for a frequency, or the pass's message: the same steps the window runs, straight into
// a grid of the sheet's own.
std::variant<MemoryGrid, ShopRefusal> calculated(const std::string &frequencyText)
{
    MemoryGrid grid(frequencyText);
    try {
        calculateInto(grid);
    } catch (const RuntimeError &) {
        return ShopRefusal{std::string(kRefusedFrequencyMessage)};
    }
    return grid;
}

HalfThousandths cellLength(const MemoryGrid &grid, ElementRow row, int column)
{
    // The pass writes three-decimal texts of positive lengths; nothing else can stand in these cells.
    return fromThousandths(thousandthsOf(grid.cell(row, column)).value_or(0));
}

// The shortest text that reads back as the same double; in plain decimals where that stays short.
std::string shortestText(double value)
{
    std::array<char, 400> buffer{};
    const bool plain = std::fabs(value) >= 1e-6 && std::fabs(value) < 1e15;
    const auto written = plain ? std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                               std::chars_format::fixed)
                               : std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), written.ptr);
}

// Whether every length of the grid is a positive length of whole thousandths that the sheet can work with;
// a frequency far out of range gives texts in another form, or lengths that round to nothing.
bool allLengthsShown(const MemoryGrid &grid)
{
    for (const ElementRow row : kElementRows)
        for (int c = 0; c < columnCount(row); ++c) {
            const std::optional<std::int64_t> thousandths = thousandthsOf(grid.cell(row, c));
            if (!thousandths || *thousandths <= 0)
                return false;
        }
    return true;
}

std::array<HalfThousandths, kElementRowCount> stationsOf(const MemoryGrid &grid)
{
    std::array<HalfThousandths, kElementRowCount> stations{};
    for (std::size_t i = 1; i < kElementRows.size(); ++i)
        stations[i] = stations[i - 1] + cellLength(grid, kElementRows[i], column::kSpacingInches);
    return stations;
}

} // namespace

std::string stepRefusal()
{
    return "The fraction step must be 8, 16, 32 or 64 (1/8 to 1/64 inch).";
}

std::string allowanceRefusal()
{
    return "The wire allowance must be a length of zero or more, such as 2.5 in or 60 mm.";
}

std::string measuredRefusal()
{
    return "The measured resonance must be a frequency in MHz within " +
           shortestText(kMeasuredTolerancePercent) + " % of the design frequency.";
}

std::string frequencyLabel(double mhz)
{
    std::array<char, 64> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), "%.3f", mhz);
    return std::string(buffer.data(), static_cast<std::size_t>(std::clamp(length, 0, 63)));
}

std::string frequencyRangeRefusal(double mhz)
{
    return shortestText(mhz) + " MHz is outside the frequencies Tarvelin works out a cut list and a model for: " +
           shortestText(kLowestDesignMHz) + " to " + shortestText(kHighestDesignMHz) + " MHz.";
}

std::variant<ShopSheet, ShopRefusal> makeShopSheet(const std::string &frequencyText, const ShopSettings &settings)
{
    if (!isFractionStep(settings.step))
        return ShopRefusal{stepRefusal()};
    if (settings.allowanceThousandths < 0)
        return ShopRefusal{allowanceRefusal()};
    if (settings.measuredMHz && !(*settings.measuredMHz > 0.0 && std::isfinite(*settings.measuredMHz)))
        return ShopRefusal{measuredRefusal()};

    auto design = calculated(frequencyText);
    if (auto *refusal = std::get_if<ShopRefusal>(&design))
        return *refusal;
    const MemoryGrid &grid = std::get<MemoryGrid>(design);
    const double frequency = ParseNumber(frequencyText);
    if (!(frequency >= kLowestDesignMHz && frequency <= kHighestDesignMHz) || !allLengthsShown(grid))
        return ShopRefusal{frequencyRangeRefusal(frequency)};
    if (settings.measuredMHz &&
        std::fabs(*settings.measuredMHz - frequency) > frequency * kMeasuredTolerancePercent / 100.0)
        return ShopRefusal{measuredRefusal()};

    HalfThousandths shortestHalf = 0;
    for (const ElementRow row : kElementRows) {
        const HalfThousandths half = cellLength(grid, row, column::kSpreaderHalfInches);
        shortestHalf = shortestHalf == 0 ? half : std::min(shortestHalf, half);
    }
    const HalfThousandths hub = fromThousandths(settings.hubOffsetThousandths);
    if (hub < 0 || hub >= shortestHalf)
        return ShopRefusal{"The hub offset must be zero or more and shorter than the shortest spreader half (" +
                           grid.cell(ElementRow::Director5, column::kSpreaderHalfInches) + " in)."};

    ShopSheet sheet;
    sheet.frequencyText = frequencyText;
    sheet.frequencyLabel = frequencyLabel(frequency);
    sheet.settings = settings;
    const HalfThousandths allowance = fromThousandths(settings.allowanceThousandths);
    const auto stations = stationsOf(grid);
    for (std::size_t i = 0; i < kElementRows.size(); ++i) {
        const ElementRow row = kElementRows[i];
        ElementCuts &cuts = sheet.elements[i];
        cuts.element = row;
        cuts.loop = cellLength(grid, row, column::kTotalLengthInches);
        cuts.cut = cuts.loop + allowance;
        cuts.side = cellLength(grid, row, column::kSideInches);
        // Half the allowance before the first corner, then half a side, then a side between corners.
        for (std::size_t k = 0; k < cuts.cornerMarks.size(); ++k)
            cuts.cornerMarks[k] = allowance / 2 + static_cast<HalfThousandths>(2 * k + 1) * cuts.side / 2;
        cuts.arm = cellLength(grid, row, column::kSpreaderHalfInches) - hub;
        cuts.spreader = cellLength(grid, row, column::kSpreaderTotalInches);
        cuts.station = stations[i];
        sheet.wireTotal += cuts.cut;
        sheet.armsByLength[cuts.arm] += kArmsPerElement;
    }
    sheet.boomLength = stations.back();
    sheet.windowBoomInches = grid.boom(BoomTotal::Inches);

    if (settings.measuredMHz) {
        // Built for F, the array resonates at M: the design that resonates at F is the one for F x F / M,
        // worked out at full precision and shown to three decimals.
        const double correctedMHz = frequency * frequency / *settings.measuredMHz;
        sheet.correctedFrequencyText = frequencyLabel(correctedMHz);
        auto corrected = calculated(shortestText(correctedMHz));
        if (std::holds_alternative<ShopRefusal>(corrected))
            return ShopRefusal{measuredRefusal()};
        const MemoryGrid &target = std::get<MemoryGrid>(corrected);
        const auto correctedStations = stationsOf(target);
        for (std::size_t i = 0; i < kElementRows.size(); ++i) {
            ElementCuts &cuts = sheet.elements[i];
            cuts.trim = cellLength(target, kElementRows[i], column::kTotalLengthInches) - cuts.loop;
            cuts.correctedStation = correctedStations[i];
        }
    }
    return sheet;
}

} // namespace tarvelin::shop
