// SPDX-License-Identifier: MIT
#pragma once

#include "core/tune/tuner.h"

#include <QWidget>

#include <vector>

class QLabel;
class QPushButton;

namespace tarvelin {

class ResultTableModel;

// The Antenna Check's Tuned tab: what the tune said, the tuned loops and stations beside the specified ones,
// the figures before and after, and the tuned design's sheet, deck and file.
class TunedPage final : public QWidget
{
    Q_OBJECT

public:
    explicit TunedPage(QWidget *parent = nullptr);

    void show(const design::DesignLengths &design, const tune::TuneResult &tuned, const tune::TuneSettings &tune);
    void setButtonsEnabled(bool enabled);

signals:
    void shopSheetRequested();
    void saveDeckRequested();
    void saveDesignRequested();

private:
    ResultTableModel *m_loops = nullptr;
    ResultTableModel *m_figures = nullptr;
    QLabel *m_note = nullptr;
    std::vector<QPushButton *> m_buttons;
};

} // namespace tarvelin
