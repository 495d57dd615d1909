// SPDX-License-Identifier: MIT
// The engine's child processes when the engine misbehaves, with stand-ins for nec2c on PATH: one that hangs
// and is stopped at the time limit, one that fails with a message of its own, one that prints nothing.
#include "ui/enginerun.h"

#include <QDir>
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

private:
    void standIn(const QByteArray &script);

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

void TestEngineRun::standIn(const QByteArray &script)
{
    QFile file(m_bin.filePath(QStringLiteral("nec2c")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + script + "\n");
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

QTEST_GUILESS_MAIN(TestEngineRun)
#include "tst_enginerun.moc"
