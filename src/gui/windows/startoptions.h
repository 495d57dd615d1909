// SPDX-License-Identifier: MIT
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelin {

// Exit statuses of tarvelin beyond a window closed as usual (0) and a run-time error (kExitUnhandledError).
inline constexpr int kExitStartUsage = 2;

// What the program's own options ask for. Qt's options (-platform, -style and the like) are Qt's business:
// the arguments read here are those Qt has left.
struct StartOptions
{
    enum class Action
    {
        OpenWindow,
        ShowHelp,
        ShowVersion,
        UsageError, // `problem` says what was wrong
    };
    // Which window to bring to the front of the main window once it is open.
    enum class InFront
    {
        MainWindow,
        ShopSheet,
        AntennaCheck,
    };
    Action action = Action::OpenWindow;
    InFront inFront = InFront::MainWindow;
    std::string problem;
};

// Reads the arguments without the program name.
[[nodiscard]] StartOptions readStartOptions(std::span<const std::string_view> arguments);

// The arguments less Qt's own options and their values (-style Fusion, -platform=offscreen, --reverse), so the
// program's own can be read before Qt opens a display: help and version answer anywhere among Qt's options,
// and an unknown option is refused without a display.
[[nodiscard]] std::vector<std::string_view> withoutQtOptions(std::span<const std::string_view> arguments);

// The texts the options print.
[[nodiscard]] std::string_view startHelpText();
[[nodiscard]] std::string startVersionText();
[[nodiscard]] std::string_view startUsageText();

} // namespace tarvelin
