// SPDX-License-Identifier: MIT
#include "gui/windows/shopdrawing.h"

#include "gui/print/shopsheetdrawing.h"

#include <QPainter>

namespace tarvelin {

ShopDrawing::ShopDrawing(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("shopDrawing"));
    setAccessibleName(QStringLiteral("Dimensioned drawing of the driven loop and the boom"));
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void ShopDrawing::setSheet(const shop::ShopSheet &sheet)
{
    m_sheet = sheet;
    update();
}

QSize ShopDrawing::sizeHint() const
{
    const int line = fontMetrics().height();
    return {line * 26, line * 30};
}

void ShopDrawing::paintEvent(QPaintEvent *)
{
    if (!m_sheet)
        return;
    QPainter painter(this);
    const int margin = fontMetrics().height();
    paintShopDrawing(painter, QRectF(rect()).adjusted(margin, margin / 2.0, -margin, -margin / 2.0), *m_sheet, font(),
                     palette().color(QPalette::Text));
}

} // namespace tarvelin
