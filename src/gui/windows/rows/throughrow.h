// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/feedrun.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;

namespace tarvelin {

struct ThroughSettings;

// What an analyser's sweep was measured through, as the builder declares it: a run of feed line (its length,
// and a cable from the table or a line's impedance, velocity factor and loss) and whether the match was in
// the path too. Declared, a sweep is read at the feed point.
class ThroughRow final : public QWidget
{
    Q_OBJECT

public:
    explicit ThroughRow(QWidget *parent = nullptr);

    // What the row declares; a line whose length cannot be read is left out, and `problem` says why.
    [[nodiscard]] design::MeasuredThrough through(QString *problem) const;
    // Whether the design has a match that could have been in the path: a direct feed has none to take out.
    void offerMatch(bool offered);
    // The fields as they stand, to keep between runs, and back.
    [[nodiscard]] ThroughSettings stored() const;
    void restore(const ThroughSettings &stored);
    [[nodiscard]] QWidget *firstField() const;
    [[nodiscard]] QWidget *lastField() const;

signals:
    void changed();

private:
    void follow();

    QCheckBox *m_lineGiven = nullptr;
    QLineEdit *m_length = nullptr;
    QComboBox *m_cable = nullptr;
    QDoubleSpinBox *m_z0 = nullptr;
    QDoubleSpinBox *m_velocityFactor = nullptr;
    QPushButton *m_measure = nullptr;
    QDoubleSpinBox *m_loss = nullptr;
    QCheckBox *m_matchInPath = nullptr;
};

} // namespace tarvelin
