// SPDX-License-Identifier: MIT
// Blocking work off the user-interface thread: its answer when it is done, at the limit when it is not, late
// when it ends after that, and nothing once the calls are gone. The work waits on a latch the test opens, so
// no answer depends on how fast the machine is.
#include "gui/runtime/backgroundcalls.h"

#include <QApplication>
#include <QTest>

#include <latch>
#include <memory>

using namespace tarvelin;

using namespace std::chrono_literals;

class TestBackgroundCalls : public QObject
{
    Q_OBJECT

private slots:
    void answersWhenTheWorkIsDone();
    void answersAtTheLimitThenLate();
    void nothingRunsOnceGone();
};

void TestBackgroundCalls::answersWhenTheWorkIsDone()
{
    BackgroundCalls calls;
    QList<bool> answers;
    bool late = false;
    calls.start([] {}, 60s, [&](bool finished) { answers << finished; }, [&] { late = true; });
    QCOMPARE(calls.pending(), 1);
    QVERIFY(QGuiApplication::overrideCursor());
    QTRY_COMPARE(answers, QList<bool>{true});
    QCOMPARE(calls.pending(), 0);
    QVERIFY(!QGuiApplication::overrideCursor());
    QTest::qWait(20);
    QVERIFY(!late);
}

void TestBackgroundCalls::answersAtTheLimitThenLate()
{
    BackgroundCalls calls;
    auto open = std::make_shared<std::latch>(1);
    QList<bool> answers;
    int late = 0;
    calls.start([open] { open->wait(); }, 1ms, [&](bool finished) { answers << finished; }, [&] { ++late; });
    QTRY_COMPARE(answers, QList<bool>{false});
    QCOMPARE(calls.pending(), 0);
    QVERIFY(!QGuiApplication::overrideCursor());
    open->count_down();
    QTRY_COMPARE(late, 1);
    QCOMPARE(answers, QList<bool>{false});
}

void TestBackgroundCalls::nothingRunsOnceGone()
{
    auto open = std::make_shared<std::latch>(1);
    auto done = std::make_shared<std::latch>(1);
    bool heard = false;
    {
        BackgroundCalls calls;
        calls.start(
            [open, done] {
                open->wait();
                done->count_down();
            },
            60s, [&](bool) { heard = true; }, [&] { heard = true; });
    }
    QVERIFY(!QGuiApplication::overrideCursor());
    open->count_down();
    done->wait();
    QTest::qWait(50); // anything the work posted would have run by now
    QVERIFY(!heard);
}

QTEST_MAIN(TestBackgroundCalls)
#include "tst_backgroundcalls.moc"
