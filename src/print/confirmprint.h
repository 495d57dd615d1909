// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

namespace tarvelin {

class MessageBoxService;
class PrinterService;

// Nothing is printed without the user's consent. Asks "Ok to send to <printer> ?" with Yes and No, No being
// the default, and gives true only for Yes. With no printer available it says so instead, and gives false.
[[nodiscard]] bool ConfirmPrint(MessageBoxService &messages, PrinterService &printer);

// The message after a printout that did not reach the printer, with the reason.
void reportPrintFailure(MessageBoxService &messages, const std::string &reason);

} // namespace tarvelin
