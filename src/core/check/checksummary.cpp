// SPDX-License-Identifier: MIT
#include "core/check/checksummary.h"

#include "core/design/designlengths.h"
#include "core/design/feedpath.h"

#include "core/format/fieldtext.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <functional>
#include <map>

namespace tarvelin::check {

namespace {

constexpr double kSwrEdge = 2.0;

bool near(double a, double b)
{
    return std::fabs(a - b) < 0.01;
}

} // namespace

std::string swrText(double swr, int decimals)
{
    // Beyond this an SWR says little, and an infinite or enormous one would only mislead.
    constexpr double kHighestSwrShown = 99.0;
    return !(swr <= kHighestSwrShown) ? "> " + format::fixedText(kHighestSwrShown, 0)
                                      : format::fixedText(swr, decimals);
}

double crossing(double x0, double y0, double x1, double y1, double level)
{
    if (y1 == y0)
        return x0;
    return x0 + (level - y0) * (x1 - x0) / (y1 - y0);
}

std::size_t designIndexOf(const std::vector<SweepPoint> &points, double designMHz)
{
    std::size_t nearest = 0;
    for (std::size_t i = 1; i < points.size(); ++i)
        if (std::fabs(points[i].mhz - designMHz) < std::fabs(points[nearest].mhz - designMHz))
            nearest = i;
    return nearest;
}

std::optional<SweepPoint> sweepPointOf(const nec::FrequencyResult &result, double z0Ohms, const design::Match &match,
                                       double sectionMHz)
{
    // By theta: the forward gain, the gain straight back and the strongest gain of the rear half. In free
    // space there is one theta, 90 degrees; over ground one per elevation.
    struct Cut
    {
        std::optional<double> forward;
        std::optional<double> backward;
        double rear = -std::numeric_limits<double>::infinity();
    };
    std::map<double, Cut> byTheta;
    for (const nec::PatternPoint &p : result.pattern) {
        Cut &cut = byTheta[p.thetaDegrees];
        if (near(p.phiDegrees, 0.0) || near(p.phiDegrees, 360.0))
            cut.forward = p.totalGainDbi;
        if (near(p.phiDegrees, 180.0))
            cut.backward = p.totalGainDbi;
        if (p.phiDegrees > 90.0 - 0.01 && p.phiDegrees < 270.0 + 0.01)
            cut.rear = std::max(cut.rear, p.totalGainDbi);
    }
    auto best = byTheta.end();
    for (auto it = byTheta.begin(); it != byTheta.end(); ++it)
        if (it->second.forward && it->second.backward &&
            (best == byTheta.end() || *it->second.forward > *best->second.forward))
            best = it;
    if (best == byTheta.end())
        return std::nullopt;
    SweepPoint point;
    point.mhz = result.mhz;
    // The engine feeds a quarter-wave section's far end; the loop's own impedance lies behind it.
    const design::FeedPath path{match, sectionMHz, z0Ohms, {}};
    const std::complex<double> feed =
        path.behindModelledSection({result.resistanceOhms, result.reactanceOhms}, result.mhz);
    point.resistanceOhms = feed.real();
    point.reactanceOhms = feed.imag();
    point.swr = path.swr(feed, result.mhz);
    point.gainDbi = *best->second.forward;
    // nec2c writes its floor, -999.99 dB, where a pattern has no field: a back or a rear half below it gives
    // an F/B or F/R beyond any number, never the floor's 1010 dB.
    const auto frontOver = [&point](double other) {
        return other <= nec::kPatternFloorDbi ? std::numeric_limits<double>::infinity() : point.gainDbi - other;
    };
    point.frontToBackDb = frontOver(*best->second.backward);
    point.frontToRearDb = frontOver(best->second.rear);
    if (byTheta.size() > 1) {
        // The peak between the angles asked for, from the parabola through the best and its neighbours, which
        // need not be evenly spaced: the low angles are asked for more finely than the rest.
        double elevation = 90.0 - best->first;
        if (best != byTheta.begin() && std::next(best) != byTheta.end()) {
            const auto below = std::prev(best);
            const auto above = std::next(best);
            if (below->second.forward && above->second.forward) {
                const double x0 = below->first - best->first;
                const double x2 = above->first - best->first;
                const double g0 = *below->second.forward - point.gainDbi;
                const double g2 = *above->second.forward - point.gainDbi;
                // g(x) = a x^2 + b x through (x0, g0), (0, 0) and (x2, g2).
                const double a = (g0 / x0 - g2 / x2) / (x0 - x2);
                const double b = g0 / x0 - a * x0;
                if (a < 0.0) {
                    const double peak = std::clamp(-b / (2 * a), x0, x2);
                    elevation = 90.0 - (best->first + peak);
                    point.gainDbi += a * peak * peak + b * peak;
                }
            }
        }
        point.elevationDegrees = elevation;
    }
    return point;
}

namespace {

// R and X between the sweep's points: in the interval from point k to k + 1, the parabola through those
// two and the next neighbour, so the curve passes through every point and a sign change between two points
// is a crossing between them.
class Interpolant
{
public:
    Interpolant(const std::vector<SweepPoint> &points, double z0Ohms, const design::Match &match, double sectionMHz)
        : m_p(points), m_path{match, sectionMHz, z0Ohms, {}}
    {
    }

    [[nodiscard]] std::complex<double> impedance(std::size_t k, double f) const
    {
        const std::size_t n = m_p.size();
        if (n < 3) {
            const SweepPoint &a = m_p[k];
            const SweepPoint &b = m_p[std::min(k + 1, n - 1)];
            const double t = b.mhz == a.mhz ? 0.0 : (f - a.mhz) / (b.mhz - a.mhz);
            return {a.resistanceOhms + t * (b.resistanceOhms - a.resistanceOhms),
                    a.reactanceOhms + t * (b.reactanceOhms - a.reactanceOhms)};
        }
        const std::size_t first = k == 0 ? 0 : std::min(k - 1, n - 3);
        std::complex<double> z = 0.0;
        for (std::size_t i = first; i < first + 3; ++i) {
            double weight = 1.0;
            for (std::size_t j = first; j < first + 3; ++j)
                if (j != i)
                    weight *= (f - m_p[j].mhz) / (m_p[i].mhz - m_p[j].mhz);
            z += weight * std::complex<double>(m_p[i].resistanceOhms, m_p[i].reactanceOhms);
        }
        return z;
    }

    // The feed line's SWR, through the match.
    [[nodiscard]] double swr(std::size_t k, double f) const { return m_path.swr(impedance(k, f), f); }

    // Where `value` crosses `level` in the interval from point k to k + 1, found by halving; the ends lie
    // on either side of it.
    template <typename Value> [[nodiscard]] double crossingIn(std::size_t k, double level, Value value) const
    {
        double low = m_p[k].mhz;
        double high = m_p[k + 1].mhz;
        const bool rising = value(k, low) < level;
        for (int i = 0; i < 60; ++i) {
            const double mid = (low + high) / 2;
            ((value(k, mid) < level) == rising ? low : high) = mid;
        }
        return (low + high) / 2;
    }

private:
    const std::vector<SweepPoint> &m_p;
    design::FeedPath m_path;
};

// Around point `from`, where a figure stays on its good side of `level`, and each edge where it crosses.
template <typename Good>
BandEdges bandAround(const std::vector<SweepPoint> &p, std::size_t from, Good good,
                     const std::function<double(std::size_t)> &edgeIn)
{
    BandEdges band;
    for (std::size_t k = from; k > 0; --k)
        if (!good(p[k - 1])) {
            band.lowMHz = edgeIn(k - 1);
            break;
        }
    for (std::size_t k = from; k + 1 < p.size(); ++k)
        if (!good(p[k + 1])) {
            band.highMHz = edgeIn(k);
            break;
        }
    return band;
}

} // namespace

namespace {

// Resonance: every zero crossing of the reactance, the one nearest the design frequency kept.
void readResonance(CheckSummary &summary, const Interpolant &curve)
{
    const std::vector<SweepPoint> &p = summary.points;
    const double design = summary.design.mhz;
    const auto reactance = [&curve](std::size_t k, double f) { return curve.impedance(k, f).imag(); };
    for (std::size_t i = 0; i < p.size(); ++i) {
        std::optional<double> f;
        if (p[i].reactanceOhms == 0.0)
            f = p[i].mhz;
        else if (i + 1 < p.size() && (p[i].reactanceOhms < 0.0) != (p[i + 1].reactanceOhms < 0.0) &&
                 p[i + 1].reactanceOhms != 0.0)
            f = curve.crossingIn(i, 0.0, reactance);
        if (f && (!summary.resonanceMHz || std::fabs(*f - design) < std::fabs(*summary.resonanceMHz - design))) {
            summary.resonanceMHz = f;
            summary.resonanceOhms = curve.impedance(std::min(i, p.size() - 1), *f).real();
        }
    }
    if (summary.resonanceMHz && *summary.resonanceMHz > 0.0) {
        summary.detunePercent = (*summary.resonanceMHz - design) / design * 100.0;
        // From the resonance as shown, to the kHz, so the cut agrees with a shop sheet given that resonance.
        summary.cutAsForMHz = design * design / *summary.resonanceMHz;
    }
}

// The lowest SWR: the lowest point, then the curve either side of it, finely sampled; and the 2:1 band around
// it. A dip below 2 between two points has its edges in that interval.
void readSwr(CheckSummary &summary, const Interpolant &curve)
{
    const std::vector<SweepPoint> &p = summary.points;
    const auto swr = [&curve](std::size_t k, double f) { return curve.swr(k, f); };
    const auto lowest = static_cast<std::size_t>(
        std::min_element(p.begin(), p.end(), [](const auto &a, const auto &b) { return a.swr < b.swr; }) - p.begin());
    summary.minSwr = p[lowest].swr;
    summary.minSwrMHz = p[lowest].mhz;
    std::optional<std::size_t> minInterval;
    for (std::size_t k = lowest > 0 ? lowest - 1 : 0; k <= lowest && k + 1 < p.size(); ++k) {
        constexpr int kSamples = 400;
        for (int s = 1; s < kSamples; ++s) {
            const double f = p[k].mhz + (p[k + 1].mhz - p[k].mhz) * s / kSamples;
            const double value = curve.swr(k, f);
            if (value < summary.minSwr) {
                summary.minSwr = value;
                summary.minSwrMHz = f;
                minInterval = k;
            }
        }
    }
    if (!(summary.minSwr < kSwrEdge))
        return;
    const auto below = [](const SweepPoint &point) { return point.swr < kSwrEdge; };
    const auto edgeIn = [&](std::size_t k) { return curve.crossingIn(k, kSwrEdge, swr); };
    if (below(p[lowest])) {
        summary.swr2MHz = bandAround(p, lowest, below, edgeIn);
        return;
    }
    // Only the curve dips: halve each side of the lowest point found on it.
    const std::size_t k = *minInterval;
    BandEdges band;
    const auto halve = [&](double good, double bad) {
        for (int i = 0; i < 60; ++i) {
            const double mid = (good + bad) / 2;
            (curve.swr(k, mid) < kSwrEdge ? good : bad) = mid;
        }
        return (good + bad) / 2;
    };
    band.lowMHz = halve(summary.minSwrMHz, p[k].mhz);
    band.highMHz = halve(summary.minSwrMHz, p[k + 1].mhz);
    summary.swr2MHz = band;
}

// F/B of 20 dB or more, around the best F/B; and where the pattern turns round above it.
void readFrontToBack(CheckSummary &summary)
{
    const std::vector<SweepPoint> &p = summary.points;
    const auto bestFb = static_cast<std::size_t>(
        std::max_element(p.begin(), p.end(),
                         [](const auto &a, const auto &b) { return a.frontToBackDb < b.frontToBackDb; }) -
        p.begin());
    const auto fbCrossing = [&p](std::size_t k, double level) {
        return crossing(p[k].mhz, p[k].frontToBackDb, p[k + 1].mhz, p[k + 1].frontToBackDb, level);
    };
    if (p[bestFb].frontToBackDb >= kFrontToBackGoalDb)
        summary.fb20MHz = bandAround(
            p, bestFb, [](const SweepPoint &point) { return point.frontToBackDb >= kFrontToBackGoalDb; },
            [&](std::size_t k) { return fbCrossing(k, kFrontToBackGoalDb); });
    for (std::size_t k = bestFb; k + 1 < p.size(); ++k)
        if (p[k].frontToBackDb >= 0.0 && p[k + 1].frontToBackDb < 0.0) {
            summary.reversalMHz = fbCrossing(k, 0.0);
            break;
        }
}

// Over ground the pattern holds every elevation: the azimuth cut is read at the best forward one, and the
// elevation cut through the boom, forward rising from the ground, then backward falling to it.
void readPatterns(CheckSummary &summary, const nec::FrequencyResult &azimuth)
{
    std::optional<double> bestTheta;
    double bestGain = -std::numeric_limits<double>::infinity();
    for (const nec::PatternPoint &point : azimuth.pattern)
        if ((near(point.phiDegrees, 0.0) || near(point.phiDegrees, 360.0)) && point.totalGainDbi > bestGain) {
            bestGain = point.totalGainDbi;
            bestTheta = point.thetaDegrees;
        }
    for (const nec::PatternPoint &point : azimuth.pattern)
        if (bestTheta && near(point.thetaDegrees, *bestTheta))
            summary.azimuthPattern.push_back(point);
    std::vector<nec::PatternPoint> forward;
    std::vector<nec::PatternPoint> backward;
    for (const nec::PatternPoint &point : azimuth.pattern) {
        if (near(point.phiDegrees, 0.0))
            forward.push_back(point);
        else if (near(point.phiDegrees, 180.0))
            backward.push_back(point);
    }
    if (forward.size() > 1) {
        const auto byElevation = [](const nec::PatternPoint &a, const nec::PatternPoint &b) {
            return a.thetaDegrees > b.thetaDegrees;
        };
        std::sort(forward.begin(), forward.end(), byElevation);
        std::sort(backward.rbegin(), backward.rend(), byElevation);
        summary.elevationPattern = std::move(forward);
        summary.elevationPattern.insert(summary.elevationPattern.end(), backward.begin(), backward.end());
    }
}

} // namespace

CheckSummary summarise(std::vector<SweepPoint> points, std::size_t designIndex, double z0Ohms,
                       std::optional<double> designEfficiency, const nec::FrequencyResult *azimuth,
                       const design::Match &match, double sectionMHz)
{
    CheckSummary summary;
    summary.points = std::move(points);
    summary.efficiencyPercent = designEfficiency;
    if (summary.points.empty())
        return summary;
    summary.design = summary.points[std::min(designIndex, summary.points.size() - 1)];
    const Interpolant curve(summary.points, z0Ohms, match, sectionMHz);
    readResonance(summary, curve);
    readSwr(summary, curve);
    readFrontToBack(summary);
    if (azimuth)
        readPatterns(summary, *azimuth);
    return summary;
}

std::vector<std::string> verdictWarnings(const CheckSummary &summary)
{
    std::vector<std::string> warnings;
    if (!summary.points.empty() && !summary.resonanceMHz)
        warnings.emplace_back("The model does not resonate within the sweep: widen the span to find how far off "
                              "the design is.");
    if (summary.detunePercent && std::fabs(*summary.detunePercent) > kDetuneWarningPercent)
        warnings.push_back("The model resonates " + format::fixedText(std::fabs(*summary.detunePercent), 2) + " % " +
                           (*summary.detunePercent < 0 ? "below" : "above") +
                           " the design frequency: cut the loops of the design for " +
                           design::frequencyLabel(*summary.cutAsForMHz) + " MHz, or trim them after measuring.");
    for (const LeftOutPoint &point : summary.leftOut)
        warnings.push_back("The engine's result at " + design::frequencyLabel(point.mhz) +
                           " MHz fails its own checks (" + point.why + "): that frequency is left out of the sweep.");
    for (const std::string &note : summary.modelNotes)
        warnings.push_back(note);
    return warnings;
}

} // namespace tarvelin::check
