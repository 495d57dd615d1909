// SPDX-License-Identifier: MIT
// Dec2Frac: the fraction search, its turn counts (which pin down the search itself, not only its answer),
// and its overflow errors, checked against the search done one turn at a time.
#include "core/calc/dec2frac.h"
#include "core/calc/fractionwalk.h"
#include "core/runtime/runtimeerror.h"
#include "support/exhaustive.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>

#include <limits>

using namespace tarvelin;

Q_DECLARE_METATYPE(tarvelin::ErrorNumber)

class TestDec2Frac : public QObject
{
    Q_OBJECT

private slots:
    void fraction_data();
    void fraction();
    void errors_data();
    void errors();
    void noBlanksInAnyResult();
    void agreesWithTheTurnByTurnSearch();
    void agreesWithTheTurnByTurnSearchExhaustively();
    void agreesOnLongSearches_data();
    void agreesOnLongSearches();
    void agreesOnTheLongestSearch();
};

namespace {

struct Searched
{
    calc::FractionSearch search;
    bool overflow = false;
};

Searched searched(double value)
{
    Searched result;
    try {
        result.search = calc::searchFraction(value);
    } catch (const RuntimeError &raised) {
        if (raised.number() != ErrorNumber::Overflow)
            throw;
        result.overflow = true;
    }
    return result;
}

QString described(const calc::FractionSearch &s, bool overflow)
{
    if (overflow)
        return QStringLiteral("overflow");
    return QStringLiteral("%1/%2 after %3 turns").arg(s.numerator).arg(s.denominator).arg(s.turns);
}

// Empty when the two agree; otherwise what each gave. `walkedAll` tells whether the walk finished.
QString disagreement(double value, std::uint64_t budget, bool *walkedAll = nullptr)
{
    const Walked walked = turnByTurn(value, budget);
    if (walkedAll)
        *walkedAll = walked.finished;
    const Searched fast = searched(value);
    const auto text = [&] {
        return QStringLiteral("%1: %2, one turn at a time %3")
            .arg(value, 0, 'g', 17)
            .arg(described(fast.search, fast.overflow),
                 walked.finished ? described(walked.search, walked.overflow) : QStringLiteral("still searching"));
    };
    if (!walked.finished)
        return !fast.overflow && fast.search.turns <= budget ? text() : QString();
    if (walked.overflow != fast.overflow)
        return text();
    if (!walked.overflow &&
        (walked.search.numerator != fast.search.numerator || walked.search.denominator != fast.search.denominator ||
         walked.search.turns != fast.search.turns))
        return text();
    return {};
}

} // namespace

void TestDec2Frac::fraction_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint64>("turns");

    QTest::newRow("one, found before any turn") << 1.0 << "1/1" << quint64(0);
    QTest::newRow("one half") << 0.5 << "1/2" << quint64(1);
    QTest::newRow("three quarters") << 0.75 << "3/4" << quint64(4);
    QTest::newRow("three eighths") << 0.375 << "3/8" << quint64(9);
    QTest::newRow("one fifth") << 0.2 << "1/5" << quint64(5);
    QTest::newRow("one tenth") << 0.1 << "1/10" << quint64(13);
    QTest::newRow("one sixteenth, lowest terms") << 0.0625 << "1/16" << quint64(22);
    QTest::newRow("nearest double to one third") << 1.0 / 3.0 << "1/3" << quint64(2);
    QTest::newRow("0.333") << 0.333 << "333/1000" << quint64(1498);
    QTest::newRow("0.3333") << 0.3333 << "3333/10000" << quint64(14998);
    QTest::newRow("two and a half") << 2.5 << "5/2" << quint64(3);
    QTest::newRow("seven and a quarter") << 7.25 << "29/4" << quint64(11);
    QTest::newRow("whole number over one") << 3.0 << "3/1" << quint64(2);
    QTest::newRow("zero over two") << 0.0 << "0/2" << quint64(1);
    QTest::newRow("negative half") << -0.5 << "-1/2" << quint64(1);
    QTest::newRow("negative three quarters") << -0.75 << "-3/4" << quint64(4);
    QTest::newRow("negative whole over two") << -1.0 << "-2/2" << quint64(1);
    QTest::newRow("negative three over two") << -3.0 << "-6/2" << quint64(1);
    QTest::newRow("0.123456789") << 0.123456789 << "13566680/109890109" << quint64(164835161);
    QTest::newRow("largest numerator") << 1073741823.5 << "2147483647/2" << quint64(1073741824);
    // As the search one turn at a time finds it, in the exhaustive run: its longest walk.
    QTest::newRow("negative, denominator near the limit")
        << -0.66526518338830198 << "-1113582552/1673892727" << quint64(2510838964);
    QTest::newRow("smallest numerator") << -1073741824.0 << "-2147483648/2" << quint64(1);
}

void TestDec2Frac::fraction()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QFETCH(quint64, turns);

    QCOMPARE(QString::fromStdString(calc::Dec2Frac(value)), text);
    QCOMPARE(quint64(calc::searchFraction(value).turns), turns);
}

void TestDec2Frac::errors_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<ErrorNumber>("error");

    // The first turn already moves the denominator to 2, and -2^31 x 2 is out of the 32-bit range.
    QTest::newRow("far below zero fails at once") << -2e9 << ErrorNumber::Overflow;
    QTest::newRow("just below the negative limit") << -1073741824.5 << ErrorNumber::Overflow;
    QTest::newRow("product beyond the double range") << -1e308 << ErrorNumber::Overflow;
    QTest::newRow("the double sum of 0.1 and 0.2") << 0.1 + 0.2 << ErrorNumber::Overflow;
    QTest::newRow("above the numerator limit") << 2147483647.5 << ErrorNumber::Overflow;
    QTest::newRow("whole number above the limit") << 2147483648.0 << ErrorNumber::Overflow;
    QTest::newRow("1e-300, no fraction small enough") << 1e-300 << ErrorNumber::Overflow;
    QTest::newRow("smallest subnormal") << std::numeric_limits<double>::denorm_min() << ErrorNumber::Overflow;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << ErrorNumber::Overflow;
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << ErrorNumber::Overflow;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << ErrorNumber::InvalidOperation;
}

void TestDec2Frac::errors()
{
    QFETCH(double, value);
    QFETCH(ErrorNumber, error);
    try {
        const std::string text = calc::Dec2Frac(value);
        QFAIL(qPrintable(QStringLiteral("gave %1").arg(QString::fromStdString(text))));
    } catch (const RuntimeError &raised) {
        QCOMPARE(raised.number(), error);
    }
}

void TestDec2Frac::noBlanksInAnyResult()
{
    for (const double value : {-0.875, -7.25, 0.015625, 12.5, -1.0 / 64}) {
        const std::string text = calc::Dec2Frac(value);
        QVERIFY2(text.find(' ') == std::string::npos, text.c_str());
        QCOMPARE(std::count(text.begin(), text.end(), '/'), 1);
    }
}

namespace {

// Values of every kind whose walk stays affordable: exact simple fractions, workshop decimals, fractions
// moved a few units in the last place (which makes the searched fraction far from simple), and doubles of
// every magnitude and sign; `rounds` of each.
QList<double> valuesToWalk(int rounds)
{
    QRandomGenerator random(375);
    QList<double> values{0.999999, 1.000001, 1.5, 99.99, -99.99, 0.007, -0.007, 1e-4, -1e-4, 600.25, 1234.5678};
    for (int i = 0; i < rounds; ++i) {
        values << double(random.bounded(-3000, 3000)) / random.bounded(1, 600); // exact simple fractions
        values << random.bounded(-100000, 100000) / 1000.0;                     // workshop decimals
        double nudged = double(random.bounded(-4000, 4000)) / random.bounded(1, 300);
        for (int units = random.bounded(-3, 4); units != 0; units += units > 0 ? -1 : 1)
            nudged = std::nextafter(nudged, units > 0 ? 1e9 : -1e9);
        values << nudged;
        const double anyDouble = std::ldexp(random.generateDouble(), random.bounded(-40, 34));
        values << (random.bounded(2) ? anyDouble : -anyDouble);
    }
    return values;
}

// A walk cut off by the budget still counts when the fast search claims to finish within it.
void requireAgreement(const QList<double> &values, int walksExpected)
{
    int compared = 0;
    for (const double value : values) {
        bool walkedAll = false;
        const QString problem = disagreement(value, 20000, &walkedAll);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        compared += walkedAll ? 1 : 0;
    }
    QVERIFY2(compared >= walksExpected, qPrintable(QString::number(compared)));
}

} // namespace

void TestDec2Frac::agreesWithTheTurnByTurnSearch()
{
    requireAgreement(valuesToWalk(2500), 5000);
}

void TestDec2Frac::agreesWithTheTurnByTurnSearchExhaustively()
{
    TARVELIN_EXHAUSTIVE_ONLY();
    requireAgreement(valuesToWalk(50000), 110000);
}

// Searches of millions to hundreds of millions of turns, walked in full once each: long runs of
// near-halves and an overflow at once. The longest, of billions, is walked in the exhaustive run.
void TestDec2Frac::agreesOnLongSearches_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("0.123456789") << 0.123456789;
    QTest::newRow("0.1234567") << 0.1234567;
    QTest::newRow("pi to 15 digits") << 3.14159265358979;
    QTest::newRow("far below zero") << -2e9;
}

void TestDec2Frac::agreesOnLongSearches()
{
    QFETCH(double, value);
    const QString problem = disagreement(value, std::numeric_limits<std::uint64_t>::max());
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void TestDec2Frac::agreesOnTheLongestSearch()
{
    TARVELIN_EXHAUSTIVE_ONLY();
    const QString problem = disagreement(-0.66526518338830198, std::numeric_limits<std::uint64_t>::max());
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

QTEST_APPLESS_MAIN(TestDec2Frac)
#include "tst_dec2frac.moc"
