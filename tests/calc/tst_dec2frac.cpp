// SPDX-License-Identifier: MIT
// Dec2Frac: the fraction search, its turn counts (which pin down the search itself, not only its answer),
// and its overflow errors.
#include "calc/dec2frac.h"
#include "runtime/runtimeerror.h"

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
};

namespace {

// The search exactly as builders have always described it, one turn at a time; searchFraction arranges the
// same turns differently for speed and must find the same fraction after the same number of turns.
FractionSearch turnByTurn(double value)
{
    FractionSearch s;
    double quotient = 1.0;
    while (quotient != value) {
        ++s.turns;
        if (quotient < value) {
            if (s.numerator == std::numeric_limits<std::int32_t>::max())
                throw RuntimeError(ErrorNumber::Overflow);
            ++s.numerator;
        } else {
            if (s.denominator == std::numeric_limits<std::int32_t>::max())
                throw RuntimeError(ErrorNumber::Overflow);
            ++s.denominator;
            const double rounded = std::nearbyint(s.denominator * value); // the default mode: halves to even
            if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
                  rounded <= std::numeric_limits<std::int32_t>::max()))
                throw RuntimeError(ErrorNumber::Overflow);
            s.numerator = static_cast<std::int32_t>(rounded);
        }
        quotient = static_cast<double>(s.numerator) / s.denominator;
    }
    return s;
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
}

void TestDec2Frac::fraction()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QFETCH(quint64, turns);

    QCOMPARE(QString::fromStdString(Dec2Frac(value)), text);
    QCOMPARE(quint64(searchFraction(value).turns), turns);
}

void TestDec2Frac::errors_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<ErrorNumber>("error");

    // The first turn already moves the denominator to 2, and -2^31 x 2 is out of the 32-bit range.
    QTest::newRow("far below zero fails at once") << -2e9 << ErrorNumber::Overflow;
    QTest::newRow("just below the negative limit") << -1073741824.5 << ErrorNumber::Overflow;
    QTest::newRow("product beyond the double range") << -1e308 << ErrorNumber::Overflow;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << ErrorNumber::Overflow;
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << ErrorNumber::Overflow;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << ErrorNumber::InvalidOperation;
}

void TestDec2Frac::errors()
{
    QFETCH(double, value);
    QFETCH(ErrorNumber, error);
    try {
        const std::string text = Dec2Frac(value);
        QFAIL(qPrintable(QStringLiteral("gave %1").arg(QString::fromStdString(text))));
    } catch (const RuntimeError &raised) {
        QCOMPARE(raised.number(), error);
    }
}

void TestDec2Frac::noBlanksInAnyResult()
{
    for (const double value : {-0.875, -7.25, 0.015625, 12.5, -1.0 / 64}) {
        const std::string text = Dec2Frac(value);
        QVERIFY2(text.find(' ') == std::string::npos, text.c_str());
        QCOMPARE(std::count(text.begin(), text.end(), '/'), 1);
    }
}

void TestDec2Frac::agreesWithTheTurnByTurnSearch()
{
    QRandomGenerator random(375);
    QList<double> values{0.999999, 1.000001, 1.5, 99.99, -99.99, 0.007, -0.007, 1e-4, -1e-4, 600.25, 1234.5678};
    for (int i = 0; i < 300; ++i) {
        const int denominator = random.bounded(1, 3000);
        values << double(random.bounded(-6000, 6000)) / denominator; // exact simple fractions
        values << random.bounded(-100000, 100000) / 10000.0;         // workshop decimals
    }
    for (const double value : values) {
        const FractionSearch expected = turnByTurn(value);
        const FractionSearch actual = searchFraction(value);
        QVERIFY2(actual.numerator == expected.numerator && actual.denominator == expected.denominator &&
                     actual.turns == expected.turns,
                 qPrintable(QStringLiteral("%1: %2/%3 after %4 turns, expected %5/%6 after %7")
                                .arg(value, 0, 'g', 17)
                                .arg(actual.numerator)
                                .arg(actual.denominator)
                                .arg(actual.turns)
                                .arg(expected.numerator)
                                .arg(expected.denominator)
                                .arg(expected.turns)));
    }
}

QTEST_APPLESS_MAIN(TestDec2Frac)
#include "tst_dec2frac.moc"
