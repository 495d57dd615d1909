// SPDX-License-Identifier: MIT
#include "gui/windows/startoptions.h"

#include <algorithm>
#include <array>

namespace tarvelin {

namespace {

constexpr std::string_view kHelp = R"(Usage: tarvelin [OPTION ...]

Opens Tarvelin's window, which works out every length of a seven-element
cubical quad antenna (reflector, driven element, five directors) from its
centre frequency in megahertz: loop length, one side, spreader half and total
length and element spacing, in inches and centimetres, and the boom length.

Type the frequency and press Enter or Calculate. A right click on the window
opens a menu to copy the results, save the printed page as PDF, open the
Shop Sheet or the Antenna Check, and read about Tarvelin. For scripts and
batch work, see tarvelin-calc(1).

Options:
  --shop-sheet     open the Shop Sheet window in front of the main window: the
                   cut list in feet, inches and fractions, with a drawing
  --antenna-check  open the Antenna Check window in front of the main window:
                   the design modelled with the NEC-2 engine nec2c
  -h, --help       show this help and exit
  --version        show the version and exit
Qt's own options, such as -platform NAME or -style NAME, are accepted too.

Exit status: 0 when the window was closed, 2 for a usage error, 3 when a
run-time error ended the program (it is reported in a message box and on
standard error).

Examples:
  tarvelin                  the main window, ready for a frequency
  tarvelin -style Fusion    the same, in Qt's Fusion style
  tarvelin --shop-sheet     the cut list, in front of the main window
  tarvelin --antenna-check  the model of the design, in front of it
)";

constexpr std::string_view kUsage =
    "usage: tarvelin [--shop-sheet | --antenna-check] [--help] [--version] [Qt options]\n"
    "Try 'tarvelin --help' for more information.\n";

} // namespace

namespace {

// Qt's options, as QGuiApplication and QApplication take them, with one dash or two.
constexpr std::array<std::string_view, 15> kQtOptionsWithValue{"platform",        "platformpluginpath",
                                                               "platformtheme",   "plugin",
                                                               "qwindowgeometry", "geometry",
                                                               "qwindowtitle",    "title",
                                                               "qwindowicon",     "icon",
                                                               "display",         "name",
                                                               "session",         "style",
                                                               "stylesheet"};
constexpr std::array<std::string_view, 8> kQtFlags{"reverse",     "nograb",      "dograb", "sync",
                                                   "widgetcount", "testability", "visual", "qmljsdebugger"};

} // namespace

std::vector<std::string_view> withoutQtOptions(std::span<const std::string_view> arguments)
{
    std::vector<std::string_view> own;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view name = arguments[i];
        if (name.starts_with("--"))
            name.remove_prefix(2);
        else if (name.starts_with('-'))
            name.remove_prefix(1);
        else {
            own.push_back(arguments[i]);
            continue;
        }
        const std::size_t equals = name.find('=');
        const std::string_view bare = name.substr(0, equals);
        if (std::find(kQtOptionsWithValue.begin(), kQtOptionsWithValue.end(), bare) != kQtOptionsWithValue.end()) {
            if (equals == std::string_view::npos)
                ++i; // its value
            continue;
        }
        if (std::find(kQtFlags.begin(), kQtFlags.end(), bare) != kQtFlags.end())
            continue;
        own.push_back(arguments[i]);
    }
    return own;
}

StartOptions readStartOptions(std::span<const std::string_view> arguments)
{
    StartOptions options;
    for (const std::string_view argument : arguments) {
        if (argument == "-h" || argument == "--help")
            return {StartOptions::Action::ShowHelp, StartOptions::InFront::MainWindow, {}};
        if (argument == "--version")
            options.action = StartOptions::Action::ShowVersion;
        else if (argument == "--shop-sheet")
            options.inFront = StartOptions::InFront::ShopSheet;
        else if (argument == "--antenna-check")
            options.inFront = StartOptions::InFront::AntennaCheck;
        else if (argument.starts_with('-'))
            return {StartOptions::Action::UsageError, StartOptions::InFront::MainWindow,
                    "unknown option '" + std::string(argument) + "'"};
        else
            return {StartOptions::Action::UsageError, StartOptions::InFront::MainWindow,
                    "unexpected argument '" + std::string(argument) + "'"};
    }
    return options;
}

std::string_view startHelpText()
{
    return kHelp;
}

std::string startVersionText()
{
    return std::string("tarvelin ") + TARVELIN_VERSION + "\n";
}

std::string_view startUsageText()
{
    return kUsage;
}

} // namespace tarvelin
