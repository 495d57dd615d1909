// SPDX-License-Identifier: MIT
#include "runtime/pdffileprinter.h"

#include <QLocale>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QSaveFile>

namespace tarvelin {

namespace {

// Paper of the user's country, with the narrow margins of a PDF printer queue.
QPageLayout paperLayout()
{
    const bool usPaper = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
    return QPageLayout(QPageSize(usPaper ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(10, 10, 10, 10), QPageLayout::Point);
}

} // namespace

PrinterLookup PdfFilePrinter::deviceName()
{
    return {PrinterLookup::Outcome::Found, m_path.toStdString()};
}

PrintOutcome PdfFilePrinter::printWindow(QWidget &window, const std::function<void()> &pageTaken)
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return {PrintOutcome::Status::Failed, file.errorString().toStdString()};
    const bool drawn = writeWindowPdf(file, window, paperLayout());
    pageTaken();
    if (!drawn) {
        file.cancelWriting();
        return {PrintOutcome::Status::Failed, "cannot draw the page"};
    }
    if (!file.commit())
        return {PrintOutcome::Status::Failed, file.errorString().toStdString()};
    return {PrintOutcome::Status::Accepted, {}};
}

} // namespace tarvelin
