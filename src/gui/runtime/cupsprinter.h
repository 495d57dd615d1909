// SPDX-License-Identifier: MIT
#pragma once

#include "gui/runtime/backgroundcalls.h"
#include "gui/runtime/printer.h"

#include <QPageLayout>

#include <chrono>
#include <memory>
#include <optional>

namespace tarvelin {

class MessageBoxService;

// Prints through the system's print spooler. The default queue comes from Qt's print support, which asks
// CUPS each time; the page is drawn as vector PDF at the window's physical size (1440 twips to the inch)
// at the top left of the queue's printable area, kept in memory, and handed to CUPS as a job, so that a
// queue that refuses it can be told apart from one that took it.
//
// A spooler can hang, stopped or overloaded, so every question to it is asked off the user-interface
// thread, and one that gets no answer within the limit is reported as such. A page the spooler takes or
// refuses after that is reported when it does, through the message box.
class CupsPrinterService final : public PrinterService
{
public:
    static constexpr std::chrono::milliseconds kDefaultAnswerLimit{10000};

    explicit CupsPrinterService(MessageBoxService &messages,
                                std::chrono::milliseconds answerLimit = kDefaultAnswerLimit);

    void deviceName(LookupDone done) override;
    void printWindow(QWidget &window, const std::function<void()> &pageTaken, PrintDone done) override;
    void printDocument(const std::string &queue, const std::string &title, const QByteArray &pdf, int copies,
                       PrintDone done) override;

private:
    void submit(const std::string &queue, const std::string &title, std::shared_ptr<const QByteArray> pdf, int copies,
                PrintDone done);
    // Runs an answer for the windows at the handlers' boundary: it comes from the event loop.
    void answer(const std::function<void()> &reply);

    struct Queue
    {
        std::string name;
        QPageLayout layout;
    };

    void reportLateOutcome(const std::string &queue, const PrintOutcome &outcome);

    MessageBoxService &m_messages;
    std::chrono::milliseconds m_answerLimit;
    std::optional<Queue> m_lastFound; // the queue of the last lookup that found one: what the user agreed to
    BackgroundCalls m_calls;
};

} // namespace tarvelin
