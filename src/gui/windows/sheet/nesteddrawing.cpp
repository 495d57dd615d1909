// SPDX-License-Identifier: MIT
#include "gui/windows/sheet/nesteddrawing.h"

#include "gui/print/nestedsheetdrawing.h"

#include <QPainter>

namespace tarvelin {

NestedDrawing::NestedDrawing(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("nestedDrawing"));
    setAccessibleName(QStringLiteral("Drawing of the loops on their spreaders"));
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void NestedDrawing::setSheet(const shop::NestedSheet &sheet)
{
    m_sheet = sheet;
    setAccessibleDescription(nestedDrawingDescription(sheet));
    update();
}

QSize NestedDrawing::minimumSizeHint() const
{
    const int line = fontMetrics().height();
    return {line * 24, line * 12};
}

QSize NestedDrawing::sizeHint() const
{
    const int line = fontMetrics().height();
    return {line * 40, line * 20};
}

void NestedDrawing::paintEvent(QPaintEvent *)
{
    if (!m_sheet)
        return;
    QPainter painter(this);
    const QColor ink = palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text);
    paintNestedDrawing(painter, QRectF(rect()), *m_sheet, font(), ink);
}

} // namespace tarvelin
