// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

namespace tarvelin {

class Form1;

// What the program is while it runs: its services and the main window, created and shown the way the program
// starts. main() runs the event loop over it; the start-up benchmark starts exactly the same.
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

} // namespace tarvelin
