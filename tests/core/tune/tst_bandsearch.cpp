// SPDX-License-Identifier: MIT
#include "core/tune/bandsearch.h"

#include <QTest>

#include <cmath>
#include <vector>

using namespace tarvelin;

namespace {

// The band's points where the back lobe's share of the forward power is k (x - peak)² + floor, x the offset
// from the design frequency, and X/R the given ratio at the design frequency.
std::vector<check::SweepPoint> band(double peak, double k, double floor, double reactanceRatio)
{
    std::vector<check::SweepPoint> points;
    for (const double x : {-0.005, -0.0025, 0.0, 0.0025, 0.005}) {
        check::SweepPoint point;
        point.mhz = 14.175 * (1.0 + x);
        point.resistanceOhms = 100.0;
        point.reactanceOhms = x == 0.0 ? 100.0 * reactanceRatio : 0.0;
        point.frontToBackDb = -10.0 * std::log10(k * (x - peak) * (x - peak) + floor);
        points.push_back(point);
    }
    return points;
}

} // namespace

class TestBandSearch : public QObject
{
    Q_OBJECT

private slots:
    void aim_data();
    void aim();
    void farPeakStillMoves();
    void searchConverges();
    void searchStaysWithinItsLimit();
};

void TestBandSearch::aim_data()
{
    QTest::addColumn<double>("peak");
    QTest::addColumn<double>("k");
    QTest::addColumn<double>("expected");
    // The peak anywhere is the parabola's own lowest point, inside the band or read beyond it.
    QTest::newRow("at the design frequency") << 0.0 << 4000.0 << 0.0;
    QTest::newRow("inside, high") << 0.0031 << 4000.0 << 0.0031;
    QTest::newRow("beyond the band, low") << -0.021 << 4000.0 << -0.021;
    // The back lobe growing steadily across the band: no dip, so the peak lies past its quieter end.
    QTest::newRow("no dip") << 0.0 << 0.0 << 0.0;
}

void TestBandSearch::aim()
{
    QFETCH(double, peak);
    QFETCH(double, k);
    QFETCH(double, expected);
    std::vector<check::SweepPoint> points = band(peak, k, 0.001, 0.25);
    if (k == 0.0)
        for (std::size_t i = 0; i < points.size(); ++i)
            points[i].frontToBackDb = 10.0 + 2.0 * static_cast<double>(i); // best at the top edge
    const tune::BandAim aim = tune::bandAimOf(points, 14.175);
    QCOMPARE(aim.reactanceRatio, 0.25);
    if (k == 0.0)
        QVERIFY(aim.peakOffset > 0.005); // past the top edge
    else if (std::abs(expected) > 0.01) // far beyond the band: that way, and further than the band's edge
        QVERIFY2(aim.peakOffset * expected > 0 && std::abs(aim.peakOffset) > 0.01 &&
                     std::abs(aim.peakOffset) < std::abs(expected),
                 qPrintable(QString::number(aim.peakOffset)));
    else
        QVERIFY2(std::abs(aim.peakOffset - expected) < 1e-6, qPrintable(QString::number(aim.peakOffset)));
}

// A band tuned far off, its F/B peak some 8 % away, still sees the peak move as its loops do: were the aim
// flat out there, the search would take the band for done where it stands.
void TestBandSearch::farPeakStillMoves()
{
    const double nearer = tune::bandAimOf(band(-0.08, 4000.0, 0.001, 0.0), 14.175).peakOffset;
    const double further = tune::bandAimOf(band(-0.09, 4000.0, 0.001, 0.0), 14.175).peakOffset;
    QVERIFY2(further < nearer && nearer < -0.01, qPrintable(QStringLiteral("%1 %2").arg(nearer).arg(further)));
}

// A band whose aim moves with its loops much as a quad's does, with some coupling and a curve: the search
// lands on both aims within a step a builder could cut, without ever stepping further than its cap.
void TestBandSearch::searchConverges()
{
    const auto aimAt = [](const tune::BandSearch::Point &u) {
        return tune::BandAim{12.0 * (u[0] - 0.03) + 2.0 * (u[1] + 0.01) + 40.0 * (u[0] - 0.03) * (u[0] - 0.03),
                             0.2 * (u[0] - 0.03) + 1.1 * (u[1] + 0.01)};
    };
    tune::BandSearch search(0.10);
    std::vector<tune::BandAim> aims;
    for (const tune::BandSearch::Point &probe : search.probes())
        aims.push_back(aimAt(probe));
    QCOMPARE(aims.size(), std::size_t{3});
    search.takeProbes(aims);
    int steps = 0;
    while (const std::optional<tune::BandSearch::Point> next = search.step()) {
        QVERIFY(std::abs((*next)[0] - search.point()[0]) <= tune::BandSearch::kLargestStep + 1e-12);
        QVERIFY(std::abs((*next)[1] - search.point()[1]) <= tune::BandSearch::kLargestStep + 1e-12);
        search.take(*next, aimAt(*next));
        QVERIFY(++steps < 20);
    }
    QVERIFY(std::abs(search.point()[0] - 0.03) < 1e-3);
    QVERIFY(std::abs(search.point()[1] + 0.01) < 1e-3);
    QCOMPARE(search.probes().size(), std::size_t{1}); // the Jacobian is kept for the next visit
}

// An aim out of reach leaves the loops at the limit, not beyond it, and the search then stands still.
void TestBandSearch::searchStaysWithinItsLimit()
{
    const auto aimAt = [](const tune::BandSearch::Point &u) { return tune::BandAim{10.0 * (u[0] - 0.5), u[1]}; };
    tune::BandSearch search(0.10);
    std::vector<tune::BandAim> aims;
    for (const tune::BandSearch::Point &probe : search.probes())
        aims.push_back(aimAt(probe));
    search.takeProbes(aims);
    for (int steps = 0; steps < 30; ++steps) {
        const std::optional<tune::BandSearch::Point> next = search.step();
        if (!next)
            break;
        search.take(*next, aimAt(*next));
    }
    QVERIFY(!search.step());
    QCOMPARE(search.driverFactor(), 1.1);
}

QTEST_APPLESS_MAIN(TestBandSearch)
#include "tst_bandsearch.moc"
