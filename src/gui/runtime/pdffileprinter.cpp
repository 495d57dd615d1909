// SPDX-License-Identifier: MIT
#include "gui/runtime/pdffileprinter.h"

#include "core/runtime/filewrite.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>

namespace tarvelin {

namespace {

// The page is made in memory and written whole, so a full disk or a failed write leaves any file that was
// there as it was.
PrintOutcome saveWhole(const QString &path, const QByteArray &pdf)
{
    const std::optional<std::string> failure = writeWholeFile(
        QFile::encodeName(path).toStdString(), std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
    if (failure)
        return {PrintOutcome::Status::Failed, *failure};
    return {PrintOutcome::Status::Accepted, {}};
}

} // namespace

void PdfFilePrinter::deviceName(LookupDone done)
{
    done({PrinterLookup::Outcome::Found, m_path.toStdString()});
}

void PdfFilePrinter::printWindow(QWidget &window, const std::function<void()> &pageTaken, PrintDone done)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    const bool drawn = writeWindowPdf(buffer, window, localPaperLayout());
    pageTaken();
    if (!drawn)
        return done({PrintOutcome::Status::Failed, "cannot draw the page"});
    done(saveWhole(m_path, pdf));
}

void PdfFilePrinter::printDocument(const std::string &, const std::string &, const QByteArray &pdf, int, PrintDone done)
{
    done(saveWhole(m_path, pdf));
}

} // namespace tarvelin
