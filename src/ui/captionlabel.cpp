// SPDX-License-Identifier: MIT
#include "ui/captionlabel.h"

#include <QPainter>

namespace tarvelin {

CaptionLabel::CaptionLabel(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    // The label paints every pixel it owns itself when opaque, and none when transparent.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void CaptionLabel::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    setAccessibleName(caption);
    update();
}

void CaptionLabel::setForeColor(const QColor &color)
{
    m_foreColor = color;
    update();
}

void CaptionLabel::setBackColor(const QColor &color)
{
    m_backColor = color;
    update();
}

void CaptionLabel::setBackground(Background background)
{
    m_background = background;
    update();
}

void CaptionLabel::setAlignment(Qt::Alignment horizontal)
{
    m_alignment = horizontal & Qt::AlignHorizontal_Mask;
    update();
}

void CaptionLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_background == Background::Opaque)
        painter.fillRect(rect(), m_backColor);
    if (m_caption.isEmpty())
        return;
    painter.setFont(font());
    painter.setPen(m_foreColor);
    painter.drawText(rect(), static_cast<int>(m_alignment | Qt::AlignTop | Qt::TextWordWrap), m_caption);
}

} // namespace tarvelin
