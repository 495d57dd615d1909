// SPDX-License-Identifier: MIT
#include "core/nec/necmodel.h"

#include "core/runtime/numbertext.h"
#include "core/shop/shopsheet.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace tarvelin::nec {

namespace {

constexpr double kMetresPerInch = 0.0254;

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

std::variant<ArrayGeometry, GeometryRefusal> geometryFor(const std::string &frequencyText)
{
    auto made = shop::makeShopSheet(frequencyText, {});
    if (const auto *refusal = std::get_if<shop::ShopRefusal>(&made))
        return GeometryRefusal{refusal->message};
    const shop::ShopSheet &sheet = std::get<shop::ShopSheet>(made);
    ArrayGeometry geometry;
    geometry.frequencyText = frequencyText;
    geometry.frequencyLabel = sheet.frequencyLabel;
    geometry.designMHz = ParseNumber(frequencyText);
    // Half-thousandths of an inch to metres.
    const auto metres = [](shop::HalfThousandths length) {
        return static_cast<double>(length) / 2000.0 * kMetresPerInch;
    };
    for (const shop::ElementCuts &cuts : sheet.elements) {
        geometry.sidesMetres.push_back(metres(cuts.side));
        geometry.stationsMetres.push_back(metres(cuts.station));
    }
    return geometry;
}

StructureCheck checkStructure(const ArrayGeometry &geometry, const CheckSettings &settings)
{
    StructureCheck check;
    if (geometry.sidesMetres.empty())
        return check;
    const auto text = [](double value, int decimals) {
        std::array<char, 32> buffer{};
        const int length = std::snprintf(buffer.data(), buffer.size(), "%.*f", decimals, value);
        return std::string(buffer.data(), static_cast<std::size_t>(std::clamp(length, 0, 31)));
    };
    // The reflector is the largest loop: its bottom side is the lowest wire.
    const double lowestSide = geometry.sidesMetres.front() / 2;
    if (settings.groundHeightMetres && *settings.groundHeightMetres <= lowestSide) {
        check.refused = StructureCheck::Setting::GroundHeight;
        check.refusal = "The boom height must be more than half the reflector's side (" + text(lowestSide, 2) +
                        " m), so every loop stays above the ground.";
    }

    // The shortest segments are on the smallest loop. Segments at least two radii long keep the wire thin
    // beside the wavelength as well: a side is about a quarter wave in at least 5 segments.
    const double smallestSide = *std::min_element(geometry.sidesMetres.begin(), geometry.sidesMetres.end());
    const double segmentMm = smallestSide / settings.segments * 1000.0;
    const double radiusMm = settings.wireDiameterMm / 2.0;
    const double radii = segmentMm / radiusMm;
    if (!check.refusal && radii < kShortestSegmentRadii) {
        check.refused = StructureCheck::Setting::Wire;
        check.refusal = "NEC-2 cannot model " + text(settings.wireDiameterMm, 2) + " mm wire in " +
                        std::to_string(settings.segments) + " segments per side at " + geometry.frequencyLabel +
                        " MHz: each segment of Director 5 is " + text(segmentMm, 2) + " mm, shorter than " +
                        text(kShortestSegmentRadii, 0) + " wire radii (" + text(kShortestSegmentRadii * radiusMm, 2) +
                        " mm). Use thinner wire or fewer segments.";
    } else if (radii < kAccurateSegmentRadii)
        check.warnings.push_back("Segments of " + text(segmentMm, 2) + " mm are shorter than " +
                                 text(kAccurateSegmentRadii, 0) + " wire radii (" +
                                 text(kAccurateSegmentRadii * radiusMm, 2) +
                                 " mm), so NEC-2's thin-wire model is less accurate here; thinner wire or fewer "
                                 "segments give a more reliable result.");
    return check;
}

} // namespace tarvelin::nec
