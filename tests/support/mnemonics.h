// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QMap>
#include <QStringList>
#include <QTabBar>
#include <QWidget>

namespace tarvelin::test {

// Every Alt+letter a window offers, from its buttons, its labels with buddies and its tabs; the texts that
// share a letter, joined, for each letter given twice. Empty when every mnemonic is unique.
inline QStringList mnemonicClashes(const QWidget &window)
{
    QMap<QChar, QStringList> byLetter;
    const auto add = [&byLetter](const QString &text) {
        for (qsizetype i = text.indexOf(QLatin1Char('&')); i >= 0 && i + 1 < text.size();
             i = text.indexOf(QLatin1Char('&'), i + 2)) {
            if (text[i + 1] != QLatin1Char('&')) {
                byLetter[text[i + 1].toLower()] << text;
                return;
            }
        }
    };
    for (const QAbstractButton *button : window.findChildren<QAbstractButton *>())
        add(button->text());
    for (const QLabel *label : window.findChildren<QLabel *>())
        if (label->buddy())
            add(label->text());
    for (const QTabBar *tabs : window.findChildren<QTabBar *>())
        for (int i = 0; i < tabs->count(); ++i)
            add(tabs->tabText(i));
    QStringList clashes;
    for (auto it = byLetter.cbegin(); it != byLetter.cend(); ++it)
        if (it.value().size() > 1)
            clashes << it.value().join(QStringLiteral(" / "));
    return clashes;
}

} // namespace tarvelin::test
