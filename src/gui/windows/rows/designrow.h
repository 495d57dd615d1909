// SPDX-License-Identifier: MIT
#pragma once

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace tarvelin {

// The design as the Shop Sheet and the Antenna Check take it: the frequency field, then the array's element
// count beside it, under the label that goes before them in a form.
struct DesignRow
{
    QLabel *label = nullptr; // "&Frequency (MHz):", the frequency field its buddy
    QLineEdit *frequency = nullptr;
    QSpinBox *elements = nullptr;
    QHBoxLayout *layout = nullptr;
};
[[nodiscard]] DesignRow makeDesignRow();
// The width a box needs to show a frequency written out in full.
[[nodiscard]] int frequencyBoxWidth(const QLineEdit &box);

} // namespace tarvelin
