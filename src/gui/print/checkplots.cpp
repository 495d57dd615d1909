// SPDX-License-Identifier: MIT
#include "gui/print/checkplots.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <utility>
#include <limits>

namespace tarvelin {

namespace {

// Device pixels to one pixel at 96 dpi, so lines keep their weight on paper.
double pixel(const QPainter &painter)
{
    return painter.device() ? painter.device()->logicalDpiX() / 96.0 : 1.0;
}

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

} // namespace

void paintLinePlot(QPainter &painter, const QRectF &area, const QString &title, const QString &yLabel,
                   const std::vector<PlotSeries> &series, std::optional<double> referenceY, const QFont &font,
                   const QColor &ink)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const double line = metrics.height();
    const double px = pixel(painter);

    double xMin = std::numeric_limits<double>::infinity(), xMax = -xMin, yMin = xMin, yMax = -xMin;
    for (const PlotSeries &s : series)
        for (const QPointF &p : s.points)
            if (std::isfinite(p.y())) {
                xMin = std::min(xMin, p.x());
                xMax = std::max(xMax, p.x());
                yMin = std::min(yMin, p.y());
                yMax = std::max(yMax, p.y());
            }
    if (referenceY) {
        yMin = std::min(yMin, *referenceY);
        yMax = std::max(yMax, *referenceY);
    }
    painter.setPen(ink);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), line), Qt::AlignHCenter, title);
    if (!(xMax > xMin) || !std::isfinite(yMin)) {
        painter.restore();
        return;
    }
    if (!(yMax > yMin)) {
        yMin -= 1.0;
        yMax += 1.0;
    }
    const double yStep = niceStep(yMax - yMin);
    yMin = std::floor(yMin / yStep) * yStep;
    yMax = std::ceil(yMax / yStep) * yStep;
    const double xStep = niceStep(xMax - xMin);

    const double left = area.left() + metrics.horizontalAdvance(QStringLiteral("-000.0")) + line;
    const QRectF plot(left, area.top() + 1.5 * line, area.right() - left - line, area.height() - 4 * line);
    const auto toScreen = [&](QPointF p) {
        return QPointF(plot.left() + (p.x() - xMin) / (xMax - xMin) * plot.width(),
                       plot.bottom() - (std::clamp(p.y(), yMin, yMax) - yMin) / (yMax - yMin) * plot.height());
    };

    QColor grid = ink;
    grid.setAlphaF(0.25F);
    for (double y = yMin; y <= yMax + yStep / 2; y += yStep) {
        const QPointF at = toScreen({xMin, y});
        painter.setPen(QPen(grid, px));
        painter.drawLine(QPointF(plot.left(), at.y()), QPointF(plot.right(), at.y()));
        painter.setPen(ink);
        painter.drawText(QRectF(area.left(), at.y() - line / 2, left - area.left() - line / 4, line),
                         Qt::AlignRight | Qt::AlignVCenter, tickText(y, yStep));
    }
    for (double x = std::ceil(xMin / xStep) * xStep; x <= xMax + xStep / 1000; x += xStep) {
        const QPointF at = toScreen({x, yMin});
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

    if (referenceY) {
        painter.setPen(QPen(ink, px, Qt::DashLine));
        const double y = toScreen({xMin, *referenceY}).y();
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    double legendX = plot.left() + line / 2;
    for (const PlotSeries &s : series) {
        QPainterPath path;
        bool started = false;
        for (const QPointF &p : s.points) {
            if (!std::isfinite(p.y())) {
                started = false;
                continue;
            }
            const QPointF at = toScreen(p);
            started ? path.lineTo(at) : path.moveTo(at);
            started = true;
        }
        painter.setPen(QPen(s.colour, 2 * px));
        painter.drawPath(path);
        if (series.size() > 1) {
            painter.drawLine(QPointF(legendX, plot.top() + line / 2), QPointF(legendX + line, plot.top() + line / 2));
            painter.setPen(ink);
            const double width = metrics.horizontalAdvance(s.name);
            painter.drawText(QRectF(legendX + line * 1.2, plot.top(), width + line, line), Qt::AlignLeft, s.name);
            legendX += width + 3 * line;
        }
    }
    painter.restore();
}

namespace {

// A polar plot of gain: rings every 10 dB below the greatest gain, down to 40 dB below it; each point at its
// angle on the page, counterclockwise from the right in degrees. A half plot stands on its base line.
void paintPolarPlot(QPainter &painter, const QRectF &area, const QString &title,
                    const std::vector<std::pair<double, double>> &anglesAndGains, bool half, const QString &forward,
                    const QFont &font, const QColor &ink)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const double line = metrics.height();
    const double px = pixel(painter);
    painter.setPen(ink);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), line), Qt::AlignHCenter, title);
    if (anglesAndGains.empty()) {
        painter.restore();
        return;
    }
    double peak = -std::numeric_limits<double>::infinity();
    for (const auto &[angle, gain] : anglesAndGains)
        peak = std::max(peak, gain);
    constexpr double kRange = 40.0;
    const double height = area.height() - 3 * line;
    const double radius = std::max(0.0, std::min(area.width() / 2 - 3 * line, half ? height : height / 2) - line);
    const QPointF centre(area.center().x(), half ? area.top() + 1.5 * line + radius + line / 2 + line
                                                 : area.top() + 1.5 * line + radius + line / 2);
    QColor grid = ink;
    grid.setAlphaF(0.3F);
    for (int ring = 0; ring <= 4; ++ring) {
        const double r = radius * (kRange - ring * 10.0) / kRange;
        painter.setPen(QPen(grid, px));
        const QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
        if (half)
            painter.drawArc(box, 0, 180 * 16);
        else
            painter.drawEllipse(box);
        painter.setPen(ink);
        // Ring labels on the upper right diagonal, clear of the forward direction's label.
        painter.drawText(
            QRectF(centre.x() + r * 0.71 + px, centre.y() - r * 0.71 - line, 5 * line, line), Qt::AlignLeft,
            ring == 0 ? QStringLiteral("%1 dBi").arg(peak, 0, 'f', 1) : QStringLiteral("-%1").arg(ring * 10));
    }
    if (half) {
        painter.setPen(QPen(grid, px));
        painter.drawLine(QPointF(centre.x() - radius, centre.y()), QPointF(centre.x() + radius, centre.y()));
        painter.setPen(ink);
        painter.drawText(QRectF(centre.x() + radius - 6 * line, centre.y() + px, 6 * line, line), Qt::AlignRight,
                         forward);
    } else {
        painter.drawText(QRectF(centre.x() - 3 * line, centre.y() - radius - line, 6 * line, line), Qt::AlignHCenter,
                         forward);
    }
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
    paintPolarPlot(painter, area, title, points, false, QStringLiteral("forward"), font, ink);
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
    paintPolarPlot(painter, area, title, points, true, QStringLiteral("forward"), font, ink);
}

void paintCheckPlot(QPainter &painter, const QRectF &area, CheckPlot plot, const nec::CheckSummary &summary,
                    const QFont &font, const QColor &ink)
{
    const auto seriesOf = [&](const QString &name, QColor colour, double nec::SweepPoint::*field) {
        PlotSeries series{name, {}, colour};
        for (const nec::SweepPoint &p : summary.points)
            series.points.emplace_back(p.mhz, p.*field);
        return series;
    };
    const QColor blue(0x1f, 0x6f, 0xc8), red(0xc8, 0x3a, 0x1f);
    switch (plot) {
    case CheckPlot::Swr: {
        PlotSeries swr = seriesOf(QStringLiteral("SWR"), blue, &nec::SweepPoint::swr);
        for (QPointF &p : swr.points)
            p.setY(std::min(p.y(), 10.0)); // above 10:1 the detail says nothing
        paintLinePlot(painter, area, QStringLiteral("SWR, with the 2:1 line"), QStringLiteral("SWR"), {swr}, 2.0, font,
                      ink);
        return;
    }
    case CheckPlot::Impedance:
        paintLinePlot(painter, area, QStringLiteral("Feed impedance"), QStringLiteral("ohms"),
                      {seriesOf(QStringLiteral("R"), blue, &nec::SweepPoint::resistanceOhms),
                       seriesOf(QStringLiteral("X"), red, &nec::SweepPoint::reactanceOhms)},
                      0.0, font, ink);
        return;
    case CheckPlot::GainAndFrontToBack:
        paintLinePlot(painter, area, QStringLiteral("Forward gain and front-to-back"), QStringLiteral("dB"),
                      {seriesOf(QStringLiteral("Gain dBi"), blue, &nec::SweepPoint::gainDbi),
                       seriesOf(QStringLiteral("F/B dB"), red, &nec::SweepPoint::frontToBackDb)},
                      std::nullopt, font, ink);
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

} // namespace tarvelin
