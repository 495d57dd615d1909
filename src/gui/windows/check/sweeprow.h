// SPDX-License-Identifier: MIT
#pragma once

#include "core/measure/bandsweeps.h"
#include "core/measure/measured.h"
#include "core/touchstone/touchstone.h"
#include "gui/print/checkplots.h"

#include <QWidget>

#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

namespace tarvelin {

class CutSinceRow;
class MessageBoxService;
class ThroughRow;

// The builder's measurements in the Antenna Check: the analyser's sweeps as read, oldest first, up to
// kMostSweeps as the builder trims and sweeps again; Load Measured Sweep, Clear Sweeps, and what they hold.
// Under them, what the sweeps were measured through (a run of feed line, and the match), taken out to read
// them at the feed point, and how the plots draw a sweep so read.
class SweepRow final : public QWidget
{
    Q_OBJECT

public:
    explicit SweepRow(QWidget *parent = nullptr);

    // Reads a sweep after those held, the newest; with kMostSweeps held the oldest gives way. A file that cannot
    // be read is refused with a message, and the sweeps held stay.
    bool load(MessageBoxService &messages, const QString &path);
    void clear();
    // Every sweep's figures read as given, through what this row declares, oldest first, compared with the
    // check where there is one.
    [[nodiscard]] std::vector<measure::MeasuredSweep> measured(const measure::SweepReading &reading,
                                                               const check::CheckSummary *check,
                                                               const std::string &frequencyText) const;
    // What the sweeps' figures are; `checked`: a check is there to lay them over.
    // The sweeps held read for one band of a quad of several bands, within the band's window, beside its check.
    [[nodiscard]] measure::BandSweeps measuredForBand(const check::BandCheck &band, double z0Ohms) const;
    void show(const std::vector<measure::MeasuredSweep> &measured, bool checked);
    [[nodiscard]] ThroughRow &through() const { return *m_through; }
    [[nodiscard]] QWidget *firstField() const;
    [[nodiscard]] QWidget *lastField() const;

signals:
    void loadRequested(const QString &path);
    void clearRequested();
    void throughChanged();
    void cutChanged();
    void sweepShownChanged(SweepShown shown);

private:
    QPushButton *m_load = nullptr;
    QPushButton *m_clear = nullptr;
    QLabel *m_label = nullptr;
    ThroughRow *m_through = nullptr;
    CutSinceRow *m_cutSince = nullptr;
    QComboBox *m_shown = nullptr;
    // As read, oldest first; their figures depend on the line and the check.
    struct Held
    {
        touchstone::Sweep sweep;
        QString name;
        QString when;                    // the file's time
        std::optional<double> cutInches; // from the driven loop before it; none for the trim advised
    };
    std::vector<Held> m_held;
    QString m_letGo; // the oldest sweep given way to the last one loaded, if any
};

} // namespace tarvelin
