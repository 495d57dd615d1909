// SPDX-License-Identifier: MIT
// tarvelin-calc end to end with the real engine: a three-element quad tuned to its end, its loops alone and its
// stations too, and the sheet of the saved design. Apart from the other tests, so it runs beside them.
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


class TestCliStations : public QObject
{
    Q_OBJECT

private slots:
    void threeElementsTunedWithTheirStations();
};

// A three-element quad on 20 m, tuned with its stations free on a 7.5 m boom, meets both goals across the band
// with at least the gain of the loops tuned alone; saved, its sheet cuts those loops at those stations.
void TestCliStations::threeElementsTunedWithTheirStations()
{
    if (QStandardPaths::findExecutable(QStringLiteral("nec2c")).isEmpty())
        QSKIP("nec2c is not installed");
    const Run fixed = runCalc({"--tune", "--format", "json", "--elements", "3", "14.2"});
    QCOMPARE(fixed.exitCode, 0);
    const QJsonObject loopsOnly = QJsonDocument::fromJson(fixed.out).object();
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("three.json"));
    const Run run =
        runCalc({"--tune", "--format", "json", "--elements", "3", "--boom", "7.5m", "--save", saved, "14.2"});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject tuned = QJsonDocument::fromJson(run.out).object();
    for (const QJsonObject &tune : {loopsOnly, tuned}) {
        const QJsonObject after = tune.value(QStringLiteral("after")).toObject();
        QVERIFY2(after.value(QStringLiteral("worst_swr")).toDouble() <= 1.5, run.out.constData());
        QVERIFY2(after.value(QStringLiteral("min_fb_db")).toDouble() >= 20.0, run.out.constData());
    }
    QVERIFY(tuned.value(QStringLiteral("after")).toObject().value(QStringLiteral("gain_dbi")).toDouble() >=
            loopsOnly.value(QStringLiteral("after")).toObject().value(QStringLiteral("gain_dbi")).toDouble());
    const QJsonArray loops = tuned.value(QStringLiteral("loops")).toArray();
    QCOMPARE(loops.size(), 3);
    const double wavelengthInches = 299.792458 / 14.2 / 0.0254;
    double last = 0.0;
    for (int i = 1; i < 3; ++i) {
        const double station = loops[i].toObject().value(QStringLiteral("station_in")).toDouble();
        QVERIFY2(station - last >= 0.05 * wavelengthInches - 0.001, run.out.constData());
        last = station;
    }
    QVERIFY2(last <= 7.5 / 0.0254 + 0.001, run.out.constData());

    const Run sheet = runCalc({"--shop", "--format", "json", "--tuned", saved});
    QCOMPARE(sheet.exitCode, 0);
    const QJsonObject cut = QJsonDocument::fromJson(sheet.out).object();
    const QJsonArray stations =
        cut.value(QStringLiteral("boom")).toObject().value(QStringLiteral("stations")).toArray();
    QCOMPARE(stations.size(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(stations[i].toObject().value(QStringLiteral("station_mm")).toDouble(),
                 loops[i].toObject().value(QStringLiteral("station_mm")).toDouble());
    // Asked for the design as it was saved, with another boom, it is refused by name.
    const Run other = runCalc({"--shop", "--tuned", saved, "--boom", "9m"});
    QCOMPARE(other.exitCode, 1);
    QVERIFY2(other.err.contains("made for a boom of 7.50 m, not 9.00 m"), other.err.constData());
}

QTEST_GUILESS_MAIN(TestCliStations)
#include "tst_clistations.moc"
