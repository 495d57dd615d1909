// SPDX-License-Identifier: MIT
#include "gui/windows/main/captionlabel.h"

#include <QFontMetricsF>
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

void CaptionLabel::setOverflow(Overflow overflow)
{
    m_overflow = overflow;
    update();
}

QFont CaptionLabel::drawnFont() const
{
    QFont drawn = font();
    if (m_overflow == Overflow::Clip || m_caption.isEmpty())
        return drawn;
    const auto lineWidth = [&](const QFont &f) { return QFontMetricsF(f, this).horizontalAdvance(m_caption); };
    if (lineWidth(drawn) <= width())
        return drawn;
    const double room = width() - 2.0;
    for (int pixels = drawn.pixelSize() - 1; pixels > 1; --pixels) {
        drawn.setPixelSize(pixels);
        if (lineWidth(drawn) <= room)
            break;
    }
    return drawn;
}

void CaptionLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_background == Background::Opaque)
        painter.fillRect(rect(), m_backColor);
    if (m_caption.isEmpty())
        return;
    const QFont drawn = drawnFont();
    painter.setFont(drawn);
    painter.setPen(m_foreColor);
    // A smaller number stands on the same baseline as its neighbours.
    const int drop = QFontMetrics(font(), this).ascent() - QFontMetrics(drawn, this).ascent();
    painter.drawText(rect().translated(0, drop), static_cast<int>(m_alignment | Qt::AlignTop | Qt::TextWordWrap),
                     m_caption);
}

} // namespace tarvelin
