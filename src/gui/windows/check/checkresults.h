// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/checksettings.h"
#include "core/check/checksummary.h"
#include "core/measure/measured.h"
#include "core/tune/tuner.h"
#include "gui/print/checkplots.h"

#include <QWidget>

#include <optional>
#include <vector>

class QTabWidget;

namespace tarvelin {

class PlotView;
class ResultTableModel;
class ResultView;
class TunedPage;
class VerdictPage;

// The Antenna Check's results as tabs: the verdict, the sweep's table, the plots and, once a tune has run, the
// tuned design. It draws what the window holds (the check shown, a measured sweep, the tuned design's sweep),
// which it is given once and reads whenever it is told they changed.
class CheckResults final : public QWidget
{
    Q_OBJECT

public:
    CheckResults(const std::optional<check::CheckSummary> &summary, const std::vector<measure::MeasuredSweep> &sweeps,
                 const std::optional<check::CheckSummary> &tunedCheck, QWidget &window);

    [[nodiscard]] TunedPage *tunedPage() const { return m_tuned; }
    // Room for a sweep of this many points before the first run.
    void setRowsExpected(int points);

    // Nothing checked: the headings alone, and no tuned design.
    void clear();
    // The check shown, by the frequency it was run at.
    void showCheck(const std::string &frequencyLabel);
    // The measured sweeps, oldest first, against the check shown: the verdict and every plot drawn anew.
    void showMeasured(const design::CheckSettings &settings, const std::vector<measure::MeasuredSweep> &sweeps,
                      const check::Goals &goals);
    // How the plots draw a sweep read through a feed line.
    void setSweepShown(SweepShown shown);
    // The tuned design on its own tab, in front, and its sweep on the plots.
    void showTuned(const design::DesignLengths &design, const tune::TuneResult &tuned, const tune::TuneSettings &tune,
                   double z0Ohms);
    void showVerdict();

private:
    const std::optional<check::CheckSummary> &m_summary;
    QTabWidget *m_tabs = nullptr;
    VerdictPage *m_verdict = nullptr;
    ResultTableModel *m_tableModel = nullptr;
    ResultView *m_table = nullptr;
    std::vector<PlotView *> m_plots;
    QWidget *m_elevationPage = nullptr;
    TunedPage *m_tuned = nullptr;
};

} // namespace tarvelin
