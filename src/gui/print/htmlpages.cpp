// SPDX-License-Identifier: MIT
#include "gui/print/htmlpages.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
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

// The section that a report marks with kKeepWithEnd (the last table and the lines that close it) starts a
// new page where the report's end would otherwise fall on a page after the section's start, so its last
// lines never stand alone on a page of their own.
void keepTheEndTogether(QTextDocument &document, double pageHeight)
{
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        bool marked = false;
        for (auto fragment = block.begin(); !fragment.atEnd() && !marked; ++fragment)
            marked = fragment.fragment().charFormat().anchorNames().contains(QLatin1String(kKeepWithEnd));
        if (!marked)
            continue;
        const auto pageOf = [pageHeight](double y) { return static_cast<int>(y / pageHeight); };
        const QTextBlock last = document.lastBlock();
        if (pageOf(layout->blockBoundingRect(block).top()) >= pageOf(layout->blockBoundingRect(last).bottom() - 1))
            return;
        QTextCursor cursor(block);
        QTextBlockFormat format = cursor.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        cursor.setBlockFormat(format);
        return;
    }
}

} // namespace

QByteArray htmlReportPdf(const QPageLayout &layout, const QString &title, const QString &html,
                         const ReportPages &drawAfter)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(layout);
    writer.setResolution(kResolution);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Tarvelin"));
    QPainter painter(&writer);
    if (!painter.isActive())
        return {};

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(9);
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&writer);
    document.setDefaultFont(font);
    document.setHtml(html);
    const QSizeF page = writer.pageLayout().paintRectPixels(kResolution).size();
    document.setPageSize(page);
    keepTheEndTogether(document, page.height());
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
