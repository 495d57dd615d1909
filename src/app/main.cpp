// SPDX-License-Identifier: MIT
// Tarvelin: a calculator for seven-element cubical quad antennas.
#include "gui/runtime/quitonsignals.h"
#include "gui/windows/application.h"
#include "gui/windows/styling/fonts.h"
#include "gui/windows/main/form1.h"
#include "gui/windows/startoptions.h"

#include <QApplication>

#include <cstdio>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string_view> argumentsOf(int argc, char **argv)
{
    return std::vector<std::string_view>(argv + 1, argv + argc);
}

int print(std::FILE *stream, std::string_view text, int status)
{
    std::fwrite(text.data(), 1, text.size(), stream);
    return std::fflush(stream) == 0 && !std::ferror(stream) ? status : 3;
}

} // namespace

int main(int argc, char **argv)
{
    using Action = tarvelin::StartOptions::Action;
    // The program's own options are read before Qt looks for a display: help and version need none, and an
    // unknown option is refused without one.
    const std::vector<std::string_view> given = argumentsOf(argc, argv);
    const tarvelin::StartOptions options = tarvelin::readStartOptions(tarvelin::withoutQtOptions(given));
    switch (options.action) {
    case Action::ShowHelp:
        return print(stdout, tarvelin::startHelpText(), 0);
    case Action::ShowVersion:
        return print(stdout, tarvelin::startVersionText(), 0);
    case Action::UsageError:
        std::fprintf(stderr, "tarvelin: %s\n", options.problem.c_str());
        return print(stderr, tarvelin::startUsageText(), tarvelin::kExitStartUsage);
    case Action::OpenWindow:
        break;
    }

    tarvelin::FontConfigurationWarmUp fontConfiguration;
    QApplication app(argc, argv);
    fontConfiguration.wait();
    tarvelin::Application tarvelin;
    // TERM, HUP and INT close the windows as Quit does, so a running check stops its engines and removes its
    // folder; but they ask nothing, since nobody may be there to answer (a session ending, a terminal closed).
    const tarvelin::QuitOnSignals quitOnSignals([&tarvelin] {
        tarvelin.mainWindow().closeWithoutAsking();
        tarvelin::QuitOnSignals::endEventLoops(); // and any modal prompt that was already open
    });
    if (options.inFront == tarvelin::StartOptions::InFront::ShopSheet)
        tarvelin.mainWindow().openShopSheet();
    else if (options.inFront == tarvelin::StartOptions::InFront::AntennaCheck)
        tarvelin.mainWindow().openAntennaCheck();
    return QApplication::exec();
}
