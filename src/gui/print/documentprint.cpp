// SPDX-License-Identifier: MIT
#include "gui/print/documentprint.h"

#include "gui/print/confirmprint.h"
#include "gui/runtime/printer.h"

#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>

namespace tarvelin {

DocumentPrint::DocumentPrint(MessageBoxService &messages, PrinterService &printer, QObject *parent)
    : QObject(parent), m_messages(messages), m_printer(printer)
{
}

void DocumentPrint::print(QWidget &window, const Job &job)
{
    if (m_busy)
        return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, &window);
    dialog.setWindowTitle(job.dialogTitle);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QByteArray pdf = job.pages(printer.pageLayout());
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        job.savePdf(printer.outputFileName(), pdf);
        return;
    }
    m_busy = true;
    emit busyChanged();
    m_printer.printDocument(printer.printerName().toStdString(), job.name, pdf, printer.copyCount(),
                            [self = QPointer(this)](const PrintOutcome &outcome) {
                                if (!self)
                                    return;
                                self->m_busy = false;
                                emit self->busyChanged();
                                reportPrintOutcome(self->m_messages, outcome);
                            });
}

} // namespace tarvelin
