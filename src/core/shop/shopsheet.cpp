// SPDX-License-Identifier: MIT
#include "core/shop/shopsheet.h"

#include "core/design/designlengths.h"
#include "core/design/arraydesign.h"
#include "core/design/cut.h"
#include "core/format/fieldtext.h"

#include <algorithm>
#include <cmath>

namespace tarvelin::shop {

std::array<HalfThousandths, 4> cornerMarksOf(HalfThousandths side, HalfThousandths allowance)
{
    std::array<HalfThousandths, 4> marks{};
    for (std::size_t k = 0; k < marks.size(); ++k)
        marks[k] = allowance / 2 + static_cast<HalfThousandths>(2 * k + 1) * side / 2;
    return marks;
}

namespace {

std::optional<ShopRefusal> settingsRefusal(const ShopSettings &settings)
{
    if (!isFractionStep(settings.step))
        return ShopRefusal{stepRefusal(), ShopSetting::Step};
    if (settings.allowanceThousandths < 0 || settings.allowanceThousandths > limits::kLongestAllowanceThousandths)
        return ShopRefusal{allowanceRefusal(), ShopSetting::Allowance};
    if (settings.measuredMHz && !(*settings.measuredMHz > 0.0 && std::isfinite(*settings.measuredMHz)))
        return ShopRefusal{measuredRefusal(), ShopSetting::Measured};
    return std::nullopt;
}

std::variant<ShopSheet, ShopRefusal> makeSheet(const design::Design &specified, const ShopSettings &settings,
                                               const TunedCut *tuned);

// The specified design for the frequency text, of as many elements as a tune has loops, once the settings are
// known to be sound.
std::variant<ShopSheet, ShopRefusal> sheetFor(const std::string &frequencyText, const ShopSettings &settings,
                                              const TunedCut *tuned)
{
    if (std::optional<ShopRefusal> refusal = settingsRefusal(settings))
        return *std::move(refusal);
    const int elements = tuned ? static_cast<int>(tuned->loopFactors.size()) : settings.elements;
    auto made = design::specifiedDesign(frequencyText, elements);
    if (auto *refusal = std::get_if<design::DesignRefusal>(&made))
        return ShopRefusal{std::move(refusal->message), std::nullopt};
    return makeSheet(std::get<design::Design>(made), settings, tuned);
}

} // namespace

std::variant<ShopSheet, ShopRefusal> makeShopSheet(const std::string &frequencyText, const ShopSettings &settings)
{
    return sheetFor(frequencyText, settings, nullptr);
}

std::variant<ShopSheet, ShopRefusal> makeTunedShopSheet(const std::string &frequencyText, const ShopSettings &settings,
                                                        const TunedCut &tuned)
{
    return sheetFor(frequencyText, settings, &tuned);
}

namespace {

// Loops cut already since an earlier sweep are as the design for the frequency of that trim: each a factor
// F / C of the loop it was cut as, on top of a tune's own factor. None for a single sweep or none at all.
std::variant<std::optional<EarlierTrim>, ShopRefusal>
earlierTrimFor(const design::DesignLengths &design, const ShopSettings &settings, const TunedCut *tuned)
{
    if (!settings.measuredMHz || settings.inTurn.size() < 2)
        return std::optional<EarlierTrim>();
    const double drivenInches =
        design::cutOf(design, tuned ? std::span<const double>(tuned->loopFactors) : std::span<const double>())
            .elements[1]
            .loopInches;
    return earlierTrimOf(design.frequencyMHz, drivenInches, settings.inTurn);
}

// Built for F, the array resonates at M: the design that resonates at F is the one for F x F / M, worked out
// at full precision. A tuned design, or loops trimmed before, is trimmed from its own loops: the same factors
// on that design. Each loop gets the trim to it; false where there is no design for F x F / M.
bool addTrims(ShopSheet &sheet, double frequency, double measuredMHz, std::span<const double> loopFactors,
              HalfThousandths hub)
{
    const double correctedMHz = frequency * frequency / measuredMHz;
    auto corrected =
        design::specifiedDesign(design::shortestText(correctedMHz), static_cast<int>(sheet.elements.size()));
    if (!std::holds_alternative<design::Design>(corrected))
        return false;
    const HalfThousandths allowance = fromThousandths(sheet.settings.allowanceThousandths);
    const design::Cut target = design::cutOf(std::get<design::Design>(corrected).lengths, loopFactors);
    for (std::size_t i = 0; i < sheet.elements.size(); ++i) {
        const design::CutElement &element = target.elements[i];
        ElementCuts &cuts = sheet.elements[i];
        Trim trim;
        trim.change = fromThousandths(element.loopThousandths) - cuts.loop;
        trim.side = fromThousandths(element.sideThousandths);
        trim.cornerMarks = cornerMarksOf(trim.side, allowance);
        trim.arm = fromThousandths(element.spreaderHalfThousandths) - hub;
        cuts.trim = trim;
    }
    return true;
}

// The sheet of a design, from its lengths exactly as the window shows them, its settings known to be sound.
std::variant<ShopSheet, ShopRefusal> makeSheet(const design::Design &specified, const ShopSettings &settings,
                                               const TunedCut *tuned)
{
    const int elements = static_cast<int>(specified.elementCount());
    const design::DesignLengths &design = specified.lengths;
    auto worked = earlierTrimFor(design, settings, tuned);
    if (const auto *refusal = std::get_if<ShopRefusal>(&worked))
        return *refusal;
    const std::optional<EarlierTrim> earlier = std::get<std::optional<EarlierTrim>>(worked);
    std::optional<std::vector<double>> trimmedFactors;
    if (earlier) {
        trimmedFactors = tuned ? tuned->loopFactors : std::vector<double>(static_cast<std::size_t>(elements), 1.0);
        for (double &factor : *trimmedFactors)
            factor *= design.frequencyMHz / earlier->cutForMHz;
    }
    const std::span<const double> loopFactors = trimmedFactors ? std::span<const double>(*trimmedFactors)
                                                : tuned        ? std::span<const double>(tuned->loopFactors)
                                                               : std::span<const double>();
    const design::Cut cut = design::cutOf(design, loopFactors,
                                          tuned ? std::span<const std::int64_t>(tuned->stationThousandths)
                                                : std::span<const std::int64_t>());
    const double frequency = design.frequencyMHz;
    if (settings.measuredMHz &&
        std::fabs(*settings.measuredMHz - frequency) > frequency * limits::kMeasuredTolerancePercent / 100.0)
        return ShopRefusal{settings.sweepFile.empty()
                               ? measuredRefusal()
                               : sweepOfAnotherDesign(settings.sweepFile, *settings.measuredMHz, frequency),
                           ShopSetting::Measured};

    const auto shortest = std::min_element(cut.elements.begin(), cut.elements.end(), [](const auto &a, const auto &b) {
        return a.spreaderHalfThousandths < b.spreaderHalfThousandths;
    });
    const HalfThousandths shortestHalf = fromThousandths(shortest->spreaderHalfThousandths);
    const HalfThousandths hub = fromThousandths(settings.hubOffsetThousandths);
    if (hub < 0 || hub >= shortestHalf)
        return ShopRefusal{"The hub offset must be a length of 0 or more and shorter than the shortest spreader "
                           "half (" +
                               design.grid.cell(shortest->element, calc::column::kSpreaderHalfInches) + " in).",
                           ShopSetting::HubOffset};

    ShopSheet sheet;
    sheet.frequencyText = specified.frequencyText();
    sheet.frequencyLabel = design.frequencyLabel;
    sheet.settings = settings;
    // Tuned loops are cut with the match they were tuned through: their goals hold for no other.
    if (tuned)
        sheet.settings.match = tuned->match;
    sheet.settings.elements = elements;
    sheet.settings.earlierTrim = earlier;
    if (tuned)
        sheet.loopFactors = tuned->loopFactors;
    sheet.stationsTuned = cut.stationsTuned;
    const HalfThousandths allowance = fromThousandths(settings.allowanceThousandths);
    sheet.elements.resize(cut.elements.size());
    for (std::size_t i = 0; i < sheet.elements.size(); ++i) {
        const design::CutElement &element = cut.elements[i];
        ElementCuts &cuts = sheet.elements[i];
        cuts.element = element.element;
        cuts.loop = fromThousandths(element.loopThousandths);
        cuts.cut = cuts.loop + allowance;
        cuts.side = fromThousandths(element.sideThousandths);
        cuts.cornerMarks = cornerMarksOf(cuts.side, allowance);
        cuts.arm = fromThousandths(element.spreaderHalfThousandths) - hub;
        cuts.spreader = fromThousandths(element.spreaderThousandths);
        cuts.station = fromThousandths(element.stationThousandths);
        sheet.wireTotal += cuts.cut;
        sheet.armsByLength[cuts.arm] += kArmsPerElement;
    }
    sheet.boomLength = sheet.elements.back().station;
    if (design.elementCount() == calc::kElementRowCount)
        sheet.windowBoomInches = design.grid.boom(calc::BoomTotal::Inches);
    if (sheet.settings.match.kind == design::MatchKind::QuarterWave)
        sheet.section = fromThousandths(std::llround(design::sectionMetres(sheet.settings.match, design.frequencyMHz) /
                                                     design::kMetresPerInch * 1000.0));

    if (settings.measuredMHz) {
        // Loops trimmed before end up as cut for that trim's frequency times F / M.
        sheet.correctedFrequencyText =
            design::frequencyLabel(earlier ? earlier->cutForMHz * frequency / *settings.measuredMHz
                                           : frequency * frequency / *settings.measuredMHz);
        if (!addTrims(sheet, frequency, *settings.measuredMHz, loopFactors, hub))
            return ShopRefusal{measuredRefusal(), ShopSetting::Measured};
    }
    if (settings.measuredMHz && earlier) {
        // What was cut since the sweep before should have moved its resonance to the expected one.
        const double aimed = earlier->expectedMHz - earlier->measuredMHz;
        if (std::fabs(aimed) > frequency * 1e-9)
            sheet.lastTrimShowedPercent = (*settings.measuredMHz - earlier->measuredMHz) / aimed * 100.0;
    }
    return sheet;
}

} // namespace

std::variant<std::optional<EarlierTrim>, ShopRefusal> earlierTrimOf(double designMHz, double drivenInches,
                                                                    std::span<const SweepTurn> inTurn)
{
    for (const SweepTurn &turn : inTurn)
        if (!(std::fabs(turn.resonanceMHz - designMHz) <= designMHz * limits::kMeasuredTolerancePercent / 100.0))
            return ShopRefusal{sweepOfAnotherDesign(turn.file, turn.resonanceMHz, designMHz), ShopSetting::Measured};
    if (inTurn.size() < 2)
        return std::optional<EarlierTrim>();
    double scale = 1.0; // of every loop against the design's
    EarlierTrim earlier;
    for (std::size_t i = 1; i < inTurn.size(); ++i) {
        const SweepTurn &before = inTurn[i - 1];
        const double loop = drivenInches * scale;
        earlier.measuredMHz = before.resonanceMHz;
        if (inTurn[i].cutInches) {
            earlier.cutInches = *inTurn[i].cutInches;
            earlier.how = EarlierTrim::Cut::Given;
        } else if (inTurn[i].resonanceMHz == before.resonanceMHz) {
            // Swept again without a trim, or the same sweep twice: nothing to add up.
            earlier.cutInches = 0.0;
            earlier.how = EarlierTrim::Cut::None;
        } else {
            earlier.cutInches = loop * (1.0 - before.resonanceMHz / designMHz);
            earlier.how = EarlierTrim::Cut::Advised;
        }
        const double factor = (loop - earlier.cutInches) / loop;
        if (!(factor > 0.5 && factor < 1.5))
            return ShopRefusal{"What was cut from the driven loop before " + inTurn[i].file + ", " +
                                   format::fixedText(earlier.cutInches, 3) + " in, is no trim of a loop of " +
                                   format::fixedText(loop, 3) + " in.",
                               ShopSetting::Measured};
        // A resonance moves as the inverse of the loops' length.
        earlier.expectedMHz = before.resonanceMHz / factor;
        scale *= factor;
    }
    earlier.cutForMHz = designMHz / scale;
    return std::optional(earlier);
}

} // namespace tarvelin::shop
