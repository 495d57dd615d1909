// SPDX-License-Identifier: MIT
// Number text: how typed frequencies and displayed cells read as numbers, how lengths become cell texts,
// and the arithmetic check. Every cell of the window depends on these round-tripping exactly.
#include "core/design/designlengths.h"
#include "core/runtime/arithmetic.h"
#include "core/text/numbertext.h"
#include "core/runtime/runtimeerror.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <bit>
#include <cmath>
#include <limits>

using namespace tarvelin;

Q_DECLARE_METATYPE(tarvelin::ErrorNumber)

namespace {

QString formatted(double value)
{
    return QString::fromStdString(FormatNumber(value, kCellFormat));
}

} // namespace

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void parseNumber_data();
    void parseNumber();
    void parseNumberOverflowRaises();
    void whatTheNumberLeaves_data();
    void whatTheNumberLeaves();
    void formatNumber_data();
    void formatNumber();
    void formatNumberRejects_data();
    void formatNumberRejects();
    void formatNumberOtherPatterns();
    void wholeNumberText_data();
    void wholeNumberText();
    void arithmeticCheck_data();
    void arithmeticCheck();
    void roundTripProperty();
    void parseNumberNeverCrashesOnNoise();
    void everyValueFormatsAsByFifteenDigits();
};

void TestNumberText::parseNumber_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("plain") << QByteArray("28.5") << 28.5;
    QTest::newRow("whole") << QByteArray("14") << 14.0;
    QTest::newRow("trailing unit") << QByteArray("14.2 MHz") << 14.2;
    QTest::newRow("unit without blank") << QByteArray("14.2MHz") << 14.2;
    QTest::newRow("leading blanks") << QByteArray("   28.5") << 28.5;
    QTest::newRow("leading tab") << QByteArray("\t7.1") << 7.1;
    QTest::newRow("boom suffix inches") << QByteArray("402.241 IN.") << 402.241;
    QTest::newRow("boom suffix feet") << QByteArray("33.52 FT.") << 33.52;
    QTest::newRow("point first, as cells below one") << QByteArray(".633") << 0.633;
    QTest::newRow("whole with trailing point") << QByteArray("12660.") << 12660.0;
    QTest::newRow("negative") << QByteArray("-3.5") << -3.5;
    QTest::newRow("explicit plus") << QByteArray("+3.5") << 3.5;
    QTest::newRow("blank after sign") << QByteArray("- 3.5") << -3.5;
    QTest::newRow("blank inside digits") << QByteArray("1 4.2") << 14.2;
    QTest::newRow("exponent") << QByteArray("1.42e1") << 14.2;
    QTest::newRow("exponent capital, negative") << QByteArray("142E-1") << 14.2;
    QTest::newRow("letter e without digits ends the number") << QByteArray("2e") << 2.0;
    QTest::newRow("e followed by a word") << QByteArray("2 east") << 2.0;
    QTest::newRow("second point ends the number") << QByteArray("1.2.3") << 1.2;
    QTest::newRow("comma is not a point") << QByteArray("28,5") << 28.0;
    QTest::newRow("empty") << QByteArray("") << 0.0;
    QTest::newRow("only blanks") << QByteArray("   ") << 0.0;
    QTest::newRow("word") << QByteArray("abc") << 0.0;
    QTest::newRow("word then number") << QByteArray("f=28.5") << 0.0;
    QTest::newRow("lone point") << QByteArray(".") << 0.0;
    QTest::newRow("lone sign") << QByteArray("-") << 0.0;
    QTest::newRow("zero") << QByteArray("0") << 0.0;
    QTest::newRow("zero point zero") << QByteArray("0.0") << 0.0;
    QTest::newRow("too small for a double") << QByteArray("1e-400") << 0.0;
    QTest::newRow("many leading zeros") << QByteArray("0000000000000000000000028.5") << 28.5;
    QTest::newRow("huge exponent digits underflow") << QByteArray("5e-99999999999999999999") << 0.0;

    // Texts of any length are read as their exact value: every digit and the whole exponent count.
    const QByteArray zeros(100001, '0');
    QTest::newRow("long digits, long negative exponent") << "1" + zeros + "e-100001" << 1.0;
    QTest::newRow("long fraction, long exponent") << "0." + zeros + "1e100002" << 1.0;
    QTest::newRow("long digits, shorter exponent") << "1" + zeros + "e-100000" << 10.0;
    QTest::newRow("long trailing zeros") << "28.5" + zeros << 28.5;
    QTest::newRow("309 digits, point moved back") << "1" + QByteArray(309, '0') + "e-1" << 1e308;
    // 1 + 2^-53 lies halfway between 1 and the next double: exactly halfway rounds to the even 1, and a
    // non-zero digit hundreds of places further on decides for the next double.
    const QByteArray halfway("1.00000000000000011102230246251565404236316680908203125");
    QTest::newRow("halfway, long tail of zeros") << halfway + QByteArray(900, '0') << 1.0;
    QTest::newRow("just above halfway, far out") << halfway + QByteArray(900, '0') + "1" << 1.0000000000000002;
    QTest::newRow("just below halfway, far out")
        << "1.00000000000000011102230246251565404236316680908203124" + QByteArray(900, '9') << 1.0;
}

void TestNumberText::parseNumber()
{
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    QCOMPARE(ParseNumber(text.toStdString()), expected);
}

void TestNumberText::parseNumberOverflowRaises()
{
    const std::string longDigits = "1" + std::string(100001, '0') + "e-99600";
    for (const std::string text : {"1e309", "-1e400", "1e99999999999999999999", "0.00001e314", longDigits.c_str()}) {
        try {
            (void)ParseNumber(text);
            QFAIL(qPrintable(QStringLiteral("no error for %1").arg(QString::fromStdString(text.substr(0, 40)))));
        } catch (const RuntimeError &error) {
            QCOMPARE(error.number(), ErrorNumber::Overflow);
        }
    }
    // Just inside the range still reads.
    QCOMPARE(ParseNumber("1.7e308"), 1.7e308);
}

void TestNumberText::formatNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("three decimals kept") << 444.211 << "444.211";
    QTest::newRow("rounded down") << 444.2105263157895 << "444.211";
    QTest::newRow("centimetres from displayed inches") << 444.211 * 2.54 << "1128.296";
    QTest::newRow("column 3 from column 0") << 444.211 / 4 * 2.54 << "282.074";
    QTest::newRow("half in decimal, below in binary") << 819.718 / 4 << "204.93";
    QTest::newRow("another such half") << 795.126 / 4 << "198.782";
    QTest::newRow("trailing zero dropped") << 153.33 << "153.33";
    QTest::newRow("whole number keeps its point") << 12660.0 << "12660.";
    QTest::newRow("twelve") << 12.0 << "12.";
    QTest::newRow("below one, no leading digit") << 0.633 << ".633";
    QTest::newRow("one half") << 0.5 << ".5";
    QTest::newRow("zero") << 0.0 << ".";
    QTest::newRow("negative zero") << -0.0 << ".";
    QTest::newRow("rounds to zero") << 0.0004 << ".";
    QTest::newRow("negative that rounds to zero has no sign") << -0.0004 << ".";
    QTest::newRow("half of the last place rounds up") << 0.0005 << ".001";
    QTest::newRow("negative half rounds away from zero") << -2.0005 << "-2.001";
    QTest::newRow("negative") << -444.2105263157895 << "-444.211";
    QTest::newRow("carry into the whole part") << 0.9996 << "1.";
    QTest::newRow("carry through nines") << 999.9995 << "1000.";
    QTest::newRow("no grouping") << 1234567.25 << "1234567.25";
    QTest::newRow("15 significant digits first") << 1234567890123.4567 << "1234567890123.46";
    QTest::newRow("beyond 15 digits zeros") << 1.23456789012345678e20 << "123456789012346000000.";
    QTest::newRow("tiny") << 1e-300 << ".";
    QTest::newRow("feet from inches") << 402.241 / 12 << "33.52";
}

void TestNumberText::formatNumber()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(formatted(value), expected);
}

void TestNumberText::formatNumberRejects_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<ErrorNumber>("error");

    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << ".###" << ErrorNumber::Overflow;
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << ".###" << ErrorNumber::Overflow;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << ".###" << ErrorNumber::InvalidOperation;
    QTest::newRow("pattern with zeros") << 1.0 << "0.000" << ErrorNumber::UnsupportedFormat;
    QTest::newRow("empty pattern") << 1.0 << "" << ErrorNumber::UnsupportedFormat;
    QTest::newRow("pattern without point") << 1.0 << "###" << ErrorNumber::UnsupportedFormat;
}

void TestNumberText::formatNumberRejects()
{
    QFETCH(double, value);
    QFETCH(QString, format);
    QFETCH(ErrorNumber, error);
    try {
        (void)FormatNumber(value, format.toStdString());
        QFAIL("no error raised");
    } catch (const RuntimeError &raised) {
        QCOMPARE(raised.number(), error);
    }
}

void TestNumberText::formatNumberOtherPatterns()
{
    QCOMPARE(FormatNumber(2.75, "."), std::string("3."));
    QCOMPARE(FormatNumber(2.25, ".#"), std::string("2.3"));
    QCOMPARE(FormatNumber(0.123456, ".#####"), std::string(".12346"));
}

void TestNumberText::wholeNumberText_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << qint64(0) << "0";
    QTest::newRow("positive") << qint64(13566680) << "13566680";
    QTest::newRow("negative") << qint64(-3) << "-3";
    QTest::newRow("32-bit limit") << qint64(2147483647) << "2147483647";
    QTest::newRow("32-bit minimum") << qint64(-2147483648LL) << "-2147483648";
}

void TestNumberText::wholeNumberText()
{
    QFETCH(qint64, value);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(WholeNumberText(value)), expected);
}

void TestNumberText::arithmeticCheck_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<ErrorNumber>("error");

    enum
    {
        Add,
        Subtract,
        Multiply,
        Divide
    };
    QTest::newRow("divide by zero") << int(Divide) << 1055.0 << 0.0 << ErrorNumber::DivisionByZero;
    QTest::newRow("divide by negative zero") << int(Divide) << 1055.0 << -0.0 << ErrorNumber::DivisionByZero;
    QTest::newRow("zero over zero") << int(Divide) << 0.0 << 0.0 << ErrorNumber::InvalidOperation;
    QTest::newRow("quotient overflows") << int(Divide) << 1055.0 << 1e-306 << ErrorNumber::Overflow;
    QTest::newRow("product overflows") << int(Multiply) << 1e308 << 2.54 << ErrorNumber::Overflow;
    QTest::newRow("sum overflows") << int(Add) << 1.7e308 << 1.7e308 << ErrorNumber::Overflow;
    QTest::newRow("difference overflows") << int(Subtract) << -1.7e308 << 1.7e308 << ErrorNumber::Overflow;
    QTest::newRow("nan operand") << int(Multiply) << std::numeric_limits<double>::quiet_NaN() << 1.0
                                 << ErrorNumber::InvalidOperation;
}

void TestNumberText::arithmeticCheck()
{
    QFETCH(int, operation);
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(ErrorNumber, error);
    try {
        switch (operation) {
        case 0:
            (void)arith::add(a, b);
            break;
        case 1:
            (void)arith::subtract(a, b);
            break;
        case 2:
            (void)arith::multiply(a, b);
            break;
        default:
            (void)arith::divide(a, b);
            break;
        }
        QFAIL("no error raised");
    } catch (const RuntimeError &raised) {
        QCOMPARE(raised.number(), error);
        QVERIFY(!raised.description().empty());
    }
    // Underflow and inexact results pass.
    QCOMPARE(arith::multiply(1e-300, 1e-300), 0.0);
    QCOMPARE(arith::divide(1.0, 3.0), 1.0 / 3.0);
}

// For any finite value the cell text reads back as the rounded value: at most half a unit of the third
// decimal away (plus the 15-digit step for large values), of the shape of a cell, and stable when written again.
void TestNumberText::roundTripProperty()
{
    static const QRegularExpression cellShape(QStringLiteral("^-?(?:[1-9][0-9]*)?\\.(?:[0-9]{0,2}[1-9])?$"));
    QRandomGenerator random(20261208);
    for (int i = 0; i < 20000; ++i) {
        double value = 0;
        switch (i % 3) {
        case 0: // any bit pattern: every magnitude, subnormals included
            value = std::bit_cast<double>(random.generate64());
            break;
        case 1: // the lengths a quad really has
            value = random.bounded(100000.0) - 1000.0;
            break;
        default: // exact halves at the fourth decimal, where the rounding direction matters
            value = (random.bounded(2000000) * 2 + 1) / 20000.0;
            break;
        }
        if (!std::isfinite(value))
            continue;
        const std::string text = FormatNumber(value, kCellFormat);
        const QString shown = QString::fromStdString(text);
        QVERIFY2(cellShape.match(shown).hasMatch(), qPrintable(shown));
        const double back = ParseNumber(text);
        const double tolerance = 0.0005 + std::fabs(value) * 1e-14;
        QVERIFY2(std::fabs(back - value) <= tolerance,
                 qPrintable(QStringLiteral("%1 shown as %2").arg(value, 0, 'g', 17).arg(shown)));
        QCOMPARE(FormatNumber(back, kCellFormat), text);
    }
}

void TestNumberText::parseNumberNeverCrashesOnNoise()
{
    QRandomGenerator random(8);
    static constexpr char kAlphabet[] = "0123456789.+-eE \tx,";
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const int length = static_cast<int>(random.bounded(40));
        for (int k = 0; k < length; ++k)
            text += i % 2 ? kAlphabet[random.bounded(int(sizeof kAlphabet - 1))] : static_cast<char>(random.generate());
        try {
            const double value = ParseNumber(text);
            QVERIFY(std::isfinite(value));
        } catch (const RuntimeError &error) {
            QCOMPARE(error.number(), ErrorNumber::Overflow);
        }
    }
}

// FormatNumber skips the 15-digit step where it cannot matter; it must never give another text than the
// step would. Values next to a half of the last kept decimal are where the two could part.
void TestNumberText::everyValueFormatsAsByFifteenDigits()
{
    QRandomGenerator random(1955);
    for (int i = 0; i < 200000; ++i) {
        double value = 0;
        switch (i % 4) {
        case 0:
            value = std::bit_cast<double>(random.generate64());
            break;
        case 1:
            value = (random.bounded(1e7) - 5e6) / random.bounded(1, 2000);
            break;
        case 2: { // a decimal half at the fourth decimal, nudged by a few ulps either way
            const double half = (random.bounded(200000000) * 2 + 1) / 2000.0 / 1000.0;
            value = half;
            for (int n = static_cast<int>(random.bounded(7)) - 3; n != 0; n += n > 0 ? -1 : 1)
                value = std::nextafter(value, n > 0 ? HUGE_VAL : -HUGE_VAL);
            break;
        }
        default: // the quotients and products the steps really make
            value = random.bounded(1, 100000) / 1000.0 / 4 * 2.54;
            break;
        }
        if (!std::isfinite(value))
            continue;
        for (const long decimals : {3L, 0L, 1L, 6L}) {
            std::string pattern(".");
            pattern.append(static_cast<std::size_t>(decimals), '#');
            const std::string quick = FormatNumber(value, pattern);
            const std::string exact = detail::formatBy15Digits(value, decimals);
            if (quick != exact)
                QFAIL(qPrintable(QStringLiteral("%1 with %2: %3, by 15 digits %4")
                                     .arg(value, 0, 'g', 17)
                                     .arg(QString::fromStdString(pattern), QString::fromStdString(quick),
                                          QString::fromStdString(exact))));
        }
    }
}

// How much of a text the number takes, and what the new windows say of the rest: "14,2" is 14 MHz, and the
// ",2" is named as ignored; a unit after the number is no rest.
void TestNumberText::whatTheNumberLeaves_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("note");
    QTest::newRow("whole") << "14.2" << 4 << QString();
    QTest::newRow("with its unit") << "14.2 mhz" << 5 << QString();
    QTest::newRow("decimal comma") << "14,2" << 2
                                   << "Read as 14.000 MHz: only the number at the start counts, and \",2\" after it "
                                      "is ignored.";
    QTest::newRow("two points") << "14.214.2" << 6
                                << "Read as 14.214 MHz: only the number at the start counts, and "
                                   "\".2\" after it is ignored.";
    QTest::newRow("blanks inside the number") << " 1 4 . 2 kHz" << 9
                                              << "Read as 14.200 MHz: only the number at the "
                                                 "start counts, and \"kHz\" after it is ignored.";
    QTest::newRow("a letter that begins no exponent") << "7e x" << 1
                                                      << "Read as 7.0000 MHz: only the number at the "
                                                         "start counts, and \"e x\" after it is ignored.";
    QTest::newRow("no number") << "abc" << 0 << QString();
}

void TestNumberText::whatTheNumberLeaves()
{
    QFETCH(QString, text);
    QFETCH(int, length);
    QFETCH(QString, note);
    QCOMPARE(NumberTextLength(text.toStdString()), static_cast<std::size_t>(length));
    QCOMPARE(QString::fromStdString(design::frequencyReadingNote(text.toStdString()).value_or(std::string())), note);
}

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
