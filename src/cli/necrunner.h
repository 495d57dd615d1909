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

// Runs one nec2c process per deck, all at once, in the engine job's private folder, and gives each process's
// printed output in the order of the decks. A process still running at the time limit is stopped, and so are
// all the others. Each child dies with this program, however it ends; a TERM, HUP or INT during the run
// stops the children and removes the folder before this program ends of that signal.
[[nodiscard]] std::variant<std::vector<std::string>, EngineFailure> runEngine(const std::vector<std::string> &decks,
                                                                              std::chrono::seconds limit);

} // namespace tarvelin::cli
