// SPDX-License-Identifier: MIT
#pragma once

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QRectF>
#include <QString>

namespace tarvelin {

// One text of a drawing or plot and the box it is drawn in. A label over a line of the drawing covers it.
struct DrawingLabel
{
    QRectF box;
    QString text;
    Qt::Alignment alignment = Qt::AlignCenter;
    bool overLine = false;
};

// One pixel at 96 dpi in the painter's device units, so lines and gaps keep their weight on paper.
inline double devicePixel(const QPainter &painter)
{
    return painter.device() ? painter.device()->logicalDpiX() / 96.0 : 1.0;
}

// The width a label takes: its text and a pixel of room either side.
inline double labelWidth(const QFontMetricsF &metrics, double pixel, const QString &text)
{
    return metrics.horizontalAdvance(text) + 2 * pixel;
}

// A label of one line centred on `centreX`, its top at `top`.
inline DrawingLabel centredLabel(const QFontMetricsF &metrics, double pixel, const QString &text, double centreX,
                                 double top)
{
    const double width = labelWidth(metrics, pixel, text);
    return {QRectF(centreX - width / 2, top, width, metrics.height()), text, Qt::AlignCenter, false};
}

} // namespace tarvelin
