// SPDX-License-Identifier: MIT
#include "core/check/idlewindows.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace tarvelin::check {

namespace {

// Looked at this finely first: the narrowest window the models show is some ten centimetres wide.
constexpr double kScanStepMetres = 0.02;

// A band's worst across its sweep: its lowest gain and its lowest F/B.
struct Worst
{
    double gainDbi = 0.0;
    double frontToBackDb = 0.0;
};

class Bands
{
public:
    Bands(const design::NestedGeometry &geometry, std::span<const nec::NPort> nports,
          const design::CheckSettings &settings)
        : m_geometry(geometry), m_nports(nports), m_perBand(static_cast<std::size_t>(settings.points))
    {
    }

    [[nodiscard]] std::size_t count() const { return m_geometry.bands.size(); }

    // Band `fed`'s worst with the other drivers ended as `end` ends them.
    [[nodiscard]] Worst worst(std::size_t fed, const design::IdleEnd &end) const
    {
        Worst worst{INFINITY, INFINITY};
        const double designMHz = m_geometry.bands[fed].designMHz;
        for (std::size_t i = 0; i < m_perBand; ++i) {
            const nec::NPort &nport = m_nports[fed * m_perBand + i];
            if (std::fabs(nport.mhz / designMHz - 1.0) * 100.0 > kIdleLineBandPercent + 1e-9)
                continue;
            const nec::PortFigures figures = nec::fedWith(nport, fed, portEnds(m_geometry, end, nport.mhz));
            worst.gainDbi = std::min(worst.gainDbi, figures.forwardGainDbi);
            worst.frontToBackDb = std::min(worst.frontToBackDb, figures.frontToBackDb());
        }
        return worst;
    }

private:
    const design::NestedGeometry &m_geometry;
    std::span<const nec::NPort> m_nports;
    std::size_t m_perBand;
};

// F/B above the goal is as good as the goal: a null at the back that moves from 35 dB to 30 dB harms nothing.
bool harms(const Worst &now, const Worst &closed)
{
    const auto capped = [](double frontToBackDb) { return std::min(frontToBackDb, kFrontToBackGoalDb); };
    return closed.gainDbi - now.gainDbi > kIdleLineHarmDb ||
           capped(closed.frontToBackDb) - capped(now.frontToBackDb) > kIdleLineHarmDb;
}

} // namespace

std::vector<IdleLineWindow> idleLineWindows(const design::NestedGeometry &geometry, std::span<const nec::NPort> nports,
                                            const design::IdleEnd &line, const design::CheckSettings &settings)
{
    std::vector<IdleLineWindow> windows;
    if (line.kind != design::IdleEnd::Kind::Line ||
        nports.size() != static_cast<std::size_t>(settings.points) * geometry.bands.size())
        return windows;
    const Bands bands(geometry, nports, settings);
    const auto at = [&line](double metres) {
        design::IdleEnd end = line;
        end.line.metres = metres;
        return end;
    };
    const design::IdleEnd closed{design::IdleEnd::Kind::Short, {}, true};
    const auto steps = static_cast<int>(std::lround(kLongestIdleLineMetres / kScanStepMetres));
    for (std::size_t band = 0; band < bands.count(); ++band) {
        const Worst closedWorst = bands.worst(band, closed);
        const auto harmful = [&](double metres) { return harms(bands.worst(band, at(metres)), closedWorst); };
        // The edge between a length that harms and one that does not, either way round.
        const auto edge = [&](double inside, double outside) {
            while (std::fabs(outside - inside) > kIdleLineEdgeMetres) {
                const double middle = (inside + outside) / 2;
                (harmful(middle) ? inside : outside) = middle;
            }
            return inside;
        };
        std::optional<IdleLineWindow> open;
        for (int step = 0; step <= steps; ++step) {
            const double metres = std::max(kScanStepMetres / 10, step * kScanStepMetres); // no line has length 0
            const Worst worst = bands.worst(band, at(metres));
            if (harms(worst, closedWorst)) {
                if (!open) {
                    open = IdleLineWindow{step == 0 ? metres : edge(metres, metres - kScanStepMetres),
                                          metres,
                                          band,
                                          worst.gainDbi,
                                          worst.frontToBackDb,
                                          metres};
                }
                open->toMetres = metres;
                if (worst.gainDbi - closedWorst.gainDbi + worst.frontToBackDb - closedWorst.frontToBackDb <
                    open->lowestGainDbi - closedWorst.gainDbi + open->lowestFrontToBackDb - closedWorst.frontToBackDb) {
                    open->lowestGainDbi = worst.gainDbi;
                    open->lowestFrontToBackDb = worst.frontToBackDb;
                    open->worstMetres = metres;
                }
            } else if (open) {
                open->toMetres = edge(open->toMetres, metres);
                windows.push_back(*open);
                open.reset();
            }
        }
        if (open)
            windows.push_back(*open);
    }
    std::sort(windows.begin(), windows.end(),
              [](const IdleLineWindow &a, const IdleLineWindow &b) { return a.fromMetres < b.fromMetres; });
    return windows;
}

} // namespace tarvelin::check
