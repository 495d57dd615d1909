// SPDX-License-Identifier: MIT
#include "gui/windows/check/checkresults.h"

#include "core/document/checktable.h"
#include "gui/windows/check/plotview.h"
#include "gui/windows/check/tunedpage.h"
#include "gui/windows/check/verdictpage.h"
#include "gui/windows/widgets/resulttablemodel.h"
#include "gui/windows/widgets/resultview.h"

#include <QHeaderView>
#include <QVBoxLayout>

namespace tarvelin {

CheckResults::CheckResults(const std::optional<check::CheckSummary> &summary,
                           const std::vector<measure::MeasuredSweep> &sweeps,
                           const std::optional<check::CheckSummary> &tunedCheck, QWidget &window)
    : m_summary(summary)
{
    // The verdict first: what the model says of the design, as the report and tarvelin-calc give it; then the
    // same table the CSV, the report and tarvelin-calc are written from, its headings before any run.
    m_verdict = new VerdictPage;
    m_tableModel = new ResultTableModel(this);
    m_tableModel->setTable(document::checkTable({}, {}));
    m_table = new ResultView(QStringLiteral("table"), QStringLiteral("Sweep table"), m_tableModel);
    m_table->verticalHeader()->hide();
    auto *tabs = new WholeTabs;
    m_tabs = tabs;
    tabs->setObjectName(QStringLiteral("results"));
    tabs->setAccessibleName(QStringLiteral("Results"));
    tabs->turnWithKeysIn(window);
    tabs->addTab(m_verdict, QStringLiteral("Verdict"));
    tabs->addTab(m_table, QStringLiteral("Table"));
    const PlotTabs plots = addPlotTabs(*tabs, summary, sweeps, tunedCheck);
    m_plots = plots.views;
    m_elevationPage = plots.pages.back();
    m_tuned = new TunedPage;
    tabs->addTab(m_tuned, QStringLiteral("Tuned"));
    tabs->setTabVisible(tabs->indexOf(m_tuned), false); // once a tune has run
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs);
    setFocusProxy(tabs);
}

void CheckResults::setRowsExpected(int points)
{
    m_table->setRowsExpected(points);
}

void CheckResults::clear()
{
    m_tableModel->setTable(document::checkTable({}, {}));
    m_verdict->show(nullptr, {}, {}, {});
    m_tabs->setTabVisible(m_tabs->indexOf(m_tuned), false);
    for (PlotView *plot : m_plots)
        plot->refresh(0.0);
}

void CheckResults::showCheck(const std::string &frequencyLabel)
{
    if (!m_summary)
        return;
    m_tableModel->setTable(document::checkTable(*m_summary, frequencyLabel));
    m_tabs->setTabVisible(m_tabs->indexOf(m_elevationPage), !m_summary->elevationPattern.empty());
}

void CheckResults::setSweepShown(SweepShown shown)
{
    for (PlotView *plot : m_plots)
        plot->setSweepShown(shown);
}

void CheckResults::showMeasured(const design::CheckSettings &settings,
                                const std::vector<measure::MeasuredSweep> &sweeps, const check::Goals &goals)
{
    m_verdict->show(m_summary ? &*m_summary : nullptr, settings, sweeps, goals);
    for (PlotView *plot : m_plots)
        plot->refresh(settings.z0Ohms);
}

void CheckResults::showTuned(const design::DesignLengths &design, const tune::TuneResult &tuned,
                             const tune::TuneSettings &tune, double z0Ohms)
{
    for (PlotView *plot : m_plots)
        plot->refresh(z0Ohms);
    m_tuned->show(design, tuned, tune);
    m_tabs->setTabVisible(m_tabs->indexOf(m_tuned), true);
    m_tabs->setCurrentWidget(m_tuned);
}

void CheckResults::showVerdict()
{
    m_tabs->setCurrentIndex(0);
}

} // namespace tarvelin
