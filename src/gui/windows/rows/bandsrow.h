// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/idleend.h"
#include "core/design/nested.h"

#include <QWidget>

#include <optional>
#include <variant>
#include <vector>

class QComboBox;
class QFormLayout;
class QLineEdit;

namespace tarvelin {

// The bands of a quad of several bands, as the Antenna Check and the Shop Sheet take them: the bands typed as
// tarvelin-calc's --bands takes them, how the loops are held (a boom or a spider) and how the switch box ends
// the idle drivers. Left empty, the design is the frequency's own, as it always was.
class BandsRow final : public QWidget
{
    Q_OBJECT

public:
    explicit BandsRow(QWidget *parent = nullptr);
    // A new row at the end of the form, under its label.
    [[nodiscard]] static BandsRow *addTo(QFormLayout &form);

    struct Choice
    {
        std::vector<design::Band> bands; // one: that band's own design
        design::NestedSettings nested;
        design::IdleEnd idle;
    };
    // The bands as they stand: none for the frequency's own design, or why they cannot be read.
    [[nodiscard]] std::variant<std::optional<Choice>, QString> read() const;

    // Shows a choice, as a saved quad gives it; an idle ending through lines shows as closed, which most
    // lengths of line act as.
    void setChoice(const Choice &choice);
    [[nodiscard]] QLineEdit *bandsField() const { return m_bands; }
    [[nodiscard]] QWidget *lastField() const;
    // Puts its fields in Tab's order between `before` and `after`.
    void placeInTabOrder(QWidget *before, QWidget *after) const;
    [[nodiscard]] QString text() const;
    // The bands, the layout and the idle ending as they stand, with the elements on every band, to tell whether
    // they changed.
    [[nodiscard]] QString key(int elements) const;
    void setText(const QString &text);

signals:
    void changed();

private:
    QLineEdit *m_bands = nullptr;
    QComboBox *m_layout = nullptr;
    QComboBox *m_idle = nullptr;
};

} // namespace tarvelin
