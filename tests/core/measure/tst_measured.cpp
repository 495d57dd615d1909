// SPDX-License-Identifier: MIT
// A built antenna's sweep read against the design and the model: the trim it calls for, the line it was taken
// through, sweeps in turn, the match, and the sweeps that hold no antenna.
#include "core/check/checksummary.h"
#include "core/design/feed.h"
#include "core/measure/measured.h"
#include "core/touchstone/touchstone.h"

#include <QTest>

#include <cmath>
#include <complex>

using namespace tarvelin;

namespace {

// A built antenna's feed: 62 ohms at its resonance, 14.25 MHz, with a loaded Q of 12.
constexpr double kResonanceMHz = 14.25;

std::complex<double> feedAt(double mhz)
{
    return {62.0, 62.0 * 12.0 * (mhz / kResonanceMHz - kResonanceMHz / mhz)};
}

} // namespace

class TestMeasured : public QObject
{
    Q_OBJECT

private slots:
    void theVerdictTrimsAgainstTheDesign_data();
    void theVerdictTrimsAgainstTheDesign();
    void aSweepThroughALineIsReadAtTheFeedPoint_data();
    void aSweepThroughALineIsReadAtTheFeedPoint();
    void sweepsInTurnReadTheirMoves();
    void theMatchMovesNoFeedPointSweep();
    void sweepsThatHoldNoAntenna_data();
    void sweepsThatHoldNoAntenna();
};

namespace {

// A built antenna resonating at `resonanceMHz`, swept from `fromMHz` to `toMHz` in 10 kHz steps.
touchstone::Sweep builtSweep(double resonanceMHz, double fromMHz, double toMHz)
{
    touchstone::Sweep sweep;
    for (double mhz = fromMHz; mhz <= toMHz + 1e-9; mhz += 0.01)
        sweep.samples.push_back({mhz, feedAt(mhz * kResonanceMHz / resonanceMHz)});
    return sweep;
}

// The model of the 14.2 MHz design, resonant at 13.875 MHz.
check::CheckSummary modelOf14200()
{
    check::CheckSummary model;
    for (const double mhz : {13.774, 13.875, 14.2, 14.626}) {
        check::SweepPoint point;
        point.mhz = mhz;
        point.resistanceOhms = feedAt(mhz * kResonanceMHz / 13.875).real();
        point.reactanceOhms = feedAt(mhz * kResonanceMHz / 13.875).imag();
        point.swr = design::swrOf(point.resistanceOhms, point.reactanceOhms, 50.0);
        model.points.push_back(point);
    }
    model.design = model.points[2];
    model.minSwrMHz = 13.875;
    model.resonanceMHz = 13.875; // fed at 50 ohms, its reactance passes zero where its SWR is lowest
    return model;
}

} // namespace

void TestMeasured::theVerdictTrimsAgainstTheDesign_data()
{
    QTest::addColumn<double>("resonanceMHz");
    QTest::addColumn<double>("fromMHz");
    QTest::addColumn<double>("toMHz");
    QTest::addColumn<QStringList>("sentences");
    // The shop sheet's From Sweep gives the driven loop's 32-3/4" for 3.76 % below 14.2 MHz.
    QTest::newRow("on the design frequency")
        << 14.2 << 13.8 << 14.6
        << QStringList{"The built antenna resonates (its reactance at the feed point passes zero) at 14.200 MHz, on "
                       "the design frequency: leave the loops as cut.",
                       "The model resonates at 13.875 MHz: the built antenna's lies 2.34 % above the model's. That "
                       "is how far the model is off for this build, not a trim."};
    QTest::newRow("3.76 % below")
        << 14.2 * (1 - 0.0376) << 13.3 << 14.1
        << QStringList{"The built antenna resonates (its reactance at the feed point passes zero) at 13.666 MHz, "
                       "3.76 % below the design frequency, 14.200 MHz: shorten the loops by that much, as cut for "
                       "14.755 MHz (the driven loop: shorten 32-3/4\" (8-3/16\" a side)). The shop sheet's From "
                       "Sweep gives every loop's trim.",
                       "The model resonates at 13.875 MHz: the built antenna's lies 1.51 % below the model's."};
    // A loop is inductive above its resonance and capacitive below it.
    QTest::newRow("resonant below the sweep")
        << 13.5 << 13.8 << 14.6
        << QStringList{"The reactance of built.s1p at the feed point stays inductive across the sweep: the "
                       "resonance lies below it, so it gives no trim. Sweep lower to find it."};
    QTest::newRow("resonant above the sweep")
        << 15.0 << 13.8 << 14.6
        << QStringList{"The reactance of built.s1p at the feed point stays capacitive across the sweep: the "
                       "resonance lies above it"};
    QTest::newRow("another band") << 7.1 << 6.9 << 7.3
                                  << QStringList{"The resonance of built.s1p, at 7.1000 MHz, lies more than 10 % from "
                                                 "the design frequency, 14.200 MHz: the sweep is not of this design"};
}

void TestMeasured::theVerdictTrimsAgainstTheDesign()
{
    QFETCH(double, resonanceMHz);
    QFETCH(double, fromMHz);
    QFETCH(double, toMHz);
    QFETCH(QStringList, sentences);
    const touchstone::Sweep built = builtSweep(resonanceMHz, fromMHz, toMHz);
    measure::MeasuredSweep measured = measure::measuredSweepOf(built, "built.s1p", measure::SweepReading{});
    measure::compareWithModel(measured, modelOf14200(), "14.2");
    const std::vector<std::string> said = measure::measuredSentences(measured);
    QCOMPARE(said.size(), static_cast<std::size_t>(sentences.size()));
    for (qsizetype i = 0; i < sentences.size(); ++i)
        QVERIFY2(QString::fromStdString(said[i]).startsWith(sentences[i]), said[i].c_str());
    // A sweep with no resonance in it trims no sheet either, for the same reason.
    const auto resonance = measure::sheetSweepOf(built, "built.s1p", measure::SweepReading{});
    QCOMPARE(std::holds_alternative<shop::ShopRefusal>(resonance), measured.noResonance.has_value());
}

// An antenna built 1.5 % long, swept through a run of line: read as measured, a line of another impedance moves
// the lowest SWR and the verdict says to declare it; declared, the sweep is read at the feed point and shows the
// 1.5 % the model was off. The run is put in by the line equation, the one the reading must undo. The loop
// feeds 50 ohms with the reactance of a quad's driven loop among its parasites (a Q near 40).
void TestMeasured::aSweepThroughALineIsReadAtTheFeedPoint_data()
{
    QTest::addColumn<double>("metres"); // 0: swept at the feed point
    QTest::addColumn<double>("z0Ohms");
    QTest::addColumn<double>("velocityFactor");
    QTest::addColumn<double>("lossDbPer100m");
    QTest::addColumn<QString>("cable"); // declared by its name in the table, rather than by its figures
    QTest::newRow("at the feed point") << 0.0 << 50.0 << 1.0 << 0.0 << QString();
    QTest::newRow("7 m of 75 ohm line") << 7.0 << 75.0 << 0.82 << 1.5 << QString();
    QTest::newRow("30 m of lossy 50 ohm line") << 30.0 << 50.0 << 0.66 << 4.0 << QString();
    QTest::newRow("12 m of lossless 75 ohm line") << 12.0 << 75.0 << 0.66 << 0.0 << QString();
    // Its maker's 1.5 dB per 100 ft at 10 MHz, risen as the square root of frequency to 14.2 MHz; read back
    // through the table's own fit of the cable's loss.
    QTest::newRow("30 m of RG-58, named") << 30.0 << 50.0 << 0.66 << 1.5 / 0.3048 * std::sqrt(1.42) << "rg-58/u";
}

void TestMeasured::aSweepThroughALineIsReadAtTheFeedPoint()
{
    QFETCH(double, metres);
    QFETCH(double, z0Ohms);
    QFETCH(double, velocityFactor);
    QFETCH(double, lossDbPer100m);
    QFETCH(QString, cable);
    const double designMHz = 14.2;
    const double modelMHz = 13.875;
    const auto loop = [](double mhz, double resonanceMHz) {
        return std::complex<double>(50.0, 50.0 * 40.0 * (mhz / resonanceMHz - resonanceMHz / mhz));
    };
    std::vector<check::SweepPoint> points;
    for (int i = 0; i <= 100; ++i) {
        check::SweepPoint point;
        point.mhz = 13.4 + 0.01 * i;
        point.resistanceOhms = loop(point.mhz, modelMHz).real();
        point.reactanceOhms = loop(point.mhz, modelMHz).imag();
        point.swr = design::swrOf(point.resistanceOhms, point.reactanceOhms, 50.0);
        points.push_back(point);
    }
    const check::CheckSummary model = check::summarise(points, 80, 50.0, std::nullopt, nullptr);

    touchstone::Sweep swept;
    for (int i = 0; i <= 100; ++i) {
        const double mhz = 13.3 + 0.01 * i;
        std::complex<double> z = loop(mhz, modelMHz * 0.985);
        if (metres > 0.0) {
            const double alpha = lossDbPer100m / 100.0 * std::sqrt(mhz / designMHz) / (20.0 * std::log10(M_E));
            const double beta = 2.0 * M_PI * mhz * 1e6 / (velocityFactor * 299792458.0);
            const std::complex<double> t = std::tanh(std::complex<double>(alpha, beta) * metres);
            z = z0Ohms * (z + z0Ohms * t) / (z0Ohms + z * t);
        }
        swept.samples.push_back({mhz, z});
    }
    const auto read = [&](design::MeasuredThrough through) {
        measure::MeasuredSweep measured = measure::measuredSweepOf(swept, "built.s1p", {50.0, {}, designMHz, through});
        measure::compareWithModel(measured, model, "14.2");
        return measured;
    };
    const auto warns = [](const measure::MeasuredSweep &measured) {
        const std::vector<std::string> said = measure::measuredSentences(measured);
        return std::any_of(said.begin(), said.end(), [](const std::string &sentence) {
            return sentence.find("This sweep looks measured through a feed line") == 0;
        });
    };
    const measure::MeasuredSweep asMeasured = read({});
    QVERIFY(asMeasured.asMeasured.empty());
    QCOMPARE(warns(asMeasured), metres > 0.0);
    if (metres == 0.0) {
        QVERIFY(std::fabs(*asMeasured.shiftPercent + 1.5) <= 0.05);
        return;
    }
    const auto declared = [&] {
        if (cable.isEmpty())
            return design::FeedRun{metres, z0Ohms, velocityFactor, lossDbPer100m, {}};
        auto named = design::readFeedRun(QStringLiteral("%1m:%2").arg(metres).arg(cable).toStdString());
        return std::get<design::FeedRun>(named);
    }();
    const measure::MeasuredSweep atFeed = read({declared, false});
    QVERIFY(atFeed.shiftPercent);
    QVERIFY2(std::fabs(*atFeed.shiftPercent + 1.5) <= 0.05, qPrintable(QString::number(*atFeed.shiftPercent)));
    QVERIFY(!warns(atFeed));
    QCOMPARE(atFeed.asMeasured.size(), swept.samples.size());
    QCOMPARE(atFeed.asMeasured.front().resistanceOhms, swept.samples.front().impedanceOhms.real());

    // A point the analyser read as an open end is the line's own open end at the far end: a number, not NaN.
    swept.samples.front().impedanceOhms = {std::numeric_limits<double>::infinity(), 0.0};
    const measure::MeasuredSweep open = read({declared, false});
    QVERIFY(std::isfinite(open.points.front().resistanceOhms) && std::isfinite(open.points.front().reactanceOhms));
}

// Three sweeps of one antenna, its loops trimmed 0.5 % shorter before each of the later two: each reads as a
// move of +0.5 % from the one before, and a sweep with no resonance in it gives no move.
void TestMeasured::sweepsInTurnReadTheirMoves()
{
    const auto sweepAt = [](double resonanceMHz, std::string file) {
        touchstone::Sweep sweep;
        for (int i = 0; i <= 60; ++i) {
            const double mhz = 13.6 + 0.01 * i;
            sweep.samples.push_back({mhz, {50.0, 400.0 * (mhz / resonanceMHz - resonanceMHz / mhz)}});
        }
        return measure::measuredSweepOf(sweep, std::move(file), measure::SweepReading{});
    };
    // A loop 0.5 % shorter resonates 1 / 0.995 times higher.
    const std::vector<measure::MeasuredSweep> sweeps{sweepAt(13.80, "first.s1p"), sweepAt(13.80 / 0.995, "second.s1p"),
                                                     sweepAt(13.80 / 0.995 / 0.995, "third.s1p")};
    const std::vector<std::optional<measure::SweepMove>> moves = measure::sweepMoves(sweeps);
    QCOMPARE(moves.size(), std::size_t(3));
    QVERIFY(!moves[0]);
    for (std::size_t i = 1; i < 3; ++i) {
        QVERIFY(moves[i]);
        QVERIFY2(std::fabs(moves[i]->percent - 0.5) <= 0.05, qPrintable(QString::number(moves[i]->percent)));
    }
    const std::vector<std::string> said = measure::turnsSentences(sweeps);
    QCOMPARE(said.size(), std::size_t(1));
    QVERIFY2(said[0].find("third.s1p, resonance at 13.939 MHz (+70 kHz, +0.50 % since the last sweep)") !=
                     std::string::npos &&
                 said[0].find("second.s1p, resonance at 13.869 MHz (+69 kHz") != std::string::npos,
             said[0].c_str());

    // A sweep whose lowest SWR lies at its end shows no resonance: nothing moved to it, nor from it.
    const std::vector<measure::MeasuredSweep> beyond{sweeps[0], sweepAt(14.5, "beyond.s1p"), sweeps[2]};
    const std::vector<std::optional<measure::SweepMove>> none = measure::sweepMoves(beyond);
    QVERIFY(!none[1] && !none[2]);
}

// A sweep taken at the feed point resonates where the loop's reactance passes zero, whatever the match the
// design is fed through: a two-element loop of 120 ohms at 28.2 MHz reads 28.2 MHz direct and through its
// quarter-wave section alike, though its lowest SWR on the line moves with the section.
void TestMeasured::theMatchMovesNoFeedPointSweep()
{
    touchstone::Sweep sweep;
    for (int i = 0; i <= 100; ++i) {
        const double mhz = 27.7 + 0.01 * i;
        sweep.samples.push_back({mhz, {120.0 + 400.0 * (mhz - 28.2), 120.0 * 6.0 * (mhz / 28.2 - 28.2 / mhz)}});
    }
    const design::Match section{design::MatchKind::QuarterWave, 75.0, 0.66, {}};
    const measure::MeasuredSweep direct = measure::measuredSweepOf(sweep, "loop.s1p", {50.0, {}, 28.5, {}});
    const measure::MeasuredSweep matched = measure::measuredSweepOf(sweep, "loop.s1p", {50.0, section, 28.5, {}});
    QVERIFY(!direct.noResonance && !matched.noResonance);
    QVERIFY(std::fabs(direct.resonanceMHz() - 28.2) < 1e-4);
    QCOMPARE(matched.resonanceMHz(), direct.resonanceMHz());
    QVERIFY(std::fabs(matched.minSwrMHz - direct.minSwrMHz) > 0.01);
}

// Only a dip is a resonance: an open cable, a piece of coax seen through a mismatch, and an attenuator are
// refused by what they look like; an antenna that dips only to 3.5 still reads.
void TestMeasured::sweepsThatHoldNoAntenna_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("refusal"); // how its reason begins after the file's name; empty where it reads
    QTest::newRow("an open cable") << 0 << "shows no antenna's resonance: its lowest SWR is > 99";
    QTest::newRow("coax at SWR 44") << 1 << "shows no antenna's resonance: its lowest SWR is 44.0";
    QTest::newRow("an attenuator") << 2 << "shows no dip: its SWR changes by less than 10 %";
    QTest::newRow("an antenna dipping to 3.5") << 3 << QString();
}

void TestMeasured::sweepsThatHoldNoAntenna()
{
    QFETCH(int, kind);
    QFETCH(QString, refusal);
    touchstone::Sweep sweep;
    for (int i = 0; i <= 60; ++i) {
        const double mhz = 13.7 + 0.01 * i;
        std::complex<double> z;
        switch (kind) {
        case 0: // 20 m of good cable open at its far end, Z0 coth(γL): an SWR near 1 / αL, about 1000
            z = 50.0 / std::tanh(std::complex<double>(0.00005, 2.0 * M_PI * mhz / (0.66 * 299.792458)) * 20.0);
            break;
        case 1:
            z = {2200.0, 300.0 * (mhz - 14.0)};
            break;
        case 2:
            z = {50.1, 0.2};
            break;
        default: // 175 ohms at 14.0 MHz, a Q of 8
            z = {175.0, 175.0 * 8.0 * (mhz / 14.0 - 14.0 / mhz)};
        }
        sweep.samples.push_back({mhz, z});
    }
    const measure::MeasuredSweep measured = measure::measuredSweepOf(sweep, "shack.s1p", {});
    if (refusal.isEmpty()) {
        if (measured.noResonance)
            QFAIL(measured.noResonance->c_str());
        QVERIFY(std::fabs(measured.minSwrMHz - 14.0) < 0.001);
        QCOMPARE(QString::fromStdString(check::swrText(measured.minSwr, 2)), QStringLiteral("3.50"));
        return;
    }
    QVERIFY(measured.noResonance);
    QVERIFY2(QString::fromStdString(*measured.noResonance).startsWith(QStringLiteral("shack.s1p ") + refusal),
             measured.noResonance->c_str());
    QVERIFY(std::holds_alternative<shop::ShopRefusal>(measure::sheetSweepOf(sweep, "shack.s1p", {})));
}

QTEST_GUILESS_MAIN(TestMeasured)
#include "tst_measured.moc"
