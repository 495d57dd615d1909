// SPDX-License-Identifier: MIT
#include "core/nec/tuner.h"

#include "core/format/fieldtext.h"

#include <QTest>

#include <atomic>
#include <cmath>

using namespace tarvelin;
using namespace tarvelin::nec;

namespace {

// A stand-in for the engine with a known best design: gain falls, SWR and F/B worsen with the distance from
// `best`, and every goal is met there. It notes any candidate outside the tuner's bounds.
struct StandIn
{
    LoopFactors best{0.98, 0.97, 0.99, 0.985, 0.975, 0.97, 0.965};
    std::atomic<int> calls{0};
    std::atomic<bool> outOfBounds{false};
    int failAt = 0; // the call that fails, if any

    Evaluator evaluator()
    {
        return [this](const LoopFactors &x) -> std::variant<BandFigures, std::string> {
            const int call = ++calls;
            if (failAt > 0 && call == failAt)
                return std::string("nec2c failed: it exited with status 1");
            double distance = 0.0;
            for (std::size_t i = 0; i < x.size(); ++i) {
                if (x[i] < 1.0 - kLoopFactorLimit - 1e-12 || x[i] > 1.0 + kLoopFactorLimit + 1e-12)
                    outOfBounds = true;
                distance += (x[i] - best[i]) * (x[i] - best[i]);
            }
            BandFigures figures;
            figures.design.gainDbi = 12.0 - 50.0 * distance;
            figures.design.swr = 1.1 + 200.0 * distance;
            figures.design.frontToBackDb = 25.0 - 500.0 * distance;
            figures.swr.assign(kBandPoints, figures.design.swr + 0.2);
            figures.frontToBackDb.assign(kBandPoints, figures.design.frontToBackDb - 2.0);
            return figures;
        };
    }
};

TuneSettings quick()
{
    TuneSettings tune;
    tune.processes = 2; // two searches side by side, as on two cores
    tune.timeLimitSeconds = 20.0;
    return tune;
}

} // namespace

class TestTuner : public QObject
{
    Q_OBJECT

private slots:
    void findsTheBestWithinBounds_data();
    void findsTheBestWithinBounds();
    void stopsOnCancelWithTheBestSoFar();
    void stopsAtTheDesignLimit();
    void engineFailureEndsTheTune();
};

void TestTuner::findsTheBestWithinBounds_data()
{
    QTest::addColumn<double>("reflectorBest");
    QTest::addColumn<double>("expected");
    QTest::newRow("inside the bounds") << 0.98 << 0.98;
    // A best design beyond +10 % is met at the bound, never passed.
    QTest::newRow("beyond the bounds") << 1.2 << 1.0 + kLoopFactorLimit;
}

void TestTuner::findsTheBestWithinBounds()
{
    QFETCH(double, reflectorBest);
    QFETCH(double, expected);
    StandIn engine;
    engine.best[0] = reflectorBest;
    const std::atomic<bool> cancel{false};
    auto tuned = tuneLoops(quick(), 0.977, engine.evaluator(), cancel, {});
    QVERIFY(std::holds_alternative<TuneResult>(tuned));
    const TuneResult &result = std::get<TuneResult>(tuned);
    QVERIFY(!engine.outOfBounds);
    QVERIFY2(std::fabs(result.factors[0] - expected) < 2e-3, qPrintable(QString::number(result.factors[0])));
    for (std::size_t i = 1; i < kLoopCount; ++i)
        QVERIFY2(std::fabs(result.factors[i] - engine.best[i]) < 2e-3, qPrintable(QString::number(result.factors[i])));
    QVERIFY(result.after.design.gainDbi > result.before.design.gainDbi);
    QCOMPARE(result.evaluations, engine.calls.load());
    QVERIFY(!result.cancelled);
    if (reflectorBest < 1.1) {
        QVERIFY(result.swrGoalMet);
        QVERIFY(result.frontToBackGoalMet);
    }
}

void TestTuner::stopsOnCancelWithTheBestSoFar()
{
    StandIn engine;
    std::atomic<bool> cancel{false};
    auto tuned = tuneLoops(quick(), 0.977, engine.evaluator(), cancel, [&cancel](int evaluations) {
        if (evaluations >= 10)
            cancel = true;
    });
    QVERIFY(std::holds_alternative<TuneResult>(tuned));
    const TuneResult &result = std::get<TuneResult>(tuned);
    QVERIFY(result.cancelled);
    // Each search may finish the candidate it had in hand.
    QVERIFY2(engine.calls.load() <= 13, qPrintable(QString::number(engine.calls.load())));
    QVERIFY(result.after.design.gainDbi >= result.before.design.gainDbi);
}

// The limit counts the specified design too, and no search starts a design beyond it.
void TestTuner::stopsAtTheDesignLimit()
{
    StandIn engine;
    TuneSettings tune = quick();
    tune.designLimit = 9;
    const std::atomic<bool> cancel{false};
    auto tuned = tuneLoops(tune, 0.977, engine.evaluator(), cancel, {});
    QVERIFY(std::holds_alternative<TuneResult>(tuned));
    const TuneResult &result = std::get<TuneResult>(tuned);
    QCOMPARE(engine.calls.load(), 9);
    QCOMPARE(result.evaluations, 9);
    QVERIFY(result.designLimitReached);
    QVERIFY(!result.timedOut);
    QVERIFY(tuneOutcomeText(result, tune)
                .ends_with("9 designs tried in " + fixedText(result.seconds, 1) +
                           " s, stopped at the most designs to try."));
}

void TestTuner::engineFailureEndsTheTune()
{
    StandIn engine;
    engine.failAt = 5;
    const std::atomic<bool> cancel{false};
    auto tuned = tuneLoops(quick(), 0.977, engine.evaluator(), cancel, {});
    QVERIFY(std::holds_alternative<std::string>(tuned));
    QCOMPARE(std::get<std::string>(tuned), std::string("nec2c failed: it exited with status 1"));
}

QTEST_APPLESS_MAIN(TestTuner)
#include "tst_tuner.moc"
