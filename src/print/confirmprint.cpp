// SPDX-License-Identifier: MIT
#include "print/confirmprint.h"

#include "runtime/messagebox.h"
#include "runtime/printer.h"
#include "runtime/qtmessagebox.h"

namespace tarvelin {

namespace {

constexpr int kWarningIcon = 48;
constexpr char kHelpFile[] = "DEMO.HLP";
constexpr int kHelpContext = 1000;

void warn(MessageBoxService &messages, std::string prompt)
{
    MessageBoxRequest request;
    request.prompt = std::move(prompt);
    request.buttons = buttons::kOkOnly + kWarningIcon;
    request.title = kApplicationTitle;
    messages.MessageBox(request);
}

} // namespace

bool ConfirmPrint(MessageBoxService &messages, PrinterService &printer)
{
    const std::optional<std::string> deviceName = printer.deviceName();
    if (!deviceName) {
        warn(messages, "No printer is available, so nothing was printed.\n\n"
                       "Tarvelin prints on the system's default printer: set one up, then press Print again.");
        return false;
    }

    MessageBoxRequest request;
    request.prompt = "Ok to send to " + *deviceName + " ?"; // the name whole, neither trimmed nor quoted
    request.buttons = buttons::kConfirmNoDefault;
    request.title = kApplicationTitle;
    request.helpFile = kHelpFile;
    request.helpContext = kHelpContext;
    return messages.MessageBox(request) == answer::kYes;
}

void reportPrintFailure(MessageBoxService &messages, const std::string &reason)
{
    warn(messages, "The printout failed: " + reason + "\n\nThe window is as it was; press Print to try again.");
}

} // namespace tarvelin
