// SPDX-License-Identifier: MIT
#include "core/design/arraydesign.h"

#include "core/calc/calculationpass.h"
#include "core/design/designlengths.h"
#include "core/format/fieldtext.h"
#include "core/text/numbertext.h"
#include "core/runtime/runtimeerror.h"

#include <algorithm>
#include <cmath>

namespace tarvelin::design {

namespace {

// The calculation for the frequency text, or why there is no design to build: kDecimalFrequencyMessage for a
// text the pass refuses, or the range for a frequency outside it. The array holds the first `elements` loops
// of the window's seven.
std::variant<DesignLengths, std::string> designLengths(const std::string &frequencyText, int elements)
{
    // Made in place and returned as it is: a grid of seventy texts is not moved about for nothing.
    std::variant<DesignLengths, std::string> made(std::in_place_index<0>);
    DesignLengths &design = std::get<0>(made);
    design.grid.setFrequencyText(frequencyText);
    try {
        calc::calculateInto(design.grid);
    } catch (const RuntimeError &) {
        made = std::string(kDecimalFrequencyMessage);
        return made;
    }
    design.frequencyText = frequencyText;
    design.frequencyMHz = ParseNumber(frequencyText);
    if (!(design.frequencyMHz >= kLowestDesignMHz && design.frequencyMHz <= kHighestDesignMHz)) {
        made = frequencyRangeRefusal(design.frequencyMHz);
        return made;
    }
    design.frequencyLabel = frequencyLabel(design.frequencyMHz);
    // Every length must be a positive three-decimal text: a guard beside the range, which is what keeps it so.
    const auto length = [&design](calc::ElementRow row, int column, std::int64_t &into) {
        const std::optional<std::int64_t> thousandths = format::thousandthsOf(design.grid.cell(row, column));
        into = thousandths.value_or(0);
        return thousandths && *thousandths > 0;
    };
    const auto count = static_cast<std::size_t>(std::clamp(elements, kFewestElements, kMostElements));
    for (auto *lengths : {&design.loopThousandths, &design.sideThousandths, &design.spreaderHalfThousandths,
                          &design.spreaderThousandths, &design.spacingThousandths})
        lengths->assign(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
        const calc::ElementRow row = calc::kElementRows[i];
        bool shown = length(row, calc::column::kTotalLengthInches, design.loopThousandths[i]) &&
                     length(row, calc::column::kSideInches, design.sideThousandths[i]) &&
                     length(row, calc::column::kSpreaderHalfInches, design.spreaderHalfThousandths[i]) &&
                     length(row, calc::column::kSpreaderTotalInches, design.spreaderThousandths[i]);
        if (i > 0)
            shown = shown && length(row, calc::column::kSpacingInches, design.spacingThousandths[i]);
        if (!shown) {
            made = frequencyRangeRefusal(design.frequencyMHz);
            return made;
        }
    }
    return made;
}

} // namespace

std::vector<double> sweepFrequencies(double designMHz, const CheckSettings &settings)
{
    std::vector<double> frequencies;
    const int half = settings.points / 2;
    const double step = designMHz * settings.spanPercent / 100.0 / std::max(half, 1);
    for (int i = -half; i <= half; ++i)
        frequencies.push_back(designMHz + i * step);
    return frequencies;
}

std::variant<ArrayGeometry, GeometryRefusal> geometryFor(const std::string &frequencyText, int elements)
{
    auto made = specifiedDesign(frequencyText, elements);
    if (auto *refusal = std::get_if<DesignRefusal>(&made))
        return GeometryRefusal{std::move(refusal->message)};
    return std::move(std::get<Design>(made).array);
}

ArrayGeometry geometryOf(const DesignLengths &design)
{
    ArrayGeometry geometry;
    geometry.frequencyText = design.frequencyText;
    geometry.frequencyLabel = design.frequencyLabel;
    geometry.designMHz = design.frequencyMHz;
    // Thousandths of an inch to metres; each station is the sum of the spacings behind it.
    const auto metres = [](std::int64_t thousandths) {
        return static_cast<double>(thousandths) / 1000.0 * kMetresPerInch;
    };
    std::int64_t station = 0;
    for (std::size_t i = 0; i < design.sideThousandths.size(); ++i) {
        station += design.spacingThousandths[i];
        geometry.sidesMetres.push_back(metres(design.sideThousandths[i]));
        geometry.stationsMetres.push_back(metres(station));
    }
    return geometry;
}

StructureCheck checkStructure(const ArrayGeometry &geometry, const CheckSettings &settings)
{
    StructureCheck check;
    if (geometry.sidesMetres.empty())
        return check;
    // The reflector is the largest loop: its bottom side is the lowest wire.
    const double lowestSide = geometry.sidesMetres.front() / 2;
    if (settings.groundHeightMetres && *settings.groundHeightMetres <= lowestSide) {
        check.refused = StructureCheck::Setting::GroundHeight;
        check.refusal = "The boom height must be more than half the reflector's side (" +
                        format::fixedText(lowestSide, 2) + " m), so every loop stays above the ground.";
    }

    // The shortest segments are on the smallest loop. Segments at least two radii long keep the wire thin
    // beside the wavelength as well: a side is about a quarter wave in at least 5 segments.
    const auto smallest = std::min_element(geometry.sidesMetres.begin(), geometry.sidesMetres.end());
    const double smallestSide = *smallest;
    const std::string_view smallestName =
        calc::elementRowName(calc::kElementRows[static_cast<std::size_t>(smallest - geometry.sidesMetres.begin())]);
    const double segmentMm = smallestSide / settings.segments * 1000.0;
    const double radiusMm = settings.wireDiameterMm / 2.0;
    const double radii = segmentMm / radiusMm;
    if (!check.refusal && radii < kShortestSegmentRadii) {
        check.refused = StructureCheck::Setting::Wire;
        check.refusal =
            "NEC-2 cannot model " + format::fixedText(settings.wireDiameterMm, 2) + " mm wire in " +
            std::to_string(settings.segments) + " segments per side at " + geometry.frequencyLabel +
            " MHz: each segment of " + std::string(smallestName) + " is " + format::fixedText(segmentMm, 2) +
            " mm, shorter than " + format::fixedText(kShortestSegmentRadii, 0) + " wire radii (" +
            format::fixedText(kShortestSegmentRadii * radiusMm, 2) + " mm). Use thinner wire or fewer segments.";
    } else if (radii < kAccurateSegmentRadii)
        check.warnings.push_back("Segments of " + format::fixedText(segmentMm, 2) + " mm are shorter than " +
                                 format::fixedText(kAccurateSegmentRadii, 0) + " wire radii (" +
                                 format::fixedText(kAccurateSegmentRadii * radiusMm, 2) +
                                 " mm), so NEC-2's thin-wire model is less accurate here; thinner wire or fewer "
                                 "segments give a more reliable result.");

    // The model is of the loops the window shows, each to a thousandth of an inch; far up in frequency that
    // is coarse beside the loop itself.
    const std::array<double, calc::kElementRowCount> unrounded = calc::unroundedLoopInches(geometry.designMHz);
    std::string moved;
    double most = 0.0;
    for (std::size_t i = 0; i < unrounded.size() && i < geometry.sidesMetres.size(); ++i) {
        const double shown = 4.0 * geometry.sidesMetres[i] / kMetresPerInch;
        const double share = std::fabs(shown - unrounded[i]) / unrounded[i];
        if (share > kLargestRoundingShare) {
            moved += (moved.empty() ? "" : ", ") + std::string(calc::elementRowName(calc::kElementRows[i]));
            most = std::max(most, share);
        }
    }
    if (!moved.empty())
        check.warnings.push_back("At " + geometry.frequencyLabel +
                                 " MHz a thousandth of an inch is coarse: rounding "
                                 "to it moves " +
                                 moved + " by up to " + format::fixedText(most * 100.0, 2) +
                                 " % from the length the formulas give, so the model is of the loops as shown.");
    return check;
}

std::variant<Design, DesignRefusal> specifiedDesign(const std::string &frequencyText, int elements)
{
    auto made = designLengths(frequencyText, elements);
    if (auto *refusal = std::get_if<std::string>(&made))
        return DesignRefusal{std::move(*refusal), true};
    return Design{std::move(std::get<DesignLengths>(made)), {}};
}

std::optional<double> designMHzOf(const std::string &frequencyText, int elements)
{
    const auto made = specifiedDesign(frequencyText, elements);
    const auto *design = std::get_if<Design>(&made);
    return design ? std::optional(design->array.designMHz) : std::nullopt;
}

std::variant<Design, DesignRefusal> designFor(const std::string &frequencyText, int elements,
                                              const CheckSettings &settings)
{
    auto made = specifiedDesign(frequencyText, elements);
    if (std::holds_alternative<DesignRefusal>(made))
        return made;
    Design &design = std::get<Design>(made);
    design.settings = settings;
    StructureCheck structure = checkStructure(design.array, settings);
    if (structure.refusal)
        return DesignRefusal{std::move(*structure.refusal), false, structure.refused};
    design.warnings = std::move(structure.warnings);
    return made;
}

} // namespace tarvelin::design
