// SPDX-License-Identifier: MIT
#include "gui/print/htmlpages.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDateTime>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace tarvelin {

namespace {

// Fine enough that the printer's own resolution decides the sharpness of text and lines.
constexpr int kResolution = 300;

} // namespace

namespace {

// Where pages break in a report, in one pass from the top, so that each decision stands on the layout above it:
// a heading never ends a page while what it heads starts the next, but starts that page instead; and the
// section a report marks as kept with its end (the last table and the lines that close it) starts a new page
// where the report's end would otherwise fall on a page after the section's start, so its last lines never
// stand alone on a page of their own.
void keepTogether(QTextDocument &document, double pageHeight)
{
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    const auto pageOf = [pageHeight](double y) { return static_cast<int>(y / pageHeight); };
    // The layout is made as it is asked for; every position asked for must be that of the whole document
    // laid out with every break set so far.
    const auto laidOut = [layout] { (void)layout->documentSize(); };
    const auto breakBefore = [&](const QTextBlock &block) {
        QTextCursor cursor(block);
        QTextBlockFormat format = cursor.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        cursor.setBlockFormat(format);
        laidOut();
    };
    laidOut();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int page = pageOf(layout->blockBoundingRect(block).top());
        bool marked = false;
        for (auto fragment = block.begin(); !fragment.atEnd() && !marked; ++fragment)
            marked = fragment.fragment().charFormat().anchorNames().contains(QLatin1String(format::kKeepWithEnd));
        if (marked && page < pageOf(layout->blockBoundingRect(document.lastBlock()).bottom() - 1)) {
            breakBefore(block);
            continue;
        }
        // Both in the document's own coordinates, a table's first cell among them.
        const QTextBlock next = block.next();
        if (block.blockFormat().headingLevel() > 0 && next.isValid() &&
            pageOf(layout->blockBoundingRect(next).top()) > page)
            breakBefore(block);
    }
}

} // namespace

QByteArray documentPdf(const QPageLayout &layout, const format::Document &report, const QDateTime &when,
                       const ReportPages &drawAfter)
{
    const QString byline = QStringLiteral("Tarvelin, %1").arg(QLocale().toString(when, QLocale::LongFormat));
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(layout);
    writer.setResolution(kResolution);
    writer.setTitle(QStringLiteral("Tarvelin: %1").arg(QString::fromStdString(report.title)));
    writer.setCreator(QStringLiteral("Tarvelin"));
    QPainter painter(&writer);
    if (!painter.isActive())
        return {};

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(9);
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&writer);
    document.setDefaultFont(font);
    document.setHtml(QString::fromStdString(format::documentHtml(report, byline.toStdString())));
    const QSizeF page = writer.pageLayout().paintRectPixels(kResolution).size();
    document.setPageSize(page);
    keepTogether(document, page.height());
    for (int i = 0; i < document.pageCount(); ++i) {
        if (i > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -i * page.height());
        document.drawContents(&painter, QRectF(0, i * page.height(), page.width(), page.height()));
        painter.restore();
    }
    drawAfter(writer, painter, page, font);
    painter.end();
    return pdf;
}

} // namespace tarvelin
