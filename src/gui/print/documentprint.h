// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <functional>
#include <string>

class QByteArray;
class QPageLayout;
class QString;
class QWidget;

namespace tarvelin {

class MessageBoxService;
class PrinterService;

// How the Shop Sheet and the Antenna Check print: the system's print dialog chooses the printer, the paper
// and the copies; the pages are laid out on that paper and go to the spooler as one job, whose refusal is
// reported. A PDF file chosen in the dialog is saved instead. While a job is with the spooler the window
// prints nothing more, so one Print is one job.
class DocumentPrint final : public QObject
{
    Q_OBJECT

public:
    DocumentPrint(MessageBoxService &messages, PrinterService &printer, QObject *parent = nullptr);

    struct Job
    {
        QString dialogTitle;
        std::string name;                                                 // as the spooler lists it
        std::function<QByteArray(const QPageLayout &)> pages;             // laid out on the paper chosen
        std::function<void(const QString &, const QByteArray &)> savePdf; // to the file chosen, those pages
    };

    // Whether a job is with the spooler.
    [[nodiscard]] bool busy() const { return m_busy; }
    void print(QWidget &window, const Job &job);

signals:
    // A job went to the spooler, or the spooler answered it: Print may be enabled again.
    void busyChanged();

private:
    MessageBoxService &m_messages;
    PrinterService &m_printer;
    bool m_busy = false;
};

} // namespace tarvelin
