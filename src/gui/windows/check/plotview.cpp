// SPDX-License-Identifier: MIT
#include "gui/windows/check/plotview.h"

#include <QPainter>
#include <QTabWidget>
#include <QVBoxLayout>

#include <array>
#include <tuple>

namespace tarvelin {

namespace {

constexpr int kPlotWidthLines = 22;
constexpr int kPlotHeightLines = 14;

} // namespace

PlotView::PlotView(CheckPlot plot, const QString &name, const std::optional<check::CheckSummary> &summary,
                   const std::vector<measure::MeasuredSweep> &sweeps, const std::optional<check::CheckSummary> &tuned)
    : m_plot(plot), m_summary(summary), m_sweeps(sweeps), m_tuned(tuned)
{
    setObjectName(name);
    setAccessibleName(name);
    setFocusPolicy(Qt::TabFocus); // so a screen reader can reach the description
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setMinimumSize(fontMetrics().height() * kPlotWidthLines, fontMetrics().height() * kPlotHeightLines);
}

void PlotView::refresh(double z0Ohms)
{
    setAccessibleDescription(
        m_summary ? checkPlotDescription(m_plot, *m_summary, z0Ohms, m_sweeps.empty() ? nullptr : &m_sweeps.back())
                  : QString());
    update();
}

void PlotView::setSweepShown(SweepShown shown)
{
    m_shown = shown;
    update();
}

void PlotView::paintEvent(QPaintEvent *)
{
    if (!m_summary)
        return;
    QPainter painter(this);
    const int margin = fontMetrics().height() / 2;
    paintCheckPlot(painter, QRectF(rect()).adjusted(margin, margin, -margin, -margin), m_plot, *m_summary, font(),
                   palette().color(QPalette::Text), m_sweeps, m_tuned ? &*m_tuned : nullptr, m_shown);
}

PlotTabs addPlotTabs(QTabWidget &tabs, const std::optional<check::CheckSummary> &summary,
                     const std::vector<measure::MeasuredSweep> &sweeps, const std::optional<check::CheckSummary> &tuned)
{
    const std::array<std::tuple<CheckPlot, QString, QString>, 5> plots{
        {{CheckPlot::Swr, QStringLiteral("SWR"), QStringLiteral("SWR plot")},
         {CheckPlot::Impedance, QStringLiteral("Impedance"), QStringLiteral("Feed impedance plot")},
         {CheckPlot::GainAndFrontToBack, QStringLiteral("Gain"), QStringLiteral("Gain and front-to-back plot")},
         {CheckPlot::Azimuth, QStringLiteral("Azimuth"), QStringLiteral("Azimuth pattern")},
         {CheckPlot::Elevation, QStringLiteral("Elevation"), QStringLiteral("Elevation pattern")}}};
    PlotTabs made;
    for (const auto &[plot, name, accessibleName] : plots) {
        auto *view = new PlotView(plot, accessibleName, summary, sweeps, tuned);
        made.views.push_back(view);
        // Where the window is lower than a plot, the window scrolls, never a page inside it as well.
        auto *page = new QWidget;
        auto *layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(view);
        made.pages.push_back(page);
        tabs.addTab(page, name);
    }
    tabs.setTabVisible(tabs.indexOf(made.pages.back()), false); // over ground only
    return made;
}

} // namespace tarvelin
