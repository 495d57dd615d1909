// SPDX-License-Identifier: MIT
#include "gui/print/shopsheetprintout.h"

#include "core/design/designlengths.h"

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

QString sheetHtml(const shop::ShopSheet &sheet, const QDateTime &when)
{
    QString html =
        (sheet.loopFactors ? QStringLiteral("<h2>Tarvelin tuned shop sheet: %1</h2><p>%2</p>")
                                 .arg(escaped(design::designTitle(sheet.frequencyLabel, sheet.elements.size())),
                                      escaped(shop::tunedNote(sheet)))
                           : QStringLiteral("<h2>Tarvelin shop sheet: %1</h2>")
                                 .arg(escaped(design::designTitle(sheet.frequencyLabel, sheet.elements.size()))));
    html += QStringLiteral("<p>%1. %2<br>Wire allowance %3 in, hub offset %4 in")
                .arg(QLocale().toString(when, QLocale::LongFormat).toHtmlEscaped(),
                     escaped(shop::roundingNote(sheet.settings.step)),
                     QString::number(static_cast<double>(sheet.settings.allowanceThousandths) / 1000.0, 'f', 3),
                     QString::number(static_cast<double>(sheet.settings.hubOffsetThousandths) / 1000.0, 'f', 3));
    html += QStringLiteral(".</p>");

    const shop::ShopTables tables = shop::shopTables(sheet);
    html += QStringLiteral("<h3>Loops</h3>") + QString::fromStdString(format::htmlTable(tables.loops));
    html += QStringLiteral("<h3>Corner marks, along the wire from the cut end</h3>") +
            QString::fromStdString(format::htmlTable(tables.cornerMarks));
    // The last table is kept on one page with the materials that close the sheet.
    const QString keep = QStringLiteral("<a name=\"%1\"></a>").arg(QLatin1String(kKeepWithEnd));
    const bool trimmed = !sheet.correctedFrequencyText.empty();
    const bool last = !trimmed && !sheet.tuning;
    html += QStringLiteral("<h3>%1Spreaders and boom</h3>").arg(last ? keep : QString()) +
            QString::fromStdString(format::htmlTable(tables.spreadersAndBoom));
    if (trimmed) {
        html += QStringLiteral("<h3>Trims</h3><p>%1</p>").arg(escaped(shop::trimsNote(sheet))) +
                QString::fromStdString(format::htmlTable(tables.trims));
        html += QStringLiteral("<h3>%1Corner marks after trimming</h3>").arg(keep) +
                QString::fromStdString(format::htmlTable(tables.trimmedMarks));
    }
    if (sheet.tuning)
        html += QStringLiteral("<h3>%1Before and after tuning</h3>").arg(keep) +
                QString::fromStdString(format::htmlTable(sheet.tuning->figures)) +
                QStringLiteral("<p>%1</p>").arg(escaped(sheet.tuning->outcome));
    const shop::ShopFooter footer = shop::shopFooter(sheet);
    html += QStringLiteral("<h3>Materials</h3><p>Wire in all: %1<br>Spreader arms: %2<br>Boom: %3%4%5</p><p>%6</p>")
                .arg(escaped(footer.wire), escaped(footer.armsText), escaped(footer.boom),
                     sheet.windowBoomInches.empty()
                         ? QString() // the window shows the seven-element boom only
                         : QStringLiteral("; the window shows %1").arg(escaped(sheet.windowBoomInches)),
                     footer.section.empty() ? QString()
                                            : QStringLiteral("<br>Matching section: %1").arg(escaped(footer.section)),
                     escaped(footer.feed));
    if (const std::string match = shop::matchNote(sheet); !match.empty())
        html += QStringLiteral("<p>%1</p>").arg(escaped(match));
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
        layout,
        QStringLiteral("Tarvelin shop sheet, %1")
            .arg(QString::fromStdString(design::designTitle(sheet.frequencyLabel, sheet.elements.size()))),
        sheetHtml(sheet, when), drawingPage);
}

} // namespace tarvelin
