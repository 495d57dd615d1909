// SPDX-License-Identifier: MIT
#include "gui/runtime/cupsprinter.h"

#include "gui/runtime/messagebox.h"
#include "gui/runtime/qtmessagebox.h"
#include "gui/runtime/unhandlederror.h"

#include <QBuffer>
#include <QLibrary>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

#include <cups/cups.h>

#include <memory>

namespace tarvelin {

namespace {

struct LookupAnswer
{
    std::string name;
    QPageLayout layout;
};

// Runs on a worker thread: Qt's print support may be used there, and CUPS keeps one connection per thread.
LookupAnswer askDefaultQueue()
{
    LookupAnswer answer;
    const QString name = QPrinterInfo::defaultPrinterName();
    if (name.isEmpty())
        return answer;
    QPrinter printer(QPrinter::HighResolution); // the queue's paper and printable area
    printer.setPrinterName(name);
    answer.name = name.toStdString();
    answer.layout = printer.pageLayout();
    return answer;
}

// The CUPS client library, loaded on the first print rather than at start: it brings some twenty libraries
// of its own (TLS, Kerberos, service discovery) that a run which never prints has no use for. The
// functions are looked up once, under their declared types, and kept for the rest of the run.
struct CupsLibrary
{
    decltype(&cupsLastErrorString) lastErrorString = nullptr;
    decltype(&cupsAddOption) addOption = nullptr;
    decltype(&cupsFreeOptions) freeOptions = nullptr;
    decltype(&cupsCreateJob) createJob = nullptr;
    decltype(&cupsStartDocument) startDocument = nullptr;
    decltype(&cupsWriteRequestData) writeRequestData = nullptr;
    decltype(&cupsFinishDocument) finishDocument = nullptr;
    QString problem; // why it could not be loaded; empty once it is
};

template <typename Function> bool resolve(QLibrary &library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

const CupsLibrary &cupsLibrary()
{
    static const CupsLibrary loaded = [] {
        CupsLibrary cups;
        QLibrary library(QStringLiteral("cups"), 2);
        if (!library.load()) {
            cups.problem = library.errorString();
            return cups;
        }
        if (!resolve(library, "cupsLastErrorString", cups.lastErrorString) ||
            !resolve(library, "cupsAddOption", cups.addOption) ||
            !resolve(library, "cupsFreeOptions", cups.freeOptions) ||
            !resolve(library, "cupsCreateJob", cups.createJob) ||
            !resolve(library, "cupsStartDocument", cups.startDocument) ||
            !resolve(library, "cupsWriteRequestData", cups.writeRequestData) ||
            !resolve(library, "cupsFinishDocument", cups.finishDocument))
            cups.problem = library.errorString();
        return cups; // the library stays loaded: QLibrary leaves it so unless told to unload
    }();
    return loaded;
}

// Runs on a worker thread: the page as one job of one PDF document.
PrintOutcome submitPage(const std::string &queue, const std::string &title, const QByteArray &pdf, int copies)
{
    const CupsLibrary &cups = cupsLibrary();
    if (!cups.problem.isEmpty())
        return {PrintOutcome::Status::Failed,
                QStringLiteral("The printing library could not be loaded: %1").arg(cups.problem).toStdString()};
    const auto failed = [&] { return PrintOutcome{PrintOutcome::Status::Failed, cups.lastErrorString()}; };
    cups_option_t *options = nullptr;
    int optionCount = 0;
    if (copies > 1)
        optionCount = cups.addOption("copies", std::to_string(copies).c_str(), optionCount, &options);
    const int job = cups.createJob(CUPS_HTTP_DEFAULT, queue.c_str(), title.c_str(), optionCount, options);
    cups.freeOptions(optionCount, options);
    if (job == 0)
        return failed();
    if (cups.startDocument(CUPS_HTTP_DEFAULT, queue.c_str(), job, title.c_str(), CUPS_FORMAT_PDF, 1) !=
        HTTP_STATUS_CONTINUE)
        return failed();
    if (cups.writeRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), static_cast<std::size_t>(pdf.size())) !=
        HTTP_STATUS_CONTINUE) {
        cups.finishDocument(CUPS_HTTP_DEFAULT, queue.c_str());
        return failed();
    }
    if (cups.finishDocument(CUPS_HTTP_DEFAULT, queue.c_str()) != IPP_STATUS_OK)
        return failed();
    return {PrintOutcome::Status::Accepted, {}};
}

} // namespace

CupsPrinterService::CupsPrinterService(MessageBoxService &messages, std::chrono::milliseconds answerLimit)
    : m_messages(messages), m_answerLimit(answerLimit)
{
}

void CupsPrinterService::answer(const std::function<void()> &reply)
{
    runHandler(m_messages, reply);
}

void CupsPrinterService::deviceName(LookupDone done)
{
    auto found = std::make_shared<LookupAnswer>();
    m_calls.start([found] { *found = askDefaultQueue(); }, m_answerLimit,
                  [this, found, done](bool finished) {
                      answer([&] {
                          if (!finished)
                              return done({PrinterLookup::Outcome::NoAnswer, {}});
                          if (found->name.empty()) {
                              m_lastFound.reset();
                              return done({PrinterLookup::Outcome::NoPrinter, {}});
                          }
                          m_lastFound = Queue{found->name, found->layout};
                          done({PrinterLookup::Outcome::Found, found->name});
                      });
                  });
}

void CupsPrinterService::printWindow(QWidget &window, const std::function<void()> &pageTaken, PrintDone done)
{
    if (!m_lastFound) {
        // Printing without asking first: ask now, and go on once the spooler has answered.
        QPointer<QWidget> printed(&window);
        return deviceName([this, printed, pageTaken, done](const PrinterLookup &lookup) {
            if (lookup.outcome == PrinterLookup::Outcome::NoAnswer)
                return done({PrintOutcome::Status::NoAnswer, {}});
            if (lookup.outcome == PrinterLookup::Outcome::NoPrinter || !printed)
                return done({PrintOutcome::Status::Failed, "no printer is available"});
            printWindow(*printed, pageTaken, done);
        });
    }
    const Queue queue = *m_lastFound;

    // The page is kept in memory: nothing is written where the program was started, nothing is left behind.
    auto pdf = std::make_shared<QByteArray>();
    QBuffer buffer(pdf.get());
    buffer.open(QIODevice::WriteOnly);
    if (!writeWindowPdf(buffer, window, queue.layout))
        return done({PrintOutcome::Status::Failed, "cannot draw the page"});
    pageTaken();

    submit(queue.name, window.windowTitle().toStdString(), std::move(pdf), 1, std::move(done));
}

void CupsPrinterService::printDocument(const std::string &queue, const std::string &title, const QByteArray &pdf,
                                       int copies, PrintDone done)
{
    submit(queue, title, std::make_shared<const QByteArray>(pdf), copies, std::move(done));
}

void CupsPrinterService::submit(const std::string &queue, const std::string &title,
                                std::shared_ptr<const QByteArray> pdf, int copies, PrintDone done)
{
    auto outcome = std::make_shared<PrintOutcome>();
    const auto work = [outcome, pdf, queue, title, copies] { *outcome = submitPage(queue, title, *pdf, copies); };
    const auto answered = [this, outcome, done](bool finished) {
        answer([&] { done(finished ? *outcome : PrintOutcome{PrintOutcome::Status::NoAnswer, {}}); });
    };
    const auto late = [this, outcome, queue] { answer([&] { reportLateOutcome(queue, *outcome); }); };
    m_calls.start(work, m_answerLimit, answered, late);
}

// The spooler has answered after the user was told it did not: say what became of the page after all.
void CupsPrinterService::reportLateOutcome(const std::string &queue, const PrintOutcome &outcome)
{
    MessageBoxRequest request;
    if (outcome.status == PrintOutcome::Status::Accepted) {
        request.prompt = "The print spooler has answered after all: the page went to " + queue + ".";
        request.buttons = buttons::kInformation;
    } else {
        request.prompt = "The print spooler has answered after all, and the printout failed: " + outcome.reason +
                         "\n\nPress Print to try again.";
        request.buttons = buttons::kWarning;
    }
    request.title = kApplicationTitle;
    m_messages.show(request);
}

} // namespace tarvelin
