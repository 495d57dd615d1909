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

    // What becomes of a caption too wide for its box. Text is cut off where the box ends; a number must never
    // be, since a cut-off number reads as another number, so a number's box draws it smaller instead.
    enum class Overflow
    {
        Clip,
        ShrinkToFit,
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

    void setOverflow(Overflow overflow);
    // The font the caption is drawn in: the label's own, or with ShrinkToFit and a caption too wide for the
    // box on one line, the same face at the largest pixel size whose line fits with a pixel to spare on
    // either side.
    [[nodiscard]] QFont drawnFont() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_caption;
    QColor m_foreColor = Qt::black;
    QColor m_backColor = Qt::white;
    Background m_background = Background::Transparent;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    Overflow m_overflow = Overflow::Clip;
};

} // namespace tarvelin
