// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <csignal>

namespace tarvelin::cli {

// What tarvelin-calc does with TERM, HUP and INT, set once by its main(): outside a round of the engines they
// end the program as they always do; while a round's engines run, the round catches them in a SignalPipe, with
// a child's end, so that a signal only wakes the round, which stops its engines, removes its folder and then
// ends the program of that same signal. A stop signal the program was started ignoring (a background job's
// INT) stays ignored.
class StopSignals
{
public:
    StopSignals() = default;
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    // The round has cleaned up after a stop signal: the program ends of it now.
    [[noreturn]] void endOf(int signal);
};

} // namespace tarvelin::cli
