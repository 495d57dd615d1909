// SPDX-License-Identifier: MIT
#include "runtime/printer.h"

#include <QPainter>
#include <QWidget>

namespace tarvelin {

void renderWindow(QPainter &painter, QWidget &window)
{
    window.render(&painter, QPoint(0, 0), QRegion(window.rect()),
                  QWidget::DrawWindowBackground | QWidget::DrawChildren);
}

} // namespace tarvelin
