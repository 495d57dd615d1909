// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <Qt>

#include <cstdint>

class QPoint;
class QRect;
class QSize;
class QWidget;

namespace tarvelin {

// Both windows have a fixed single border: a title bar with the flag icon, the system menu, minimize and
// close, and no way to resize them. A window owned by another is a dialog to the window system, which is what
// makes it a transient of its owner: in front of it, minimized with it, closed with it.
enum class WindowKind
{
    Main,
    Owned,
};

[[nodiscard]] constexpr Qt::WindowFlags fixedWindowFlags(WindowKind kind)
{
    return (kind == WindowKind::Owned ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
}

// Where a window's frame goes to start centred on the screen's available area: its top left corner. A frame
// larger than the area starts at the area's top left instead, so its title bar can be reached.
[[nodiscard]] QPoint centredFramePosition(const QRect &available, const QSize &frame);

// Brings a window that is open to the front and activates it, restored first if it was minimized.
void bringToFront(QWidget &window);

// Names, titles and sizes a window, and fills its ground with one colour (&HBBGGRR).
void setUpFixedWindow(QWidget &window, const QString &name, const QString &title, std::uint32_t groundBgr,
                      const QSize &clientSize);

} // namespace tarvelin
