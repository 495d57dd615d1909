// SPDX-License-Identifier: MIT
#include "gui/windows/widgets/flowlayout.h"

#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace tarvelin {

FlowLayout::FlowLayout(QWidget *parent) : QLayout(parent) {}

FlowLayout::~FlowLayout()
{
    for (QLayoutItem *item : m_items)
        delete item;
}

void FlowLayout::addItem(QLayoutItem *item)
{
    m_items.push_back(item);
}

int FlowLayout::count() const
{
    return static_cast<int>(m_items.size());
}

QLayoutItem *FlowLayout::itemAt(int index) const
{
    return index >= 0 && index < count() ? m_items[static_cast<std::size_t>(index)] : nullptr;
}

QLayoutItem *FlowLayout::takeAt(int index)
{
    if (index < 0 || index >= count())
        return nullptr;
    QLayoutItem *item = m_items[static_cast<std::size_t>(index)];
    m_items.erase(m_items.begin() + index);
    return item;
}

int FlowLayout::heightForWidth(int width) const
{
    return arrange(QRect(0, 0, width, 0), false);
}

// No narrower than its widest item.
QSize FlowLayout::minimumSize() const
{
    QSize least;
    for (const QLayoutItem *item : m_items)
        if (!item->isEmpty())
            least = least.expandedTo(item->minimumSize());
    const QMargins margins = contentsMargins();
    return least + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

// Every item in one row.
QSize FlowLayout::sizeHint() const
{
    int width = 0;
    int height = 0;
    for (const QLayoutItem *item : m_items) {
        if (item->isEmpty())
            continue;
        width += (width > 0 ? gap(Qt::Horizontal) : 0) + item->sizeHint().width();
        height = std::max(height, item->sizeHint().height());
    }
    const QMargins margins = contentsMargins();
    return {width + margins.left() + margins.right(), height + margins.top() + margins.bottom()};
}

void FlowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int FlowLayout::gap(Qt::Orientation orientation) const
{
    if (spacing() >= 0)
        return spacing();
    const QWidget *parent = parentWidget();
    if (!parent)
        return 6;
    // The style's spacing between buttons, asked as QBoxLayout asks it where the style leaves the metric open.
    const int metric = parent->style()->pixelMetric(orientation == Qt::Horizontal ? QStyle::PM_LayoutHorizontalSpacing
                                                                                  : QStyle::PM_LayoutVerticalSpacing,
                                                    nullptr, parent);
    return metric >= 0 ? metric
                       : parent->style()->layoutSpacing(QSizePolicy::PushButton, QSizePolicy::PushButton, orientation,
                                                        nullptr, parent);
}

int FlowLayout::arrange(const QRect &rect, bool place) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    // The items cut into rows that fit the width, each row then set against the right edge.
    std::vector<std::vector<QLayoutItem *>> rows(1);
    int used = 0;
    for (QLayoutItem *item : m_items) {
        if (item->isEmpty())
            continue;
        const int width = item->sizeHint().width();
        if (!rows.back().empty() && used + gap(Qt::Horizontal) + width > area.width()) {
            rows.emplace_back();
            used = 0;
        }
        used += (rows.back().empty() ? 0 : gap(Qt::Horizontal)) + width;
        rows.back().push_back(item);
    }
    int y = area.top();
    for (const std::vector<QLayoutItem *> &row : rows) {
        if (row.empty())
            continue;
        int width = 0;
        int height = 0;
        for (const QLayoutItem *item : row) {
            width += (width > 0 ? gap(Qt::Horizontal) : 0) + item->sizeHint().width();
            height = std::max(height, item->sizeHint().height());
        }
        int x = std::max(area.left(), area.right() + 1 - width);
        for (QLayoutItem *item : row) {
            const QSize size = item->sizeHint();
            if (place)
                item->setGeometry(QRect(QPoint(x, y + (height - size.height()) / 2), size));
            x += size.width() + gap(Qt::Horizontal);
        }
        y += height + gap(Qt::Vertical);
    }
    const QMargins margins = contentsMargins();
    if (y == area.top())
        return margins.top() + margins.bottom();
    return y - gap(Qt::Vertical) - rect.top() + margins.bottom();
}

} // namespace tarvelin
