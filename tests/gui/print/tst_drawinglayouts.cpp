// SPDX-License-Identifier: MIT
// The drawing and the polar plots place their own labels: at every size they may be drawn at, no label may
// cover another, leave the area, or sit on the loop or the pattern it describes.
#include "gui/print/checkplots.h"
#include "gui/print/shopsheetdrawing.h"
#include "gui/print/shopsheetprintout.h"
#include "support/runprocess.h"

#include "core/shop/lengthtext.h"
#include "core/shop/shopsheet.h"
#include "core/tune/tuneddesign.h"

#include <QDateTime>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QTemporaryDir>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <variant>

using namespace tarvelin;

namespace {

// Two boxes that share more than a sliver of area.
bool overlap(const QRectF &a, const QRectF &b)
{
    const QRectF common = a.intersected(b);
    return common.width() > 0.01 && common.height() > 0.01;
}

QString clashes(const std::vector<DrawingLabel> &labels)
{
    for (std::size_t i = 0; i < labels.size(); ++i)
        for (std::size_t j = i + 1; j < labels.size(); ++j)
            if (overlap(labels[i].box, labels[j].box))
                return labels[i].text + QStringLiteral(" / ") + labels[j].text;
    return {};
}

bool inside(const QRectF &outer, const QRectF &box)
{
    return box.left() >= outer.left() - 0.01 && box.right() <= outer.right() + 0.01 &&
           box.top() >= outer.top() - 0.01 && box.bottom() <= outer.bottom() + 0.01;
}

// The distance from a point to the nearest point of a box.
double distance(const QPointF &point, const QRectF &box)
{
    const double dx = std::max({box.left() - point.x(), 0.0, point.x() - box.right()});
    const double dy = std::max({box.top() - point.y(), 0.0, point.y() - box.bottom()});
    return std::hypot(dx, dy);
}

} // namespace

class TestDrawingLayouts : public QObject
{
    Q_OBJECT

private slots:
    void shopDrawingLabelsStandApart_data();
    void shopDrawingLabelsStandApart();
    void polarLabelsClearOfThePattern_data();
    void polarLabelsClearOfThePattern();
    void sheetPagesKeepTheirEnds_data();
    void sheetPagesKeepTheirEnds();
    void linePlotsDrawEveryPointWithTheLegendOffThem();
};

void TestDrawingLayouts::shopDrawingLabelsStandApart_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<bool>("section");
    // The longest lengths (160 m), the usual bands, and the shortest (2 m), where the texts are narrow but
    // the stations crowd; the finest step gives the widest fractions; large type is a high-dpi screen. A
    // matching section adds its label under the feed point's.
    for (const char *frequency : {"1.8", "14.2", "28.5", "144.2"})
        for (const int step : {8, 64})
            for (const int pointSize : {9, 20})
                QTest::addRow("%s MHz, 1/%d, %d pt", frequency, step, pointSize)
                    << QString::fromLatin1(frequency) << step << pointSize << false;
    for (const char *frequency : {"1.8", "144.2"})
        QTest::addRow("%s MHz, 1/64, 20 pt, matching section", frequency)
            << QString::fromLatin1(frequency) << 64 << 20 << true;
}

void TestDrawingLayouts::shopDrawingLabelsStandApart()
{
    QFETCH(QString, frequency);
    QFETCH(int, step);
    QFETCH(int, pointSize);
    QFETCH(bool, section);
    shop::ShopSettings settings;
    settings.step = step;
    if (section)
        settings.match = {design::MatchKind::QuarterWave, 75.0, 0.66, {}};
    const auto made = shop::makeShopSheet(frequency.toStdString(), settings);
    QVERIFY(std::holds_alternative<shop::ShopSheet>(made));
    const shop::ShopSheet &sheet = std::get<shop::ShopSheet>(made);
    QCOMPARE(sheet.section.has_value(), section);
    QFont font = QGuiApplication::font();
    font.setPointSize(pointSize);
    const QFontMetricsF metrics(font);
    const QSizeF least = shopDrawingMinimumSize(sheet, metrics, 1.0);

    // The least size, each side a little larger alone, both doubled, and a wide and short one.
    for (const QSizeF size :
         {least, least + QSizeF(37, 0), least + QSizeF(0, 53), least * 2, QSizeF(least.width() * 3, least.height())}) {
        const QRectF area(QPointF(5, 7), size);
        const ShopDrawingLayout layout = layoutShopDrawing(area, sheet, metrics, 1.0);
        const QString where = QStringLiteral(" at %1 x %2").arg(size.width()).arg(size.height());
        QVERIFY2(clashes(layout.labels).isEmpty(), qPrintable(clashes(layout.labels) + where));
        for (const DrawingLabel &label : layout.labels) {
            QVERIFY2(inside(area, label.box), qPrintable(label.text + where));
            // The loop's labels stand off its wire, except the arm's, which sits inside it, between the upper
            // spreaders (the diagonals) and off them.
            const bool arm = label.text.startsWith(QStringLiteral("arm "));
            QVERIFY2(arm ? layout.square.contains(label.box) : !overlap(label.box, layout.square),
                     qPrintable(label.text + where));
            if (arm) {
                const QPointF centre = layout.square.center();
                for (const QPointF corner : {label.box.bottomLeft(), label.box.bottomRight()})
                    QVERIFY2(std::fabs(corner.x() - centre.x()) < centre.y() - corner.y(),
                             qPrintable(label.text + QStringLiteral(" on a spreader") + where));
            }
        }
        QVERIFY2(layout.square.width() >= metrics.height() * 3, qPrintable(QStringLiteral("no loop") + where));
        // The section's cut length stands on the drawing too, where the sheet cuts one.
        const auto sectionLabels =
            std::count_if(layout.labels.begin(), layout.labels.end(), [&](const DrawingLabel &l) {
                return l.text.contains(QStringLiteral("section")) &&
                       (!section ||
                        l.text.contains(QString::fromStdString(shop::feetInchesText(*sheet.section, step))));
            });
        QCOMPARE(sectionLabels, section ? 1 : 0);
    }
}

void TestDrawingLayouts::polarLabelsClearOfThePattern_data()
{
    QTest::addColumn<bool>("half");
    QTest::addColumn<QSizeF>("lines");
    QTest::addColumn<int>("pointSize");
    // Sizes in lines of type: the window's least plot, a wide and a tall one, and about a page; in the
    // window's type and in large type.
    for (const bool half : {false, true})
        for (const QSizeF lines : {QSizeF(22, 14), QSizeF(60, 16), QSizeF(22, 60), QSizeF(70, 50)})
            for (const int pointSize : {9, 16})
                QTest::addRow("%s, %gx%g lines, %d pt", half ? "elevation" : "azimuth", lines.width(), lines.height(),
                              pointSize)
                    << half << lines << pointSize;
}

void TestDrawingLayouts::polarLabelsClearOfThePattern()
{
    QFETCH(bool, half);
    QFETCH(QSizeF, lines);
    QFETCH(int, pointSize);
    QFont font = QGuiApplication::font();
    font.setPointSize(pointSize);
    const QFontMetricsF metrics(font);
    const QRectF area(QPointF(3, 4), lines * metrics.height());
    const PolarLayout layout =
        layoutPolarPlot(area, QStringLiteral("Elevation pattern at the design frequency: take-off 12.3\u00b0"), -10.8,
                        half, metrics, 1.0);

    QVERIFY(layout.radius > metrics.height() * 2);
    QVERIFY2(clashes(layout.labels).isEmpty(), qPrintable(clashes(layout.labels)));
    int ringLabels = 0;
    for (const DrawingLabel &label : layout.labels) {
        QVERIFY2(inside(area, label.box), qPrintable(label.text));
        // Every text stands outside the circle the pattern is drawn in; a half plot's below its base line.
        const bool clear =
            distance(layout.centre, label.box) >= layout.radius || (half && label.box.top() >= layout.centre.y());
        QVERIFY2(clear, qPrintable(label.text));
        ringLabels += label.text.startsWith(QLatin1Char('-')) || label.text == QStringLiteral("0 dB");
    }
    // The scale reads at least from its centre to its rim.
    QVERIFY(ringLabels >= 2);
}

void TestDrawingLayouts::sheetPagesKeepTheirEnds_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QPageSize::PageSizeId>("paper");
    QTest::addColumn<int>("marginMm");
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<int>("elements");
    // The usual papers and margins, and those where a heading once fell at a page's foot.
    struct Paper
    {
        QPageSize::PageSizeId size;
        int marginMm;
        bool landscape;
    };
    const std::array<Paper, 5> papers{{{QPageSize::A4, 15, false},
                                       {QPageSize::Letter, 15, false},
                                       {QPageSize::A5, 15, true},
                                       {QPageSize::Letter, 10, true},
                                       {QPageSize::A4, 5, true}}};
    for (const char *frequency : {"1.8", "14.2", "144.2"})
        for (const char *kind : {"plain", "tuned", "trimmed"})
            for (const Paper &paper : papers)
                QTest::addRow("%s MHz %s on %s%s, %d mm", frequency, kind, qPrintable(QPageSize::name(paper.size)),
                              paper.landscape ? " landscape" : "", paper.marginMm)
                    << QString::fromLatin1(frequency) << QString::fromLatin1(kind) << paper.size << paper.marginMm
                    << paper.landscape << 7;
    // The shortest array's sheet, whose tables are the shortest.
    for (const char *kind : {"plain", "tuned", "trimmed"})
        for (const Paper &paper : {papers[0], papers[2]})
            QTest::addRow("two elements %s on %s%s", kind, qPrintable(QPageSize::name(paper.size)),
                          paper.landscape ? " landscape" : "")
                << QStringLiteral("14.2") << QString::fromLatin1(kind) << paper.size << paper.marginMm
                << paper.landscape << 2;
}

// The sheet's last lines, the materials, stay on the page of the table they close, never alone on a page
// of their own before the drawing's.
void TestDrawingLayouts::sheetPagesKeepTheirEnds()
{
    QFETCH(QString, frequency);
    QFETCH(QString, kind);
    QFETCH(QPageSize::PageSizeId, paper);
    QFETCH(int, marginMm);
    QFETCH(bool, landscape);
    QFETCH(int, elements);
    std::vector<double> factors{0.98, 0.977, 0.976, 0.975, 0.974, 0.973, 0.972};
    factors.resize(static_cast<std::size_t>(elements));
    shop::ShopSettings plain;
    plain.elements = elements;
    shop::ShopSettings trimmed = plain;
    trimmed.measuredMHz = frequency.toDouble() * 0.98;
    const auto made =
        kind == QLatin1String("tuned")
            ? shop::makeTunedShopSheet(frequency.toStdString(), plain, {factors, {}})
            : shop::makeShopSheet(frequency.toStdString(), kind == QLatin1String("trimmed") ? trimmed : plain);
    QVERIFY(std::holds_alternative<shop::ShopSheet>(made));
    shop::ShopSheet sheet = std::get<shop::ShopSheet>(made);
    if (kind == QLatin1String("tuned")) {
        tune::TuneResult result;
        result.factors = factors;
        sheet.tuning = tune::sheetTuningOf(result, tune::TuneSettings{}, design::CheckSettings{});
    }
    const QPageLayout layout(QPageSize(paper), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                             QMarginsF(marginMm, marginMm, marginMm, marginMm), QPageLayout::Millimeter);
    QTemporaryDir folder;
    QFile pdf(folder.filePath(QStringLiteral("sheet.pdf")));
    QVERIFY(pdf.open(QIODevice::WriteOnly));
    pdf.write(shopSheetPdf(sheet, layout, QDateTime()));
    pdf.close();
    const QStringList pages = standardOutputOf(QStringLiteral("pdftotext"), {pdf.fileName(), QStringLiteral("-")})
                                  .split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QVERIFY(pages.size() >= 2);
    QCOMPARE(pages.front().contains(QStringLiteral("two elements")), elements == 2);
    // The window shows the seven-element boom alone: a shorter array's sheet names no window total.
    QCOMPARE(pages.join(QLatin1Char('\n')).contains(QStringLiteral("the window shows")), elements == 7);
    const auto pageOf = [&pages](const QString &text) {
        for (qsizetype i = 0; i < pages.size(); ++i)
            if (pages[i].contains(text))
                return i;
        return qsizetype(-1);
    };
    const QString lastTable = kind == QLatin1String("trimmed") ? QStringLiteral("Corner marks after trimming")
                              : kind == QLatin1String("tuned") ? QStringLiteral("Before and after tuning")
                                                               : QStringLiteral("Spreaders and boom");
    QVERIFY(pageOf(QStringLiteral("Materials")) >= 0);
    QCOMPARE(pageOf(QStringLiteral("Materials")), pageOf(lastTable));
    // No heading ends a page while what it heads starts the next.
    for (const QString &page : pages) {
        const QStringList lines = page.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QString last = lines.isEmpty() ? QString() : lines.back().trimmed();
        for (const char *heading : {"Loops", "Corner marks, along the wire from the cut end", "Spreaders and boom",
                                    "Trims", "Corner marks after trimming", "Before and after tuning", "Materials"})
            QVERIFY2(last != QLatin1String(heading), heading);
    }
}

// The line plots draw every point the check has, the wider sweep's among them, and the tuned design's beside
// the specified one's; the legend stands in its own row under the axis, where no clipped point is.
void TestDrawingLayouts::linePlotsDrawEveryPointWithTheLegendOffThem()
{
    check::CheckSummary check;
    for (const auto &[mhz, round] : {std::pair{13.667, 2}, std::pair{13.774, 1}, std::pair{14.2, 1}}) {
        check::SweepPoint point;
        point.mhz = mhz;
        point.swr = mhz < 13.7 ? 1.2 : 12.0; // the dip only in the wider sweep; the rest above the clip
        point.round = round;
        check.points.push_back(point);
    }
    check.design = check.points.back();
    const check::CheckSummary tuned = check;
    const std::vector<PlotSeries> series = checkPlotSeries(CheckPlot::Swr, check, {}, &tuned);
    QCOMPARE(series.size(), std::size_t(2));
    QCOMPARE(series[0].points.size(), std::size_t(3));
    QCOMPARE(series[0].points.front(), QPointF(13.667, 1.2));
    QCOMPARE(series[1].style, Qt::DashLine);

    const QFontMetricsF metrics(QGuiApplication::font());
    const QRectF area(0, 0, 400, 300);
    const LinePlotLayout layout = layoutLinePlot(area, metrics, 1);
    QVERIFY(inside(area, layout.legendRow));
    QVERIFY2(layout.legendRow.top() >= layout.plot.bottom() + metrics.height(), "the legend below the tick labels");
}

QTEST_MAIN(TestDrawingLayouts)
#include "tst_drawinglayouts.moc"
