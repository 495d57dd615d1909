// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/checksummary.h"
#include "core/measure/measured.h"
#include "gui/print/drawinglabel.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QString>

#include <optional>
#include <span>
#include <vector>

class QFontMetricsF;
class QPainter;

namespace tarvelin {

// One line of a plot.
struct PlotSeries
{
    QString name;
    std::vector<QPointF> points;
    QColor colour;
    Qt::PenStyle style = Qt::SolidLine; // a second design's lines are dashed in the first's colours
};

// What a line plot marks beside its series.
struct LinePlotMarks
{
    std::optional<double> referenceY; // a dashed level across the plot, such as the 2:1 SWR line
    std::optional<double> clipAbove;  // the axis ends here; higher values stand on the top edge, marked clipped
    std::optional<double> markX;      // a dashed upright, such as the design frequency
    QString markText;                 // its label, above the plot
};

// Where a line plot's parts go in an area: the plot itself, and under its axis as many rows as the legend and
// the clipping note take, where there are any, so that neither lies over the curves.
struct LinePlotLayout
{
    QRectF plot;
    QRectF legendRow;
};
[[nodiscard]] LinePlotLayout layoutLinePlot(const QRectF &area, const QFontMetricsF &metrics, int legendRows);

// The antenna check's plots, drawn by plain painting so the window and the printed report show the same
// thing at any resolution: a line plot with its axes, grid and legend, and an azimuth pattern in polar form.
void paintLinePlot(QPainter &painter, const QRectF &area, const QString &title, const QString &yLabel,
                   const std::vector<PlotSeries> &series, const LinePlotMarks &marks, const QFont &font,
                   const QColor &ink);

// Where a polar plot's circle and texts go in an area: the title, the forward direction and the scale of
// its rings, which stands under the circle so that no label meets another or the curve.
struct PolarLayout
{
    QPointF centre;
    double radius = 0.0;
    double scaleY = 0.0;       // the scale's line, from the centre (40 dB down) to the rim (the peak)
    std::vector<double> ticks; // x of each ring on the scale, the centre first
    std::vector<DrawingLabel> labels;
};

// `pixel` is one pixel at 96 dpi in the device's units.
[[nodiscard]] PolarLayout layoutPolarPlot(const QRectF &area, const QString &title, double peakDbi, bool half,
                                          const QFontMetricsF &metrics, double pixel);

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

// How a sweep read through a line is drawn: at the feed point, as the analyser read it (dotted), or both.
// A sweep taken at the feed point is drawn once whatever the choice.
enum class SweepShown
{
    FeedPoint,
    AsMeasured,
    Both,
};

// The lines of a check's line plot, as paintCheckPlot draws them; none for the polar plots.
[[nodiscard]] std::vector<PlotSeries> checkPlotSeries(CheckPlot plot, const check::CheckSummary &summary,
                                                      std::span<const measure::MeasuredSweep> sweeps = {},
                                                      const check::CheckSummary *tuned = nullptr,
                                                      SweepShown shown = SweepShown::FeedPoint);

// Every point of the check is drawn, the wider sweep's among them. Measured sweeps, oldest first, lie over the
// SWR plot each in a colour of its own, the latest also over the impedance plot, each over its own frequency
// range; with more than one, each is named in the legend by its file, its time and its resonance. A tuned design's
// sweep, where given, lies beside the check's in its colours, dashed.
void paintCheckPlot(QPainter &painter, const QRectF &area, CheckPlot plot, const check::CheckSummary &summary,
                    const QFont &font, const QColor &ink, std::span<const measure::MeasuredSweep> sweeps = {},
                    const check::CheckSummary *tuned = nullptr, SweepShown shown = SweepShown::FeedPoint);

// What a plot shows, in words, for screen readers: its range and its key values, as the verdict gives them.
[[nodiscard]] QString checkPlotDescription(CheckPlot plot, const check::CheckSummary &summary, double z0Ohms,
                                           const measure::MeasuredSweep *measured = nullptr);

} // namespace tarvelin
