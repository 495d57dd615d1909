// SPDX-License-Identifier: MIT
// The engine's child processes when the engine misbehaves, with stand-ins for nec2c on PATH: one that hangs
// and is stopped at the time limit, ones that fail in every way the user must be told apart, one that
// prints nothing, and engines that outlive a window killed outright.
#include "gui/windows/check/enginerun.h"
#include "gui/windows/check/studyrun.h"
#include "support/calclauncher.h"
#include "gui/runtime/quitonsignals.h"
#include "support/standinengine.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

#include <sys/time.h>
#include <csignal>
#include <ctime>

using namespace tarvelin;

namespace {

// Runs one round of `decks` and waits for its answer: the outputs, or the failure's message.
struct Answer
{
    std::optional<study::EngineOutputs> outputs;

    [[nodiscard]] QString failure() const
    {
        const auto *failed = outputs ? std::get_if<study::EngineFailure>(&*outputs) : nullptr;
        return failed ? QString::fromStdString(failed->message) : QString();
    }
};

// A zombie is as good as gone: its parent has ended, and only init may reap it.
bool running(const QByteArray &pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid)));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray fields = stat.readAll();
    return !fields.mid(fields.lastIndexOf(')') + 2, 1).startsWith('Z');
}

std::shared_ptr<Answer> startRound(EngineRun &run, std::vector<std::string> decks, int seconds = 10)
{
    auto answer = std::make_shared<Answer>();
    run.start({std::move(decks), 1, std::chrono::seconds(seconds)},
              [answer](study::EngineOutputs outputs) { answer->outputs = std::move(outputs); });
    return answer;
}

QString failureOf(EngineRun &run, std::vector<std::string> decks)
{
    const auto answer = startRound(run, std::move(decks));
    if (!QTest::qWaitFor([&] { return answer->outputs.has_value(); }, 10000))
        return QStringLiteral("no answer");
    return answer->failure();
}

} // namespace

class TestEngineRun : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void hungEngineIsStopped();
    void calcStopsAHungEngineAndItsChildren();
    void cancelStopsWhatTheEngineStarted();
    void failingEngineIsQuoted();
    void silentEngineIsNoResult();
    void failureNamesItsCause_data();
    void failureNamesItsCause();
    void killedWindowLeavesNothing();
    void signalledWindowCleansUp_data();
    void signalledWindowCleansUp();
    void tuneRunsOnTheEventLoop();
    void cancelledTuneKeepsItsBest();

private:
    void standIn(const QByteArray &script, const QByteArray &interpreter = "/bin/sh");
    void standInModel();
    void startHoldingWindow(QProcess &window, const QString &folder, bool ignoringInt, QList<QByteArray> &engines);

    QTemporaryDir m_bin;
    QByteArray m_path;
};

void TestEngineRun::init()
{
    m_path = qgetenv("PATH");
    qputenv("PATH", m_bin.path().toLocal8Bit() + ":" + m_path);
}

void TestEngineRun::cleanup()
{
    qputenv("PATH", m_path);
}

void TestEngineRun::standIn(const QByteArray &script, const QByteArray &interpreter)
{
    QFile file(m_bin.filePath(QStringLiteral("nec2c")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!" + interpreter + "\n" + script + "\n");
    file.close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void TestEngineRun::hungEngineIsStopped()
{
    standIn("exec sleep 60");
    EngineRun run;
    const auto answer = startRound(run, {"deck one\n", "deck two\n"}, 1);
    const QString folder = run.folder();
    QVERIFY(QDir(folder).exists());
    QVERIFY(QTest::qWaitFor([&] { return answer->outputs.has_value(); }, 10000));
    QVERIFY(answer->failure().contains(QStringLiteral("did not finish within 1 second and was stopped")));
    QVERIFY(std::get<study::EngineFailure>(*answer->outputs).timeLimit);
    QVERIFY(!run.running());
    QVERIFY(!QDir(folder).exists());
}

// tarvelin-calc's launcher stops an engine that hangs at the round's time limit, what it started with it.
void TestEngineRun::calcStopsAHungEngineAndItsChildren()
{
    QTemporaryDir temporary;
    const QString helper = m_bin.filePath(QStringLiteral("helper"));
    standIn("sleep 60 &\necho $! > " + helper.toLocal8Bit() + "\nwait");
    qputenv("TMPDIR", temporary.path().toLocal8Bit());
    const study::EngineOutputs outputs = calcLauncher().run({{"deck\n"}, 1, std::chrono::seconds(1)});
    qunsetenv("TMPDIR");
    const auto *failure = std::get_if<study::EngineFailure>(&outputs);
    QVERIFY(failure);
    QVERIFY(failure->timeLimit);
    QVERIFY2(failure->message == "nec2c did not finish within 1 second and was stopped.", failure->message.c_str());
    QFile started(helper);
    QVERIFY(started.open(QIODevice::ReadOnly));
    const QByteArray pid = started.readAll().trimmed();
    QVERIFY2(QTest::qWaitFor([&] { return !running(pid); }, 5000), pid.constData());
    QCOMPARE(QDir(temporary.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
}

// Stopping an engine stops what it started: its process group goes with it.
void TestEngineRun::cancelStopsWhatTheEngineStarted()
{
    const QString pids = m_bin.filePath(QStringLiteral("helper"));
    standIn("sleep 60 &\necho $! > " + pids.toLocal8Bit() + "\nwait");
    EngineRun run;
    const auto answer = startRound(run, {"deck\n"});
    QFile started(pids);
    QVERIFY(QTest::qWaitFor([&] { return started.exists() && started.size() > 0; }, 10000));
    QVERIFY(started.open(QIODevice::ReadOnly));
    const QString helper = QString::fromLatin1(started.readAll().trimmed());
    run.cancel();
    // Cancel returns without waiting for the engine: it is reaped when its end comes, on the event loop.
    const QList<QProcess *> stopping = run.findChildren<QProcess *>();
    QCOMPARE(stopping.size(), 1);
    QVERIFY(stopping.front()->state() != QProcess::NotRunning);
    QTRY_VERIFY(run.findChildren<QProcess *>().isEmpty());
    QVERIFY(QTest::qWaitFor([&] { return !QFile::exists(QStringLiteral("/proc/%1").arg(helper)); }, 5000));
    QVERIFY(!answer->outputs);
}

void TestEngineRun::failingEngineIsQuoted()
{
    standIn("echo 'GW card: segment count out of range' >&2; exit 1");
    EngineRun run;
    QCOMPARE(failureOf(run, {"deck\n"}), QStringLiteral("nec2c failed: GW card: segment count out of range"));
}

// An engine that exits well but writes nothing has computed nothing.
void TestEngineRun::silentEngineIsNoResult()
{
    standIn("exit 0");
    EngineRun run;
    QCOMPARE(failureOf(run, {"deck\n"}), QStringLiteral("nec2c wrote no output."));
}

// Each way an engine can fail is told as itself, never as a bare exit status.
void TestEngineRun::failureNamesItsCause_data()
{
    QTest::addColumn<QByteArray>("interpreter");
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QString>("message");
    QTest::newRow("its own reason, in its output file")
        << QByteArray("/bin/sh")
        << QByteArray(
               "for a; do case $a in -o*) out=${a#-o};; esac; done\n"
               "printf '  DATA CARD No: 1 GW\\n\\n  GEOMETRY DATA ERROR -- SEGMENT 1 EXTENDS BELOW GROUND' > $out\n"
               "exit 255")
        << "nec2c failed: GEOMETRY DATA ERROR -- SEGMENT 1 EXTENDS BELOW GROUND";
    QTest::newRow("a signal") << QByteArray("/bin/sh") << QByteArray("kill -SEGV $$")
                              << "nec2c was stopped by signal 11 (Segmentation fault) before it finished.";
    QTest::newRow("an interpreter that is missing")
        << QByteArray("/nonexistent/interpreter") << QByteArray() << "but cannot be started";
}

void TestEngineRun::failureNamesItsCause()
{
    QFETCH(QByteArray, interpreter);
    QFETCH(QByteArray, script);
    QFETCH(QString, message);
    standIn(script, interpreter);
    EngineRun run;
    const QString said = failureOf(run, {"deck\n"});
    QVERIFY2(said.contains(message), qPrintable(said));
    QVERIFY(!said.contains(QStringLiteral("not installed")));
}

void TestEngineRun::signalledWindowCleansUp_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("ignoredAtStart");
    QTest::newRow("TERM") << int(SIGTERM) << false;
    QTest::newRow("HUP") << int(SIGHUP) << false;
    QTest::newRow("Ctrl+C") << int(SIGINT) << false;
    QTest::newRow("Ctrl+C to a background job") << int(SIGINT) << true;
}

// This test program again, as a window holding a run of two engines that note their process and wait, with
// its temporary folders in `folder`; `engines` are the engines' processes once both have started.
void TestEngineRun::startHoldingWindow(QProcess &window, const QString &folder, bool ignoringInt,
                                       QList<QByteArray> &engines)
{
    standIn("echo $$ >> \"$PIDS\"\nexec sleep 60");
    const QString pids = QDir(folder).filePath(QStringLiteral("pids"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), folder);
    environment.insert(QStringLiteral("PIDS"), pids);
    environment.insert(QStringLiteral("TARVELIN_HOLD_A_RUN"), QStringLiteral("1"));
    if (ignoringInt)
        environment.insert(QStringLiteral("TARVELIN_START_IGNORING_INT"), QStringLiteral("1"));
    window.setProcessEnvironment(environment);
    window.start(QCoreApplication::applicationFilePath(), {});
    QFile started(pids);
    QVERIFY(QTest::qWaitFor([&] { return started.exists() && started.size() > 0; }, 20000));
    QTest::qWait(200); // the second engine has started too
    QVERIFY(started.open(QIODevice::ReadOnly));
    engines = started.readAll().trimmed().split('\n');
    QCOMPARE(engines.size(), 2);
}

// Stopped by a signal, the window stops its engines and removes its folder as on Quit. A Ctrl+C that the
// program was started ignoring leaves it running.
void TestEngineRun::signalledWindowCleansUp()
{
    QFETCH(int, signal);
    QFETCH(bool, ignoredAtStart);
    QTemporaryDir temporary;
    QProcess window;
    QList<QByteArray> engines;
    startHoldingWindow(window, temporary.path(), ignoredAtStart, engines);
    if (QTest::currentTestFailed())
        return;

    ::kill(static_cast<pid_t>(window.processId()), signal);
    if (ignoredAtStart) {
        QVERIFY(!window.waitForFinished(500));
        ::kill(static_cast<pid_t>(window.processId()), SIGTERM);
    }
    QVERIFY(window.waitForFinished(10000));
    QCOMPARE(window.exitStatus(), QProcess::NormalExit);
    for (const QByteArray &engine : engines)
        QVERIFY2(QTest::qWaitFor([&] { return !running(engine); }, 5000), engine.constData());
    QCOMPARE(QDir(temporary.path(), QStringLiteral("tarvelin-nec-*")).entryList(QDir::Dirs), QStringList());
}

// A window killed outright cannot stop its engines: they die with it, and the next run removes its folder.
void TestEngineRun::killedWindowLeavesNothing()
{
    QTemporaryDir temporary;
    QProcess window;
    QList<QByteArray> engines;
    startHoldingWindow(window, temporary.path(), false, engines);
    if (QTest::currentTestFailed())
        return;
    window.kill();
    QVERIFY(window.waitForFinished(10000));

    for (const QByteArray &engine : engines)
        QVERIFY2(QTest::qWaitFor([&] { return !running(engine); }, 5000), engine.constData());

    const QDir folders(temporary.path(), QStringLiteral("tarvelin-nec-*"));
    const QStringList killedRun = folders.entryList(QDir::Dirs);
    QCOMPARE(killedRun.size(), 1);
    // A user's own folders named like a run's, long untouched, stay whatever they hold.
    const auto userFolder = [&](const QString &name, const QByteArray &lock, const QString &other) {
        QVERIFY(QDir(temporary.path()).mkdir(name));
        const QString path = temporary.filePath(name);
        if (!lock.isNull()) {
            QFile file(path + QStringLiteral("/lock"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(lock);
        }
        if (!other.isEmpty()) {
            QFile file(path + QLatin1Char('/') + other);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const struct timeval dayAgo[2] = {{::time(nullptr) - 86400, 0}, {::time(nullptr) - 86400, 0}};
        QCOMPARE(::utimes(QFile::encodeName(path).constData(), dayAgo), 0);
    };
    userFolder(QStringLiteral("tarvelin-nec-mydata"), QByteArray(), QString());
    userFolder(QStringLiteral("tarvelin-nec-notes1"), QByteArrayLiteral("buy more wire\n"), QString());
    userFolder(QStringLiteral("tarvelin-nec-photos"), QByteArrayLiteral("4242\n"), QStringLiteral("quad.jpg"));
    standIn("exit 1");
    qputenv("TMPDIR", temporary.path().toLocal8Bit());
    EngineRun next;
    QVERIFY(!failureOf(next, {"deck\n"}).isEmpty());
    qunsetenv("TMPDIR");
    QCOMPARE(folders.entryList(QDir::Dirs),
             QStringList({QStringLiteral("tarvelin-nec-mydata"), QStringLiteral("tarvelin-nec-notes1"),
                          QStringLiteral("tarvelin-nec-photos")}));
}

// nec2c played by this test program, with the stand-in's made-up quad: quick, and the same every time.
void TestEngineRun::standInModel()
{
    standIn("exec \"" + QCoreApplication::applicationFilePath().toLocal8Bit() + "\" --be-nec2c \"$@\"");
}

namespace {

study::Study *tuneOnTheStandIn(int designs)
{
    const auto design = std::get<design::Design>(design::specifiedDesign("14.2"));
    study::Study check(design, 2);
    standin::Launcher engine;
    study::driveStudy(check, engine, {});
    tune::TuneSettings tune;
    tune.designLimit = designs;
    return new study::Study(design, 2, tune, check.check());
}

} // namespace

// The window's run of a tune: rounds of engines on the event loop, the designs tried counted as they go,
// and its end heard once.
void TestEngineRun::tuneRunsOnTheEventLoop()
{
    standInModel();
    StudyRun run(std::unique_ptr<study::Study>(tuneOnTheStandIn(7)));
    QStringList progress;
    int ended = 0;
    connect(&run, &StudyRun::progress, &run, [&](int, int, const QString &text) { progress << text; });
    connect(&run, &StudyRun::ended, &run, [&] { ++ended; });
    run.start();
    QVERIFY(run.running());
    QVERIFY(QTest::qWaitFor([&] { return ended > 0; }, 20000));
    QCOMPARE(ended, 1);
    QVERIFY(!run.running());
    QVERIFY2(!run.study().failure(), run.study().failure().value_or("").c_str());
    QCOMPARE(run.study().tuned()->evaluations, 7);
    QVERIFY(progress.contains(QStringLiteral("4 designs tried")));
}

void TestEngineRun::cancelledTuneKeepsItsBest()
{
    standInModel();
    StudyRun run(std::unique_ptr<study::Study>(tuneOnTheStandIn(0)));
    int ended = 0;
    connect(&run, &StudyRun::ended, &run, [&] { ++ended; });
    connect(&run, &StudyRun::progress, &run, [&](int, int, const QString &text) {
        if (text == QStringLiteral("4 designs tried"))
            run.cancel();
    });
    run.start();
    QVERIFY(QTest::qWaitFor([&] { return ended > 0; }, 20000));
    QTest::qWait(50); // no second end comes
    QCOMPARE(ended, 1);
    QVERIFY(run.study().tuned());
    QCOMPARE(run.study().tuned()->end, tune::TuneEnd::Cancelled);
    QCOMPARE(run.study().tuned()->evaluations, 4);
}

// As nec2c: reads the deck named by -i and writes the stand-in's output where -o says.
int beNec2c(int argc, char **argv)
{
    QString input;
    QString output;
    for (int i = 2; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument.startsWith(QStringLiteral("-i")))
            input = argument.mid(2);
        else if (argument.startsWith(QStringLiteral("-o")))
            output = argument.mid(2);
    }
    QFile deck(input);
    QFile out(output);
    if (!deck.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return 1;
    out.write(QByteArray::fromStdString(standin::output(deck.readAll().toStdString())));
    out.write("\n RUN TIME =     0.010\n");
    return 0;
}

int main(int argc, char **argv)
{
    if (argc > 1 && std::string_view(argv[1]) == "--be-nec2c")
        return beNec2c(argc, argv);
    QCoreApplication application(argc, argv);
    if (qEnvironmentVariableIsSet("TARVELIN_HOLD_A_RUN")) {
        if (qEnvironmentVariableIsSet("TARVELIN_START_IGNORING_INT")) // as a shell starts a job with &
            std::signal(SIGINT, SIG_IGN);
        QuitOnSignals quitOnSignals;
        EngineRun run;
        run.start({{"deck one\n", "deck two\n"}, 2, std::chrono::seconds(600)}, [](study::EngineOutputs) {});
        return QCoreApplication::exec();
    }
    TestEngineRun test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_enginerun.moc"
