// SPDX-License-Identifier: MIT
#include "ui/captionlabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetricsF>
#include <QPainter>

namespace tarvelin {

namespace {

// Static text whose name is the caption and whose description is the role, read from the label whenever an
// accessibility tool asks. Setting the widget's own accessible name instead would make Qt build an
// accessible object for every label as the window is put together, tool or no tool, which costs the
// window's first appearance several milliseconds.
class CaptionLabelAccessible final : public QAccessibleWidget
{
public:
    explicit CaptionLabelAccessible(CaptionLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        const auto *label = static_cast<const CaptionLabel *>(widget());
        switch (t) {
        case QAccessible::Name:
            return label->caption();
        case QAccessible::Description:
            return label->role();
        default:
            return QAccessibleWidget::text(t);
        }
    }
};

QAccessibleInterface *accessibleCaptionLabel(const QString &className, QObject *object)
{
    if (className == QLatin1StringView(CaptionLabel::staticMetaObject.className()) && object->isWidgetType())
        return new CaptionLabelAccessible(static_cast<CaptionLabel *>(object));
    return nullptr;
}

// Tells a listening accessibility tool that a label's text changed; with none listening, nothing is built.
void announce(CaptionLabel *label, QAccessible::Event change)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(label, change);
    QAccessible::updateAccessibility(&event);
}

} // namespace

CaptionLabel::CaptionLabel(QWidget *parent) : QWidget(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleCaptionLabel);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setFocusPolicy(Qt::NoFocus);
    // The label paints every pixel it owns itself when opaque, and none when transparent.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void CaptionLabel::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    announce(this, QAccessible::NameChanged);
    update();
}

void CaptionLabel::setRole(const QString &role)
{
    if (role == m_role)
        return;
    m_role = role;
    announce(this, QAccessible::DescriptionChanged);
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
