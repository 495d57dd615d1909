// SPDX-License-Identifier: MIT
#pragma once

#include "runtime/printer.h"

namespace tarvelin {

// Prints through the system's print spooler. The default queue comes from Qt's print support, which asks
// CUPS each time; the page is drawn as vector PDF at the window's physical size (1440 twips to the inch)
// at the top left of the queue's printable area, and handed to CUPS as a job, so that a queue that refuses
// it can be told apart from one that took it.
class CupsPrinterService final : public PrinterService
{
public:
    [[nodiscard]] std::optional<std::string> deviceName() override;
    [[nodiscard]] std::optional<std::string> printWindow(QWidget &window) override;
};

} // namespace tarvelin
