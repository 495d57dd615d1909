// SPDX-License-Identifier: MIT
#pragma once

#include "core/shop/shopsheet.h"
#include "gui/print/drawinglabel.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <vector>

class QColor;
class QFont;
class QFontMetricsF;
class QPainter;

namespace tarvelin {

// Where everything of the drawing goes in a given area. Labels are placed so that none overlaps another,
// nor leaves the area, when the area is at least shopDrawingMinimumSize().
struct ShopDrawingLayout
{
    QRectF square; // the driven loop, front view
    QPointF feed;
    double boomY = 0.0; // the boom, side view
    double boomLeft = 0.0;
    double boomRight = 0.0;
    double tickHalf = 0.0;
    std::vector<double> stations; // x of each element, reflector first
    std::vector<DrawingLabel> labels;
};

// `pixel` is one pixel at 96 dpi in the device's units, so gaps keep their size on paper.
[[nodiscard]] ShopDrawingLayout layoutShopDrawing(const QRectF &area, const shop::ShopSheet &sheet,
                                                  const QFontMetricsF &metrics, double pixel);
[[nodiscard]] QSizeF shopDrawingMinimumSize(const shop::ShopSheet &sheet, const QFontMetricsF &metrics, double pixel);

// What the drawing shows, in words, for screen readers.
[[nodiscard]] QString shopDrawingDescription(const shop::ShopSheet &sheet);

// The shop sheet's dimensioned drawing: the front view of the driven loop with its X of spreaders, the feed
// point and the corner marks counted from the cut end, and the side view of the boom with every element's
// station. One function draws it, so the window and the printed sheet show the same drawing; lines keep
// their weight on any device.
void paintShopDrawing(QPainter &painter, const QRectF &area, const shop::ShopSheet &sheet, const QFont &font,
                      const QColor &ink);

} // namespace tarvelin
