// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <string>
#include <variant>
#include <vector>

namespace tarvelin::cli {

// Why the engine gave no results.
struct EngineFailure
{
    std::string message;
};

// Runs one nec2c process per deck, all at once, in a private temporary folder that is removed afterwards
// whatever happens; gives each process's printed output, in the order of the decks. A process still running
// at the time limit is stopped, and so are all the others.
[[nodiscard]] std::variant<std::vector<std::string>, EngineFailure> runEngine(const std::vector<std::string> &decks,
                                                                              std::chrono::seconds limit);

// What the user is told when nec2c is not installed: the Debian package and how to install it.
inline constexpr const char *kEngineMissing =
    "The antenna check needs the NEC-2 engine nec2c, which is not installed. Install the Debian package "
    "nec2c: sudo apt install nec2c";

} // namespace tarvelin::cli
