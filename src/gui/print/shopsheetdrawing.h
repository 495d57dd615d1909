// SPDX-License-Identifier: MIT
#pragma once

#include "core/shop/shopsheet.h"

class QColor;
class QFont;
class QPainter;
class QRectF;

namespace tarvelin {

// The shop sheet's dimensioned drawing: the front view of the driven loop with its X of spreaders, the feed
// point and the corner marks counted from the cut end, and the side view of the boom with every element's
// station. One function draws it, so the window and the printed sheet show the same drawing; lines keep
// their weight on any device.
void paintShopDrawing(QPainter &painter, const QRectF &area, const shop::ShopSheet &sheet, const QFont &font,
                      const QColor &ink);

} // namespace tarvelin
