// SPDX-License-Identifier: MIT
#include "gui/print/shopsheetprintout.h"

#include "gui/print/htmlpages.h"
#include "gui/print/shopsheetdrawing.h"

#include "core/shop/shopsheettext.h"

#include <QPainter>
#include <QPdfWriter>

namespace tarvelin {

QByteArray shopSheetPdf(const shop::ShopSheet &sheet, const QPageLayout &layout, const QDateTime &when)
{
    const auto drawingPage = [&sheet](QPdfWriter &writer, QPainter &painter, const QSizeF &page, const QFont &font) {
        writer.newPage();
        const double drawingHeight = std::min(page.height(), page.width() * 1.3);
        paintShopDrawing(painter, QRectF(0, 0, page.width(), drawingHeight), sheet, font, Qt::black);
    };
    return documentPdf(layout, shop::shopSheetDocument(sheet), when, drawingPage);
}

} // namespace tarvelin
