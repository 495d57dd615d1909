// SPDX-License-Identifier: MIT
#include "gui/windows/widgets/resultview.h"

#include "gui/runtime/settingsstore.h"

#include "gui/windows/widgets/resulttablemodel.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QLayout>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTabBar>

#include <algorithm>

namespace tarvelin {

namespace {
// Above and below a line of a cell's text, as the desktop's styles draw it.
constexpr int kCellMargin = 3;
} // namespace

ResultView::ResultView(const QString &objectName, const QString &accessibleName, ResultTableModel *model,
                       QWidget *parent)
    : QTableView(parent)
{
    setObjectName(objectName);
    setAccessibleName(accessibleName);
    setModel(model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false); // a length never breaks across lines
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // New rows ask the layouts around for room again; new columns may want a scroll bar where none was.
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        m_narrow = narrow();
        askForRoomAgain();
    });
}

// The layouts around it keep the size hints they were last given, its own and every one it stands in, even
// while it is hidden on a tab not shown.
void ResultView::askForRoomAgain()
{
    for (QWidget *around = this; around && !around->isWindow(); around = around->parentWidget())
        around->updateGeometry();
}

void ResultView::setRowsExpected(int rows)
{
    m_rowsExpected = rows;
    askForRoomAgain();
}

bool ResultView::narrow() const
{
    return width() < sizeHint().width();
}

// A table shown whole keeps room for a scroll bar only while it is narrower than its columns, so a window
// wide enough for it gives no blank band under its rows.
void ResultView::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    if (m_whole && narrow() != m_narrow) {
        m_narrow = !m_narrow;
        askForRoomAgain();
    }
}

void ResultView::setShownWhole(bool whole)
{
    m_whole = whole;
    updateGeometry();
}

// Whole, the rows it has, not those it expects: an empty verdict takes no room it will not fill.
QSize ResultView::minimumSizeHint() const
{
    const QSize least = QTableView::minimumSizeHint();
    return m_whole ? QSize(least.width(), heightOfRows(false)) : least;
}

QSize ResultView::sizeHint() const
{
    ensurePolished();
    int width = 2 * frameWidth();
    if (!verticalHeader()->isHidden()) // isVisible() is false until the window is shown
        width += verticalHeader()->sizeHint().width();
    for (int column = 0; column < model()->columnCount(); ++column)
        width += std::max(sizeHintForColumn(column), horizontalHeader()->sectionSizeHint(column));
    return {width, heightOfRows(true)};
}

int ResultView::heightOfRows(bool expected) const
{
    int height = 2 * frameWidth();
    if (!horizontalHeader()->isHidden())
        height += horizontalHeader()->sizeHint().height();
    const int rows = model()->rowCount();
    for (int row = 0; row < rows; ++row)
        height += std::max(sizeHintForRow(row), verticalHeader()->sectionSizeHint(row));
    // A row to come is as high as a line of its text and the cell's margins.
    if (expected && rows < m_rowsExpected)
        height += (m_rowsExpected - rows) * (fontMetrics().height() + 2 * kCellMargin);
    // Room for the scroll bar that a narrower window brings.
    if (!m_whole || m_narrow)
        height += horizontalScrollBar()->sizeHint().height();
    return height;
}

QSize WholeTabs::sizeHint() const
{
    QSize size = QTabWidget::sizeHint();
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    return {std::max(size.width(), tabBar()->sizeHint().width() + 2 * frame), size.height()};
}

void WholeTabs::turnWithKeysIn(QWidget &window)
{
    const auto turn = [this](int step) {
        // The next tab shown and enabled, round the ends.
        for (int i = 1; i < count(); ++i) {
            const int next = ((currentIndex() + step * i) % count() + count()) % count();
            if (isTabVisible(next) && isTabEnabled(next)) {
                setCurrentIndex(next);
                return;
            }
        }
    };
    for (const auto &keys :
         {std::pair{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1}, std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
          std::pair{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
          std::pair{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
          std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}}) {
        const int step = keys.second;
        connect(new QShortcut(keys.first, &window), &QShortcut::activated, this, [turn, step] { turn(step); });
    }
}

QSize WholeTabs::minimumSizeHint() const
{
    const QSize least = QTabWidget::minimumSizeHint();
    const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    // The width they have once shown; before, the width they will ask for, not the default size of a new widget,
    // at which every note would wrap a word a line.
    const int pageWidth = std::max(0, (isVisible() ? width() : sizeHint().width()) - frame);
    int page = 0;
    for (int i = 0; i < count(); ++i)
        if (const QLayout *layout = widget(i)->layout(); layout && layout->hasHeightForWidth())
            page = std::max(page, layout->totalMinimumHeightForWidth(pageWidth));
    return {least.width(), std::max(least.height(), page + tabBar()->sizeHint().height() + frame)};
}

WholeScrollArea::WholeScrollArea(QWidget *content, QWidget *parent) : QScrollArea(parent)
{
    setWidget(content);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus); // what it holds takes the focus, not the frame around it
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QSize WholeScrollArea::minimumSizeHint() const
{
    const int least = widget() ? widget()->minimumSizeHint().expandedTo(widget()->minimumSize()).width() : 0;
    return {least + verticalScrollBar()->sizeHint().width() + 2 * frameWidth(),
            QScrollArea::minimumSizeHint().height()};
}

// Unlike QScrollArea's own, not bounded to a few dozen lines of type.
QSize WholeScrollArea::sizeHint() const
{
    const QSize content =
        widget() ? widget()->sizeHint().expandedTo(widget()->minimumSizeHint()).expandedTo(widget()->minimumSize())
                 : QSize();
    return content + QSize(2 * frameWidth(), 2 * frameWidth());
}

WindowScrollArea::WindowScrollArea(QWidget *content, QWidget *parent) : QScrollArea(parent)
{
    setObjectName(QStringLiteral("windowScrollArea"));
    setWidget(content); // which also has this area hear the contents' events
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
}

// Also when a scroll bar comes or goes: the viewport's resize arrives here.
void WindowScrollArea::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    fitContent();
}

bool WindowScrollArea::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == widget() && event->type() == QEvent::LayoutRequest)
        fitContent();
    return QScrollArea::eventFilter(watched, event);
}

// The contents fill the viewport, and are larger only where they need more for its width.
void WindowScrollArea::fitContent()
{
    QWidget *content = widget();
    if (!content)
        return;
    const QSize least = content->minimumSizeHint().expandedTo(content->minimumSize());
    const int width = std::max(viewport()->width(), least.width());
    int height = least.height();
    if (const QLayout *layout = content->layout(); layout && layout->hasHeightForWidth())
        height = std::max(height, layout->totalMinimumHeightForWidth(width));
    content->resize(width, std::max(viewport()->height(), height));
}

QSize WindowScrollArea::sizeHint() const
{
    return widget() ? widget()->sizeHint().expandedTo(widget()->minimumSizeHint()) : QScrollArea::sizeHint();
}

void openAtRememberedSize(QWidget &window, const QString &settingsGroup)
{
    if (window.restoreGeometry(SettingsStore().geometry(settingsGroup)))
        return;
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    QSize size = window.sizeHint().expandedTo(window.minimumSizeHint());
    if (screen) {
        // The frame the desktop adds, and a little room beside the window.
        const QSize room = screen->availableGeometry().size() - QSize(16, 48);
        size = size.boundedTo(room);
    }
    window.resize(size);
}

void growToShowContents(QWidget &window)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    // The frame the desktop adds, where it has one yet; else the room left for it at the first opening.
    const QRect frame = window.frameGeometry();
    QSize frameSize = frame.size() - window.size();
    if (frameSize.isEmpty())
        frameSize = QSize(16, 48);
    const QSize room = available.size() - frameSize;
    QSize wanted = window.sizeHint().expandedTo(window.size());
    if (wanted.height() > room.height())
        wanted.rwidth() += window.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &window);
    wanted = wanted.boundedTo(room).expandedTo(window.size());
    if (wanted == window.size())
        return;
    window.resize(wanted);
    // Kept whole on the screen: moved back from its right and lower edges, never past its left and upper ones.
    QPoint at = window.frameGeometry().topLeft();
    const QSize outer = wanted + frameSize;
    at.setX(std::max(available.left(), std::min(at.x(), available.right() + 1 - outer.width())));
    at.setY(std::max(available.top(), std::min(at.y(), available.bottom() + 1 - outer.height())));
    window.move(at);
}

void rememberSize(const QWidget &window, const QString &settingsGroup)
{
    SettingsStore().setGeometry(settingsGroup, window.saveGeometry());
}

} // namespace tarvelin
