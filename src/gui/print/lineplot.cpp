// SPDX-License-Identifier: MIT
// A line plot of the check's sweep, with its axes, grid, marks and legend: one function paints it on any device.
#include "gui/print/checkplots.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace tarvelin {

namespace {

// Round steps for an axis: 1, 2 or 5 times a power of ten, about five of them.
double niceStep(double span)
{
    if (!(span > 0.0))
        return 1.0;
    const double raw = span / 5.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (raw <= factor * power)
            return factor * power;
    return 10.0 * power;
}

QString tickText(double value, double step)
{
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step))));
    return QString::number(value, 'f', decimals);
}

// The legend's rows, in lines apart.
constexpr double kLegendRowPitch = 1.2;

} // namespace

LinePlotLayout layoutLinePlot(const QRectF &area, const QFontMetricsF &metrics, int legendRows)
{
    const double line = metrics.height();
    // Above the plot the title and a row for the upright's label; under it the ticks' labels and the axis's
    // name, and rows for the legend and the clipping note, off the plot, so neither hides a clipped point
    // on its top edge.
    const double left = area.left() + metrics.horizontalAdvance(QStringLiteral("-000.0")) + line;
    const double legendHeight = kLegendRowPitch * legendRows;
    LinePlotLayout layout;
    layout.plot =
        QRectF(left, area.top() + 2.5 * line, area.right() - left - line, area.height() - (5 + legendHeight) * line);
    if (legendRows > 0)
        layout.legendRow = QRectF(left, layout.plot.bottom() + 2.5 * line, layout.plot.width(),
                                  (legendHeight - (kLegendRowPitch - 1.0)) * line);
    return layout;
}

namespace {

// Where a line plot's points lie: the range of every finite point, a clipped one counted at the clipping (an
// infinite SWR stands on the top edge too), and the reference line within it.
struct PlotRange
{
    double xMin = std::numeric_limits<double>::infinity();
    double xMax = -std::numeric_limits<double>::infinity();
    double yMin = std::numeric_limits<double>::infinity();
    double yMax = -std::numeric_limits<double>::infinity();
    bool anyClipped = false;
};

bool clippedBy(const LinePlotMarks &marks, double y)
{
    return marks.clipAbove && y > *marks.clipAbove;
}

PlotRange rangeOf(const std::vector<PlotSeries> &series, const LinePlotMarks &marks)
{
    PlotRange r;
    for (const PlotSeries &s : series)
        for (const QPointF &p : s.points) {
            if (clippedBy(marks, p.y())) {
                r.anyClipped = true;
                r.xMin = std::min(r.xMin, p.x());
                r.xMax = std::max(r.xMax, p.x());
                r.yMax = std::max(r.yMax, *marks.clipAbove);
            } else if (std::isfinite(p.y())) {
                r.xMin = std::min(r.xMin, p.x());
                r.xMax = std::max(r.xMax, p.x());
                r.yMin = std::min(r.yMin, p.y());
                r.yMax = std::max(r.yMax, p.y());
            }
        }
    if (marks.referenceY) {
        r.yMin = std::min(r.yMin, *marks.referenceY);
        r.yMax = std::max(r.yMax, *marks.referenceY);
    }
    return r;
}

// The plot's range on the screen.
struct PlotScale
{
    QRectF plot;
    PlotRange range;

    [[nodiscard]] QPointF toScreen(QPointF p) const
    {
        return QPointF(plot.left() + (p.x() - range.xMin) / (range.xMax - range.xMin) * plot.width(),
                       plot.bottom() - (std::clamp(p.y(), range.yMin, range.yMax) - range.yMin) /
                                           (range.yMax - range.yMin) * plot.height());
    }
};

// The legend's entries row by row within the plot's width, as many rows as they need, and the clipping note
// after them: sweeps in turn bring an entry each.
struct LegendPlan
{
    std::vector<QPointF> entries; // x from the plot's left, and the row
    int row = 0;                  // the last row, where the note goes
    double rowX = 0.0;            // how far along it
};

LegendPlan planLegend(const std::vector<PlotSeries> &series, bool legend, bool note, double noteWidth, double available,
                      const QFontMetricsF &metrics)
{
    const double line = metrics.height();
    LegendPlan plan;
    if (legend)
        for (const PlotSeries &s : series) {
            const double width = 1.8 * line + metrics.horizontalAdvance(s.name);
            if (plan.rowX > 0.0 && plan.rowX + width > available) {
                ++plan.row;
                plan.rowX = 0.0;
            }
            plan.entries.emplace_back(plan.rowX, plan.row);
            plan.rowX += width + 1.5 * line;
        }
    if (note && plan.rowX > 0.0 && plan.rowX + noteWidth > available) {
        ++plan.row;
        plan.rowX = 0.0;
    }
    return plan;
}

// The grid with its tick labels, the frame and the axes' names.
void paintAxes(QPainter &painter, const QRectF &area, const PlotScale &scale, double xStep, double yStep,
               const QString &yLabel, const QColor &ink)
{
    const double line = QFontMetricsF(painter.font(), painter.device()).height();
    const double px = devicePixel(painter);
    const QRectF &plot = scale.plot;
    const PlotRange &r = scale.range;
    QColor grid = ink;
    grid.setAlphaF(0.25F);
    for (double y = r.yMin; y <= r.yMax + yStep / 1000; y += yStep) {
        const QPointF at = scale.toScreen({r.xMin, y});
        painter.setPen(QPen(grid, px));
        painter.drawLine(QPointF(plot.left(), at.y()), QPointF(plot.right(), at.y()));
        painter.setPen(ink);
        painter.drawText(QRectF(area.left(), at.y() - line / 2, plot.left() - area.left() - line / 4, line),
                         Qt::AlignRight | Qt::AlignVCenter, tickText(y, yStep));
    }
    for (double x = std::ceil(r.xMin / xStep) * xStep; x <= r.xMax + xStep / 1000; x += xStep) {
        const QPointF at = scale.toScreen({x, r.yMin});
        painter.setPen(QPen(grid, px));
        painter.drawLine(QPointF(at.x(), plot.top()), QPointF(at.x(), plot.bottom()));
        painter.setPen(ink);
        painter.drawText(QRectF(at.x() - 3 * line, plot.bottom() + line / 4, 6 * line, line), Qt::AlignHCenter,
                         tickText(x, xStep));
    }
    painter.setPen(QPen(ink, px));
    painter.drawRect(plot);
    painter.drawText(QRectF(plot.left(), plot.bottom() + 1.3 * line, plot.width(), line), Qt::AlignHCenter,
                     QStringLiteral("MHz"));
    painter.save();
    painter.translate(area.left() + line * 0.1, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2, 0, plot.height(), line), Qt::AlignHCenter, yLabel);
    painter.restore();
}

// The reference line across the plot, and the marked frequency with its label above the plot.
void paintMarks(QPainter &painter, const QRectF &area, const PlotScale &scale, const LinePlotMarks &marks,
                const QColor &ink)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double line = metrics.height();
    const double px = devicePixel(painter);
    const QRectF &plot = scale.plot;
    if (marks.referenceY) {
        painter.setPen(QPen(ink, px, Qt::DashLine));
        const double y = scale.toScreen({scale.range.xMin, *marks.referenceY}).y();
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    if (marks.markX && *marks.markX >= scale.range.xMin && *marks.markX <= scale.range.xMax) {
        const double x = scale.toScreen({*marks.markX, scale.range.yMin}).x();
        painter.setPen(QPen(ink, px, Qt::DashDotLine));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(ink);
        const double width = metrics.horizontalAdvance(marks.markText) + line;
        const double labelLeft = std::clamp(x - width / 2, area.left(), area.right() - width);
        painter.drawText(QRectF(labelLeft, area.top() + 1.2 * line, width, line), Qt::AlignHCenter, marks.markText);
    }
}

// One series: its line, an arrow up through the top edge at each clipped point (the value goes on above it),
// and its legend entry where there is a legend.
void paintSeries(QPainter &painter, const PlotScale &scale, const PlotSeries &s, const LinePlotMarks &marks,
                 const std::optional<QPointF> &legendAt, const QColor &ink)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double line = metrics.height();
    const double px = devicePixel(painter);
    QPainterPath path;
    bool started = false;
    std::vector<QPointF> tops; // the clipped points, on the top edge
    for (const QPointF &p : s.points) {
        const bool over = clippedBy(marks, p.y());
        if (!over && !std::isfinite(p.y())) {
            started = false;
            continue;
        }
        const QPointF at = scale.toScreen(over ? QPointF(p.x(), scale.range.yMax) : p);
        if (over)
            tops.push_back(at);
        started ? path.lineTo(at) : path.moveTo(at);
        started = true;
    }
    painter.setPen(QPen(s.colour, 2 * px, s.style));
    painter.drawPath(path);
    painter.setBrush(s.colour);
    for (const QPointF &at : tops) {
        const double a = 0.35 * line;
        painter.drawPolygon(QPolygonF({QPointF(at.x(), at.y() - a), QPointF(at.x() - a * 0.6, at.y() + a * 0.4),
                                       QPointF(at.x() + a * 0.6, at.y() + a * 0.4)}));
    }
    painter.setBrush(Qt::NoBrush);
    if (legendAt) {
        const double x = legendAt->x();
        const double y = legendAt->y();
        painter.setPen(QPen(s.colour, 2 * px, s.style));
        painter.drawLine(QPointF(x, y + line / 2), QPointF(x + 1.5 * line, y + line / 2));
        painter.setPen(ink);
        const double width = metrics.horizontalAdvance(s.name);
        painter.drawText(QRectF(x + line * 1.8, y, width + line, line), Qt::AlignLeft, s.name);
    }
}

} // namespace

void paintLinePlot(QPainter &painter, const QRectF &area, const QString &title, const QString &yLabel,
                   const std::vector<PlotSeries> &series, const LinePlotMarks &marks, const QFont &font,
                   const QColor &ink)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const double line = metrics.height();

    PlotRange range = rangeOf(series, marks);
    painter.setPen(ink);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), line), Qt::AlignHCenter, title);
    if (!(range.xMax > range.xMin) || !std::isfinite(range.yMin)) {
        painter.restore();
        return;
    }
    if (!(range.yMax > range.yMin)) {
        range.yMin -= 1.0;
        range.yMax += 1.0;
    }
    const double yStep = niceStep(range.yMax - range.yMin);
    range.yMin = std::floor(range.yMin / yStep) * yStep;
    range.yMax = std::ceil(range.yMax / yStep) * yStep;
    if (range.anyClipped)
        range.yMax = *marks.clipAbove; // the axis ends where the clipping starts
    const double xStep = niceStep(range.xMax - range.xMin);

    const bool legend = series.size() > 1;
    const QString note =
        range.anyClipped ? QStringLiteral("\u25b2 above %1").arg(tickText(*marks.clipAbove, yStep)) : QString();
    const double noteWidth = metrics.horizontalAdvance(note) + line / 2;
    const LegendPlan plan =
        planLegend(series, legend, range.anyClipped, noteWidth, layoutLinePlot(area, metrics, 0).plot.width(), metrics);
    const int legendRows = legend || range.anyClipped ? plan.row + 1 : 0;
    const LinePlotLayout layout = layoutLinePlot(area, metrics, legendRows);
    const PlotScale scale{layout.plot, range};
    const double legendY = layout.legendRow.top();

    paintAxes(painter, area, scale, xStep, yStep, yLabel, ink);
    paintMarks(painter, area, scale, marks, ink);
    for (std::size_t k = 0; k < series.size(); ++k) {
        const std::optional<QPointF> legendAt =
            legend ? std::optional(QPointF(layout.plot.left() + plan.entries[k].x(),
                                           legendY + plan.entries[k].y() * kLegendRowPitch * line))
                   : std::nullopt;
        paintSeries(painter, scale, series[k], marks, legendAt, ink);
    }
    if (range.anyClipped) {
        painter.setPen(ink);
        const double y = legendY + plan.row * kLegendRowPitch * line;
        painter.drawText(
            QRectF(std::max(layout.plot.left() + plan.rowX, layout.plot.right() - noteWidth), y, noteWidth, line),
            Qt::AlignRight, note);
    }
    painter.restore();
}

} // namespace tarvelin
