// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/feed.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace tarvelin {

// How the driven loop meets the feed line, as the Antenna Check and the Shop Sheet take it: directly, through
// a 4:1 balun, or through a quarter-wave section of a cable from the table or of a line typed by its impedance
// and velocity factor, with the ideal section's impedance beside them once a feed resistance is known. A
// cable's velocity factor is its nominal one until the builder measures it.
class MatchRow final : public QWidget
{
    Q_OBJECT

public:
    explicit MatchRow(QWidget *parent = nullptr);

    [[nodiscard]] design::Match match() const;
    void setMatch(const design::Match &match);
    [[nodiscard]] QWidget *kindBox() const;
    [[nodiscard]] QWidget *lastField() const;
    // The feed's resistance at resonance and the line's impedance, for the ideal section: sqrt(R x Z0). After a
    // tune the feed is the tuned design's, and the text says so.
    enum class Feed
    {
        Checked,
        Tuned
    };
    void showIdeal(std::optional<double> feedOhms, double lineOhms, Feed of = Feed::Checked);

signals:
    void changed();

private:
    void follow();

    QComboBox *m_kind = nullptr;
    QComboBox *m_cable = nullptr;
    QDoubleSpinBox *m_z0 = nullptr;
    QDoubleSpinBox *m_velocityFactor = nullptr;
    QPushButton *m_measure = nullptr;
    QLabel *m_ideal = nullptr;
};

} // namespace tarvelin
