// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <string_view>

class QComboBox;
class QDoubleSpinBox;
class QPushButton;

namespace tarvelin {

namespace design {
struct CoaxCable;
}

// The Match and Through rows' choice of line: a typed line first, then the table's cables by name.
[[nodiscard]] QComboBox *newCableBox(const QString &objectName, const QString &accessibleName);
// The cable chosen; none for a typed line.
[[nodiscard]] const design::CoaxCable *chosenCable(const QComboBox *box);
// Chooses the cable of that name, or the typed line where there is none.
void chooseCable(QComboBox *box, std::string_view name);
// The cable chosen brings its impedance and its nominal velocity factor into the fields, which say nothing of
// it: a measured factor may then replace the nominal one. A typed line leaves them as they are.
void takeCable(const QComboBox *box, QDoubleSpinBox *z0, QDoubleSpinBox *velocityFactor);

// "Measure…" beside a velocity factor: it opens the dialog that reads the factor from a sweep of a cut piece
// of the cable, and puts the factor into `velocityFactor` once the builder uses it.
[[nodiscard]] QPushButton *newMeasureButton(const QString &objectName, QDoubleSpinBox *velocityFactor);

} // namespace tarvelin
