// SPDX-License-Identifier: MIT
#include "gui/windows/main/fixedwindow.h"

#include "gui/windows/styling/colors.h"
#include "gui/windows/styling/flagicon.h"

#include <QRect>
#include <QWidget>

namespace tarvelin {

QPoint centredFramePosition(const QRect &available, const QSize &frame)
{
    const auto start = [](int areaStart, int areaLength, int length) {
        return length > areaLength ? areaStart : areaStart + (areaLength - length) / 2;
    };
    return {start(available.left(), available.width(), frame.width()),
            start(available.top(), available.height(), frame.height())};
}

void bringToFront(QWidget &window)
{
    if (window.isMinimized())
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

void setUpFixedWindow(QWidget &window, const QString &name, const QString &title, std::uint32_t groundBgr,
                      const QSize &clientSize)
{
    window.setObjectName(name);
    window.setWindowTitle(title);
    window.setWindowIcon(flagIcon());
    QPalette ground = window.palette();
    ground.setColor(QPalette::Window, fromBgr(groundBgr));
    window.setPalette(ground);
    window.setAutoFillBackground(true);
    window.setFixedSize(clientSize);
}

} // namespace tarvelin
