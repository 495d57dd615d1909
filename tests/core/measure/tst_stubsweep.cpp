// SPDX-License-Identifier: MIT
// A cable's velocity factor from a sweep of a cut piece, open at its far end, against the transmission-line
// textbook: Z = Z0 coth(γL), lowest where the piece is a quarter wavelength.
#include "core/measure/stubsweep.h"

#include <QTest>

#include <cmath>
#include <complex>

using namespace tarvelin;

namespace {

// An open piece `metres` long of a line of `vf` and `lossDbPer100m` (at every frequency), swept as an analyser
// sweeps it, or shorted at its far end.
touchstone::Sweep piece(double metres, double vf, double fromMHz, double toMHz, double lossDbPer100m, bool shorted)
{
    touchstone::Sweep sweep;
    for (int i = 0; i <= 200; ++i) {
        const double mhz = fromMHz + (toMHz - fromMHz) * i / 200.0;
        const double alpha = lossDbPer100m / 100.0 / 8.685889638065037;
        const double beta = 2.0 * M_PI * mhz * 1e6 / (vf * 299792458.0);
        const std::complex<double> t = std::tanh(std::complex<double>(alpha, beta) * metres);
        sweep.samples.push_back({mhz, shorted ? 50.0 * t : 50.0 / t});
    }
    return sweep;
}

} // namespace

class TestStubSweep : public QObject
{
    Q_OBJECT

private slots:
    void velocityFactorOfAPiece_data();
    void velocityFactorOfAPiece();
    void noSeriesResonanceIsRefused_data();
    void noSeriesResonanceIsRefused();
    void lengthNeedsItsUnit();
};

void TestStubSweep::velocityFactorOfAPiece_data()
{
    QTest::addColumn<double>("metres");
    QTest::addColumn<double>("vf");
    QTest::addColumn<double>("fromMHz");
    QTest::addColumn<double>("toMHz");
    QTest::addColumn<double>("loss");
    // A quarter wave of 1 m at VF 0.66 is 49.466 MHz.
    QTest::newRow("1.000 m of VF 0.66") << 1.0 << 0.66 << 10.0 << 80.0 << 0.0;
    QTest::newRow("lossy") << 1.0 << 0.66 << 10.0 << 80.0 << 20.0;
    QTest::newRow("past its half wave too") << 1.0 << 0.66 << 20.0 << 160.0 << 5.0;
    QTest::newRow("3.5 m of foam, VF 0.84") << 3.5 << 0.84 << 5.0 << 25.0 << 3.0;
}

void TestStubSweep::velocityFactorOfAPiece()
{
    QFETCH(double, metres);
    QFETCH(double, vf);
    QFETCH(double, fromMHz);
    QFETCH(double, toMHz);
    QFETCH(double, loss);
    const auto read = measure::stubVelocityFactor(piece(metres, vf, fromMHz, toMHz, loss, false), metres);
    if (const auto *refusal = std::get_if<std::string>(&read))
        QFAIL(refusal->c_str());
    const measure::StubReading reading = std::get<measure::StubReading>(read);
    QCOMPARE(QString::number(reading.velocityFactor, 'f', 3), QString::number(vf, 'f', 3));
    QVERIFY(std::fabs(reading.resonanceMHz - vf * 299.792458 / (4.0 * metres)) < 0.01);
}

void TestStubSweep::noSeriesResonanceIsRefused_data()
{
    QTest::addColumn<double>("fromMHz");
    QTest::addColumn<double>("toMHz");
    QTest::addColumn<bool>("shorted");
    QTest::newRow("below the quarter wave") << 1.0 << 30.0 << false;
    QTest::newRow("starting above it") << 60.0 << 120.0 << false;
    QTest::newRow("shorted at the far end") << 10.0 << 80.0 << true;
}

void TestStubSweep::noSeriesResonanceIsRefused()
{
    QFETCH(double, fromMHz);
    QFETCH(double, toMHz);
    QFETCH(bool, shorted);
    QVERIFY(std::holds_alternative<std::string>(
        measure::stubVelocityFactor(piece(1.0, 0.66, fromMHz, toMHz, 5.0, shorted), 1.0)));
}

void TestStubSweep::lengthNeedsItsUnit()
{
    QCOMPARE(std::get<double>(measure::readStubLength("1 m")), 1.0);
    QCOMPARE(std::get<double>(measure::readStubLength("39-3/8 in")), 1.0001);
    QVERIFY(std::holds_alternative<std::string>(measure::readStubLength("1")));
    QVERIFY(std::holds_alternative<std::string>(measure::readStubLength("200 m")));
}

QTEST_GUILESS_MAIN(TestStubSweep)
#include "tst_stubsweep.moc"
