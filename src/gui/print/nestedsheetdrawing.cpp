// SPDX-License-Identifier: MIT
#include "gui/print/nestedsheetdrawing.h"

#include "core/document/nestedsheet.h"
#include "gui/print/drawinglabel.h"
#include "gui/print/htmlpages.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvelin {

namespace {

// The front view: each loop a square (or diamond) about the boom, its corners on its element's X.
void paintFront(QPainter &painter, const QRectF &area, const shop::NestedSheet &sheet, const QFontMetricsF &metrics)
{
    double widest = 0.0;
    for (const shop::NestedLoopCut &loop : sheet.loops)
        widest = std::max(widest, shop::millimetresOf(loop.side) * std::numbers::sqrt2);
    const double scale = std::min(area.width(), area.height() - metrics.height()) / widest;
    const QPointF centre(area.center().x(), area.top() + metrics.height() + (area.height() - metrics.height()) / 2);
    const bool square = sheet.geometry.settings.shape == design::LoopShape::Square;
    // The spreaders: an X for a square, upright and level for a diamond.
    const double reach = widest * scale / 2;
    const double d = square ? reach / std::numbers::sqrt2 : reach;
    if (square) {
        painter.drawLine(centre + QPointF(-d, -d), centre + QPointF(d, d));
        painter.drawLine(centre + QPointF(-d, d), centre + QPointF(d, -d));
    } else {
        painter.drawLine(centre + QPointF(-d, 0), centre + QPointF(d, 0));
        painter.drawLine(centre + QPointF(0, -d), centre + QPointF(0, d));
    }
    for (const shop::NestedLoopCut &loop : sheet.loops) {
        if (loop.element > 1)
            continue; // directors stand behind the driver, a little smaller, on the same X
        const double half = shop::millimetresOf(loop.side) * scale / 2;
        QPen pen = painter.pen();
        pen.setStyle(loop.element == 0 ? Qt::DashLine : Qt::SolidLine);
        painter.save();
        painter.setPen(pen);
        if (square)
            painter.drawRect(QRectF(centre.x() - half, centre.y() - half, 2 * half, 2 * half));
        else {
            const double r = half * std::numbers::sqrt2;
            painter.drawPolygon(QPolygonF({centre + QPointF(0, -r), centre + QPointF(r, 0), centre + QPointF(0, r),
                                           centre + QPointF(-r, 0)}));
        }
        painter.restore();
        if (loop.element == 1) {
            const QString name = QString::fromStdString(sheet.geometry.bands[loop.band].name);
            const QPointF at = square ? centre + QPointF(half, -half) : centre + QPointF(0, -half * std::numbers::sqrt2);
            painter.drawText(QRectF(at.x() + 2, at.y() - metrics.height(), metrics.horizontalAdvance(name) + 4,
                                    metrics.height()),
                             Qt::AlignLeft | Qt::AlignBottom, name);
        }
    }
    painter.drawText(QRectF(area.left(), area.top(), area.width(), metrics.height()), Qt::AlignCenter,
                     QStringLiteral("From the front: drivers solid, reflectors dashed"));
}

// The side view: the boom level, each element's arms from its hub, each loop's corner marked on its arm.
void paintSide(QPainter &painter, const QRectF &area, const shop::NestedSheet &sheet, const QFontMetricsF &metrics)
{
    double longest = 1.0;
    double tallest = 1.0;
    for (const shop::NestedLoopCut &loop : sheet.loops) {
        longest = std::max(longest, shop::millimetresOf(loop.station));
        tallest = std::max(tallest, shop::millimetresOf(loop.side) / std::numbers::sqrt2);
    }
    for (const shop::NestedArm &arm : sheet.arms)
        longest = std::max(longest, shop::millimetresOf(arm.hubStation));
    const double room = area.height() - 2 * metrics.height();
    const double scale = std::min((area.width() - 6 * metrics.averageCharWidth()) / std::max(longest, tallest),
                                  room / (2 * tallest));
    const double left = area.left() + 3 * metrics.averageCharWidth() +
                        (area.width() - 6 * metrics.averageCharWidth() - longest * scale) / 2;
    const double axis = area.top() + metrics.height() + room / 2 + metrics.height() / 2;
    const auto at = [&](double stationMm, double heightMm) {
        return QPointF(left + stationMm * scale, axis - heightMm * scale);
    };
    painter.drawLine(at(-longest * 0.05, 0), at(longest * 1.05, 0)); // the boom
    for (const shop::NestedArm &arm : sheet.arms) {
        const double lean = arm.leanDeg * std::numbers::pi / 180.0;
        const double reach = shop::millimetresOf(arm.length);
        const QPointF hub = at(shop::millimetresOf(arm.hubStation), 0);
        for (const double sign : {1.0, -1.0})
            painter.drawLine(hub, at(shop::millimetresOf(arm.hubStation) + reach * std::sin(lean),
                                     sign * reach * std::cos(lean)));
    }
    const double dot = metrics.height() / 5;
    for (const shop::NestedLoopCut &loop : sheet.loops) {
        // A corner's distance from the boom's axis, whichever way the spreaders stand.
        const double height = shop::millimetresOf(loop.side) / std::numbers::sqrt2;
        const QPointF mark = at(shop::millimetresOf(loop.station), height);
        painter.drawEllipse(mark, dot, dot);
        painter.drawEllipse(at(shop::millimetresOf(loop.station), -height), dot, dot);
        if (loop.element <= 1) {
            const QString name = QString::fromStdString(sheet.geometry.bands[loop.band].name);
            const double width = metrics.horizontalAdvance(name) + 4;
            const QRectF box = loop.element == 0
                                   ? QRectF(mark.x() - width - dot, mark.y() - metrics.height() / 2, width,
                                            metrics.height())
                                   : QRectF(mark.x() + dot, mark.y() - metrics.height() / 2, width, metrics.height());
            painter.drawText(box, loop.element == 0 ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter,
                             name);
        }
    }
    painter.drawText(QRectF(area.left(), area.top(), area.width(), metrics.height()), Qt::AlignCenter,
                     QStringLiteral("From the side: the arms from the hub, each loop's marks"));
}

} // namespace

void paintNestedDrawing(QPainter &painter, const QRectF &area, const shop::NestedSheet &sheet, const QFont &font,
                        const QColor &ink)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font);
    QPen pen(ink);
    pen.setWidthF(devicePixel(painter));
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QFontMetricsF metrics(font, painter.device());
    const bool wide = area.width() > area.height() * 1.4;
    const QRectF first = wide ? QRectF(area.left(), area.top(), area.width() / 2, area.height())
                              : QRectF(area.left(), area.top(), area.width(), area.height() / 2);
    const QRectF second = wide ? QRectF(area.center().x(), area.top(), area.width() / 2, area.height())
                               : QRectF(area.left(), area.center().y(), area.width(), area.height() / 2);
    const double gap = metrics.height();
    paintFront(painter, first.adjusted(gap, gap, -gap, -gap), sheet, metrics);
    paintSide(painter, second.adjusted(gap, gap, -gap, -gap), sheet, metrics);
    painter.restore();
}

QString nestedDrawingDescription(const shop::NestedSheet &sheet)
{
    return QStringLiteral("The loops of %1 bands on their spreaders, from the front and from the side, each "
                          "loop's marks on its arms")
        .arg(sheet.geometry.bands.size());
}

QByteArray nestedSheetPdf(const shop::NestedSheet &sheet, std::span<const check::IdleLineWindow> avoid,
                          const QPageLayout &layout, const QDateTime &when)
{
    const auto drawingPage = [&sheet](QPdfWriter &writer, QPainter &painter, const QSizeF &page, const QFont &font) {
        writer.newPage();
        paintNestedDrawing(painter, QRectF(0, 0, page.width(), std::min(page.height(), page.width() * 1.3)), sheet,
                           font, Qt::black);
    };
    return documentPdf(layout, document::nestedSheetDocument(sheet, avoid), when, drawingPage);
}

} // namespace tarvelin
