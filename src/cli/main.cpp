// SPDX-License-Identifier: MIT
// tarvelin-calc: the command-line companion of Tarvelin, for scripts, batch work and checking a design
// from a terminal.
#include "cli/commandline.h"
#include "cli/descriptorstream.h"
#include "cli/processlauncher.h"
#include "cli/stopsignals.h"

#include <csignal>
#include <iostream>
#include <string_view>
#include <unistd.h>
#include <vector>

int main(int argc, char **argv)
{
    // A batch of a million lines makes a gigabyte of JSON: standard input and output go straight to their
    // descriptors through large buffers, and the system calls stay few.
    tarvelin::cli::DescriptorBuffer input(STDIN_FILENO);
    tarvelin::cli::DescriptorBuffer output(STDOUT_FILENO);
    std::istream in(&input);
    std::ostream out(&output);
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    // TERM, HUP and INT end the program, after a round of the engines under way has stopped them and removed
    // its folder.
    tarvelin::cli::StopSignals stopSignals;
    tarvelin::cli::ProcessLauncher launcher(stopSignals);
    const int status = tarvelin::cli::runCommandLine(arguments, in, out, std::cerr, launcher);
    if (status == tarvelin::cli::kExitReaderGone) {
        std::signal(SIGPIPE, SIG_DFL);
        std::raise(SIGPIPE);
    }
    return status;
}
