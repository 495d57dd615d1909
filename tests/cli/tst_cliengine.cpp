// SPDX-License-Identifier: MIT
// tarvelin-calc end to end with the real engine: sweeps in turn beside the check and the sheet, a check killed
// or failing, a tune cut short. Apart from tarvelin-calc's other tests, so they run side by side.
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

class TestCliEngine : public QObject
{
    Q_OBJECT

private slots:
    void tuneEndToEnd();
    void sweepsInTurn();
    void tuneCsvEchoesTheFrequency();
    void checkFailuresAreRecords_data();
    void checkFailuresAreRecords();
    void longTemporaryFolder();
    void killedCheckLeavesNothing_data();
    void killedCheckLeavesNothing();
};

// Two sweeps of the built antenna, the second after the loops were trimmed 0.5 % shorter: the latest is the
// one compared, with its move since the first, and both are listed oldest first.
void TestCliEngine::sweepsInTurn()
{
    if (QStandardPaths::findExecutable(QStringLiteral("nec2c")).isEmpty())
        QSKIP("nec2c is not installed");
    QTemporaryDir folder;
    QStringList arguments{"--analyse", "--format", "json"};
    for (const auto &[name, resonance] : {std::pair{"before.s1p", 13.90}, std::pair{"after.s1p", 13.90 / 0.995}}) {
        const QString path = folder.filePath(QString::fromLatin1(name));
        QVERIFY(writeResonantSweep(path, resonance, 13.7, 60));
        arguments << "--sweep" << path;
    }
    const Run run = runCalc(QStringList(arguments) << "14.2");
    QCOMPARE(run.exitCode, 0);
    const QJsonObject check = QJsonDocument::fromJson(run.out).object();
    const QJsonObject measured = check.value(QStringLiteral("measured")).toObject();
    QVERIFY(measured.value(QStringLiteral("file")).toString().endsWith(QStringLiteral("after.s1p")));
    QVERIFY2(qAbs(measured.value(QStringLiteral("move_percent")).toDouble() - 0.5) <= 0.05, run.out.constData());
    const QJsonArray sweeps = check.value(QStringLiteral("sweeps")).toArray();
    QCOMPARE(sweeps.size(), 2);
    QVERIFY(sweeps[0].toObject().value(QStringLiteral("move_percent")).isNull());
    QVERIFY(sweeps[0].toObject().value(QStringLiteral("file")).toString().endsWith(QStringLiteral("before.s1p")));
    QCOMPARE(sweeps[1].toObject().value(QStringLiteral("move_percent")).toDouble(),
             measured.value(QStringLiteral("move_percent")).toDouble());

    // The sheet from the same two sweeps trims the loops as the first one's trims left them, and says how much
    // of that trim showed up: from 13.9 MHz towards 14.2, the antenna moved to 13.97.
    QStringList sheet{"--shop", "--format", "json"};
    for (const char *name : {"before.s1p", "after.s1p"})
        sheet << "--measured-sweep" << folder.filePath(QString::fromLatin1(name));
    const Run trimmed = runCalc(QStringList(sheet) << "14.2");
    QCOMPARE(trimmed.exitCode, 0);
    const QJsonObject earlier =
        QJsonDocument::fromJson(trimmed.out).object().value(QStringLiteral("earlier_trim")).toObject();
    QCOMPARE(earlier.value(QStringLiteral("measured_mhz")).toDouble(), 13.9);
    QCOMPARE(earlier.value(QStringLiteral("cut")).toString(), QStringLiteral("advised"));
    const double moved = (13.9 / 0.995 - 13.9) / (14.2 - 13.9) * 100.0;
    QVERIFY2(qAbs(earlier.value(QStringLiteral("showed_percent")).toDouble() - moved) <= 0.1, trimmed.out.constData());
    // The check's verdict trims as the sheet does: the same frequency to cut the loops for.
    const auto cutAsFor = [](const Run &analysed) {
        return QJsonDocument::fromJson(analysed.out)
            .object()
            .value(QStringLiteral("measured"))
            .toObject()
            .value(QStringLiteral("cut_as_for_mhz"));
    };
    const auto corrected = [](const Run &sheetRun) {
        return QJsonDocument::fromJson(sheetRun.out).object().value(QStringLiteral("corrected_frequency")).toString();
    };
    QCOMPARE(QString::number(cutAsFor(run).toDouble(), 'f', 3), corrected(trimmed));

    // Told what was really cut, 0.5 % of the driven loop, both say all of it showed up, and cut alike.
    const QString cut = QStringLiteral("%1").arg(870.423 * 0.005, 0, 'f', 3);
    const Run told = runCalc(QStringList(sheet) << "--cut" << cut << "14.2");
    QCOMPARE(told.exitCode, 0);
    const QJsonObject given =
        QJsonDocument::fromJson(told.out).object().value(QStringLiteral("earlier_trim")).toObject();
    QCOMPARE(given.value(QStringLiteral("cut")).toString(), QStringLiteral("given"));
    QVERIFY2(qAbs(given.value(QStringLiteral("showed_percent")).toDouble() - 100.0) <= 0.5, told.out.constData());
    const Run analysedTold = runCalc(QStringList(arguments) << "--cut" << cut << "14.2");
    QCOMPARE(QString::number(cutAsFor(analysedTold).toDouble(), 'f', 3), corrected(told));
}

// A check stopped by a signal, or killed outright, leaves no engine running and, by the next check at the
// latest, no folder behind. The stand-in engine notes its process and waits.
void TestCliEngine::killedCheckLeavesNothing_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("TERM") << int(SIGTERM);
    QTest::newRow("HUP") << int(SIGHUP);
    QTest::newRow("INT") << int(SIGINT);
    QTest::newRow("KILL") << int(SIGKILL);
}

void TestCliEngine::killedCheckLeavesNothing()
{
    QFETCH(int, signal);
    QTemporaryDir bin;
    QTemporaryDir temporary;
    const QString pids = bin.filePath(QStringLiteral("pids"));
    QFile standIn(bin.filePath(QStringLiteral("nec2c")));
    QVERIFY(standIn.open(QIODevice::WriteOnly));
    // Each engine starts a helper of its own, which goes with it when it is stopped.
    standIn.write("#!/bin/sh\n[ -n \"$HANG\" ] || exit 1\nsleep 60 &\necho $! >> \"$PIDS.helpers\"\n"
                  "echo $$ >> \"$PIDS\"\nwait\n");
    standIn.close();
    QVERIFY(standIn.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"), bin.path() + QStringLiteral(":/usr/bin:/bin"));
    environment.insert(QStringLiteral("TMPDIR"), temporary.path());
    environment.insert(QStringLiteral("PIDS"), pids);
    environment.insert(QStringLiteral("HANG"), QStringLiteral("1"));
    QProcess check;
    check.setProcessEnvironment(environment);
    check.start(QStringLiteral(TARVELIN_CALC_PATH),
                {QStringLiteral("--analyse"), QStringLiteral("--points"), QStringLiteral("3"), QStringLiteral("14.2")});
    QVERIFY(check.waitForStarted());
    QFile started(pids);
    QVERIFY(QTest::qWaitFor([&] { return started.exists() && started.size() > 0; }, 20000));
    QTest::qWait(200); // every engine of the run has started
    QVERIFY(started.open(QIODevice::ReadOnly));
    const QList<QByteArray> engines = lines(started.readAll());
    QVERIFY(!engines.isEmpty());
    const QDir folders(temporary.path(), QStringLiteral("tarvelin-nec-*"));
    QCOMPARE(folders.entryList(QDir::Dirs).size(), 1);

    ::kill(static_cast<pid_t>(check.processId()), signal);
    QVERIFY(check.waitForFinished(10000));
    QCOMPARE(check.exitStatus(), QProcess::CrashExit);
    QCOMPARE(check.exitCode(), signal);

    // A zombie is dead too: its parent is gone, and only init may reap it.
    const auto running = [](const QByteArray &pid) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid)));
        if (!stat.open(QIODevice::ReadOnly))
            return false;
        const QByteArray fields = stat.readAll();
        return !fields.mid(fields.lastIndexOf(')') + 2, 1).startsWith('Z');
    };
    for (const QByteArray &engine : engines)
        QVERIFY2(QTest::qWaitFor([&] { return !running(engine); }, 5000), engine.constData());
    QFile helpers(pids + QStringLiteral(".helpers"));
    QVERIFY(helpers.open(QIODevice::ReadOnly));
    for (const QByteArray &helper : lines(helpers.readAll())) {
        if (signal != SIGKILL)
            QVERIFY2(QTest::qWaitFor([&] { return !running(helper); }, 5000), helper.constData());
        else // a program killed outright stops nothing itself: its engine dies with it, the helper lives on
            ::kill(static_cast<pid_t>(helper.toInt()), SIGKILL);
    }

    if (signal == SIGKILL) {
        // Nothing could clean up: the next check does.
        QCOMPARE(folders.entryList(QDir::Dirs).size(), 1);
        environment.remove(QStringLiteral("HANG"));
        check.setProcessEnvironment(environment);
        check.start(QStringLiteral(TARVELIN_CALC_PATH), {QStringLiteral("--analyse"), QStringLiteral("14.2")});
        QVERIFY(check.waitForFinished(30000));
        QCOMPARE(check.exitCode(), 1);
    }
    QCOMPARE(QDir(temporary.path(), QStringLiteral("tarvelin-nec-*")).entryList(QDir::Dirs), QStringList());
}

// nec2c cuts file names at 75 characters: the engine is given names relative to its folder, so a long
// TMPDIR works as a short one does.
void TestCliEngine::longTemporaryFolder()
{
    if (QStandardPaths::findExecutable(QStringLiteral("nec2c")).isEmpty())
        QSKIP("nec2c is not installed");
    QTemporaryDir temporary;
    const QString deep = temporary.filePath(QString(100, QLatin1Char('t')));
    QVERIFY(QDir().mkpath(deep));
    QProcess check;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), deep);
    check.setProcessEnvironment(environment);
    check.start(QStringLiteral(TARVELIN_CALC_PATH),
                {QStringLiteral("--analyse"), QStringLiteral("--points"), QStringLiteral("3"), QStringLiteral("14.2")});
    QVERIFY(check.waitForFinished(60000));
    QCOMPARE(check.exitCode(), 0);
    QVERIFY(check.readAllStandardOutput().startsWith("Antenna check for 14.200 MHz"));
}

// A frequency whose check fails still gets its record, under the check's own header, in csv and json.
void TestCliEngine::checkFailuresAreRecords_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("csv, refused text") << "csv" << QString()
                                       << QByteArray(
                                              "frequency,mhz,r,x,swr,gain_dbi,fb_db,fr_db,takeoff_deg,round,note,"
                                              "error\r\n"
                                              "abc,,,,,,,,,,,\"Enter the centre frequency in MHz, such as 14.2.\"\r\n");
    QTest::newRow("json, no engine") << "json"
                                     << "/nonexistent"
                                     << QByteArray("{\"frequency\": \"14.2\", \"error\": \"The antenna check needs "
                                                   "the NEC-2 engine nec2c, which is not installed. Install the Debian "
                                                   "package nec2c: sudo apt install nec2c\"}\n");
}

void TestCliEngine::checkFailuresAreRecords()
{
    QFETCH(QString, format);
    QFETCH(QString, path);
    QFETCH(QByteArray, expected);
    QProcess process;
    if (!path.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PATH"), path);
        process.setProcessEnvironment(environment);
    }
    process.start(QStringLiteral(TARVELIN_CALC_PATH),
                  {QStringLiteral("--analyse"), QStringLiteral("--format"), format,
                   path.isEmpty() ? QStringLiteral("abc") : QStringLiteral("14.2")});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 1);
    QCOMPARE(process.readAllStandardOutput(), expected);
}

// One real tune at 14.2 MHz, cut short after six designs: the loops move, the stations stay, and the
// tuned design does better than the specified one by the tuner's own measure.
void TestCliEngine::tuneEndToEnd()
{
    if (QStandardPaths::findExecutable(QStringLiteral("nec2c")).isEmpty())
        QSKIP("nec2c is not installed");
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("tuned.json"));
    const Run run = runCalc({"--tune", "--format", "json", "--max-designs", "6", "--save", saved, "14.2"});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject tuned = QJsonDocument::fromJson(run.out).object();
    const QJsonArray loops = tuned.value(QStringLiteral("loops")).toArray();
    QCOMPARE(loops.size(), 7);
    QCOMPARE(loops[0].toObject().value(QStringLiteral("element")).toString(), QStringLiteral("Reflector"));
    for (const QJsonValue loop : loops) {
        const double factor = loop.toObject().value(QStringLiteral("factor")).toDouble();
        QVERIFY2(factor >= 0.9 && factor <= 1.1, qPrintable(QString::number(factor)));
        QVERIFY(qAbs(loop.toObject().value(QStringLiteral("loop_in")).toDouble() -
                     4 * loop.toObject().value(QStringLiteral("side_in")).toDouble()) < 0.003);
    }
    const QJsonArray stations = tuned.value(QStringLiteral("stations_in")).toArray();
    QCOMPARE(stations.size(), 7);
    QCOMPARE(stations[6].toDouble(), 807.316); // the window's boom
    const QJsonObject before = tuned.value(QStringLiteral("before")).toObject();
    const QJsonObject after = tuned.value(QStringLiteral("after")).toObject();
    QVERIFY2(qAbs(before.value(QStringLiteral("swr")).toDouble() - 4.118) < 0.01, run.out.constData());
    QVERIFY(after.value(QStringLiteral("worst_swr")).toDouble() < before.value(QStringLiteral("worst_swr")).toDouble());
    QVERIFY(tuned.value(QStringLiteral("goals_met")).toObject().contains(QStringLiteral("swr")));
    QCOMPARE(tuned.value(QStringLiteral("evaluations")).toInt(), 6);
    QCOMPARE(tuned.value(QStringLiteral("ended")).toString(), QStringLiteral("most designs to try"));
    // How exact the cut must be: the tuned loops cut 0.1 % long and short, modelled after the search.
    const QJsonObject tolerance = tuned.value(QStringLiteral("tolerance")).toObject();
    QCOMPARE(tolerance.value(QStringLiteral("percent")).toDouble(), 0.1);
    QVERIFY(tolerance.value(QStringLiteral("worst_swr")).toDouble() >= 1.0);
    QVERIFY(tolerance.value(QStringLiteral("goals_met")).isBool());

    // The sheet of the saved design cuts exactly the loops the tune showed, factor for factor.
    const Run sheet = runCalc({"--shop", "--format", "json", "--tuned", saved});
    QCOMPARE(sheet.exitCode, 0);
    const QJsonObject cut = QJsonDocument::fromJson(sheet.out).object();
    QCOMPARE(cut.value(QStringLiteral("frequency")).toString(), QStringLiteral("14.2"));
    const QJsonArray factors = cut.value(QStringLiteral("factors")).toArray();
    QCOMPARE(factors.size(), 7);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(factors[i].toDouble(), loops[i].toObject().value(QStringLiteral("factor")).toDouble());
    // It says what the tune said of those loops: the figures before and after, the goals and the end.
    const QJsonObject tuning = cut.value(QStringLiteral("tuning")).toObject();
    const QJsonArray figures = tuning.value(QStringLiteral("figures")).toArray();
    QVERIFY(figures.size() >= 6);
    QCOMPARE(figures[0].toObject().value(QStringLiteral("figure")).toString(), QStringLiteral("SWR at 14.200 MHz"));
    QCOMPARE(figures[0].toObject().value(QStringLiteral("tuned")).toDouble(),
             after.value(QStringLiteral("swr")).toDouble());
    QVERIFY2(tuning.value(QStringLiteral("outcome")).toString().contains(QStringLiteral("stopped at the most designs")),
             qPrintable(tuning.value(QStringLiteral("outcome")).toString()));
    // Asked for other settings, it names the difference.
    const Run other = runCalc({"--shop", "--tuned", saved, "--wire-mm", "1.0", "14.2"});
    QCOMPARE(other.exitCode, 1);
    QVERIFY2(other.err.contains("The tuned design was made for 2.05 mm wire, not 1.00 mm wire."),
             other.err.constData());
    // AWG 12 is the 2.05 mm wire it was tuned for; built and measured, the tuned loops are trimmed as they are.
    const Run trimmed = runCalc({"--shop", "--format", "json", "--tuned", saved, "--awg", "12", "--measured", "14.1"});
    QCOMPARE(trimmed.exitCode, 0);
    const QJsonObject trimmedSheet = QJsonDocument::fromJson(trimmed.out).object();
    QCOMPARE(trimmedSheet.value(QStringLiteral("trims")).toArray().size(), 7);
    QCOMPARE(trimmedSheet.value(QStringLiteral("factors")).toArray(), factors);
}

// The tuned design's CSV gives the frequency as typed on every row, as its JSON does, and the tune's figures.
void TestCliEngine::tuneCsvEchoesTheFrequency()
{
    tarvelin::cli::ResultWriter writer(tarvelin::cli::OutputFormat::Csv);
    std::string out;
    const auto design = std::get<tarvelin::design::Design>(tarvelin::design::specifiedDesign("14.20")).lengths;
    tarvelin::tune::TuneResult tuned;
    tuned.factors.assign(7, 1.0);
    writer.appendTune(out, " 14.20", design, tuned, tarvelin::tune::TuneSettings{}, {});
    const QList<QByteArray> all = lines(QByteArray::fromStdString(out));
    const QList<QByteArray> rows = all.mid(1);
    QCOMPARE(rows.size(), 7);
    for (const QByteArray &row : rows)
        QVERIFY2(row.startsWith(" 14.20,"), row.constData());
    // Beside every loop, the figures before and after and the goals, as the JSON has them.
    QVERIFY2(all[0].contains(",before_swr,before_gain_dbi,") && all[0].contains(",after_worst_swr,after_min_fb_db,") &&
                 all[0].endsWith(",swr_goal_met,fb_goal_met,tolerance_worst_swr,tolerance_min_fb_db,ended,error\r"),
             all[0].constData());
    QVERIFY2(rows[0].endsWith(",false,false,,,converged,\r"), rows[0].constData());
}

QTEST_GUILESS_MAIN(TestCliEngine)
#include "tst_cliengine.moc"
