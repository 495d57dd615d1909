// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/checksummary.h"
#include "core/measure/measured.h"
#include "gui/print/checkplots.h"

#include <QWidget>

#include <optional>
#include <vector>

class QTabWidget;

namespace tarvelin {

// A plot of the check as a widget, in the desktop's colours, never so small that its labels crowd. It draws
// what the window holds: the check shown, a measured sweep and a tuned design's sweep, where there are any.
class PlotView final : public QWidget
{
public:
    PlotView(CheckPlot plot, const QString &name, const std::optional<check::CheckSummary> &summary,
             const std::vector<measure::MeasuredSweep> &sweeps, const std::optional<check::CheckSummary> &tuned);

    // The summary shown has changed: paint it, and describe it for screen readers.
    void refresh(double z0Ohms);
    void setSweepShown(SweepShown shown);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CheckPlot m_plot;
    const std::optional<check::CheckSummary> &m_summary;
    const std::vector<measure::MeasuredSweep> &m_sweeps;
    const std::optional<check::CheckSummary> &m_tuned;
    SweepShown m_shown = SweepShown::FeedPoint;
};

// Every plot as a tab of its own, in the order the report gives them; the elevation pattern's last, which
// only a check over ground has. Each page keeps the least size its plot's labels need.
struct PlotTabs
{
    std::vector<PlotView *> views;
    std::vector<QWidget *> pages;
};
[[nodiscard]] PlotTabs addPlotTabs(QTabWidget &tabs, const std::optional<check::CheckSummary> &summary,
                                   const std::vector<measure::MeasuredSweep> &sweeps,
                                   const std::optional<check::CheckSummary> &tuned);

} // namespace tarvelin
