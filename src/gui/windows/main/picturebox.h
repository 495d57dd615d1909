// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QWidget>

namespace tarvelin {

// A picture shown at its own size, one image pixel to one device-independent pixel, not stretched and
// without a border.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    [[nodiscard]] const QImage &picture() const { return m_picture; }
    void setPicture(const QImage &picture);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};

} // namespace tarvelin
