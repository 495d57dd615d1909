// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

class QPainter;
class QWidget;

namespace tarvelin {

// The printer as the program's logic sees it. The windows use the system's print spooler; the tests
// substitute a printer that keeps each page as an image.
class PrinterService
{
public:
    virtual ~PrinterService() = default;

    // The current printer's device name: the system's default print queue, read afresh on every call.
    // None when no printer is available (no default queue, or no spooler running).
    [[nodiscard]] virtual std::optional<std::string> deviceName() = 0;

    // The window printout: the window's client area, as it looks at this moment, as one page on the current
    // printer. Gives the reason when the page could not be printed, nothing when it went to the printer.
    [[nodiscard]] virtual std::optional<std::string> printWindow(QWidget &window) = 0;
};

// Draws a window's client area as it looks now, with its children, at the painter's origin, one
// device-independent pixel to one unit of the painter. The real printer and the tests' printer share it.
void renderWindow(QPainter &painter, QWidget &window);

} // namespace tarvelin
