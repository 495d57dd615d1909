// SPDX-License-Identifier: MIT
#include "core/nec/checksummary.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <map>

namespace tarvelin::nec {

namespace {

constexpr double kSwrEdge = 2.0;

bool near(double a, double b)
{
    return std::fabs(a - b) < 0.01;
}

} // namespace

double swrOf(double resistanceOhms, double reactanceOhms, double z0Ohms)
{
    const std::complex<double> z(resistanceOhms, reactanceOhms);
    const double gamma = std::abs((z - z0Ohms) / (z + z0Ohms));
    if (!(gamma < 1.0))
        return std::numeric_limits<double>::infinity();
    return (1.0 + gamma) / (1.0 - gamma);
}

double crossing(double x0, double y0, double x1, double y1, double level)
{
    if (y1 == y0)
        return x0;
    return x0 + (level - y0) * (x1 - x0) / (y1 - y0);
}

std::optional<SweepPoint> sweepPointOf(const FrequencyResult &result, double z0Ohms)
{
    // Forward and backward gain by theta; in free space there is one theta, 90 degrees.
    std::map<double, std::pair<std::optional<double>, std::optional<double>>> byTheta;
    for (const PatternPoint &p : result.pattern) {
        if (near(p.phiDegrees, 0.0) || near(p.phiDegrees, 360.0))
            byTheta[p.thetaDegrees].first = p.totalGainDbi;
        else if (near(p.phiDegrees, 180.0))
            byTheta[p.thetaDegrees].second = p.totalGainDbi;
    }
    std::optional<double> bestTheta;
    double forward = -std::numeric_limits<double>::infinity();
    double backward = 0.0;
    for (const auto &[theta, gains] : byTheta) {
        if (gains.first && gains.second && *gains.first > forward) {
            forward = *gains.first;
            backward = *gains.second;
            bestTheta = theta;
        }
    }
    if (!bestTheta)
        return std::nullopt;
    SweepPoint point;
    point.mhz = result.mhz;
    point.resistanceOhms = result.resistanceOhms;
    point.reactanceOhms = result.reactanceOhms;
    point.swr = swrOf(result.resistanceOhms, result.reactanceOhms, z0Ohms);
    point.gainDbi = forward;
    point.frontToBackDb = forward - backward;
    if (byTheta.size() > 1)
        point.elevationDegrees = 90.0 - *bestTheta;
    return point;
}

CheckSummary summarise(std::vector<SweepPoint> points, std::size_t designIndex, std::optional<double> designEfficiency,
                       const FrequencyResult *azimuth)
{
    CheckSummary summary;
    summary.points = std::move(points);
    const std::vector<SweepPoint> &p = summary.points;
    summary.efficiencyPercent = designEfficiency;
    if (p.empty())
        return summary;
    const double design = p[std::min(designIndex, p.size() - 1)].mhz;

    // Resonance: every zero crossing of the reactance, the one nearest the design frequency kept.
    for (std::size_t i = 0; i + 1 < p.size(); ++i) {
        const double x0 = p[i].reactanceOhms;
        const double x1 = p[i + 1].reactanceOhms;
        if ((x0 <= 0.0 && x1 > 0.0) || (x0 >= 0.0 && x1 < 0.0) || x0 == 0.0) {
            const double f = x0 == 0.0 ? p[i].mhz : crossing(p[i].mhz, x0, p[i + 1].mhz, x1, 0.0);
            if (!summary.resonanceMHz || std::fabs(f - design) < std::fabs(*summary.resonanceMHz - design))
                summary.resonanceMHz = f;
        }
    }
    if (p.back().reactanceOhms == 0.0 && !summary.resonanceMHz)
        summary.resonanceMHz = p.back().mhz;

    const auto lowest =
        std::min_element(p.begin(), p.end(), [](const auto &a, const auto &b) { return a.swr < b.swr; });
    summary.minSwr = lowest->swr;
    summary.minSwrMHz = lowest->mhz;

    // The 2:1 band: from the lowest SWR outwards to where it first reaches 2, on both sides.
    if (lowest->swr < kSwrEdge) {
        const auto at = static_cast<std::size_t>(lowest - p.begin());
        std::optional<double> low;
        std::optional<double> high;
        for (std::size_t i = at; i > 0; --i)
            if (p[i - 1].swr >= kSwrEdge) {
                low = crossing(p[i - 1].mhz, p[i - 1].swr, p[i].mhz, p[i].swr, kSwrEdge);
                break;
            }
        for (std::size_t i = at; i + 1 < p.size(); ++i)
            if (p[i + 1].swr >= kSwrEdge) {
                high = crossing(p[i].mhz, p[i].swr, p[i + 1].mhz, p[i + 1].swr, kSwrEdge);
                break;
            }
        if (low && high)
            summary.swr2MHz = std::make_pair(*low, *high);
    }

    if (azimuth) {
        // Over ground the pattern holds every elevation: the azimuth cut is read at the best forward one.
        const std::optional<SweepPoint> best = sweepPointOf(*azimuth, 50.0);
        const double theta = best && best->elevationDegrees ? 90.0 - *best->elevationDegrees : 90.0;
        for (const PatternPoint &point : azimuth->pattern)
            if (near(point.thetaDegrees, theta))
                summary.azimuthPattern.push_back(point);
    }
    return summary;
}

} // namespace tarvelin::nec
