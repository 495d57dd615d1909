// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

class QString;

namespace tarvelin {

class MainWindowPrintControls;
class MessageBoxService;
class PrinterService;
class PrintableWindow;
struct PrintOutcome;

// The main window's Print button: after consent, the window switches to its print layout (shortened so
// the frequency row and the buttons stay off the page, the credits line giving way to the frequency line,
// the white texts on the ground turned black), is printed, and switches back. The screen layout it returns
// to has light green headings: the constant colours of the switch back, not those before it. It always
// ends, also when the printout failed, which it then reports; `finished` runs then, whatever the outcome.
// The event loop goes on while the spooler is asked.
void printMainWindow(MainWindowPrintControls &window, MessageBoxService &messages, PrinterService &printer,
                     std::function<void()> finished);

// The same page, without asking, for a printer that is not the spooler (a PDF file): the print layout, the
// page headed with `frequencyText`, the screen layout with the colours a printout leaves. `done` gets what
// became of the page.
void printMainWindowPage(MainWindowPrintControls &window, PrinterService &printer, const QString &frequencyText,
                         std::function<void(const PrintOutcome &)> done);

// The chart window's Print button: after consent, the window is shortened so its button is off the page,
// printed, and given its height back; `finished` runs when it is over.
void printChartWindow(PrintableWindow &window, MessageBoxService &messages, PrinterService &printer,
                      std::function<void()> finished);

} // namespace tarvelin
