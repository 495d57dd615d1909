// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/idlewindows.h"
#include "core/shop/nestedsheet.h"

#include <QByteArray>
#include <QColor>
#include <QRectF>
#include <QString>

#include <span>

class QDateTime;
class QFont;
class QPageLayout;
class QPainter;

namespace tarvelin {

// A quad of several bands on its spreaders, drawn to scale: from the front, every loop on the X of its
// element's arms; from the side, the boom, the hub and the arms leaning from it, with each loop's mark on its
// arm, named by its band. `ink`: the lines' and texts' colour.
void paintNestedDrawing(QPainter &painter, const QRectF &area, const shop::NestedSheet &sheet, const QFont &font,
                        const QColor &ink);

// What the drawing shows, for a screen reader.
[[nodiscard]] QString nestedDrawingDescription(const shop::NestedSheet &sheet);

// The cut list of a quad of several bands on paper: the document's pages, then the drawing on a page of its own.
[[nodiscard]] QByteArray nestedSheetPdf(const shop::NestedSheet &sheet, std::span<const check::IdleLineWindow> avoid,
                                        const QPageLayout &layout, const QDateTime &when);

} // namespace tarvelin
