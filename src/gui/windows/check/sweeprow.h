// SPDX-License-Identifier: MIT
#pragma once

#include "core/measure/measured.h"
#include "core/touchstone/touchstone.h"

#include <QWidget>

#include <optional>
#include <string>

class QLabel;
class QPushButton;

namespace tarvelin {

class MessageBoxService;

// The builder's measurement in the Antenna Check: the analyser's sweep as read, Load Measured Sweep, Clear
// Sweep, and what the sweep holds.
class SweepRow final : public QWidget
{
    Q_OBJECT

public:
    explicit SweepRow(QWidget *parent = nullptr);

    // Reads a sweep in place of the one held; a file that cannot be read is refused with a message, and the
    // sweep held stays.
    bool load(MessageBoxService &messages, const QString &path);
    void clear();
    // The sweep's figures on the line given, compared with the check where there is one; none without a sweep.
    [[nodiscard]] std::optional<nec::MeasuredSweep> measured(double z0Ohms, const nec::CheckSummary *check,
                                                             const std::string &frequencyText) const;
    // What the sweep's figures are; `checked`: a check is there to lay it over.
    void show(const nec::MeasuredSweep *measured, bool checked);
    [[nodiscard]] QWidget *firstField() const;
    [[nodiscard]] QWidget *lastField() const;

signals:
    void loadRequested(const QString &path);
    void clearRequested();

private:
    QPushButton *m_load = nullptr;
    QPushButton *m_clear = nullptr;
    QLabel *m_label = nullptr;
    std::optional<touchstone::Sweep> m_sweep; // as read; its figures depend on the line and the check
    QString m_name;
};

} // namespace tarvelin
