// SPDX-License-Identifier: MIT
#include "gui/runtime/unhandlederror.h"

#include "gui/runtime/messagebox.h"
#include "core/runtime/runtimeerror.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>
#include <exception>
#include <string>

namespace tarvelin {

namespace {
constexpr int kCriticalIcon = 16;
}

void reportUnhandledError(const RuntimeError &error, MessageBoxService &messages)
{
    const std::string description(error.description());
    const std::string number = std::to_string(static_cast<int>(error.number()));
    std::fprintf(stderr, "tarvelin: run-time error %s: %s\n", number.c_str(), description.c_str());

    MessageBoxRequest request;
    request.prompt = "Run-time error " + number + ":\n\n" + description + "\n\nTarvelin has to close.";
    request.buttons = buttons::kOkOnly + kCriticalIcon;
    messages.MessageBox(request);

    // End the program: nothing more runs in the windows, and the event loop returns the error status.
    for (QWidget *window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(kExitUnhandledError);
}

void runHandler(MessageBoxService &messages, const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const RuntimeError &error) {
        reportUnhandledError(error, messages);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "tarvelin: %s\n", error.what());
        MessageBoxRequest request;
        request.prompt = std::string("Tarvelin could not finish this: ") + error.what() + ".";
        request.buttons = buttons::kWarning;
        messages.MessageBox(request);
    }
}

} // namespace tarvelin
