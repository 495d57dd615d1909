// SPDX-License-Identifier: MIT
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace tarvelin::study {
class EngineLauncher;
}

namespace tarvelin::cli {

// Exit statuses of tarvelin-calc.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInputOutput = 3; // the input could not be read or the output not written
// The reader of the output went away: main() ends of SIGPIPE, quietly, as any filter does; the status is the
// one a shell gives for that.
inline constexpr int kExitReaderGone = 128 + 13;

// The whole command-line companion: reads the arguments (without the program name), calculates every
// frequency text, or Dec2Frac of every value, and writes the results. Input comes from `in` when no
// argument names any, one text per line, and each result is written and flushed as soon as its line is read.
// The engine's rounds go to `launcher`.
[[nodiscard]] int runCommandLine(std::span<const std::string_view> arguments, std::istream &in, std::ostream &out,
                                 std::ostream &err, study::EngineLauncher &launcher);

} // namespace tarvelin::cli
