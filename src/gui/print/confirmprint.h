// SPDX-License-Identifier: MIT
#pragma once

namespace tarvelin {

class MessageBoxService;
class PrinterService;
struct PrintOutcome;

// Nothing is printed without the user's consent. Asks "Ok to send to <printer> ?" with Yes and No, No being
// the default, and gives true only for Yes. With no printer available, or no answer from the spooler, it
// says so instead, and gives false.
[[nodiscard]] bool ConfirmPrint(MessageBoxService &messages, PrinterService &printer);

// The message after a printout that did not reach the printer, with the reason; nothing for a page the
// spooler took.
void reportPrintOutcome(MessageBoxService &messages, const PrintOutcome &outcome);

} // namespace tarvelin
