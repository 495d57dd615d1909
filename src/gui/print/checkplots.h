// SPDX-License-Identifier: MIT
#pragma once

#include "core/nec/checksummary.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QString>

#include <optional>
#include <vector>

class QPainter;
class QRectF;

namespace tarvelin {

// One line of a plot.
struct PlotSeries
{
    QString name;
    std::vector<QPointF> points;
    QColor colour;
};

// The antenna check's plots, drawn by plain painting so the window and the printed report show the same
// thing at any resolution: a line plot with its axes, grid and legend, and an azimuth pattern in polar form.
void paintLinePlot(QPainter &painter, const QRectF &area, const QString &title, const QString &yLabel,
                   const std::vector<PlotSeries> &series, std::optional<double> referenceY, const QFont &font,
                   const QColor &ink);

void paintAzimuthPlot(QPainter &painter, const QRectF &area, const QString &title,
                      const std::vector<nec::PatternPoint> &pattern, const QFont &font, const QColor &ink);

// The elevation pattern over ground, forward to the right and backward to the left, as a half polar plot.
void paintElevationPlot(QPainter &painter, const QRectF &area, const QString &title,
                        const std::vector<nec::PatternPoint> &pattern, const QFont &font, const QColor &ink);

// The plots of a check, as the window and the report show them; the elevation pattern only over ground.
enum class CheckPlot
{
    Swr,
    Impedance,
    GainAndFrontToBack,
    Azimuth,
    Elevation,
};

void paintCheckPlot(QPainter &painter, const QRectF &area, CheckPlot plot, const nec::CheckSummary &summary,
                    const QFont &font, const QColor &ink);

} // namespace tarvelin
