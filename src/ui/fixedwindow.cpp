// SPDX-License-Identifier: MIT
#include "ui/fixedwindow.h"

#include "ui/colors.h"
#include "ui/flagicon.h"

#include <QWidget>

namespace tarvelin {

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
