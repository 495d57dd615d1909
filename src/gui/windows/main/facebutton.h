// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QPushButton>

namespace tarvelin {

// A push button in the graphical style: a raised face filled with the button's own colour, a sunken one
// while pressed, the caption centred in the button's font and a dotted focus rectangle when it has the focus.
class FaceButton : public QPushButton
{
    Q_OBJECT

public:
    explicit FaceButton(const QString &caption, QWidget *parent = nullptr);

    [[nodiscard]] QColor faceColor() const { return m_faceColor; }
    void setFaceColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_faceColor;
};

} // namespace tarvelin
