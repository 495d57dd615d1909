// SPDX-License-Identifier: MIT
#include "runtime/pdffileprinter.h"

#include <QPageLayout>
#include <QSaveFile>

namespace tarvelin {

PrinterLookup PdfFilePrinter::deviceName()
{
    return {PrinterLookup::Outcome::Found, m_path.toStdString()};
}

PrintOutcome PdfFilePrinter::printWindow(QWidget &window, const std::function<void()> &pageTaken)
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return {PrintOutcome::Status::Failed, file.errorString().toStdString()};
    const bool drawn = writeWindowPdf(file, window, localPaperLayout());
    pageTaken();
    if (!drawn) {
        file.cancelWriting();
        return {PrintOutcome::Status::Failed, "cannot draw the page"};
    }
    if (!file.commit())
        return {PrintOutcome::Status::Failed, file.errorString().toStdString()};
    return {PrintOutcome::Status::Accepted, {}};
}

PrintOutcome PdfFilePrinter::printDocument(const std::string &, const std::string &, const QByteArray &pdf, int)
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size() || !file.commit())
        return {PrintOutcome::Status::Failed, file.errorString().toStdString()};
    return {PrintOutcome::Status::Accepted, {}};
}

} // namespace tarvelin
