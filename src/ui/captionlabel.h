// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QWidget>

namespace tarvelin {

// A windowless text field drawn on its window: a caption that starts at the top of its box, wraps at blanks
// when too wide and is cut off where the box ends; an opaque background in its own colour or a transparent
// one that lets the window show through. It never takes the focus and never sizes itself to its text.
class CaptionLabel : public QWidget
{
    Q_OBJECT

public:
    enum class Background
    {
        Transparent,
        Opaque,
    };

    explicit CaptionLabel(QWidget *parent = nullptr);

    [[nodiscard]] const QString &caption() const { return m_caption; }
    void setCaption(const QString &caption);

    [[nodiscard]] QColor foreColor() const { return m_foreColor; }
    void setForeColor(const QColor &color);

    [[nodiscard]] QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor &color);

    [[nodiscard]] Background background() const { return m_background; }
    void setBackground(Background background);

    [[nodiscard]] Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment horizontal);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_caption;
    QColor m_foreColor = Qt::black;
    QColor m_backColor = Qt::white;
    Background m_background = Background::Transparent;
    Qt::Alignment m_alignment = Qt::AlignLeft;
};

} // namespace tarvelin
