// SPDX-License-Identifier: MIT
#pragma once

#include "gui/runtime/printer.h"

#include <QString>

namespace tarvelin {

// A printer that is a PDF file: the page Print would send, written where the user chose, with no spooler
// involved. The file is written beside its place and renamed into it, so a failure leaves no half a file.
class PdfFilePrinter final : public PrinterService
{
public:
    explicit PdfFilePrinter(QString path) : m_path(std::move(path)) {}

    // The file's path stands in for the device name.
    [[nodiscard]] PrinterLookup deviceName() override;
    [[nodiscard]] PrintOutcome printWindow(QWidget &window, const std::function<void()> &pageTaken) override;
    // The document's pages as they are; one file holds one copy.
    [[nodiscard]] PrintOutcome printDocument(const std::string &queue, const std::string &title, const QByteArray &pdf,
                                             int copies) override;

private:
    QString m_path;
};

} // namespace tarvelin
