// SPDX-License-Identifier: MIT
#include "gui/print/printouts.h"

#include "gui/print/confirmprint.h"
#include "gui/print/printablewindow.h"
#include "gui/runtime/printer.h"

#include <array>
#include <string_view>
#include <memory>
#include <utility>

namespace tarvelin {

namespace {

// Outer heights in twips of the two windows on screen and while printing.
constexpr int kMainScreenHeight = 4050;
constexpr int kMainPrintHeight = 3525;
constexpr int kChartScreenHeight = 8235;
constexpr int kChartPrintHeight = 7830;

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kLightGreen = 0x80FF80;

struct LabelRef
{
    std::string_view name;
    int index = -1;
};

// The white texts that stand on the window's ground, in the order they are recoloured.
// clang-format off
constexpr std::array<LabelRef, 15> kTextsOnGround{{
    {"Label17"}, {"Label18"}, {"Label19"}, {"Label20"}, {"Label21"},                // column headings
    {"Label24"}, {"Label25"}, {"Label26"}, {"Label27"},                             // the boom line
    {"Label28"},                                                                    // "Elements"
    {"LABEL23", 0}, {"LABEL23", 1}, {"LABEL23", 2}, {"LABEL23", 3}, {"LABEL23", 4}, // unit headings
}};
// clang-format on

// Their colours on the way back: the headings light green, the boom line white.
constexpr std::uint32_t screenColourOf(const LabelRef &label)
{
    const bool boomLine =
        label.name == "Label24" || label.name == "Label25" || label.name == "Label26" || label.name == "Label27";
    return boomLine ? kWhite : kLightGreen;
}

} // namespace

void printMainWindow(MainWindowPrintControls &window, MessageBoxService &messages, PrinterService &printer,
                     std::function<void()> finished)
{
    ConfirmPrint(messages, printer, [&window, &messages, &printer, finished](bool confirmed) {
        if (!confirmed)
            return finished();
        // The frequency box's text as it stands, neither checked nor reformatted.
        printMainWindowPage(window, printer, window.frequencyBoxText(),
                            [&messages, finished](const PrintOutcome &outcome) {
                                reportPrintOutcome(messages, outcome);
                                finished();
                            });
    });
}

void printMainWindowPage(MainWindowPrintControls &window, PrinterService &printer, const QString &frequencyText,
                         std::function<void(const PrintOutcome &)> done)
{
    window.setOuterHeightTwips(kMainPrintHeight);
    window.setLabelVisible("Label9", false);
    for (const LabelRef &label : kTextsOnGround)
        window.setLabelForeColor(label.name, label.index, kBlack);
    window.setLabelVisible("Label32", true);
    window.setLabelCaption("Label32", QStringLiteral("Frequency:        ") + frequencyText + QStringLiteral(" mhz."));

    // Back to the screen layout as soon as the page is drawn, not when the spooler answers, and whatever
    // became of the page; the frequency line keeps its caption.
    auto onScreen = std::make_shared<bool>(false);
    const auto backToScreen = [&window, onScreen] {
        if (std::exchange(*onScreen, true))
            return;
        window.setOuterHeightTwips(kMainScreenHeight);
        window.setLabelVisible("Label9", true);
        for (const LabelRef &label : kTextsOnGround)
            window.setLabelForeColor(label.name, label.index, screenColourOf(label));
        window.setLabelVisible("Label32", false);
    };
    printer.printWindow(window.printedWindow(), backToScreen, [backToScreen, done](const PrintOutcome &outcome) {
        backToScreen();
        done(outcome);
    });
}

void printChartWindow(PrintableWindow &window, MessageBoxService &messages, PrinterService &printer,
                      std::function<void()> finished)
{
    ConfirmPrint(messages, printer, [&window, &messages, &printer, finished](bool confirmed) {
        if (!confirmed)
            return finished();
        window.setOuterHeightTwips(kChartPrintHeight);
        auto onScreen = std::make_shared<bool>(false);
        const auto backToScreen = [&window, onScreen] {
            if (!std::exchange(*onScreen, true))
                window.setOuterHeightTwips(kChartScreenHeight);
        };
        printer.printWindow(window.printedWindow(), backToScreen,
                            [&messages, backToScreen, finished](const PrintOutcome &outcome) {
                                backToScreen();
                                reportPrintOutcome(messages, outcome);
                                finished();
                            });
    });
}

} // namespace tarvelin
