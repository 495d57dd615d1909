// SPDX-License-Identifier: MIT
#pragma once

#include "gui/runtime/printer.h"

#include <QString>

namespace tarvelin {

// A printer that is a PDF file: the page Print would send, written where the user chose, with no spooler
// involved, and answered at once. The file is written whole or not at all, so a failure leaves any file that
// was there as it was.
class PdfFilePrinter final : public PrinterService
{
public:
    explicit PdfFilePrinter(QString path) : m_path(std::move(path)) {}

    // The file's path stands in for the device name.
    void deviceName(LookupDone done) override;
    void printWindow(QWidget &window, const std::function<void()> &pageTaken, PrintDone done) override;
    // The document's pages as they are; one file holds one copy.
    void printDocument(const std::string &queue, const std::string &title, const QByteArray &pdf, int copies,
                       PrintDone done) override;

private:
    QString m_path;
};

} // namespace tarvelin
