// SPDX-License-Identifier: MIT
#pragma once

#include <QLayout>

#include <vector>

namespace tarvelin {

// Lays its items out in a row, right-aligned, and wraps onto further rows where the width is short: a row of
// buttons that stays whole and in view in a narrow window, rather than making the window wider or scrolling.
class FlowLayout final : public QLayout
{
public:
    explicit FlowLayout(QWidget *parent = nullptr);
    ~FlowLayout() override;
    FlowLayout(const FlowLayout &) = delete;
    FlowLayout &operator=(const FlowLayout &) = delete;

    void addItem(QLayoutItem *item) override;
    [[nodiscard]] int count() const override;
    [[nodiscard]] QLayoutItem *itemAt(int index) const override;
    [[nodiscard]] QLayoutItem *takeAt(int index) override;

    [[nodiscard]] Qt::Orientations expandingDirections() const override { return {}; }
    [[nodiscard]] bool hasHeightForWidth() const override { return true; }
    [[nodiscard]] int heightForWidth(int width) const override;
    [[nodiscard]] QSize minimumSize() const override;
    [[nodiscard]] QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

private:
    // Lays the items out in `rect`, placing them where `place`; gives the height they take.
    int arrange(const QRect &rect, bool place) const;
    [[nodiscard]] int gap(Qt::Orientation orientation) const;

    std::vector<QLayoutItem *> m_items;
};

} // namespace tarvelin
