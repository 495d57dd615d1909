// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <Qt>

#include <cstdint>

class QSize;
class QWidget;

namespace tarvelin {

// Both windows have a fixed single border: a title bar with the flag icon, the system menu, minimize and
// close, and no way to resize them.
[[nodiscard]] constexpr Qt::WindowFlags fixedWindowFlags()
{
    return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
}

// Names, titles and sizes a window, and fills its ground with one colour (&HBBGGRR).
void setUpFixedWindow(QWidget &window, const QString &name, const QString &title, std::uint32_t groundBgr,
                      const QSize &clientSize);

} // namespace tarvelin
