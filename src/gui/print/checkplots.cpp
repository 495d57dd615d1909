// SPDX-License-Identifier: MIT
#include "gui/print/checkplots.h"

#include "core/design/designlengths.h"

#include "core/document/checktable.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <limits>

namespace tarvelin {

namespace {
// A measured impedance beyond this, in ohms, is an open end: no scale shows it.
constexpr double kLargestMeasuredOhms = 1e6;
} // namespace

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

PolarLayout layoutPolarPlot(const QRectF &area, const QString &title, double peakDbi, bool half,
                            const QFontMetricsF &metrics, double pixel)
{
    const double line = metrics.height();
    const double gap = 6 * pixel;
    const auto width = [&](const QString &text) { return labelWidth(metrics, pixel, text); };
    const QString forward = QStringLiteral("forward");
    const std::array<QString, 5> ringTexts{QStringLiteral("-40"), QStringLiteral("-30"), QStringLiteral("-20"),
                                           QStringLiteral("-10"), QStringLiteral("0 dB")};
    const QString caption = QStringLiteral("rings every 10 dB below the peak, %1 dBi").arg(peakDbi, 0, 'f', 1);

    PolarLayout layout;
    // Above the circle the title, and for the whole circle the forward direction; below it the scale, its
    // labels and its caption.
    const double above = half ? 1.5 * line : 2.5 * line;
    const double below = 0.5 * line + 2.3 * line;
    const double outerLabel = width(ringTexts.back()) / 2;
    const double side = half ? std::max(width(forward) + gap, outerLabel) : outerLabel;
    const double byWidth = area.width() / 2 - side;
    const double byHeight = half ? area.height() - above - below : (area.height() - above - below) / 2;
    layout.radius = std::max(0.0, std::min(byWidth, byHeight));
    layout.centre = QPointF(area.center().x(), area.top() + above + layout.radius);
    const double rim = half ? layout.centre.y() : layout.centre.y() + layout.radius;
    layout.scaleY = rim + 0.5 * line;

    const auto centred = [&](const QString &text, double x, double top) {
        return centredLabel(metrics, pixel, text, x, top);
    };
    // A title too long for a narrow plot ends in an ellipsis rather than running past its edges.
    layout.labels.push_back(centred(metrics.elidedText(title, Qt::ElideRight, std::max(0.0, area.width() - 2 * pixel)),
                                    area.center().x(), area.top()));
    if (half)
        layout.labels.push_back(DrawingLabel{
            QRectF(layout.centre.x() + layout.radius + gap, layout.centre.y() - line / 2, width(forward), line),
            forward, Qt::AlignLeft | Qt::AlignVCenter, false});
    else
        layout.labels.push_back(centred(forward, layout.centre.x(), area.top() + 1.3 * line));

    // The scale's labels from the rim inwards, each where it clears the one outside it.
    for (std::size_t ring = 0; ring < ringTexts.size(); ++ring)
        layout.ticks.push_back(layout.centre.x() + layout.radius * static_cast<double>(ring) / 4.0);
    double leftmost = std::numeric_limits<double>::infinity();
    for (std::size_t ring = ringTexts.size(); ring-- > 0;) {
        DrawingLabel label = centred(ringTexts[ring], layout.ticks[ring], layout.scaleY + 0.3 * line);
        if (label.box.right() + gap / 2 > leftmost)
            continue;
        leftmost = label.box.left();
        layout.labels.push_back(label);
    }
    layout.labels.push_back(centred(caption, area.center().x(), layout.scaleY + 1.3 * line));
    return layout;
}

namespace {

// A polar plot of gain: rings every 10 dB below the greatest gain, down to 40 dB below it; each point at its
// angle on the page, counterclockwise from the right in degrees. A half plot stands on its base line.
void paintPolarPlot(QPainter &painter, const QRectF &area, const QString &title,
                    const std::vector<std::pair<double, double>> &anglesAndGains, bool half, const QFont &font,
                    const QColor &ink)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const double line = metrics.height();
    const double px = devicePixel(painter);
    painter.setPen(ink);
    if (anglesAndGains.empty()) {
        painter.drawText(QRectF(area.left(), area.top(), area.width(), line), Qt::AlignHCenter, title);
        painter.restore();
        return;
    }
    double peak = -std::numeric_limits<double>::infinity();
    for (const auto &[angle, gain] : anglesAndGains)
        peak = std::max(peak, gain);
    constexpr double kRange = 40.0;
    const PolarLayout layout = layoutPolarPlot(area, title, peak, half, metrics, px);
    const QPointF centre = layout.centre;
    const double radius = layout.radius;

    QColor grid = ink;
    grid.setAlphaF(0.3F);
    painter.setPen(QPen(grid, px));
    // Rings at 0 to -30 dB: -40 dB is the centre itself, and a circle of no size is a broken path in a PDF.
    for (int ring = 0; ring < 4; ++ring) {
        const double r = radius * (kRange - ring * 10.0) / kRange;
        const QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
        if (half)
            painter.drawArc(box, 0, 180 * 16);
        else
            painter.drawEllipse(box);
    }
    if (half)
        painter.drawLine(QPointF(centre.x() - radius, centre.y()), QPointF(centre.x() + radius, centre.y()));
    // The rings' scale, under the plot.
    painter.setPen(QPen(ink, px));
    painter.drawLine(QPointF(layout.ticks.front(), layout.scaleY), QPointF(layout.ticks.back(), layout.scaleY));
    for (const double x : layout.ticks)
        painter.drawLine(QPointF(x, layout.scaleY - line / 4), QPointF(x, layout.scaleY + line / 4));
    for (const DrawingLabel &label : layout.labels)
        painter.drawText(label.box, static_cast<int>(label.alignment), label.text);

    QPainterPath path;
    bool first = true;
    for (const auto &[angle, gain] : anglesAndGains) {
        const double r = radius * std::clamp(gain - peak + kRange, 0.0, kRange) / kRange;
        const double a = angle * M_PI / 180.0;
        const QPointF at(centre.x() + r * std::cos(a), centre.y() - r * std::sin(a));
        std::exchange(first, false) ? path.moveTo(at) : path.lineTo(at);
    }
    painter.setPen(QPen(QColor(0x1f, 0x6f, 0xc8), 2 * px));
    painter.drawPath(path);
    painter.restore();
}

} // namespace

void paintAzimuthPlot(QPainter &painter, const QRectF &area, const QString &title,
                      const std::vector<nec::PatternPoint> &pattern, const QFont &font, const QColor &ink)
{
    // Forward (phi 0) points up the page, phi turning clockwise.
    std::vector<std::pair<double, double>> points;
    for (const nec::PatternPoint &p : pattern)
        points.emplace_back(90.0 - p.phiDegrees, p.totalGainDbi);
    paintPolarPlot(painter, area, title, points, false, font, ink);
}

void paintElevationPlot(QPainter &painter, const QRectF &area, const QString &title,
                        const std::vector<nec::PatternPoint> &pattern, const QFont &font, const QColor &ink)
{
    // Forward along the ground to the right, straight up at the top, backward to the left.
    std::vector<std::pair<double, double>> points;
    for (const nec::PatternPoint &p : pattern) {
        const double elevation = 90.0 - p.thetaDegrees;
        points.emplace_back(p.phiDegrees > 90.0 ? 180.0 - elevation : elevation, p.totalGainDbi);
    }
    paintPolarPlot(painter, area, title, points, true, font, ink);
}

std::vector<PlotSeries> checkPlotSeries(CheckPlot plot, const nec::CheckSummary &summary,
                                        std::span<const nec::MeasuredSweep> sweeps, const nec::CheckSummary *tuned,
                                        SweepShown sweepShown)
{
    // A sweep of another band would only stretch the axis: the verdict says why it is not compared.
    std::vector<const nec::MeasuredSweep *> shown;
    for (const nec::MeasuredSweep &sweep : sweeps)
        if (!sweep.unrelated)
            shown.push_back(&sweep);
    const nec::MeasuredSweep *measured = shown.empty() ? nullptr : shown.back();
    // A sweep over its own range; an open end's impedance, beyond any scale, is left out. One read through a
    // line is drawn at the feed point, as the analyser read it (dotted), or both, as chosen.
    std::vector<PlotSeries> series;
    const auto addSweep = [sweepShown, &series](const nec::MeasuredSweep &sweep, const QString &name, QColor colour,
                                                double nec::SweepPoint::*field) {
        const auto line = [&](const std::vector<nec::SweepPoint> &points, const QString &named, Qt::PenStyle style) {
            PlotSeries drawn{named, {}, colour, style};
            for (const nec::SweepPoint &p : points)
                if (std::isfinite(p.*field) && std::fabs(p.*field) < kLargestMeasuredOhms)
                    drawn.points.emplace_back(p.mhz, p.*field);
            series.push_back(std::move(drawn));
        };
        const bool through = !sweep.asMeasured.empty();
        if (!through || sweepShown != SweepShown::AsMeasured)
            line(sweep.points, through ? name + QStringLiteral(" at the feed point") : name, Qt::SolidLine);
        if (through && sweepShown != SweepShown::FeedPoint)
            line(sweep.asMeasured, name + QStringLiteral(" as measured"), Qt::DotLine);
    };
    const auto measuredOf = [&](const QString &name, QColor colour, double nec::SweepPoint::*field) {
        addSweep(*measured, name, colour, field);
    };
    // Sweeps in turn are told apart by their files and times, and read by their resonances.
    const auto sweepName = [](const nec::MeasuredSweep &sweep) {
        return QStringLiteral("SWR %1").arg(QString::fromStdString(nec::sweepInTurnName(sweep)));
    };
    // Every point, the wider sweep's among them: a dip the verdict found out there is on the plot too. A figure
    // beyond any number (an F/B under the engine's floor) is left out of its line.
    const auto pointsOf = [](const nec::CheckSummary &check, PlotSeries series, double nec::SweepPoint::*field) {
        for (const nec::SweepPoint &p : check.points)
            if (std::isfinite(p.*field))
                series.points.emplace_back(p.mhz, p.*field);
        return series;
    };
    // The specified design's lines, each followed by the tuned design's where there is one.
    const auto add = [&](const QString &name, QColor colour, double nec::SweepPoint::*field) {
        series.push_back(pointsOf(summary, PlotSeries{name, {}, colour}, field));
        if (tuned)
            series.push_back(
                pointsOf(*tuned, PlotSeries{name + QStringLiteral(" tuned"), {}, colour, Qt::DashLine}, field));
    };
    const QColor blue(0x1f, 0x6f, 0xc8), red(0xc8, 0x3a, 0x1f);
    const QColor green(0x2a, 0x8c, 0x3c), purple(0x8e, 0x44, 0xad), orange(0xd0, 0x7c, 0x10);
    switch (plot) {
    case CheckPlot::Swr:
        add(QStringLiteral("SWR"), blue, &nec::SweepPoint::swr);
        if (shown.size() == 1) {
            measuredOf(QStringLiteral("Measured SWR"), green, &nec::SweepPoint::swr);
        } else {
            // The latest in the single sweep's colour; the ones before it each in one of their own.
            static const std::array<QColor, nec::kMostSweeps - 1> kEarlier{
                {QColor(0x8c, 0x56, 0x4b), QColor(0xe3, 0x77, 0xc2), QColor(0x7f, 0x7f, 0x7f), QColor(0xbc, 0xbd, 0x22),
                 QColor(0x17, 0xbe, 0xcf), QColor(0x6a, 0x3d, 0x9a), QColor(0xb1, 0x59, 0x28)}};
            for (std::size_t i = 0; i < shown.size(); ++i)
                addSweep(*shown[i], sweepName(*shown[i]), i + 1 == shown.size() ? green : kEarlier[i % kEarlier.size()],
                         &nec::SweepPoint::swr);
        }
        break;
    case CheckPlot::Impedance:
        add(QStringLiteral("R"), blue, &nec::SweepPoint::resistanceOhms);
        add(QStringLiteral("X"), red, &nec::SweepPoint::reactanceOhms);
        if (measured) {
            measuredOf(QStringLiteral("Measured R"), purple, &nec::SweepPoint::resistanceOhms);
            measuredOf(QStringLiteral("Measured X"), orange, &nec::SweepPoint::reactanceOhms);
        }
        break;
    case CheckPlot::GainAndFrontToBack:
        add(QStringLiteral("Gain dBi"), blue, &nec::SweepPoint::gainDbi);
        add(QStringLiteral("F/B dB"), red, &nec::SweepPoint::frontToBackDb);
        break;
    case CheckPlot::Azimuth:
    case CheckPlot::Elevation:
        break;
    }
    return series;
}

void paintCheckPlot(QPainter &painter, const QRectF &area, CheckPlot plot, const nec::CheckSummary &summary,
                    const QFont &font, const QColor &ink, std::span<const nec::MeasuredSweep> sweeps,
                    const nec::CheckSummary *tuned, SweepShown shown)
{
    const std::vector<PlotSeries> series = checkPlotSeries(plot, summary, sweeps, tuned, shown);
    LinePlotMarks marks;
    marks.markX = summary.design.mhz;
    marks.markText = QStringLiteral("design %1 MHz").arg(QString::fromStdString(frequencyLabel(summary.design.mhz)));
    switch (plot) {
    case CheckPlot::Swr:
        marks.referenceY = 2.0;
        marks.clipAbove = 10.0; // above 10:1 the detail says nothing
        paintLinePlot(painter, area, QStringLiteral("SWR, with the 2:1 line"), QStringLiteral("SWR"), series, marks,
                      font, ink);
        return;
    case CheckPlot::Impedance:
        marks.referenceY = 0.0;
        paintLinePlot(painter, area, QStringLiteral("Feed impedance"), QStringLiteral("ohms"), series, marks, font,
                      ink);
        return;
    case CheckPlot::GainAndFrontToBack:
        paintLinePlot(painter, area, QStringLiteral("Forward gain and front-to-back"), QStringLiteral("dB"), series,
                      marks, font, ink);
        return;
    case CheckPlot::Azimuth:
        paintAzimuthPlot(painter, area, QStringLiteral("Azimuth pattern at the design frequency"),
                         summary.azimuthPattern, font, ink);
        return;
    case CheckPlot::Elevation:
        paintElevationPlot(painter, area,
                           summary.design.elevationDegrees
                               ? QStringLiteral("Elevation pattern at the design frequency: take-off %1\u00b0")
                                     .arg(*summary.design.elevationDegrees, 0, 'f', 1)
                               : QStringLiteral("Elevation pattern at the design frequency"),
                           summary.elevationPattern, font, ink);
        return;
    }
}

QString checkPlotDescription(CheckPlot plot, const nec::CheckSummary &summary, double z0Ohms,
                             const nec::MeasuredSweep *measured)
{
    if (summary.points.empty())
        return {};
    // The figures in the verdict's own words, so the plots and the verdict never disagree.
    const ResultTable verdict = nec::verdictTable(summary, z0Ohms);
    const ResultTable beside = measured ? nec::verdictTable(summary, z0Ohms, measured) : ResultTable{};
    const auto measuredFigure = [&beside](std::string_view name) {
        for (const auto &row : beside.rows)
            if (row[0].text == name && !row.back().text.empty())
                return QStringLiteral("measured %1: %2")
                    .arg(QString::fromStdString(row[0].text).toLower(), QString::fromStdString(row.back().text));
        return QString();
    };
    const auto figure = [&verdict](std::string_view name, bool prefix = false) {
        for (const auto &row : verdict.rows) {
            const std::string &heading = row[0].text;
            if (prefix ? heading.starts_with(name) : heading == name)
                return QString::fromStdString(heading + ": " + row[1].text);
        }
        return QString();
    };
    const auto figures = [](std::initializer_list<QString> texts) {
        QStringList present;
        for (const QString &text : texts)
            if (!text.isEmpty())
                present << text;
        return present.join(QStringLiteral("; ")) + QLatin1Char('.');
    };
    const auto mhz = [](double value) { return QString::fromStdString(frequencyLabel(value)); };
    // The span the plots draw: every point, the wider sweep's among them.
    double lowest = summary.design.mhz;
    double highest = summary.design.mhz;
    for (const nec::SweepPoint &p : summary.points) {
        lowest = std::min(lowest, p.mhz);
        highest = std::max(highest, p.mhz);
    }
    const QString range =
        QStringLiteral("from %1 to %2 MHz, the design frequency marked").arg(mhz(lowest), mhz(highest));
    switch (plot) {
    case CheckPlot::Swr:
        return QStringLiteral("SWR %1; values above 10 stand on the top edge, marked. ").arg(range) +
               figures({figure("SWR at", true), figure("Lowest SWR"), figure("2:1 SWR"), measuredFigure("Lowest SWR"),
                        measuredFigure("2:1 SWR")});
    case CheckPlot::Impedance:
        return QStringLiteral("Feed resistance and reactance %1. At the design frequency R %2 \u03a9, X %3 \u03a9; ")
                   .arg(range)
                   .arg(summary.design.resistanceOhms, 0, 'f', 2)
                   .arg(summary.design.reactanceOhms, 0, 'f', 2) +
               figures({figure("Resonance"), measuredFigure("Resonance")});
    case CheckPlot::GainAndFrontToBack:
        return QStringLiteral("Forward gain and front-to-back %1. ").arg(range) +
               figures({figure("Gain"), figure("F/B"), figure("F/B \u2265 20 dB")});
    case CheckPlot::Azimuth:
        return QStringLiteral("Azimuth pattern at %1 MHz, forward up, rings every 10 dB below the peak. ")
                   .arg(mhz(summary.design.mhz)) +
               figures({figure("Gain"), figure("F/B"), figure("F/R in the azimuth plane")});
    case CheckPlot::Elevation:
        return QStringLiteral("Elevation pattern over ground at %1 MHz, forward to the right. ")
                   .arg(mhz(summary.design.mhz)) +
               figures({figure("Take-off angle"), figure("Gain")});
    }
    return {};
}

} // namespace tarvelin
