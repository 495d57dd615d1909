// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>

class QByteArray;
class QIODevice;
class QPageLayout;
class QPainter;
class QWidget;

namespace tarvelin {

// What the print spooler said when asked for the current printer.
struct PrinterLookup
{
    enum class Outcome
    {
        Found,     // `name` is the device name
        NoPrinter, // no default queue, or no spooler running
        NoAnswer,  // the spooler did not answer in time
    };
    Outcome outcome = Outcome::NoPrinter;
    std::string name;
};

// What became of a page handed to the spooler.
struct PrintOutcome
{
    enum class Status
    {
        Accepted, // the spooler took the job
        Failed,   // `reason` says why
        NoAnswer, // the spooler did not answer in time; it may still take the page later
    };
    Status status = Status::Accepted;
    std::string reason;
};

using LookupDone = std::function<void(const PrinterLookup &)>;
using PrintDone = std::function<void(const PrintOutcome &)>;

// The printer as the program's logic sees it. The windows use the system's print spooler; the tests
// substitute a printer that keeps each page as an image. Every answer comes through a callback on the
// user-interface thread, at once or when the spooler answers or its time is up: nothing waits in a nested
// event loop, so no other handler can run in the middle of one.
class PrinterService
{
public:
    virtual ~PrinterService() = default;

    // The current printer's device name: the system's default print queue, read afresh on every call.
    virtual void deviceName(LookupDone done) = 0;

    // The window printout: the window's client area, as it looks at this moment, as one page on the current
    // printer. `pageTaken` runs as soon as the page has been drawn and before the spooler is asked, so the
    // window can leave its print layout while the spooler takes its time; if the page cannot be drawn it
    // does not run.
    virtual void printWindow(QWidget &window, const std::function<void()> &pageTaken, PrintDone done) = 0;

    // A document laid out for a queue the user chose in the print dialog, such as the shop sheet, as PDF
    // pages, in `copies` copies.
    virtual void printDocument(const std::string &queue, const std::string &title, const QByteArray &pdf, int copies,
                               PrintDone done) = 0;
};

// Paper of the user's country (Letter where the measurement system is the US one, A4 elsewhere), with the
// narrow margins of a PDF printer queue: for pages that go to a file rather than to a chosen printer.
[[nodiscard]] QPageLayout localPaperLayout();

// The window printout as a vector PDF of one page with the given paper and margins, the client area at its
// physical size (96 device-independent pixels to the inch) at the top left of the printable area. Gives
// false when the page could not be drawn.
[[nodiscard]] bool writeWindowPdf(QIODevice &device, QWidget &window, const QPageLayout &layout);

// Draws a window's client area as it looks now, with its children, at the painter's origin, one
// device-independent pixel to one unit of the painter. The real printer and the tests' printer share it.
void renderWindow(QPainter &painter, QWidget &window);

} // namespace tarvelin
