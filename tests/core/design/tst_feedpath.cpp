// SPDX-License-Identifier: MIT
// The feed path against textbook transmission-line values, without the engine: a quarter-wave section and a
// 4:1 balun transform the loop's impedance as the line equation says, a lossless run of line a half wave long
// gives back what is at its far end and a quarter wave inverts it, and reading a sweep back to the loop undoes
// what the path did to it.
#include "core/design/feedpath.h"
#include "core/design/idleend.h"

#include <QTest>

#include <complex>

using namespace tarvelin;

Q_DECLARE_METATYPE(std::complex<double>)

namespace {

constexpr double kDesignMHz = 14.2;
constexpr double kSpeed = 299.792458; // metres per microsecond

// A lossless run of line `waves` wavelengths long at the design frequency.
design::FeedRun losslessRun(double waves, double z0Ohms)
{
    design::FeedRun run;
    run.velocityFactor = 0.66;
    run.z0Ohms = z0Ohms;
    run.metres = waves * run.velocityFactor * kSpeed / kDesignMHz;
    return run;
}

bool near(std::complex<double> a, std::complex<double> b)
{
    return std::abs(a - b) <= 1e-6 * std::max(1.0, std::abs(b));
}

} // namespace

class TestFeedPath : public QObject
{
    Q_OBJECT

private slots:
    void swr_data();
    void swr();
    void matchOnTheLine_data();
    void matchOnTheLine();
    void runsOfLineAsTheTextbookHasThem_data();
    void runsOfLineAsTheTextbookHasThem();
    void readingBackUndoesThePath();
    void idleEndsAsTyped_data();
    void idleEndsAsTyped();
    void idleDriversThroughTheirLines();
};

void TestFeedPath::matchOnTheLine_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<std::complex<double>>("loop");
    QTest::addColumn<std::complex<double>>("line");
    QTest::addColumn<double>("swr");
    // Z0 squared over the load: a section of 75 ohm line matches 112.5 ohms to 50.
    QTest::newRow("section, matched") << int(design::MatchKind::QuarterWave) << std::complex<double>(112.5, 0.0)
                                      << std::complex<double>(50.0, 0.0) << 1.0;
    QTest::newRow("section, reactive load") << int(design::MatchKind::QuarterWave) << std::complex<double>(75.0, 75.0)
                                            << std::complex<double>(37.5, -37.5) << 2.420132881566025;
    QTest::newRow("4:1 balun") << int(design::MatchKind::Balun4) << std::complex<double>(200.0, 40.0)
                               << std::complex<double>(50.0, 10.0) << 1.2209975124224177;
    QTest::newRow("direct") << int(design::MatchKind::Direct) << std::complex<double>(100.0, 0.0)
                            << std::complex<double>(100.0, 0.0) << 2.0;
}

void TestFeedPath::matchOnTheLine()
{
    QFETCH(int, kind);
    QFETCH(std::complex<double>, loop);
    QFETCH(std::complex<double>, line);
    QFETCH(double, swr);
    const design::FeedPath path{{static_cast<design::MatchKind>(kind), 75.0, 0.66, {}}, kDesignMHz, 50.0, {}};
    QVERIFY2(near(path.onLine(loop, kDesignMHz), line),
             qPrintable(QString::number(path.onLine(loop, kDesignMHz).real())));
    QVERIFY(std::fabs(path.swr(loop, kDesignMHz) - swr) < 1e-9);
}

void TestFeedPath::runsOfLineAsTheTextbookHasThem_data()
{
    QTest::addColumn<double>("waves");
    QTest::addColumn<std::complex<double>>("farEnd");
    QTest::addColumn<std::complex<double>>("nearEnd");
    // A half wave repeats its load; a quarter wave of 50 ohms turns 25 ohms into 100 and 100 + j50 into
    // 20 - j10 (Z0 squared over the load).
    QTest::newRow("half wave") << 0.5 << std::complex<double>(30.0, -20.0) << std::complex<double>(30.0, -20.0);
    QTest::newRow("quarter wave") << 0.25 << std::complex<double>(25.0, 0.0) << std::complex<double>(100.0, 0.0);
    QTest::newRow("quarter wave, reactive")
        << 0.25 << std::complex<double>(20.0, -10.0) << std::complex<double>(100.0, 50.0);
}

// The analyser at the near end reads `nearEnd`; the loop behind the run is `farEnd`.
void TestFeedPath::runsOfLineAsTheTextbookHasThem()
{
    QFETCH(double, waves);
    QFETCH(std::complex<double>, farEnd);
    QFETCH(std::complex<double>, nearEnd);
    const design::FeedPath path{{}, kDesignMHz, 50.0, {losslessRun(waves, 50.0), false}};
    QVERIFY(near(path.atLoop(nearEnd, kDesignMHz), farEnd));
}

// Swept through the match, off the design frequency too, the loop's impedance is read back as it was.
void TestFeedPath::readingBackUndoesThePath()
{
    const design::Match section{design::MatchKind::QuarterWave, 75.0, 0.66, {}};
    for (const design::Match &match : {section, design::Match{design::MatchKind::Balun4, 0.0, 0.0, {}}}) {
        const design::FeedPath path{match, kDesignMHz, 50.0, {std::nullopt, true}};
        for (const double mhz : {13.9, 14.2, 14.6}) {
            const std::complex<double> loop(63.0, -41.0);
            QVERIFY(near(path.atLoop(path.onLine(loop, mhz), mhz), loop));
        }
    }
}

void TestFeedPath::swr_data()
{
    QTest::addColumn<double>("r");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("z0");
    QTest::addColumn<double>("swr");
    QTest::newRow("matched") << 50.0 << 0.0 << 50.0 << 1.0;
    QTest::newRow("matched, 75 ohms") << 75.0 << 0.0 << 75.0 << 1.0;
    QTest::newRow("twice the line") << 100.0 << 0.0 << 50.0 << 2.0;
    QTest::newRow("half the line") << 25.0 << 0.0 << 50.0 << 2.0;
    // 45.666 - j24.136 against 50: |G| = |(-4.334 - j24.136) / (95.666 - j24.136)| = 24.522 / 98.664
    // = 0.24854, SWR 1.24854 / 0.75146 = 1.66147.
    QTest::newRow("first point of 14.2 MHz") << 45.666 << -24.136 << 50.0 << 1.66147;
    QTest::newRow("pure reactance") << 0.0 << 30.0 << 50.0 << qInf();
}

void TestFeedPath::swr()
{
    QFETCH(double, r);
    QFETCH(double, x);
    QFETCH(double, z0);
    QFETCH(double, swr);
    const double got = design::swrOf(r, x, z0);
    if (std::isinf(swr))
        QVERIFY(std::isinf(got));
    else
        QVERIFY2(std::fabs(got - swr) < 1e-4, qPrintable(QString::number(got)));
}

void TestFeedPath::idleEndsAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("read"); // as the check names it, or the refusal
    const QString form = QStringLiteral("Give the idle drivers' ending as short, open, or line:LENGTH:LINE:open or "
                                        "line:LENGTH:LINE:short, such as line:3.5m:RG-58:open");
    QTest::newRow("short") << "short"
                           << "closed";
    QTest::newRow("open, any case") << " OPEN "
                                    << "open";
    QTest::newRow("a cable, open at the switch")
        << "line:3.5m:RG-58:open"
        << "3.5 m of RG-58 (50 ohm, velocity factor 0.66 nominal), open at the switch";
    QTest::newRow("a typed line, closed at the switch")
        << "Line:2m:50/0.66:SHORT"
        << "2 m of 50 ohm line, velocity factor 0.66, lossless, closed at the switch";
    QTest::newRow("no switch end") << "line:3.5m:RG-58" << form;
    QTest::newRow("another word") << "closed" << form;
    QTest::newRow("the line's own refusal")
        << "line:x:50/0.66:open"
        << "The line's length must be a length above 0 and up to 1000 m, such as 7 m or 23 ft.";
}

void TestFeedPath::idleEndsAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(QString, read);
    const auto end = design::readIdleEnd(typed.toStdString());
    const std::string said = std::holds_alternative<std::string>(end)
                                 ? std::get<std::string>(end)
                                 : design::idleEndText(std::get<design::IdleEnd>(end));
    QCOMPARE(QString::fromStdString(said), read);
}

// Through its line, an idle driver sees the switch's end turned: a lossless quarter wave open at the switch
// closes the feed and closed opens it, a half wave gives the switch's end back, and an eighth wave open is
// -j Z0.
void TestFeedPath::idleDriversThroughTheirLines()
{
    design::IdleEnd end{design::IdleEnd::Kind::Line, losslessRun(0.25, 50.0), true};
    QVERIFY(std::abs(*design::idleEndOhms(end, kDesignMHz, kDesignMHz)) < 1e-6);
    QVERIFY(std::abs(*design::idleEndOhms(end, 2 * kDesignMHz, kDesignMHz)) > 1e9);
    QVERIFY(near(*design::idleEndOhms(end, kDesignMHz / 2, kDesignMHz), {0.0, -50.0}));
    end.switchOpen = false;
    QVERIFY(std::abs(*design::idleEndOhms(end, kDesignMHz, kDesignMHz)) > 1e9);
    QVERIFY(std::abs(*design::idleEndOhms(end, 2 * kDesignMHz, kDesignMHz)) < 1e-6);
    QCOMPARE(design::idleEndOhms({design::IdleEnd::Kind::Short, {}, true}, kDesignMHz, kDesignMHz),
             std::optional(std::complex<double>(0.0, 0.0)));
    QVERIFY(!design::idleEndOhms({design::IdleEnd::Kind::Open, {}, true}, kDesignMHz, kDesignMHz));
}

QTEST_GUILESS_MAIN(TestFeedPath)
#include "tst_feedpath.moc"
