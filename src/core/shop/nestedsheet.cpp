// SPDX-License-Identifier: MIT
#include "core/shop/nestedsheet.h"

#include "core/design/cut.h"
#include "core/shop/shopsheet.h"

#include <algorithm>
#include <cmath>

namespace tarvelin::shop {

namespace {

// The one rounding the sheet's lengths take, metres to the thousandth of an inch.
HalfThousandths fromMetres(double metres)
{
    const double one[] = {metres};
    return fromThousandths(design::stationThousandthsOf(one).front());
}

std::vector<HalfThousandths> marksOf(design::LoopShape shape, HalfThousandths side, HalfThousandths allowance)
{
    if (shape == design::LoopShape::Square) {
        const std::array<HalfThousandths, 4> marks = cornerMarksOf(side, allowance);
        return {marks.begin(), marks.end()};
    }
    std::vector<HalfThousandths> marks;
    for (HalfThousandths k = 1; k <= 3; ++k)
        marks.push_back(allowance / 2 + k * side);
    return marks;
}

} // namespace

std::variant<NestedSheet, ShopRefusal> makeNestedSheet(const design::NestedGeometry &geometry,
                                                       const ShopSettings &settings, bool tuned)
{
    NestedSheet sheet;
    sheet.geometry = geometry;
    sheet.settings = settings;
    sheet.tuned = tuned;
    const HalfThousandths allowance = fromThousandths(settings.allowanceThousandths);
    const HalfThousandths hubOffset = fromThousandths(settings.hubOffsetThousandths);
    std::vector<HalfThousandths> innermost(geometry.elements, 0);
    std::vector<HalfThousandths> outermost(geometry.elements, 0);
    for (const design::NestedLoop &loop : geometry.loops) {
        NestedLoopCut cut;
        cut.band = loop.band;
        cut.element = loop.element;
        // Four sides make the loop as cut: the side is rounded, the loop is four of it.
        cut.side = fromMetres(loop.sideMetres);
        cut.loop = 4 * cut.side;
        cut.cut = cut.loop + allowance;
        cut.cornerMarks = marksOf(geometry.settings.shape, cut.side, allowance);
        cut.station = fromMetres(loop.stationMetres);
        cut.attachment = fromMetres(loop.attachmentMetres);
        cut.factor = loop.perimeterFactor;
        sheet.wireTotal += cut.cut;
        HalfThousandths &inner = innermost[loop.element];
        inner = inner == 0 ? cut.attachment : std::min(inner, cut.attachment);
        outermost[loop.element] = std::max(outermost[loop.element], cut.attachment);
        sheet.loops.push_back(std::move(cut));
    }
    const HalfThousandths shortest = *std::min_element(innermost.begin(), innermost.end());
    if (hubOffset < 0 || hubOffset >= shortest)
        return ShopRefusal{"The hub offset must be a length of 0 or more and short of the innermost loop's mark (" +
                               inchesText(shortest, settings.step) + ").",
                           ShopSetting::HubOffset};
    for (std::size_t e = 0; e < geometry.elements; ++e)
        sheet.arms.push_back({e, geometry.armAnglesDeg[e],
                              outermost[e] + fromThousandths(kArmSpareThousandths) - hubOffset,
                              fromMetres(geometry.hubStationsMetres[e])});
    for (std::size_t b = 0; b < geometry.bands.size(); ++b) {
        const design::Band &band = geometry.bands[b];
        NestedBandFeed feed;
        feed.match = band.match;
        if (band.match.kind == design::MatchKind::QuarterWave)
            feed.section = fromMetres(design::sectionMetres(band.match, band.designMHz));
        feed.spacingWavelengths = geometry.spacingWavelengths(b);
        feed.spacing = fromMetres(geometry.loop(b, 1).stationMetres - geometry.loop(b, 0).stationMetres);
        sheet.feeds.push_back(feed);
    }
    return sheet;
}

} // namespace tarvelin::shop
