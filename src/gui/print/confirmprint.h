// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace tarvelin {

class MessageBoxService;
class PrinterService;
struct PrintOutcome;

// Nothing is printed without the user's consent. Asks "Ok to send to <printer> ?" with Yes and No, No being
// the default, and answers true only for Yes. With no printer available, or no answer from the spooler, it
// says so instead, and answers false. The answer comes once the spooler has named the printer and the user
// has answered; the event loop goes on meanwhile.
void ConfirmPrint(MessageBoxService &messages, PrinterService &printer, std::function<void(bool)> confirmed);

// The message after a printout that did not reach the printer, with the reason; nothing for a page the
// spooler took.
void reportPrintOutcome(MessageBoxService &messages, const PrintOutcome &outcome);

} // namespace tarvelin
