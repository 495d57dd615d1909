// SPDX-License-Identifier: MIT
#include "print/htmlpages.h"

#include <QAbstractTextDocumentLayout>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace tarvelin {

QSizeF paintHtmlPages(QPdfWriter &writer, QPainter &painter, const QString &html, const QFont &font)
{
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&writer);
    document.setDefaultFont(font);
    document.setHtml(html);
    const QSizeF page = writer.pageLayout().paintRectPixels(writer.resolution()).size();
    document.setPageSize(page);
    for (int i = 0; i < document.pageCount(); ++i) {
        if (i > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -i * page.height());
        document.drawContents(&painter, QRectF(0, i * page.height(), page.width(), page.height()));
        painter.restore();
    }
    return page;
}

} // namespace tarvelin
