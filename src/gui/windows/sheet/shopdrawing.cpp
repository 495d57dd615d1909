// SPDX-License-Identifier: MIT
#include "gui/windows/sheet/shopdrawing.h"

#include "gui/print/shopsheetdrawing.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>
#include <variant>

namespace tarvelin {

namespace {

// Before any sheet, room for the longest texts a sheet has: those of the lowest band.
const shop::ShopSheet &sizingSheet()
{
    static const shop::ShopSheet sheet = std::get<shop::ShopSheet>(shop::makeShopSheet("1.8", {}));
    return sheet;
}

} // namespace

ShopDrawing::ShopDrawing(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("shopDrawing"));
    setAccessibleName(QStringLiteral("Dimensioned drawing of the driven loop and the boom"));
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ShopDrawing::setSheet(const shop::ShopSheet &sheet)
{
    m_sheet = sheet;
    setAccessibleDescription(shopDrawingDescription(sheet));
    updateGeometry();
    update();
}

QRectF ShopDrawing::drawingArea() const
{
    const double margin = fontMetrics().height() / 2.0;
    return QRectF(rect()).adjusted(margin, margin, -margin, -margin);
}

QSize ShopDrawing::minimumSizeHint() const
{
    const QSizeF drawing = shopDrawingMinimumSize(m_sheet ? *m_sheet : sizingSheet(), QFontMetricsF(font()), 1.0);
    const int margin = fontMetrics().height();
    return {static_cast<int>(std::ceil(drawing.width())) + margin,
            static_cast<int>(std::ceil(drawing.height())) + margin};
}

QSize ShopDrawing::sizeHint() const
{
    // Room for a loop a little larger than the least that keeps its labels apart.
    const QSize least = minimumSizeHint();
    const int more = fontMetrics().height() * 4;
    return {least.width() + more, least.height() + more};
}

void ShopDrawing::paintEvent(QPaintEvent *)
{
    if (!m_sheet)
        return;
    QPainter painter(this);
    painter.setBackground(palette().base());
    paintShopDrawing(painter, drawingArea(), *m_sheet, font(), palette().color(QPalette::Text));
}

} // namespace tarvelin
