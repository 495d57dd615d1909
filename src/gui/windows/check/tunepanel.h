// SPDX-License-Identifier: MIT
#pragma once

#include "core/tune/tuner.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;

namespace tarvelin {

struct CheckWindowSettings;

// Tune Loops and what the tune aims for: the band, the SWR and F/B goals, and whether the stations may move
// along a boom of a given length. Read through the same readers as tarvelin-calc's --band, --goal-swr,
// --goal-fb and --boom.
class TunePanel final : public QWidget
{
    Q_OBJECT

public:
    explicit TunePanel(QWidget *parent = nullptr);

    [[nodiscard]] QPushButton *tuneButton() const { return m_tune; }
    // The settings as they stand, or why they cannot be used.
    [[nodiscard]] std::optional<tune::TuneSettings> read(QString &problem) const;
    // Marks the boom length when the refusal is about it.
    void markBoom(const QString &problem);

    void restore(const CheckWindowSettings &stored);
    void store(CheckWindowSettings &into) const;

    [[nodiscard]] QWidget *firstField() const;
    [[nodiscard]] QWidget *lastField() const;

signals:
    void tuneRequested();
    void changed();

private:
    QPushButton *m_tune = nullptr;
    QDoubleSpinBox *m_band = nullptr;
    QDoubleSpinBox *m_goalSwr = nullptr;
    QDoubleSpinBox *m_goalFb = nullptr;
    QCheckBox *m_moveStations = nullptr;
    QLineEdit *m_boom = nullptr;
};

} // namespace tarvelin
