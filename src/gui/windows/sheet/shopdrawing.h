// SPDX-License-Identifier: MIT
#pragma once

#include "core/shop/shopsheet.h"

#include <QWidget>

#include <optional>

namespace tarvelin {

// The shop sheet's dimensioned drawing as a widget of the Shop Sheet window, in the desktop's colours.
class ShopDrawing final : public QWidget
{
    Q_OBJECT

public:
    explicit ShopDrawing(QWidget *parent = nullptr);

    void setSheet(const shop::ShopSheet &sheet);
    [[nodiscard]] QSize sizeHint() const override;
    // The least size at which no label of the drawing overlaps another.
    [[nodiscard]] QSize minimumSizeHint() const override;
    // Where the drawing is painted inside the widget.
    [[nodiscard]] QRectF drawingArea() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<shop::ShopSheet> m_sheet;
};

} // namespace tarvelin
