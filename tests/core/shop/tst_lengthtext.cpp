// SPDX-License-Identifier: MIT
// The shop sheet's length texts: feet, inches and a fraction of the tape's step, millimetres and metres, and
// the lengths a builder types.
#include "core/design/designlengths.h"
#include "core/format/typedlength.h"
#include "core/shop/lengthtext.h"

#include <QTest>

#include <limits>

using namespace tarvelin;
using namespace tarvelin::shop;

Q_DECLARE_METATYPE(std::optional<std::int64_t>)

class TestLengthText : public QObject
{
    Q_OBJECT

private slots:
    void feetInches_data();
    void feetInches();
    void millimetresAndMetres();
    void typedLengths_data();
    void typedLengths();
    void gridTexts();
    void frequencyLabels_data();
    void frequencyLabels();
};

void TestLengthText::feetInches_data()
{
    QTest::addColumn<qint64>("halfThousandths");
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("text");
    // 891.549 in = 74 ft 3.549 in; 3.549 x 16 = 56.78, so 57/16 = 3-9/16.
    QTest::newRow("feet, inches, sixteenths") << qint64(fromThousandths(891549)) << 16 << "74' 3-9/16\"";
    QTest::newRow("eighths") << qint64(fromThousandths(891549)) << 8 << "74' 3-1/2\""; // 3.549 x 8 = 28.39
    QTest::newRow("thirty-seconds, lowest terms") << qint64(fromThousandths(891549)) << 32 << "74' 3-9/16\""; // 18/32
    QTest::newRow("sixty-fourths") << qint64(fromThousandths(891549)) << 64 << "74' 3-35/64\"";  // 3.549 x 64 = 227.1
    QTest::newRow("no whole inches") << qint64(fromThousandths(888190)) << 16 << "74' 0-3/16\""; // 0.19 x 16 = 3.04
    QTest::newRow("whole inches") << qint64(fromThousandths(891000)) << 16 << "74' 3\"";
    QTest::newRow("whole feet") << qint64(fromThousandths(888000)) << 16 << "74' 0\"";
    QTest::newRow("under a foot") << qint64(fromThousandths(10500)) << 16 << "10-1/2\"";
    QTest::newRow("under an inch") << qint64(fromThousandths(187)) << 16 << "3/16\""; // 2.99 sixteenths
    QTest::newRow("zero") << qint64(fromThousandths(0)) << 16 << "0\"";
    QTest::newRow("carry into a foot") << qint64(fromThousandths(11990)) << 32
                                       << "1' 0\""; // 11-31/32 and the last 1/32
    QTest::newRow("carry into feet") << qint64(fromThousandths(143990)) << 16 << "12' 0\"";
    // Exactly half a step only happens in eighths: 1/16 in is 125 half-thousandths, 1/32 in is not whole.
    QTest::newRow("half a step rounds up") << qint64(6125) << 8 << "3-1/8\""; // 3.0625 in = 24.5 eighths
    QTest::newRow("half a step below zero") << qint64(-6125) << 8 << "-3-1/8\"";
    QTest::newRow("corner mark, half-thousandths") << qint64(225387) << 64 << "9' 4-11/16\""; // 112.6935 in
    QTest::newRow("negative") << qint64(fromThousandths(-21375)) << 16 << "-1' 9-3/8\"";
    QTest::newRow("negative under an inch") << qint64(fromThousandths(-313)) << 16 << "-5/16\"";
    QTest::newRow("negative that rounds to zero") << qint64(fromThousandths(-31)) << 16 << "0\"";
    QTest::newRow("lowest terms, halves") << qint64(fromThousandths(2500)) << 64 << "2-1/2\"";
    // The longest lengths a length can hold are written without overflow (the sanitizer build checks it).
    QTest::newRow("longest") << std::numeric_limits<qint64>::max() << 64
                             << "384307168202282' 3-29/32\""; // 4611686018427387.9035 in
    QTest::newRow("longest below zero") << -std::numeric_limits<qint64>::max() << 64 << "-384307168202282' 3-29/32\"";
}

void TestLengthText::feetInches()
{
    QFETCH(qint64, halfThousandths);
    QFETCH(int, step);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(feetInchesText(halfThousandths, step)), text);
}

void TestLengthText::millimetresAndMetres()
{
    QCOMPARE(millimetresText(fromThousandths(891549)), "22645.3"); // 22645.3446
    QCOMPARE(millimetresText(fromThousandths(2)), "0.1");          // 0.0508, halves away from zero
    QCOMPARE(millimetresText(1), "0.0");                           // half a thousandth: 0.0127
    QCOMPARE(millimetresText(fromThousandths(-313)), "-8.0");      // -7.9502
    QCOMPARE(millimetresText(fromThousandths(0)), "0.0");
    QCOMPARE(metresText(fromThousandths(2860575)), "72.659");  // 72.658605
    QCOMPARE(metresText(fromThousandths(5758792)), "146.273"); // 146.273317
}

void TestLengthText::typedLengths_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<std::optional<std::int64_t>>("thousandths");
    QTest::newRow("plain inches") << "2.5" << std::optional<std::int64_t>(2500);
    QTest::newRow("inches") << "2.5 in" << std::optional<std::int64_t>(2500);
    QTest::newRow("inch mark") << "2.5\"" << std::optional<std::int64_t>(2500);
    QTest::newRow("no blank") << "2.5in" << std::optional<std::int64_t>(2500);
    QTest::newRow("millimetres") << "60 mm" << std::optional<std::int64_t>(2362); // 2.3622
    QTest::newRow("centimetres") << "6 cm" << std::optional<std::int64_t>(2362);
    QTest::newRow("decimal half") << "2.0005" << std::optional<std::int64_t>(2001); // not a hair below
    QTest::newRow("negative") << "-1" << std::optional<std::int64_t>(-1000);
    QTest::newRow("blanks") << "  1 in " << std::optional<std::int64_t>(1000);
    QTest::newRow("word") << "abc" << std::optional<std::int64_t>();
    QTest::newRow("feet") << "2 ft" << std::optional<std::int64_t>(24000);
    QTest::newRow("metres") << "15 m" << std::optional<std::int64_t>(590551); // 590.5512 in
    QTest::newRow("other unit") << "2 yd" << std::optional<std::int64_t>();
    QTest::newRow("unit in capitals") << "2 IN" << std::optional<std::int64_t>(2000);
    QTest::newRow("millimetres in capitals") << "60 MM" << std::optional<std::int64_t>(2362);
    QTest::newRow("feet and a fraction") << "1 1/2 ft" << std::optional<std::int64_t>(18000);
    QTest::newRow("feet, a fraction and inches") << "1-1/2 FT 3 In" << std::optional<std::int64_t>(21000);
    QTest::newRow("a fraction of a foot") << "3/4'" << std::optional<std::int64_t>(9000);
    QTest::newRow("decimal feet in words") << "2.5 feet" << std::optional<std::int64_t>(30000);
    QTest::newRow("empty") << "" << std::optional<std::int64_t>();
}

void TestLengthText::typedLengths()
{
    QFETCH(QString, typed);
    QFETCH(std::optional<std::int64_t>, thousandths);
    QCOMPARE(format::typedLengthThousandths(typed.toStdString()), thousandths);
}

void TestLengthText::gridTexts()
{
    QCOMPARE(format::thousandthsOf("891.549"), std::optional<std::int64_t>(891549));
    QCOMPARE(format::thousandthsOf(".633"), std::optional<std::int64_t>(633));
    QCOMPARE(format::thousandthsOf("12660."), std::optional<std::int64_t>(12660000));
    QCOMPARE(format::thousandthsOf("153.33"), std::optional<std::int64_t>(153330));
    QCOMPARE(format::thousandthsOf("807.316 IN."), std::optional<std::int64_t>(807316));
    QCOMPARE(format::thousandthsOf("1.2345"), std::optional<std::int64_t>());
    QCOMPARE(format::thousandthsOf("12"), std::optional<std::int64_t>());
    QCOMPARE(format::thousandthsOf(""), std::optional<std::int64_t>());
}

void TestLengthText::frequencyLabels_data()
{
    QTest::addColumn<double>("mhz");
    QTest::addColumn<QString>("label");
    QTest::newRow("20 m, to the kHz") << 14.2 << "14.200";
    QTest::newRow("2 m") << 144.2 << "144.200";
    QTest::newRow("160 m, five digits") << 1.8125 << "1.8125";
    QTest::newRow("40 m") << 7.1 << "7.1000";
    QTest::newRow("below 1 MHz") << 0.0128244 << "0.012824";
    QTest::newRow("a whole frequency") << 50.0 << "50.000";
}

// A frequency text shows at least five significant digits: never rounded to what a low band's cut depends on.
void TestLengthText::frequencyLabels()
{
    QFETCH(double, mhz);
    QFETCH(QString, label);
    QCOMPARE(QString::fromStdString(design::frequencyLabel(mhz)), label);
}

QTEST_GUILESS_MAIN(TestLengthText)
#include "tst_lengthtext.moc"
