// SPDX-License-Identifier: MIT
#pragma once

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

} // namespace tarvelin
