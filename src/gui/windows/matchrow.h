// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/feed.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QLabel;

namespace tarvelin {

// How the driven loop meets the feed line, as the Antenna Check and the Shop Sheet take it: directly, through
// a 4:1 balun, or through a quarter-wave section whose line's impedance and velocity factor follow, with the
// ideal section's impedance beside them once a feed resistance is known.
class MatchRow final : public QWidget
{
    Q_OBJECT

public:
    explicit MatchRow(QWidget *parent = nullptr);

    [[nodiscard]] Match match() const;
    void setMatch(const Match &match);
    [[nodiscard]] QWidget *kindBox() const;
    [[nodiscard]] QWidget *lastField() const;
    // The feed's resistance at resonance and the line's impedance, for the ideal section: sqrt(R x Z0).
    void showIdeal(std::optional<double> feedOhms, double lineOhms);

signals:
    void changed();

private:
    void follow();

    QComboBox *m_kind = nullptr;
    QDoubleSpinBox *m_z0 = nullptr;
    QDoubleSpinBox *m_velocityFactor = nullptr;
    QLabel *m_ideal = nullptr;
};

} // namespace tarvelin
