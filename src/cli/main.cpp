// SPDX-License-Identifier: MIT
// tarvelin-calc: the command-line companion of Tarvelin, for scripts, batch work and checking a design
// from a terminal.
#include "cli/commandline.h"

#include <iostream>
#include <string_view>
#include <vector>

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false);
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    return tarvelin::cli::runCommandLine(arguments, std::cin, std::cout, std::cerr);
}
