// SPDX-License-Identifier: MIT
#include "gui/print/shopsheetprintout.h"

#include "gui/print/htmlpages.h"
#include "gui/print/shopsheetdrawing.h"

#include "core/shop/shopsheettext.h"

#include <QDateTime>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>

namespace tarvelin {

namespace {

QString escaped(const std::string &text)
{
    return QString::fromStdString(text).toHtmlEscaped();
}

QString both(const shop::ShopSheet &sheet, shop::HalfThousandths length)
{
    return escaped(shop::feetInchesText(length, sheet.settings.step)) + QStringLiteral("<br>") +
           escaped(shop::millimetresText(length)) + QStringLiteral(" mm");
}

QString table(const QStringList &headings, const QList<QStringList> &rows)
{
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><tr>");
    for (const QString &heading : headings)
        html += QStringLiteral("<th>%1</th>").arg(heading.toHtmlEscaped());
    html += QStringLiteral("</tr>");
    for (const QStringList &row : rows) {
        html += QStringLiteral("<tr>");
        for (qsizetype i = 0; i < row.size(); ++i)
            html += (i == 0 ? QStringLiteral("<td><b>%1</b></td>") : QStringLiteral("<td align=\"right\">%1</td>"))
                        .arg(row[i]);
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString sheetHtml(const shop::ShopSheet &sheet, const QDateTime &when)
{
    const auto name = [](const shop::ElementCuts &cuts) {
        return QString::fromLatin1(elementRowName(cuts.element).data(),
                                   static_cast<qsizetype>(elementRowName(cuts.element).size()));
    };
    QString html = QStringLiteral("<h2>Tarvelin shop sheet: %1 MHz</h2>").arg(escaped(sheet.frequencyLabel));
    html += QStringLiteral("<p>%1. %2<br>Wire allowance %3 in, hub offset %4 in")
                .arg(QLocale().toString(when, QLocale::LongFormat).toHtmlEscaped(),
                     escaped(shop::roundingNote(sheet.settings.step)),
                     QString::number(static_cast<double>(sheet.settings.allowanceThousandths) / 1000.0, 'f', 3),
                     QString::number(static_cast<double>(sheet.settings.hubOffsetThousandths) / 1000.0, 'f', 3));
    if (sheet.settings.measuredMHz)
        html += QStringLiteral(", measured resonance %1 MHz: trims for %2 MHz")
                    .arg(QString::number(*sheet.settings.measuredMHz, 'f', 3), escaped(sheet.correctedFrequencyText));
    html += QStringLiteral(".</p>");

    QList<QStringList> loops, marks, boom, trims;
    for (const shop::ElementCuts &cuts : sheet.elements) {
        loops << QStringList{name(cuts), both(sheet, cuts.loop), both(sheet, cuts.cut), both(sheet, cuts.side)};
        QStringList markRow{name(cuts)};
        for (const shop::HalfThousandths mark : cuts.cornerMarks)
            markRow << both(sheet, mark);
        marks << markRow;
        boom << QStringList{name(cuts), both(sheet, cuts.arm), QStringLiteral("4"), both(sheet, cuts.spreader),
                            both(sheet, cuts.station)};
        if (cuts.trim)
            trims << QStringList{name(cuts), both(sheet, *cuts.trim), both(sheet, cuts.correctedStation.value_or(0))};
    }
    html += QStringLiteral("<h3>Loops</h3>") + table({"Element", "Loop", "Cut", "Side"}, loops);
    html += QStringLiteral("<h3>Corner marks, along the wire from the cut end</h3>") +
            table({"Element", "1", "2", "3", "4"}, marks);
    html +=
        QStringLiteral("<h3>Spreaders and boom</h3>") + table({"Element", "Arm", "Arms", "Spreader", "Station"}, boom);
    if (!trims.isEmpty())
        html += QStringLiteral("<h3>Trims (+ lengthen, &minus; shorten)</h3>") +
                table({"Element", "Trim", "Corrected station"}, trims);
    html +=
        QStringLiteral("<h3>Materials</h3><p>Wire in all: %1 (%2 m)<br>Spreader arms: %3<br>Boom: %4; the "
                       "window shows %5</p>")
            .arg(escaped(shop::feetInchesText(sheet.wireTotal, sheet.settings.step)),
                 escaped(shop::metresText(sheet.wireTotal)), QString::number(4 * kElementRowCount),
                 escaped(shop::feetInchesText(sheet.boomLength, sheet.settings.step)), escaped(sheet.windowBoomInches));
    return html;
}

} // namespace

QByteArray shopSheetPdf(const shop::ShopSheet &sheet, const QPageLayout &layout, const QDateTime &when)
{
    const auto drawingPage = [&sheet](QPdfWriter &writer, QPainter &painter, const QSizeF &page, const QFont &font) {
        writer.newPage();
        const double drawingHeight = std::min(page.height(), page.width() * 1.3);
        paintShopDrawing(painter, QRectF(0, 0, page.width(), drawingHeight), sheet, font, Qt::black);
    };
    return htmlReportPdf(
        layout, QStringLiteral("Tarvelin shop sheet, %1 MHz").arg(QString::fromStdString(sheet.frequencyLabel)),
        sheetHtml(sheet, when), drawingPage);
}

} // namespace tarvelin
