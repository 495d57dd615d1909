// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QProgressBar>
#include <QScrollBar>
#include <QStringList>
#include <QTabBar>
#include <QWidget>

namespace tarvelin::test {

// What a screen reader would call a widget, through Qt's accessibility interface.
inline QString accessibleText(QWidget *widget, QAccessible::Text text)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(text) : QString();
}

// Whether a label names the widget, as a label does for its buddy.
inline bool labelled(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face && !face->relations(QAccessible::Label).isEmpty();
}

// The controls of a window that a screen reader would announce without a name: every widget the keyboard
// can reach, every table and progress bar, and a combo box known only by its value. The parts Qt builds inside a spin
// box, a combo box, a tab bar or a table (their editors, scroll bars and buttons) are named by their owner and left
// out.
inline QStringList unnamedControls(QWidget &window)
{
    QStringList unnamed;
    const auto part = [&window](QWidget *widget) {
        if (qobject_cast<QScrollBar *>(widget) || qobject_cast<QTabBar *>(widget))
            return true;
        for (QWidget *owner = widget->parentWidget(); owner && owner != &window; owner = owner->parentWidget())
            if (qobject_cast<QAbstractSpinBox *>(owner) || qobject_cast<QComboBox *>(owner) ||
                qobject_cast<QTabBar *>(owner) || qobject_cast<QAbstractItemView *>(owner))
                return true;
        return false;
    };
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if (part(widget))
            continue;
        const bool control = widget->focusPolicy() != Qt::NoFocus || qobject_cast<QProgressBar *>(widget) ||
                             qobject_cast<QAbstractItemView *>(widget);
        // A combo box gives its value as its name on this desktop: what it is comes from a name of its own or
        // from the label it is the buddy of.
        const bool named = qobject_cast<QComboBox *>(widget)
                               ? !widget->accessibleName().isEmpty() || labelled(widget)
                               : !accessibleText(widget, QAccessible::Name).trimmed().isEmpty();
        if (control && !named)
            unnamed << QStringLiteral("%1 (%2)").arg(widget->objectName(), widget->metaObject()->className());
    }
    return unnamed;
}

} // namespace tarvelin::test
