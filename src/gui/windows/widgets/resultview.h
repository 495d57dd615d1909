// SPDX-License-Identifier: MIT
#pragma once

#include <QScrollArea>
#include <QString>
#include <QTabWidget>
#include <QTableView>

namespace tarvelin {

class ResultTableModel;

// A read-only result table in a window. Its columns fit their contents, Tab leaves it in one step while the
// arrow keys move inside it, and it asks for room to show every cell, so a window opens with its tables whole.
class ResultView final : public QTableView
{
    Q_OBJECT

public:
    ResultView(const QString &objectName, const QString &accessibleName, ResultTableModel *model,
               QWidget *parent = nullptr);

    // The rows to make room for while fewer are shown: those a run is about to fill.
    void setRowsExpected(int rows);
    // A short table, such as a verdict, never gives up rows: a window lower than it scrolls as a whole rather
    // than the table inside it.
    void setShownWhole(bool whole);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // The height its rows take, with the rows expected to come or without.
    [[nodiscard]] int heightOfRows(bool expected) const;
    // Whether it is narrower than its columns, and so shows a scroll bar under them.
    [[nodiscard]] bool narrow() const;
    // Its own and every size hint it stands in are asked for again.
    void askForRoomAgain();

    int m_rowsExpected = 0;
    bool m_whole = false;
    bool m_narrow = true;
};

// Tabs that ask for room to show every tab's title, however many pages there are. They ask no height for
// their width, which would be the height of every table whole; but their least height is the least each page
// needs at the width they have, its wrapped notes' lines among it, so a table shown whole stays whole.
class WholeTabs final : public QTabWidget
{
    Q_OBJECT

public:
    using QTabWidget::QTabWidget;
    // Ctrl+Tab and Ctrl+Shift+Tab (and Ctrl+Page Down and Up) turn these tabs from anywhere in `window`, as
    // they do once the focus is in the tabs: a builder typing a frequency reads the plots without the mouse.
    void turnWithKeysIn(QWidget &window);
    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;
    [[nodiscard]] bool hasHeightForWidth() const override { return false; }
};

// A drawing or plot that keeps the least size its labels need: never narrower than that, and scrolled up and
// down where the window is lower, as on a small screen at a large scale. It asks for room to show the whole.
class WholeScrollArea final : public QScrollArea
{
    Q_OBJECT

public:
    explicit WholeScrollArea(QWidget *content, QWidget *parent = nullptr);
    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;
};

// The whole of a window's contents, scrolled both ways where the window is smaller than they need, so the
// window itself can be as small as the screen. It asks for room to show them whole, but scrolls only where
// the window is smaller than the least they need for its width: wrapped notes among them would otherwise
// make it scroll as soon as the tables have fewer rows than they would like.
class WindowScrollArea final : public QScrollArea
{
    Q_OBJECT

public:
    explicit WindowScrollArea(QWidget *content, QWidget *parent = nullptr);
    [[nodiscard]] QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitContent();
};

// A window of its own opens at the size it was last closed at; the first time at the size its contents ask
// for, within the screen.
void openAtRememberedSize(QWidget &window, const QString &settingsGroup);
void rememberSize(const QWidget &window, const QString &settingsGroup);
// Grows a shown window towards the size its contents now ask for, never beyond the screen and never smaller
// than it is, and moves it so that it stays whole on the screen. Where it must still scroll, the scroll bar
// takes no width from the contents.
void growToShowContents(QWidget &window);

} // namespace tarvelin
