// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

class QTemporaryDir;

namespace tarvelin {

class Form1;

// What the program is while it runs: its services and the main window, created and shown the way the program
// starts. main() runs the event loop over it; the start-up benchmark starts exactly the same. A TERM, HUP or
// INT closes the windows without asking and ends it (see QuitOnSignals).
class Application
{
public:
    Application();
    ~Application();

    [[nodiscard]] Form1 &mainWindow();

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

// The settings file, when it is there but no regular file (a FIFO would block the start for ever), is left
// alone: the settings are kept in a private folder for this run instead, which the caller keeps while the
// program runs, and standard error says so. Gives none when the file is usable.
[[nodiscard]] std::unique_ptr<QTemporaryDir> divertUnusableSettings();

} // namespace tarvelin
