// SPDX-License-Identifier: MIT
// The conversion chart picture: its entries (cut off, never rounded), its colours, frame, divider and the
// line grid of both panels, probed pixel by pixel.
#include "gui/windows/main/conversionchart.h"
#include "gui/windows/styling/flagicon.h"

#include <QTest>

using namespace tarvelin;

namespace {

// The rows of ink of one text line, counted from its top; -1 where the line has no ink at all.
std::pair<int, int> inkColumns(const QImage &image, int top, int fromColumn, int toColumn)
{
    int first = -1, last = -1;
    for (int y = top; y < top + chart::kGlyphHeight; ++y)
        for (int x = fromColumn; x <= toColumn; ++x)
            if (image.pixel(x, y) == chart::kText) {
                first = first < 0 ? x : std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}

bool rowHasInk(const QImage &image, int y, int fromColumn, int toColumn)
{
    for (int x = fromColumn; x <= toColumn; ++x)
        if (image.pixel(x, y) == chart::kText)
            return true;
    return false;
}

} // namespace

class TestConversionChart : public QObject
{
    Q_OBJECT

private slots:
    void themeIconsArePixelArt();
    void entries();
    void pictureFormat();
    void frameAndDivider();
    void lineGrid();
    void flagIcon_data();
    void flagIcon();
};

void TestConversionChart::entries()
{
    QStringList texts;
    for (const ChartLine &line : conversionChartLines())
        texts << line.text;
    const QStringList expected{
        "8ths",           ".125 = 1/8\"",   ".250 = 1/4\"",   ".375 = 3/8\"",   ".500 = 1/2\"",   ".625 = 5/8\"",
        ".750 = 3/4\"",   ".875 = 7/8\"",   "16ths",          ".062 = 1/16\"",  ".187 = 3/16\"",  ".312 = 5/16\"",
        ".437 = 7/16\"",  ".562 = 9/16\"",  ".687 = 11/16\"", ".812 = 13/16\"", ".937 = 15/16\"", "32nds",
        ".031 = 1/32\"",  ".093 = 3/32\"",  ".156 = 5/32\"",  ".218 = 7/32\"",  ".281 = 9/32\"",  ".343 = 11/32\"",
        ".406 = 13/32\"", ".468 = 15/32\"", ".531 = 17/32\"", ".593 = 19/32\"", ".656 = 21/32\"", ".718 = 23/32\"",
        ".781 = 25/32\"", ".843 = 27/32\"", ".906 = 29/32\"", ".968 = 31/32\"", "64ths",          ".015 = 1/64\"",
        ".046 = 3/64\"",  ".078 = 5/64\"",  ".109 = 7/64\"",  ".140 = 9/64\"",  ".171 = 11/64\"", ".203 = 13/64\"",
        ".234 = 15/64\"", ".265 = 17/64\"", ".296 = 19/64\"", ".328 = 21/64\"", ".359 = 23/64\"", ".390 = 25/64\"",
        ".421 = 27/64\"", ".453 = 29/64\"", ".484 = 31/64\"", ".515 = 33/64\"", ".546 = 35/64\"", ".578 = 37/64\"",
        ".609 = 39/64\"", ".640 = 41/64\"", ".671 = 43/64\"", ".703 = 45/64\"", ".734 = 47/64\"", ".765 = 49/64\"",
        ".796 = 51/64\"", ".828 = 53/64\"", ".859 = 55/64\"", ".890 = 57/64\"", ".921 = 59/64\"", ".953 = 61/64\"",
        ".984 = 63/64\""};
    QCOMPARE(texts, expected);
}

void TestConversionChart::pictureFormat()
{
    const QImage image = conversionChart();
    QCOMPARE(image.size(), QSize(176, 489));
    QCOMPARE(image.format(), QImage::Format_Indexed8);
    QCOMPARE(image.colorTable(), (QList<QRgb>{0xFFFCFEFC, 0xFF0402FC, 0xFF840204, 0xFF000000}));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QVERIFY(image.pixelIndex(x, y) < 3); // the black of the colour table is never used
}

void TestConversionChart::frameAndDivider()
{
    const QImage image = conversionChart();
    const QRgb frame = 0xFF840204;
    for (int y = 0; y < 489; ++y) {
        for (int x = 0; x < 6; ++x)
            QCOMPARE(image.pixel(x, y), frame);
        for (int x = 169; x < 176; ++x)
            QCOMPARE(image.pixel(x, y), frame);
        QCOMPARE(image.pixel(85, y), frame);
    }
    for (int x = 0; x < 176; ++x) {
        for (int y = 0; y < 6; ++y)
            QCOMPARE(image.pixel(x, y), frame);
        for (int y = 483; y < 489; ++y)
            QCOMPARE(image.pixel(x, y), frame);
    }
    // Inside the frame, nothing else is dark red: the panels are ground and text only.
    for (int y = 6; y < 483; ++y)
        for (int x = 6; x < 169; ++x)
            if (x != 85)
                QVERIFY(image.pixel(x, y) != frame);
    QCOMPARE(image.pixel(6, 6), 0xFFFCFEFC);
    QCOMPARE(image.pixel(168, 482), 0xFFFCFEFC);
}

// Left panel: line n at row 15 + 13n, entries from column 11, headings from column 26, lines 8 and 18 empty.
// Right panel: line n at row 13 + 13n from column 97, empty below line 32.
void TestConversionChart::lineGrid()
{
    const QImage image = conversionChart();
    for (int n = 0; n <= 35; ++n) {
        const int top = 15 + 13 * n;
        const auto [first, last] = inkColumns(image, top, 6, 84);
        if (n == 8 || n == 18) {
            QCOMPARE(first, -1);
            continue;
        }
        const bool heading = n == 0 || n == 9 || n == 19;
        QCOMPARE(first, heading ? 26 : 11);
        QVERIFY(last <= 84);
        // Digits fill all nine rows: the first and last row of every line carry ink, the rows between lines none.
        QVERIFY(rowHasInk(image, top, 6, 84));
        QVERIFY(rowHasInk(image, top + 8, 6, 84));
        QVERIFY(!rowHasInk(image, top + 9, 6, 84));
        QVERIFY(!rowHasInk(image, top - 1, 6, 84));
    }
    for (int n = 0; n <= 32; ++n) {
        const int top = 13 + 13 * n;
        const auto [first, last] = inkColumns(image, top, 86, 168);
        QCOMPARE(first, 97);
        QVERIFY(last <= 168);
        QVERIFY(rowHasInk(image, top, 86, 168));
        QVERIFY(rowHasInk(image, top + 8, 86, 168));
        QVERIFY(!rowHasInk(image, top - 1, 86, 168));
    }
    for (int y = 13 + 13 * 33; y < 483; ++y)
        QVERIFY(!rowHasInk(image, y, 86, 168));
}

void TestConversionChart::flagIcon_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("cantonWidth");
    QTest::addColumn<int>("cantonHeight");
    QTest::newRow("32 by 32") << 32 << 6 << 20 << 13 << 9;
    QTest::newRow("16 by 16") << 16 << 3 << 11 << 7 << 5;
}

void TestConversionChart::flagIcon()
{
    QFETCH(int, size);
    QFETCH(int, top);
    QFETCH(int, height);
    QFETCH(int, cantonWidth);
    QFETCH(int, cantonHeight);

    const QImage image = flagImage(size).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(size, size));
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255), red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255);
    const int bottom = top + height - 1;
    int whiteRows = 0, redRows = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb p = image.pixel(x, y);
            if (y < top || y > bottom) {
                QCOMPARE(qAlpha(p), 0);
            } else if (y == top || y == bottom || x == 0 || x == size - 1) {
                QCOMPARE(p, black);
            } else if (x - 1 < cantonWidth && y - top - 1 < cantonHeight) {
                QCOMPARE(p, ((x - 1) + (y - top - 1)) % 2 == 0 ? blue : white);
            } else {
                QCOMPARE(p, (y - top - 1) % 2 == 0 ? white : red);
            }
        }
        if (y > top && y < bottom)
            ++(image.pixel(size - 2, y) == white ? whiteRows : redRows);
    }
    QCOMPARE(image.pixel(size - 2, top + 1), white);
    QCOMPARE(image.pixel(size - 2, bottom - 1), size == 32 ? red : white);
    QCOMPARE(whiteRows, size == 32 ? 9 : 5);
    QCOMPARE(redRows, size == 32 ? 9 : 4);
}

// The icon theme's larger flags are the window icon's pixels blown up by a whole factor, square block by
// square block, never smoothed: 48 from the 16 pixel drawing, the others from the 32 pixel one.
void TestConversionChart::themeIconsArePixelArt()
{
    for (const int size : {48, 64, 128, 256}) {
        const QImage icon = QImage(QStringLiteral(TARVELIN_ICON_DIR "/%1/org.tarvelin.Tarvelin.png").arg(size))
                                .convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(icon.size(), QSize(size, size));
        const int base = size == 48 ? 16 : 32;
        const QImage drawing = flagImage(base).convertToFormat(QImage::Format_ARGB32);
        const int factor = size / base;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (icon.pixel(x, y) != drawing.pixel(x / factor, y / factor))
                    QFAIL(qPrintable(QStringLiteral("%1 px icon differs at %2,%3").arg(size).arg(x).arg(y)));
    }
}

QTEST_GUILESS_MAIN(TestConversionChart)
#include "tst_conversionchart.moc"
