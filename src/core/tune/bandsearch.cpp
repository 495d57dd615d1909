// SPDX-License-Identifier: MIT
#include "core/tune/bandsearch.h"

#include <algorithm>
#include <cmath>

namespace tarvelin::tune {

namespace {

// Within this the parabola's peak is read as it is; beyond it, ever less exactly, never past the farthest.
constexpr double kExactPeak = 0.01;
constexpr double kFarthestPeak = 0.05;

std::array<double, 2> residualOf(const BandAim &aim)
{
    return {aim.reactanceRatio, aim.peakOffset};
}

} // namespace

BandAim bandAimOf(std::span<const check::SweepPoint> points, double designMHz)
{
    BandAim aim;
    if (points.empty())
        return aim;
    const check::SweepPoint &design = points[check::designIndexOf({points.begin(), points.end()}, designMHz)];
    aim.reactanceRatio = design.reactanceOhms / std::max(design.resistanceOhms, 1.0);
    // Least squares of y = a x² + b x + c, x the offset from the design frequency, y the back lobe's share.
    double s[5] = {};
    double t[3] = {};
    std::size_t lowest = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double x = points[i].mhz / designMHz - 1.0;
        const double y = std::pow(10.0, -points[i].frontToBackDb / 10.0);
        double power = 1.0;
        for (double &sum : s) {
            sum += power;
            power *= x;
        }
        t[0] += y;
        t[1] += y * x;
        t[2] += y * x * x;
        if (y < std::pow(10.0, -points[lowest].frontToBackDb / 10.0))
            lowest = i;
    }
    // The normal equations, by Cramer's rule: [s4 s3 s2; s3 s2 s1; s2 s1 s0] (a b c) = (t2 t1 t0).
    const auto det3 = [](double a, double b, double c, double d, double e, double f, double g, double h, double i) {
        return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    };
    const double d = det3(s[4], s[3], s[2], s[3], s[2], s[1], s[2], s[1], s[0]);
    const double a = det3(t[2], s[3], s[2], t[1], s[2], s[1], t[0], s[1], s[0]) / d;
    const double b = det3(s[4], t[2], s[2], s[3], t[1], s[1], s[2], t[0], s[0]) / d;
    const double c = det3(s[4], s[3], t[2], s[3], s[2], t[1], s[2], s[1], t[0]) / d;
    const double nearest = points[lowest].mhz / designMHz - 1.0;
    if (points.size() < 3 || !std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c)) {
        aim.peakOffset = nearest;
        return aim;
    }
    // A peak near the band is read as it is; one far off less and less exactly, but always moving with the
    // loops: a hard limit would leave the search a flat aim, and a band that never moves.
    const auto beyond = [](double offset) {
        const double far = std::fabs(offset) - kExactPeak;
        if (far <= 0.0)
            return offset;
        const double room = kFarthestPeak - kExactPeak;
        return std::copysign(kExactPeak + room * std::tanh(far / room), offset);
    };
    if (a > 0.0) {
        aim.peakOffset = beyond(-b / (2.0 * a));
        return aim;
    }
    // No dip: where the back lobe's straight trend would vanish, which moves smoothly with the
    // loops, so the search still sees which way and how far to go.
    aim.peakOffset = b != 0.0 ? beyond(-c / b) : nearest;
    return aim;
}

BandSearch::BandSearch(double limit) : m_limit(limit)
{
}

double BandSearch::driverFactor() const
{
    return std::exp(m_point[0]);
}

double BandSearch::reflectorFactor() const
{
    return std::exp(m_point[1]);
}

std::vector<BandSearch::Point> BandSearch::probes() const
{
    if (m_jacobianKnown)
        return {m_point};
    return {m_point, {m_point[0] + kProbe, m_point[1]}, {m_point[0], m_point[1] + kProbe}};
}

void BandSearch::takeProbes(std::span<const BandAim> aims)
{
    m_residual = residualOf(aims[0]);
    if (m_jacobianKnown || aims.size() < 3)
        return;
    for (std::size_t v = 0; v < 2; ++v) {
        const std::array<double, 2> moved = residualOf(aims[1 + v]);
        for (std::size_t r = 0; r < 2; ++r)
            m_jacobian[r][v] = (moved[r] - m_residual[r]) / kProbe;
    }
    m_jacobianKnown = true;
    forgetDegenerateJacobian();
}

BandSearch::Point BandSearch::clamped(Point point) const
{
    const double lowest = std::log(1.0 - m_limit);
    const double highest = std::log(1.0 + m_limit);
    for (double &value : point)
        value = std::clamp(value, lowest, highest);
    return point;
}

std::optional<BandSearch::Point> BandSearch::step() const
{
    const auto &j = m_jacobian;
    const double det = j[0][0] * j[1][1] - j[0][1] * j[1][0];
    if (!m_jacobianKnown || !std::isfinite(det) || det == 0.0)
        return std::nullopt;
    std::array<double, 2> s{-(j[1][1] * m_residual[0] - j[0][1] * m_residual[1]) / det,
                            -(-j[1][0] * m_residual[0] + j[0][0] * m_residual[1]) / det};
    const double largest = std::max(std::abs(s[0]), std::abs(s[1]));
    if (!std::isfinite(largest))
        return std::nullopt;
    if (largest > kLargestStep)
        for (double &value : s)
            value *= kLargestStep / largest;
    const Point next = clamped({m_point[0] + s[0], m_point[1] + s[1]});
    if (std::max(std::abs(next[0] - m_point[0]), std::abs(next[1] - m_point[1])) < kSmallestStep)
        return std::nullopt;
    return next;
}

void BandSearch::take(const Point &point, const BandAim &aim)
{
    const std::array<double, 2> residual = residualOf(aim);
    const std::array<double, 2> s{point[0] - m_point[0], point[1] - m_point[1]};
    const double ss = s[0] * s[0] + s[1] * s[1];
    if (ss > 0.0)
        for (std::size_t r = 0; r < 2; ++r) {
            const double miss = residual[r] - m_residual[r] - (m_jacobian[r][0] * s[0] + m_jacobian[r][1] * s[1]);
            for (std::size_t v = 0; v < 2; ++v)
                m_jacobian[r][v] += miss * s[v] / ss;
        }
    m_point = point;
    m_residual = residual;
    forgetDegenerateJacobian();
}

void BandSearch::forgetDegenerateJacobian()
{
    // A Jacobian that no longer tells the two aims apart gives no step: the next visit takes it afresh.
    const auto &j = m_jacobian;
    const double det = j[0][0] * j[1][1] - j[0][1] * j[1][0];
    const double scale = std::max(std::abs(j[0][0] * j[1][1]), std::abs(j[0][1] * j[1][0]));
    if (!std::isfinite(det) || std::abs(det) <= 1e-9 * scale || scale == 0.0)
        m_jacobianKnown = false;
}

} // namespace tarvelin::tune
