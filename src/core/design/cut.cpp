// SPDX-License-Identifier: MIT
#include "core/design/cut.h"

#include <cmath>

namespace tarvelin::design {

std::vector<std::int64_t> stationThousandthsOf(std::span<const double> metres)
{
    std::vector<std::int64_t> stations;
    for (const double station : metres)
        stations.push_back(std::llround(station / kMetresPerInch * 1000.0));
    return stations;
}

Cut cutOf(const DesignLengths &lengths, std::span<const double> loopFactors,
          std::span<const std::int64_t> stationThousandths)
{
    Cut cut;
    const std::size_t count = lengths.elementCount();
    cut.stationsTuned = stationThousandths.size() == count;
    std::int64_t station = 0;
    for (std::size_t i = 0; i < count; ++i) {
        CutElement element;
        element.element = calc::kElementRows[i];
        const auto specified = static_cast<double>(lengths.loopThousandths[i]);
        if (i < loopFactors.size()) {
            element.loopInches = specified / 1000.0 * loopFactors[i];
            element.loopThousandths = std::llround(specified * loopFactors[i]);
            // Exact in a double: a quarter of a whole number of thousandths, rounded half away from zero.
            element.sideThousandths = std::llround(static_cast<double>(element.loopThousandths) / 4.0);
            element.spreaderHalfThousandths =
                std::llround(static_cast<double>(element.sideThousandths) * std::sqrt(0.5));
            element.spreaderThousandths = 2 * element.spreaderHalfThousandths;
        } else {
            element.loopInches = specified / 1000.0;
            element.loopThousandths = lengths.loopThousandths[i];
            element.sideThousandths = lengths.sideThousandths[i];
            element.spreaderHalfThousandths = lengths.spreaderHalfThousandths[i];
            element.spreaderThousandths = lengths.spreaderThousandths[i];
        }
        station += lengths.spacingThousandths[i];
        element.stationThousandths = cut.stationsTuned ? stationThousandths[i] : station;
        cut.elements.push_back(element);
    }
    return cut;
}

} // namespace tarvelin::design
