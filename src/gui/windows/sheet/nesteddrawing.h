// SPDX-License-Identifier: MIT
#pragma once

#include "core/shop/nestedsheet.h"

#include <QWidget>

#include <optional>

namespace tarvelin {

// A quad of several bands on its spreaders, from the front and from the side, as a widget of the Shop Sheet
// window, in the desktop's colours.
class NestedDrawing final : public QWidget
{
    Q_OBJECT

public:
    explicit NestedDrawing(QWidget *parent = nullptr);

    void setSheet(const shop::NestedSheet &sheet);
    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<shop::NestedSheet> m_sheet;
};

} // namespace tarvelin
