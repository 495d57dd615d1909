// SPDX-License-Identifier: MIT
#include "gui/print/htmlpages.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace tarvelin {

namespace {

// Fine enough that the printer's own resolution decides the sharpness of text and lines.
constexpr int kResolution = 300;

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
