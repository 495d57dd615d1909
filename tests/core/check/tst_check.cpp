// SPDX-License-Identifier: MIT
// The check's summary and its report from sweeps made up to show each figure: the verdict, the cutting
// sensitivity, the figures over ground and below the engine's floor, the goals, and what to do first.
#include "core/check/checksummary.h"
#include "core/design/feed.h"
#include "core/document/checktable.h"
#include "core/format/jsonwriter.h"
#include "core/measure/measured.h"
#include "core/nec/necoutput.h"

#include <QTest>

#include <cmath>

using namespace tarvelin::design;
using namespace tarvelin::nec;
using namespace tarvelin::check;
using namespace tarvelin::measure;
using namespace tarvelin::document;

namespace {

tarvelin::check::SweepPoint point(double mhz, double r, double x, double swr)
{
    tarvelin::check::SweepPoint p;
    p.mhz = mhz;
    p.resistanceOhms = r;
    p.reactanceOhms = x;
    p.swr = swr;
    return p;
}

// A sweep from 13.9 to 14.3 MHz in steps of 0.1 on a 50 ohm line: R 50 ohms throughout, X rising as
// `slope` (f - `resonance`), the design at 14.1 MHz. Such X is its own parabola, so the interpolated figures
// are exact: the SWR is 2 where |X| = sqrt(10000 / 8) = 35.3553 ohms.
std::vector<tarvelin::check::SweepPoint> sweepThrough(double resonance, double slope, std::vector<double> fb)
{
    std::vector<tarvelin::check::SweepPoint> points;
    for (int i = 0; i < 5; ++i) {
        const double f = 13.9 + 0.1 * i;
        tarvelin::check::SweepPoint p = point(f, 50.0, slope * (f - resonance), 0.0);
        p.swr = swrOf(p.resistanceOhms, p.reactanceOhms, 50.0);
        p.frontToBackDb = fb[static_cast<std::size_t>(i)];
        points.push_back(p);
    }
    return points;
}

} // namespace

class TestCheck : public QObject
{
    Q_OBJECT

private slots:
    void verdict_data();
    void verdict();
    void sensitivityKeepsItsDigits_data();
    void sensitivityKeepsItsDigits();
    void pointOverGround();
    void beyondTheEnginesFloor();
    void verdictHoldsTheGoalsShown_data();
    void verdictHoldsTheGoalsShown();
    void verdictOpensWithWhatToDo_data();
    void verdictOpensWithWhatToDo();
};

void TestCheck::verdict_data()
{
    QTest::addColumn<double>("resonance");
    QTest::addColumn<double>("slope");
    QTest::addColumn<QList<double>>("fb");
    QTest::addColumn<double>("minSwrMHz");
    QTest::addColumn<double>("swr2Low"); // 0: outside the sweep; -1: no 2:1 band at all
    QTest::addColumn<double>("swr2High");
    QTest::addColumn<double>("fb20Low");
    QTest::addColumn<double>("fb20High");
    QTest::addColumn<double>("reversal"); // 0: none
    const double edge = std::sqrt(10000.0 / 8.0);
    // Resonance and the lowest SWR between two points; F/B 18 -> 25 crosses 20 at 2/7 of the step.
    QTest::newRow("between points") << 14.05 << 300.0 << QList<double>{10, 18, 25, 22, 15} << 14.05
                                    << 14.05 - edge / 300 << 14.05 + edge / 300 << 14.0 + 0.2 / 7 << 14.2 + 0.2 / 7
                                    << 0.0;
    // A resonance between two kHz: the cut-as-for comes from it as it is, never from it rounded to the kHz.
    QTest::newRow("between kHz") << 14.0505 << 300.0 << QList<double>{10, 18, 25, 22, 15} << 14.0505
                                 << 14.0505 - edge / 300 << 14.0505 + edge / 300 << 14.0 + 0.2 / 7 << 14.2 + 0.2 / 7
                                 << 0.0;
    // The high 2:1 edge at 14.368 lies beyond the sweep; F/B falls through 0 at 14.14.
    QTest::newRow("edge outside") << 14.25 << 300.0 << QList<double>{15, 10, 2, -3, -8} << 14.25 << 14.25 - edge / 300
                                  << 0.0 << -1.0 << -1.0 << 14.14;
    // Every point is at SWR 2.2, yet the curve between 14.0 and 14.1 dips to 1.
    QTest::newRow("dip between points") << 14.05 << 800.0 << QList<double>{21, 22, 23, 24, 25} << 14.05
                                        << 14.05 - edge / 800 << 14.05 + edge / 800 << 0.0 << 0.0 << 0.0;
    QTest::newRow("never below 2:1") << 15.0 << 300.0 << QList<double>{1, 2, 3, 2, 1} << 14.3 << -1.0 << -1.0 << -1.0
                                     << -1.0 << 0.0;
}

// The verdict read between the sweep's points, and an edge outside the sweep given as none.
void TestCheck::verdict()
{
    QFETCH(double, resonance);
    QFETCH(double, slope);
    QFETCH(QList<double>, fb);
    QFETCH(double, minSwrMHz);
    QFETCH(double, swr2Low);
    QFETCH(double, swr2High);
    QFETCH(double, fb20Low);
    QFETCH(double, fb20High);
    QFETCH(double, reversal);
    const CheckSummary summary =
        summarise(sweepThrough(resonance, slope, {fb.begin(), fb.end()}), 2, 50.0, 93.0, nullptr);
    const auto close = [](std::optional<double> got, double want, double tolerance) {
        if (want == 0.0)
            return !got.has_value();
        return got && std::fabs(*got - want) < tolerance;
    };
    const bool inSweep = resonance < 14.3;
    QVERIFY(close(summary.resonanceMHz, inSweep ? resonance : 0.0, 1e-9));
    QCOMPARE(summary.design.mhz, 14.1);
    if (inSweep) {
        QVERIFY(close(summary.detunePercent, (resonance - 14.1) / 14.1 * 100, 1e-9));
        QVERIFY(close(summary.cutAsForMHz, 14.1 * 14.1 / resonance, 1e-9));
        QVERIFY2(summary.minSwr < 1.001, qPrintable(QString::number(summary.minSwr)));
    }
    QVERIFY(std::fabs(summary.minSwrMHz - minSwrMHz) < 5e-4);
    if (swr2Low < 0) {
        QVERIFY(!summary.swr2MHz);
    } else {
        QVERIFY(summary.swr2MHz);
        QVERIFY(close(summary.swr2MHz->lowMHz, swr2Low, 1e-6));
        QVERIFY(close(summary.swr2MHz->highMHz, swr2High, 1e-6));
    }
    if (fb20Low < 0) {
        QVERIFY(!summary.fb20MHz);
    } else {
        QVERIFY(summary.fb20MHz);
        QVERIFY(close(summary.fb20MHz->lowMHz, fb20Low, 1e-9));
        QVERIFY(close(summary.fb20MHz->highMHz, fb20High, 1e-9));
    }
    QVERIFY(close(summary.reversalMHz, reversal, 1e-9));
    // A resonance 0.35 % low is no cause for a warning; 1.06 % high is, and so is none in the sweep.
    QCOMPARE(verdictWarnings(summary).size(), std::size_t(resonance > 14.2 ? 1 : 0));
}

void TestCheck::sensitivityKeepsItsDigits_data()
{
    QTest::addColumn<double>("khzPerInch");
    QTest::addColumn<QString>("text");
    QTest::newRow("20 m") << -14.5 << "-14.5 kHz per inch more driven loop (-5.7 kHz per cm)";
    // Below 1 kHz an inch the unit is the hertz, never "-0.0 kHz".
    QTest::newRow("below 1 MHz") << -0.046 << "-46.0 Hz per inch more driven loop (-18.1 Hz per cm)";
    QTest::newRow("far below") << -0.0004 << "-0.40 Hz per inch more driven loop (-0.16 Hz per cm)";
}

void TestCheck::sensitivityKeepsItsDigits()
{
    QFETCH(double, khzPerInch);
    QFETCH(QString, text);
    CheckSummary summary = summarise(sweepThrough(14.05, 300.0, {10, 18, 25, 22, 15}), 2, 50.0, 93.0, nullptr);
    summary.sensitivityKhzPerInch = khzPerInch;
    const tarvelin::format::ResultTable verdict = verdictTable(summary, 50.0);
    const auto row = std::find_if(verdict.rows.begin(), verdict.rows.end(),
                                  [](const auto &cells) { return cells[0].text == "Cutting sensitivity"; });
    QVERIFY(row != verdict.rows.end());
    QCOMPARE(QString::fromStdString((*row)[1].text), text);
}

// Over ground: the take-off angle between the elevations asked for, and F/R against the strongest lobe of
// the rear half rather than straight back.
void TestCheck::pointOverGround()
{
    FrequencyResult result;
    result.mhz = 14.2;
    result.resistanceOhms = 50.0;
    // Elevations 14, 13 and 12 degrees: forward 10, 11 and 10.5 dBi; the parabola g = -0.75 x^2 + 0.25 x (x
    // in degrees of theta from 77) peaks at x = 1/6, 1/6 degree nearer the ground than 13, at 11 + 1/48 dBi.
    for (const auto &[theta, forward] : {std::pair{76.0, 10.0}, {77.0, 11.0}, {78.0, 10.5}})
        for (const auto &[phi, gain] : {std::pair{0.0, forward}, {90.0, -5.0}, {135.0, 1.0}, {180.0, -8.0}})
            result.pattern.push_back({theta, phi, gain});
    const std::optional<tarvelin::check::SweepPoint> p = tarvelin::check::sweepPointOf(result, 50.0);
    QVERIFY(p);
    QVERIFY2(std::fabs(p->gainDbi - (11.0 + 1.0 / 48)) < 1e-9, qPrintable(QString::number(p->gainDbi)));
    QCOMPARE(p->frontToBackDb, 19.0);
    QCOMPARE(p->frontToRearDb, 10.0);
    QVERIFY(p->elevationDegrees);
    QVERIFY2(std::fabs(*p->elevationDegrees - (13.0 - 1.0 / 6)) < 1e-9,
             qPrintable(QString::number(*p->elevationDegrees)));
}

// nec2c writes -999.99 dBi where a pattern has no field: an F/B over it is beyond any figure, shown as such and
// written as no number, with the reason beside it, never as 1010 dB. An SWR beyond 99 is shown the same way.
void TestCheck::beyondTheEnginesFloor()
{
    FrequencyResult result;
    result.mhz = 14.2;
    result.resistanceOhms = 0.5; // against 50 ohms: SWR 100
    for (const auto &[phi, gain] : {std::pair{0.0, 10.5}, {135.0, -2.0}, {180.0, -999.99}})
        result.pattern.push_back({90.0, phi, gain});
    const std::optional<tarvelin::check::SweepPoint> p = tarvelin::check::sweepPointOf(result, 50.0);
    QVERIFY(p);
    QVERIFY(std::isinf(p->frontToBackDb));
    QCOMPARE(p->frontToRearDb, 12.5);

    const CheckSummary summary = tarvelin::check::summarise({*p}, 0, 50.0, 93.0, nullptr);
    const tarvelin::format::ResultTable table = checkTable(summary, "14.2");
    const std::vector<tarvelin::format::TableCell> &row = table.rows.front();
    const auto cell = [&](const char *key) {
        const auto column = std::find_if(table.columns.begin(), table.columns.end(),
                                         [key](const tarvelin::format::TableColumn &c) { return c.key == key; });
        return row[static_cast<std::size_t>(column - table.columns.begin())];
    };
    QCOMPARE(QString::fromStdString(cell("fb_db").text), QStringLiteral("> 999"));
    QVERIFY(!cell("fb_db").number);
    QCOMPARE(cell("fr_db").number, std::optional(12.5));
    QCOMPARE(QString::fromStdString(cell("swr").text), QStringLiteral("> 99"));
    QCOMPARE(QString::fromStdString(cell("note").text),
             QStringLiteral("no F/B: the back is below the engine's floor of -999 dB"));

    std::string json;
    tarvelin::format::JsonWriter writer(json);
    writeCheckJson(writer, "14.2", summary, {});
    QVERIFY2(json.find("\"fb_db\": null") != std::string::npos, json.c_str());
    QVERIFY2(json.find("1010") == std::string::npos, json.c_str());

    const tarvelin::format::ResultTable verdict = verdictTable(summary, 50.0);
    QStringList shown;
    for (const auto &cells : verdict.rows)
        shown << QString::fromStdString(cells[1].text);
    QVERIFY2(shown.contains(QStringLiteral("> 999 dB; goal 20 dB or more: met")),
             qPrintable(shown.join(QLatin1Char('|'))));
    QVERIFY2(shown.contains(QStringLiteral("> 99 on a 50 \u03a9 line; goal 1.5 or less: missed")),
             qPrintable(shown.join(QLatin1Char('|'))));
}

// The verdict marks the SWR and the F/B against the goals set beside the tune, whatever they are: a
// two-element quad with SWR 1.8 and F/B 12 dB meets 2.0 and 10 dB, and misses the defaults.
void TestCheck::verdictHoldsTheGoalsShown_data()
{
    QTest::addColumn<double>("maxSwr");
    QTest::addColumn<double>("minFb");
    QTest::addColumn<QString>("swrRow");
    QTest::addColumn<QString>("fbRow");
    QTest::newRow("the defaults") << tarvelin::check::kSwrGoal << tarvelin::check::kFrontToBackGoalDb
                                  << "1.80 on a 50 \u03a9 line; goal 1.5 or less: missed"
                                  << "12.00 dB; goal 20 dB or more: missed";
    QTest::newRow("a two-element quad's") << 2.0 << 10.0 << "1.80 on a 50 \u03a9 line; goal 2 or less: met"
                                          << "12.00 dB; goal 10 dB or more: met";
    QTest::newRow("to a quarter") << 1.25 << 12.5 << "1.80 on a 50 \u03a9 line; goal 1.25 or less: missed"
                                  << "12.00 dB; goal 12.5 dB or more: missed";
}

void TestCheck::verdictHoldsTheGoalsShown()
{
    QFETCH(double, maxSwr);
    QFETCH(double, minFb);
    QFETCH(QString, swrRow);
    QFETCH(QString, fbRow);
    tarvelin::check::SweepPoint point;
    point.mhz = 28.5;
    point.resistanceOhms = 90.0;
    point.swr = 1.8;
    point.frontToBackDb = 12.0;
    const tarvelin::format::ResultTable verdict =
        verdictTable(tarvelin::check::summarise({point}, 0, 50.0, 95.0, nullptr), 50.0, nullptr, Goals{maxSwr, minFb});
    QCOMPARE(QString::fromStdString(verdict.rows[0][1].text), swrRow);
    QCOMPARE(QString::fromStdString(verdict.rows[2][1].text), fbRow);
}

// The verdict opens with one line of what to do: the measured sweep's trim where it gives one, else the
// model's cut; then whether the goals are met.
void TestCheck::verdictOpensWithWhatToDo_data()
{
    QTest::addColumn<double>("measuredDetune"); // 0: no measured sweep
    QTest::addColumn<QString>("drivenTrim");
    QTest::addColumn<double>("swr");
    QTest::addColumn<QString>("headline");
    QTest::newRow("the model's cut")
        << 0.0 << QString() << 1.2
        << "Cut the loops as for 14.532 MHz. The F/B goal is missed at the design frequency.";
    QTest::newRow("a measured trim")
        << -3.76 << "shorten 32-3/4\" (8-3/16\" a side)" << 2.0
        << "Shorten every loop 3.76 %: the driven loop 32-3/4\" (8-3/16\" a side). Both goals are missed at the "
           "design frequency.";
    QTest::newRow("nothing to trim") << 0.01 << "leave as cut" << 1.2
                                     << "Leave the loops as cut. The F/B goal is missed at the design frequency.";
}

void TestCheck::verdictOpensWithWhatToDo()
{
    QFETCH(double, measuredDetune);
    QFETCH(QString, drivenTrim);
    QFETCH(double, swr);
    QFETCH(QString, headline);
    CheckSummary summary;
    tarvelin::check::SweepPoint point;
    point.mhz = 14.2;
    point.swr = swr;
    point.frontToBackDb = 14.0;
    summary.points = {point};
    summary.design = point;
    summary.cutAsForMHz = 14.532;
    MeasuredSweep measured;
    measured.detunePercent = measuredDetune;
    measured.drivenTrim = drivenTrim.toStdString();
    QCOMPARE(
        QString::fromStdString(verdictHeadline(summary, measuredDetune != 0.0 ? &measured : nullptr, Goals{1.5, 20.0})),
        headline);
}

QTEST_GUILESS_MAIN(TestCheck)
#include "tst_check.moc"
