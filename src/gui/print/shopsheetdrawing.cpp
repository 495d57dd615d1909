// SPDX-License-Identifier: MIT
#include "gui/print/shopsheetdrawing.h"

#include "core/shop/shopsheettext.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <array>

namespace tarvelin {

namespace {

QString lengthText(const shop::ShopSheet &sheet, shop::HalfThousandths length)
{
    return QString::fromStdString(shop::feetInchesText(length, sheet.settings.step));
}

// A short label for each element along the boom.
QString shortName(ElementRow row)
{
    switch (row) {
    case ElementRow::Reflector:
        return QStringLiteral("R");
    case ElementRow::Driven:
        return QStringLiteral("DE");
    default:
        return QStringLiteral("D%1").arg(rowIndex(row) - 1);
    }
}

// Device pixels to one pixel at 96 dpi, so lines and gaps keep their weight on paper.
double pixel(const QPainter &painter)
{
    return painter.device() ? painter.device()->logicalDpiX() / 96.0 : 1.0;
}

void paintLoop(QPainter &painter, const QRectF &area, const shop::ShopSheet &sheet, const QColor &ink)
{
    const double px = pixel(painter);
    const shop::ElementCuts &driven = sheet.elements[rowIndex(ElementRow::Driven)];
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double line = metrics.height();

    painter.drawText(QRectF(area.left(), area.top(), area.width(), line), Qt::AlignHCenter,
                     QStringLiteral("Driven element, front view"));
    const double side =
        std::max(0.0, std::min(area.width() - 2 * metrics.horizontalAdvance(QStringLiteral("4: 99' 99-99/99\"")),
                               area.height() - 5 * line));
    const QRectF square(area.center().x() - side / 2, area.top() + 2.5 * line, side, side);

    QPen wire(ink, 2 * px);
    painter.setPen(wire);
    painter.drawRect(square);
    QPen spreader(ink, px, Qt::DashLine);
    painter.setPen(spreader);
    painter.drawLine(square.topLeft(), square.bottomRight());
    painter.drawLine(square.topRight(), square.bottomLeft());
    painter.setPen(QPen(ink, px));

    // The feed point, and the cut ends of the wire with it, in the middle of the bottom side.
    const QPointF feed(square.center().x(), square.bottom());
    painter.setBrush(ink);
    painter.drawEllipse(feed, 4 * px, 4 * px);
    painter.setBrush(Qt::NoBrush);
    painter.drawText(QRectF(feed.x() - side / 2, feed.y() + 4 * px, side, line), Qt::AlignHCenter,
                     QStringLiteral("feed point, cut ends"));

    // Corner marks along the wire from the cut end: on round the loop, bottom right first.
    const std::array<QPointF, 4> corners{square.bottomRight(), square.topRight(), square.topLeft(),
                                         square.bottomLeft()};
    const std::array<Qt::Alignment, 4> sides{Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight, Qt::AlignRight};
    for (std::size_t k = 0; k < corners.size(); ++k) {
        const QString text = QStringLiteral("%1: %2").arg(k + 1).arg(lengthText(sheet, driven.cornerMarks[k]));
        const double width = metrics.horizontalAdvance(text) + 4 * px;
        const double x = sides[k] == Qt::AlignLeft ? corners[k].x() + 6 * px : corners[k].x() - 6 * px - width;
        const double y = k == 1 || k == 2 ? corners[k].y() - line : corners[k].y();
        painter.drawText(QRectF(x, y, width, line), static_cast<int>(sides[k]), text);
    }

    // The side and one spreader arm, dimensioned.
    painter.drawText(QRectF(square.left(), square.top() - line, side, line), Qt::AlignHCenter,
                     QStringLiteral("side %1").arg(lengthText(sheet, driven.side)));
    painter.drawText(QRectF(square.left(), square.center().y() - line * 1.5, side / 2, line), Qt::AlignHCenter,
                     QStringLiteral("arm %1").arg(lengthText(sheet, driven.arm)));
}

void paintBoom(QPainter &painter, const QRectF &area, const shop::ShopSheet &sheet)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double line = metrics.height();
    painter.drawText(QRectF(area.left(), area.top(), area.width(), line), Qt::AlignHCenter,
                     QStringLiteral("Boom, side view: stations from the reflector"));
    const double margin = metrics.horizontalAdvance(QStringLiteral("99' 99-99/99\"")) / 2;
    const double left = area.left() + margin;
    const double width = std::max(1.0, area.width() - 2 * margin);
    const double y = area.top() + 3.2 * line;
    painter.drawLine(QPointF(left, y), QPointF(left + width, y));
    const double boom = static_cast<double>(std::max<shop::HalfThousandths>(sheet.boomLength, 1));
    for (std::size_t i = 0; i < sheet.elements.size(); ++i) {
        const shop::ElementCuts &cuts = sheet.elements[i];
        const double x = left + width * static_cast<double>(cuts.station) / boom;
        painter.drawLine(QPointF(x, y - line * 0.8), QPointF(x, y + line * 0.8));
        painter.drawText(QRectF(x - margin, y - 2.1 * line, 2 * margin, line), Qt::AlignHCenter,
                         shortName(cuts.element));
        // Stations alternate above and below the line's labels, so neighbours never overlap.
        const double labelY = y + line * (i % 2 == 0 ? 0.9 : 1.9);
        painter.drawText(QRectF(x - margin, labelY, 2 * margin, line), Qt::AlignHCenter,
                         lengthText(sheet, cuts.station));
    }
    painter.drawText(QRectF(area.left(), y + 3.1 * line, area.width(), line), Qt::AlignHCenter,
                     QStringLiteral("boom %1").arg(lengthText(sheet, sheet.boomLength)));
}

} // namespace

void paintShopDrawing(QPainter &painter, const QRectF &area, const shop::ShopSheet &sheet, const QFont &font,
                      const QColor &ink)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font);
    painter.setPen(ink);
    const double line = QFontMetricsF(font, painter.device()).height();
    const double boomHeight = 7.5 * line;
    paintLoop(painter, QRectF(area.left(), area.top(), area.width(), area.height() - boomHeight - line), sheet, ink);
    paintBoom(painter, QRectF(area.left(), area.bottom() - boomHeight, area.width(), boomHeight), sheet);
    painter.restore();
}

} // namespace tarvelin
