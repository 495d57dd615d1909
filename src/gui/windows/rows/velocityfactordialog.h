// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

#include <optional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvelin {

// Measures a cable's velocity factor from an analyser's sweep of a cut piece of it, open at its far end: the
// builder gives the piece's length and the sweep, the dialog gives the factor to three decimals and offers to
// use it. The reading is the core's, as tarvelin-calc --stub-sweep gives it.
class VelocityFactorDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit VelocityFactorDialog(QWidget *parent = nullptr);

    // The factor read, once the length and the sweep give one.
    [[nodiscard]] std::optional<double> velocityFactor() const { return m_velocityFactor; }

private:
    void browse();
    void read();

    QLineEdit *m_length = nullptr;
    QLineEdit *m_sweep = nullptr;
    QLabel *m_result = nullptr;
    QPushButton *m_use = nullptr;
    std::optional<double> m_velocityFactor;
};

} // namespace tarvelin
