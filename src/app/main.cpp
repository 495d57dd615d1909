// SPDX-License-Identifier: MIT
// Tarvelin: a calculator for seven-element cubical quad antennas.
#include "gui/windows/application.h"
#include "gui/windows/fonts.h"
#include "gui/windows/form1.h"
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
    // Help and version need no display, so they are answered before Qt looks for one.
    const std::vector<std::string_view> given = argumentsOf(argc, argv);
    for (const std::string_view argument : given) {
        if (argument == "-h" || argument == "--help")
            return print(stdout, tarvelin::startHelpText(), 0);
    }
    if (tarvelin::readStartOptions(given).action == Action::ShowVersion)
        return print(stdout, tarvelin::startVersionText(), 0);

    tarvelin::FontConfigurationWarmUp fontConfiguration;
    QApplication app(argc, argv); // takes Qt's own options out of argv
    const tarvelin::StartOptions options = tarvelin::readStartOptions(argumentsOf(argc, argv));
    if (options.action == Action::UsageError) {
        std::fprintf(stderr, "tarvelin: %s\n", options.problem.c_str());
        return print(stderr, tarvelin::startUsageText(), tarvelin::kExitStartUsage);
    }
    fontConfiguration.wait();
    tarvelin::Application tarvelin;
    if (options.inFront == tarvelin::StartOptions::InFront::ShopSheet)
        tarvelin.mainWindow().openShopSheet();
    else if (options.inFront == tarvelin::StartOptions::InFront::AntennaCheck)
        tarvelin.mainWindow().openAntennaCheck();
    return QApplication::exec();
}
