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

std::vector<PlotSeries> checkPlotSeries(CheckPlot plot, const check::CheckSummary &summary,
                                        std::span<const measure::MeasuredSweep> sweeps,
                                        const check::CheckSummary *tuned, SweepShown sweepShown)
{
    // A sweep of another band would only stretch the axis: the verdict says why it is not compared.
    std::vector<const measure::MeasuredSweep *> shown;
    for (const measure::MeasuredSweep &sweep : sweeps)
        if (!sweep.unrelated)
            shown.push_back(&sweep);
    const measure::MeasuredSweep *measured = shown.empty() ? nullptr : shown.back();
    // A sweep over its own range; an open end's impedance, beyond any scale, is left out. One read through a
    // line is drawn at the feed point, as the analyser read it (dotted), or both, as chosen.
    std::vector<PlotSeries> series;
    const auto addSweep = [sweepShown, &series](const measure::MeasuredSweep &sweep, const QString &name, QColor colour,
                                                double check::SweepPoint::*field) {
        const auto line = [&](const std::vector<check::SweepPoint> &points, const QString &named, Qt::PenStyle style) {
            PlotSeries drawn{named, {}, colour, style};
            for (const check::SweepPoint &p : points)
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
    const auto measuredOf = [&](const QString &name, QColor colour, double check::SweepPoint::*field) {
        addSweep(*measured, name, colour, field);
    };
    // Sweeps in turn are told apart by their files and times, and read by their resonances.
    const auto sweepName = [](const measure::MeasuredSweep &sweep) {
        return QStringLiteral("SWR %1").arg(QString::fromStdString(measure::sweepInTurnName(sweep)));
    };
    // Every point, the wider sweep's among them: a dip the verdict found out there is on the plot too. A figure
    // beyond any number (an F/B under the engine's floor) is left out of its line.
    const auto pointsOf = [](const check::CheckSummary &check, PlotSeries series, double check::SweepPoint::*field) {
        for (const check::SweepPoint &p : check.points)
            if (std::isfinite(p.*field))
                series.points.emplace_back(p.mhz, p.*field);
        return series;
    };
    // The specified design's lines, each followed by the tuned design's where there is one.
    const auto add = [&](const QString &name, QColor colour, double check::SweepPoint::*field) {
        series.push_back(pointsOf(summary, PlotSeries{name, {}, colour}, field));
        if (tuned)
            series.push_back(
                pointsOf(*tuned, PlotSeries{name + QStringLiteral(" tuned"), {}, colour, Qt::DashLine}, field));
    };
    const QColor blue(0x1f, 0x6f, 0xc8), red(0xc8, 0x3a, 0x1f);
    const QColor green(0x2a, 0x8c, 0x3c), purple(0x8e, 0x44, 0xad), orange(0xd0, 0x7c, 0x10);
    switch (plot) {
    case CheckPlot::Swr:
        add(QStringLiteral("SWR"), blue, &check::SweepPoint::swr);
        if (shown.size() == 1) {
            measuredOf(QStringLiteral("Measured SWR"), green, &check::SweepPoint::swr);
        } else {
            // The latest in the single sweep's colour; the ones before it each in one of their own.
            static const std::array<QColor, measure::kMostSweeps - 1> kEarlier{
                {QColor(0x8c, 0x56, 0x4b), QColor(0xe3, 0x77, 0xc2), QColor(0x7f, 0x7f, 0x7f), QColor(0xbc, 0xbd, 0x22),
                 QColor(0x17, 0xbe, 0xcf), QColor(0x6a, 0x3d, 0x9a), QColor(0xb1, 0x59, 0x28)}};
            for (std::size_t i = 0; i < shown.size(); ++i)
                addSweep(*shown[i], sweepName(*shown[i]), i + 1 == shown.size() ? green : kEarlier[i % kEarlier.size()],
                         &check::SweepPoint::swr);
        }
        break;
    case CheckPlot::Impedance:
        add(QStringLiteral("R"), blue, &check::SweepPoint::resistanceOhms);
        add(QStringLiteral("X"), red, &check::SweepPoint::reactanceOhms);
        if (measured) {
            measuredOf(QStringLiteral("Measured R"), purple, &check::SweepPoint::resistanceOhms);
            measuredOf(QStringLiteral("Measured X"), orange, &check::SweepPoint::reactanceOhms);
        }
        break;
    case CheckPlot::GainAndFrontToBack:
        add(QStringLiteral("Gain dBi"), blue, &check::SweepPoint::gainDbi);
        add(QStringLiteral("F/B dB"), red, &check::SweepPoint::frontToBackDb);
        break;
    case CheckPlot::Azimuth:
    case CheckPlot::Elevation:
        break;
    }
    return series;
}

void paintCheckPlot(QPainter &painter, const QRectF &area, CheckPlot plot, const check::CheckSummary &summary,
                    const QFont &font, const QColor &ink, std::span<const measure::MeasuredSweep> sweeps,
                    const check::CheckSummary *tuned, SweepShown shown)
{
    const std::vector<PlotSeries> series = checkPlotSeries(plot, summary, sweeps, tuned, shown);
    LinePlotMarks marks;
    marks.markX = summary.design.mhz;
    marks.markText =
        QStringLiteral("design %1 MHz").arg(QString::fromStdString(design::frequencyLabel(summary.design.mhz)));
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

QString checkPlotDescription(CheckPlot plot, const check::CheckSummary &summary, double z0Ohms,
                             const measure::MeasuredSweep *measured)
{
    if (summary.points.empty())
        return {};
    // The figures in the verdict's own words, so the plots and the verdict never disagree.
    const format::ResultTable verdict = document::verdictTable(summary, z0Ohms);
    const format::ResultTable beside =
        measured ? document::verdictTable(summary, z0Ohms, measured) : format::ResultTable{};
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
    const auto mhz = [](double value) { return QString::fromStdString(design::frequencyLabel(value)); };
    // The span the plots draw: every point, the wider sweep's among them.
    double lowest = summary.design.mhz;
    double highest = summary.design.mhz;
    for (const check::SweepPoint &p : summary.points) {
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
