// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/checksummary.h"

#include <array>
#include <optional>
#include <span>
#include <vector>

namespace tarvelin::tune {

// Where one band of a quad of several bands misses its aim, read from the model at its band frequencies:
// the driver's reactance over its resistance at the design frequency, nought at resonance; and how far the
// F/B peak lies from the design frequency, as a fraction of it. Loops tuned to fixed ratios leave the peak
// a few per cent high, where F/B is poor; a band aimed at both works across its band.
struct BandAim
{
    double reactanceRatio = 0.0;
    double peakOffset = 0.0;
};

// The aim from the band's points, lowest first, the design frequency among them. The back lobe's share of the
// forward power, as the null passes, is a parabola in frequency: its least-squares parabola's lowest point is
// the peak, read even where it lies outside the points.
[[nodiscard]] BandAim bandAimOf(std::span<const check::SweepPoint> points, double designMHz);

// The search of one band's driver and reflector: their perimeters' logarithms, stepped by quasi-Newton steps
// on the 2 by 2 system of the aim. The first Jacobian is by differences; each step then updates it
// (Broyden), so a visit after the first costs one design a step. Steps are capped so that the model is never
// asked for a loop far from the last, and every loop stays within the tune's limit of its specified one.
class BandSearch
{
public:
    using Point = std::array<double, 2>; // ln(driver factor), ln(reflector factor)

    // `limit`: how far each factor may move from 1, as a fraction.
    explicit BandSearch(double limit);

    // The designs to model before a step: the point where the search stands, and, until the Jacobian is
    // known, the two beside it.
    [[nodiscard]] std::vector<Point> probes() const;
    void takeProbes(std::span<const BandAim> aims);

    // The next step's point, or none where the step would change nothing a builder can cut: the band has
    // converged where it stands.
    [[nodiscard]] std::optional<Point> step() const;
    // The aim at the point step() gave; the search moves there.
    void take(const Point &point, const BandAim &aim);

    [[nodiscard]] const Point &point() const { return m_point; }
    [[nodiscard]] double driverFactor() const;
    [[nodiscard]] double reflectorFactor() const;

    // The difference the Jacobian is taken over, and the largest step, in the logarithm of a factor.
    static constexpr double kProbe = 0.004;
    static constexpr double kLargestStep = 0.03;
    // A step smaller than this changes no loop by more than a millimetre or two on 20 m: the band is done.
    static constexpr double kSmallestStep = 1e-4;

private:
    [[nodiscard]] Point clamped(Point point) const;
    void forgetDegenerateJacobian();

    double m_limit;
    Point m_point{0.0, 0.0};
    std::array<double, 2> m_residual{0.0, 0.0};
    std::array<std::array<double, 2>, 2> m_jacobian{}; // [residual][variable]
    bool m_jacobianKnown = false;
};

} // namespace tarvelin::tune
