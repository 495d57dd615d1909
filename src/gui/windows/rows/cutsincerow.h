// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include <optional>

class QLineEdit;

namespace tarvelin {

// Sweeps in turn: what the builder cut from the driven loop since the sweep before the latest, as both windows
// ask it. Left empty it is the trim the sheet advised then, which the trims note says was taken as cut.
class CutSinceRow final : public QWidget
{
    Q_OBJECT

public:
    explicit CutSinceRow(QWidget *parent = nullptr);

    // What was cut, in inches, shortened positive; none for the trim advised, or where the text is no length,
    // which `problem` then names.
    [[nodiscard]] std::optional<double> inches(QString *problem = nullptr) const;
    // A new sweep in turn: nothing said yet of what was cut before it.
    void clear();
    [[nodiscard]] QLineEdit *field() const { return m_cut; }

signals:
    void changed();

private:
    QLineEdit *m_cut = nullptr;
};

} // namespace tarvelin
