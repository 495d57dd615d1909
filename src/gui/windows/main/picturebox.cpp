// SPDX-License-Identifier: MIT
#include "gui/windows/main/picturebox.h"

#include <QPainter>

namespace tarvelin {

PictureBox::PictureBox(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void PictureBox::setPicture(const QImage &picture)
{
    m_picture = picture;
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(QRect(QPoint(0, 0), m_picture.size()), m_picture);
}

} // namespace tarvelin
