// SPDX-License-Identifier: MIT
// The engine's child processes when the engine misbehaves, with stand-ins for nec2c on PATH: one that hangs
// and is stopped at the time limit, ones that fail in every way the user must be told apart, one that
// prints nothing, and engines that outlive a window killed outright.
#include "gui/windows/enginerun.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvelin;

class TestEngineRun : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void hungEngineIsStopped();
    void failingEngineIsQuoted();
    void silentEngineIsNoResult();
    void failureNamesItsCause_data();
    void failureNamesItsCause();
    void killedWindowLeavesNothing();

private:
    void standIn(const QByteArray &script, const QByteArray &interpreter = "/bin/sh");

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
    EngineRun run({"deck one\n", "deck two\n"}, 2, 1000);
    QSignalSpy failed(&run, &EngineRun::failed);
    QSignalSpy finished(&run, &EngineRun::finished);
    run.start();
    const QString folder = run.folder();
    QVERIFY(QDir(folder).exists());
    QVERIFY(failed.wait(10000));
    QVERIFY(failed.front().front().toString().contains(QStringLiteral("did not finish within 1 seconds")));
    QVERIFY(finished.isEmpty());
    QVERIFY(!run.running());
    QVERIFY(!QDir(folder).exists());
}

void TestEngineRun::failingEngineIsQuoted()
{
    standIn("echo 'GW card: segment count out of range' >&2; exit 1");
    EngineRun run({"deck\n"}, 1, 10000);
    QSignalSpy failed(&run, &EngineRun::failed);
    run.start();
    QVERIFY(failed.wait(10000));
    QCOMPARE(failed.front().front().toString(), QStringLiteral("nec2c failed: GW card: segment count out of range"));
}

// An engine that exits well but writes nothing has computed nothing.
void TestEngineRun::silentEngineIsNoResult()
{
    standIn("exit 0");
    EngineRun run({"deck\n"}, 1, 10000);
    QSignalSpy failed(&run, &EngineRun::failed);
    run.start();
    QVERIFY(failed.wait(10000));
    QCOMPARE(failed.front().front().toString(), QStringLiteral("nec2c wrote no output."));
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
    EngineRun run({"deck\n"}, 1, 10000);
    QSignalSpy failed(&run, &EngineRun::failed);
    run.start();
    QVERIFY(failed.wait(10000));
    const QString said = failed.front().front().toString();
    QVERIFY2(said.contains(message), qPrintable(said));
    QVERIFY(!said.contains(QStringLiteral("not installed")));
}

// A window killed outright cannot stop its engines: they die with it, and the next run removes its folder.
// The window here is this test program again, holding a run of engines that note their process and wait.
void TestEngineRun::killedWindowLeavesNothing()
{
    standIn("echo $$ >> \"$PIDS\"\nexec sleep 60");
    QTemporaryDir temporary;
    const QString pids = m_bin.filePath(QStringLiteral("pids"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), temporary.path());
    environment.insert(QStringLiteral("PIDS"), pids);
    environment.insert(QStringLiteral("TARVELIN_HOLD_A_RUN"), QStringLiteral("1"));
    QProcess window;
    window.setProcessEnvironment(environment);
    window.start(QCoreApplication::applicationFilePath(), {});
    QFile started(pids);
    QVERIFY(QTest::qWaitFor([&] { return started.exists() && started.size() > 0; }, 20000));
    QTest::qWait(200);
    QVERIFY(started.open(QIODevice::ReadOnly));
    const QList<QByteArray> engines = started.readAll().trimmed().split('\n');
    QCOMPARE(engines.size(), 2);
    window.kill();
    QVERIFY(window.waitForFinished(10000));

    const auto running = [](const QByteArray &pid) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid)));
        if (!stat.open(QIODevice::ReadOnly))
            return false;
        const QByteArray fields = stat.readAll();
        return !fields.mid(fields.lastIndexOf(')') + 2, 1).startsWith('Z'); // a zombie waits for init only
    };
    for (const QByteArray &engine : engines)
        QVERIFY2(QTest::qWaitFor([&] { return !running(engine); }, 5000), engine.constData());

    const QDir folders(temporary.path(), QStringLiteral("tarvelin-nec-*"));
    QCOMPARE(folders.entryList(QDir::Dirs).size(), 1);
    standIn("exit 1");
    qputenv("TMPDIR", temporary.path().toLocal8Bit());
    EngineRun next({"deck\n"}, 1, 10000);
    QSignalSpy failed(&next, &EngineRun::failed);
    next.start();
    QVERIFY(failed.wait(10000));
    qunsetenv("TMPDIR");
    QCOMPARE(folders.entryList(QDir::Dirs), QStringList());
}

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (qEnvironmentVariableIsSet("TARVELIN_HOLD_A_RUN")) {
        EngineRun run({"deck one\n", "deck two\n"}, 2, 600000);
        run.start();
        return QCoreApplication::exec();
    }
    TestEngineRun test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_enginerun.moc"
