// SPDX-License-Identifier: MIT
#include "gui/print/confirmprint.h"

#include "gui/runtime/messagebox.h"
#include "gui/runtime/printer.h"
#include "gui/runtime/qtmessagebox.h"

namespace tarvelin {

namespace {

constexpr char kHelpFile[] = "DEMO.HLP";
constexpr int kHelpContext = 1000;

void warn(MessageBoxService &messages, std::string prompt)
{
    MessageBoxRequest request;
    request.prompt = std::move(prompt);
    request.buttons = buttons::kWarning;
    request.title = kApplicationTitle;
    messages.show(request);
}

} // namespace

void ConfirmPrint(MessageBoxService &messages, PrinterService &printer, std::function<void(bool)> confirmed)
{
    printer.deviceName([&messages, confirmed = std::move(confirmed)](const PrinterLookup &lookup) {
        switch (lookup.outcome) {
        case PrinterLookup::Outcome::NoPrinter:
            warn(messages, "No printer is available, so nothing was printed.\n\n"
                           "Tarvelin prints on the system's default printer: set one up, then press Print again.");
            return confirmed(false);
        case PrinterLookup::Outcome::NoAnswer:
            warn(messages, "The print spooler did not answer in time, so nothing was printed.\n\n"
                           "Check that the printing service is running, then press Print again.");
            return confirmed(false);
        case PrinterLookup::Outcome::Found:
            break;
        }

        MessageBoxRequest request;
        request.prompt = "Ok to send to " + lookup.name + " ?"; // the name whole, neither trimmed nor quoted
        request.buttons = buttons::kConfirmNoDefault;
        request.title = kApplicationTitle;
        request.helpFile = kHelpFile;
        request.helpContext = kHelpContext;
        messages.show(request, [confirmed](int pressed) { confirmed(pressed == answer::kYes); });
    });
}

void reportPrintOutcome(MessageBoxService &messages, const PrintOutcome &outcome)
{
    switch (outcome.status) {
    case PrintOutcome::Status::Accepted:
        return;
    case PrintOutcome::Status::Failed:
        warn(messages,
             "The printout failed: " + outcome.reason + "\n\nThe window is as it was; press Print to try again.");
        return;
    case PrintOutcome::Status::NoAnswer:
        warn(messages, "The print spooler did not answer in time, so the page has not been printed.\n\n"
                       "Tarvelin will tell you if the spooler takes the page later.");
        return;
    }
}

} // namespace tarvelin
