// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/checksettings.h"
#include "core/check/checksummary.h"
#include "core/measure/measured.h"

#include <QWidget>

#include <vector>

class QLabel;

namespace tarvelin {

class ResultTableModel;
class ResultView;

// The Antenna Check's Verdict tab: the verdict as the report and tarvelin-calc give it, with a measured
// sweep's column beside the model's, and under it what the sweep says and how to feed and measure the array.
class VerdictPage final : public QWidget
{
    Q_OBJECT

public:
    explicit VerdictPage(QWidget *parent = nullptr);

    // The check shown, if any, on the line it was run for, with the latest measured sweep compared with it and
    // each sweep's move since the one before.
    void show(const check::CheckSummary *summary, const design::CheckSettings &settings,
              const std::vector<measure::MeasuredSweep> &sweeps, const check::Goals &goals);

private:
    ResultTableModel *m_model = nullptr;
    ResultView *m_view = nullptr;
    QLabel *m_headline = nullptr; // what to do, first and larger
    QLabel *m_note = nullptr;
};

} // namespace tarvelin
