// SPDX-License-Identifier: MIT
// tarvelin-calc end to end with the real engine: the deck and the check of every array, a quarter-wave section in
// the model, and how the engine is found. Apart from tarvelin-calc's other tests, so they run side by side.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QProcess>

#include "support/badsettings.h"
#include "core/calc/resultgrid.h"
#include "support/runcalc.h"
#include "support/sweepfile.h"
#include "cli/mode.h"
#include "cli/resultwriter.h"
#include "core/design/designlengths.h"
#include "core/tune/tuneddesign.h"
#include "core/tune/tuner.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <complex>
#include <csignal>

#include <sys/types.h>

using namespace tarvelin::test;

class TestCliCheck : public QObject
{
    Q_OBJECT

private slots:
    void quarterWaveSectionModelled();
    void arraysOfEveryLength_data();
    void arraysOfEveryLength();
    void engineLookup_data();
    void engineLookup();
    void deckAndBadCheckOptions();
    void everyDeckRunsInTheEngine_data();
    void everyDeckRunsInTheEngine();
};

// The first N loops of the design, checked with nec2c, resonate where an independent NEC-2 model of the same
// loops does (14.2 MHz, free space, 2.05 mm copper, 11 segments a side): within 0.2 % and 1 ohm. Their deck and
// their sheet hold those loops and no others.
void TestCliCheck::arraysOfEveryLength_data()
{
    QTest::addColumn<int>("elements");
    QTest::addColumn<double>("resonanceMHz");
    QTest::addColumn<double>("ohms");
    QTest::newRow("two") << 2 << 13.764 << 87.5;
    QTest::newRow("three") << 3 << 13.925 << 43.2;
    QTest::newRow("four") << 4 << 13.848 << 46.3;
    QTest::newRow("five") << 5 << 13.875 << 61.3;
    QTest::newRow("six") << 6 << 13.908 << 53.2;
    QTest::newRow("seven") << 7 << 13.876 << 50.2;
}

void TestCliCheck::arraysOfEveryLength()
{
    QFETCH(int, elements);
    QFETCH(double, resonanceMHz);
    QFETCH(double, ohms);
    const QString count = QString::number(elements);
    const Run deck = runCalc({"--nec", "--elements", count, "14.2"});
    QCOMPARE(deck.exitCode, 0);
    QCOMPARE(deck.out.count("\nGW "), 4 * elements);
    const Run sheet = runCalc({"--shop", "--format", "json", "--elements", count, "14.2"});
    QCOMPARE(sheet.exitCode, 0);
    const QJsonObject cut = QJsonDocument::fromJson(sheet.out).object();
    QCOMPARE(cut.value(QStringLiteral("elements")).toInt(), elements);
    const QJsonArray loops = cut.value(QStringLiteral("loops")).toArray();
    QCOMPARE(loops.size(), elements);
    QCOMPARE(loops.last().toObject().value(QStringLiteral("element")).toString(),
             QString::fromLatin1(tarvelin::calc::elementRowName(tarvelin::calc::kElementRows[elements - 1])));
    QCOMPARE(cut.value(QStringLiteral("materials")).toObject().value(QStringLiteral("spreader_arms")).toInt(),
             4 * elements);
    // The window shows the seven-element boom only.
    QCOMPARE(cut.value(QStringLiteral("boom")).toObject().value(QStringLiteral("window_total")).isNull(),
             elements != 7);

    if (QStandardPaths::findExecutable(QStringLiteral("nec2c")).isEmpty())
        QSKIP("nec2c is not installed");
    const Run check = runCalc({"--analyse", "--format", "json", "--elements", count, "14.2"});
    QCOMPARE(check.exitCode, 0);
    const QJsonObject figures = QJsonDocument::fromJson(check.out).object();
    QCOMPARE(figures.value(QStringLiteral("elements")).toInt(), elements);
    const double resonance = figures.value(QStringLiteral("resonance_mhz")).toDouble();
    QVERIFY2(qAbs(resonance / resonanceMHz - 1.0) <= 0.002, qPrintable(QString::number(resonance)));
    const double r = figures.value(QStringLiteral("resonance_ohms")).toDouble();
    QVERIFY2(qAbs(r - ohms) <= 1.0, qPrintable(QString::number(r)));
}

// A two-element quad on 10 m fed through a quarter-wave section of 75 ohm line: the deck carries the section as
// a TL card of its electrical length, the loop's own impedance (and so its resonance) is the direct feed's, and
// the SWR at the design frequency is the direct feed's impedance through an ideal quarter-wave line.
void TestCliCheck::quarterWaveSectionModelled()
{
    const QStringList section{"--match", "quarter-wave", "--match-z0", "75", "--match-vf", "0.66"};
    const Run deck = runCalc(QStringList{"--nec", "--elements", "2"} + section + QStringList{"28.5"});
    QCOMPARE(deck.exitCode, 0);
    const double quarterWave = 299.792458 / 28.5 / 4.0;
    QVERIFY2(deck.out.contains(QStringLiteral("\nTL 5 6 9 1 75 %1 0 0 0 0\n").arg(quarterWave, 0, 'f', 6).toLatin1()),
             deck.out.constData());
    for (const QByteArray &line : lines(deck.out))
        QVERIFY2(line.size() <= 80, line.constData()); // the engine reads no longer card

    if (QStandardPaths::findExecutable(QStringLiteral("nec2c")).isEmpty())
        QSKIP("nec2c is not installed");
    // The sweep's point at the design frequency.
    const auto designOf = [](const Run &run) {
        for (const QJsonValue point :
             QJsonDocument::fromJson(run.out).object().value(QStringLiteral("points")).toArray())
            if (qAbs(point.toObject().value(QStringLiteral("mhz")).toDouble() - 28.5) < 1e-6)
                return point.toObject();
        return QJsonObject();
    };
    const Run direct = runCalc({"--analyse", "--format", "json", "--elements", "2", "28.5"});
    const Run matched =
        runCalc(QStringList{"--analyse", "--format", "json", "--elements", "2"} + section + QStringList{"28.5"});
    QCOMPARE(direct.exitCode, 0);
    QCOMPARE(matched.exitCode, 0);
    // Each says the match its SWR is read through.
    const QJsonObject readThrough =
        QJsonDocument::fromJson(matched.out).object().value(QStringLiteral("match")).toObject();
    QCOMPARE(readThrough.value(QStringLiteral("kind")).toString(), QStringLiteral("quarter-wave"));
    QCOMPARE(readThrough.value(QStringLiteral("z0")).toDouble(), 75.0);
    QCOMPARE(QJsonDocument::fromJson(direct.out)
                 .object()
                 .value(QStringLiteral("match"))
                 .toObject()
                 .value(QStringLiteral("kind")),
             QJsonValue(QStringLiteral("direct")));
    const QJsonObject feed = designOf(direct);
    const QJsonObject through = designOf(matched);
    // Behind the section, the loop as fed directly: the source wire far off barely touches it.
    QVERIFY2(qAbs(through.value("r").toDouble() - feed.value("r").toDouble()) <= 0.01 * feed.value("r").toDouble(),
             matched.out.constData());
    // A quarter wave of 75 ohms turns Z into 75 squared over Z.
    const std::complex<double> z(feed.value("r").toDouble(), feed.value("x").toDouble());
    const std::complex<double> line = 75.0 * 75.0 / z;
    const double gamma = std::abs((line - 50.0) / (line + 50.0));
    const double swr = (1.0 + gamma) / (1.0 - gamma);
    QVERIFY2(qAbs(through.value("swr").toDouble() - swr) <= 0.02 * swr,
             qPrintable(QString::number(swr) + " " + QString::number(through.value("swr").toDouble())));

    // The advice names the match, and the SWR at resonance the line sees through it.
    const Run balun = runCalc({"--analyse", "--elements", "2", "--match", "balun4", "28.5"});
    QCOMPARE(balun.exitCode, 0);
    QVERIFY2(balun.out.contains("through a 4:1 balun at the feed point") && !balun.out.contains("1:1 current") &&
                 balun.out.contains(" through the match: an SWR of "),
             balun.out.constData());

    // Tuned through the section with an F/B goal of 10 dB, it meets SWR 1.5 across the band; saved, its sheet
    // cuts the section it was tuned through.
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("two.json"));
    const Run tuned =
        runCalc(QStringList{"--tune", "--format", "json", "--elements", "2", "--goal-fb", "10", "--save", saved} +
                section + QStringList{"28.5"});
    QCOMPARE(tuned.exitCode, 0);
    const QJsonObject after = QJsonDocument::fromJson(tuned.out).object().value(QStringLiteral("after")).toObject();
    QVERIFY2(after.value(QStringLiteral("worst_swr")).toDouble() <= 1.5, tuned.out.constData());
    QVERIFY2(after.value(QStringLiteral("min_fb_db")).toDouble() >= 10.0, tuned.out.constData());
    const Run sheet = runCalc({"--shop", "--format", "json", "--tuned", saved});
    QCOMPARE(sheet.exitCode, 0);
    const QJsonObject match = QJsonDocument::fromJson(sheet.out).object().value(QStringLiteral("match")).toObject();
    QCOMPARE(match.value(QStringLiteral("kind")).toString(), QStringLiteral("quarter-wave"));
    QCOMPARE(match.value(QStringLiteral("z0")).toDouble(), 75.0);

    // The saved design's deck, run in the engine directly and read here: the source sits at the section's far
    // end, so its impedance is what the 50 ohm line sees. Across the band it meets SWR 1.5 too, to the four
    // digits the engine prints.
    const QString tunedDeck = folder.filePath(QStringLiteral("two.nec"));
    const Run written = runShell(QStringLiteral("$CALC --nec --tuned '%1' > '%2'").arg(saved, tunedDeck));
    QCOMPARE(written.exitCode, 0);
    // Its sweep is the command line's, as any deck's is: nothing given is left out in silence.
    const Run swept = runCalc({"--nec", "--tuned", saved, "--points", "5", "--span", "1"});
    QCOMPARE(swept.exitCode, 0);
    QVERIFY2(swept.out.contains("\nFR 0 5 0 0 28.215 0.1425\n"), swept.out.constData());
    const QString output = folder.filePath(QStringLiteral("two.out"));
    QCOMPARE(
        QProcess::execute(QStringLiteral("nec2c"), {QStringLiteral("-i"), tunedDeck, QStringLiteral("-o"), output}), 0);
    QFile engine(output);
    QVERIFY(engine.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(engine.readAll());
    static const QRegularExpression frequency(QStringLiteral("FREQUENCY : (\\S+) MHz"));
    static const QRegularExpression source(
        QStringLiteral("ANTENNA INPUT PARAMETERS[^\\n]*\\n[^\\n]*\\n[^\\n]*\\n +9 +\\d+ +(?:\\S+ +){4}(\\S+) +(\\S+)"));
    int inBand = 0;
    for (auto at = frequency.globalMatch(text); at.hasNext();) {
        const QRegularExpressionMatch found = at.next();
        const double mhz = found.captured(1).toDouble();
        const QRegularExpressionMatch atSource = source.match(text, found.capturedEnd());
        QVERIFY(atSource.hasMatch());
        if (qAbs(mhz - 28.5) > 28.5 * 0.005 + 1e-3)
            continue;
        const std::complex<double> seen(atSource.captured(1).toDouble(), atSource.captured(2).toDouble());
        const double reflected = std::abs((seen - 50.0) / (seen + 50.0));
        QVERIFY2((1.0 + reflected) / (1.0 - reflected) <= 1.5005, qPrintable(QString::number(mhz)));
        ++inBand;
    }
    QCOMPARE(inBand, 4); // the band's edges, the design frequency and the pattern's frequency card
}

// Whatever the frequency text, the deck the program writes is one nec2c runs.
void TestCliCheck::everyDeckRunsInTheEngine_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::newRow("cards after line ends") << "14.2\nEX 0 1 6 0 1.0 0.0\nCM";
    QTest::newRow("a carriage return") << "14.2\rEN";
    QTest::newRow("a long text") << "14.2 " + QString(120, QLatin1Char('9'));
}

void TestCliCheck::everyDeckRunsInTheEngine()
{
    if (QStandardPaths::findExecutable(QStringLiteral("nec2c")).isEmpty())
        QSKIP("nec2c is not installed");
    QFETCH(QString, frequency);
    const Run deck = runCalc({QStringLiteral("--nec"), QStringLiteral("--points"), QStringLiteral("3"), frequency});
    QCOMPARE(deck.exitCode, 0);
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("deck.nec")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(deck.out) == deck.out.size());
    file.close();
    QProcess engine;
    engine.setWorkingDirectory(folder.path());
    engine.start(QStringLiteral("nec2c"), {QStringLiteral("-ideck.nec"), QStringLiteral("-odeck.out")});
    QVERIFY(engine.waitForFinished(60000));
    QCOMPARE(engine.exitCode(), 0);
    QFile output(folder.filePath(QStringLiteral("deck.out")));
    QVERIFY(output.open(QIODevice::ReadOnly));
    QCOMPARE(output.readAll().count("RADIATION PATTERNS"), 4); // three frequencies and the azimuth pattern
}

void TestCliCheck::engineLookup_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("executable");
    QTest::addColumn<QString>("message");
    QTest::newRow("not installed") << "/nonexistent" << true << "which is not installed. Install the Debian package";
    QTest::newRow("not executable") << "bin:/nonexistent" << false
                                    << "bin/nec2c is there but may not be run (it is not executable)";
    // The engine runs in a folder of its own: found through a relative PATH entry, it must still be run.
    QTest::newRow("relative PATH entry") << "bin:/usr/bin:/bin" << true << "nec2c failed: the stand-in ran";
    QTest::newRow("empty PATH entry") << "/nonexistent::/usr/bin" << true << "nec2c failed: the stand-in ran";
}

// nec2c is found on the PATH as the shell would find it, and when it is not there, or not runnable, the user
// is told which.
void TestCliCheck::engineLookup()
{
    QFETCH(QString, path);
    QFETCH(bool, executable);
    QFETCH(QString, message);
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("bin")));
    for (const QString &place : {QStringLiteral("bin/nec2c"), QStringLiteral("nec2c")}) {
        QFile standIn(folder.filePath(place));
        QVERIFY(standIn.open(QIODevice::WriteOnly));
        standIn.write("#!/bin/sh\necho the stand-in ran\nexit 1\n");
        standIn.close();
        QVERIFY(standIn.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                                       (executable ? QFile::ExeOwner : QFile::Permissions())));
    }
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"), path);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder.path());
    process.start(QStringLiteral(TARVELIN_CALC_PATH), {QStringLiteral("--analyse"), QStringLiteral("14.2")});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(process.readAllStandardOutput().isEmpty());
    const QByteArray err = process.readAllStandardError();
    QVERIFY2(err.contains(message.toUtf8()), err.constData());
}

void TestCliCheck::deckAndBadCheckOptions()
{
    const Run deck =
        runCalc({QStringLiteral("--nec"), QStringLiteral("--points"), QStringLiteral("5"), QStringLiteral("14.2")});
    QCOMPARE(deck.exitCode, 0);
    QVERIFY(deck.out.startsWith("CM Tarvelin"));
    QVERIFY(deck.out.contains("\nFR 0 5 0 0 13.774 0.213\n")); // 14.2 x 0.97, steps of 14.2 x 0.03 / 2
    QVERIFY(deck.out.endsWith("EN\n"));

    for (const QStringList &arguments :
         {QStringList{"--analyse", "--points", "4", "14.2"}, QStringList{"--analyse", "--segments", "4", "14.2"},
          QStringList{"--analyse", "--awg", "30", "14.2"}}) {
        const Run run = runCalc(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
    }
    const Run refused = runCalc(
        {QStringLiteral("--analyse"), QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("abc")});
    QCOMPARE(refused.exitCode, 1);
    QCOMPARE(QJsonDocument::fromJson(refused.out).object().value(QStringLiteral("error")).toString(),
             QStringLiteral("Enter the centre frequency in MHz, such as 14.2."));
}

QTEST_GUILESS_MAIN(TestCliCheck)
#include "tst_clicheck.moc"
