// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <csignal>

namespace tarvelin::cli {

// What tarvelin-calc does with TERM, HUP and INT, set once by its main(): outside a round of the engines they
// end the program as they always do; while a round's engines run, the round arms them, so that a signal, or
// a child's end, only wakes the round, which stops its engines, removes its folder and then ends the program
// of that same signal. A stop signal the program was started ignoring (a background job's INT) stays ignored.
class StopSignals
{
public:
    StopSignals() = default;
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    // The signals armed for one round, and the pipe their handlers write each signal's number to.
    class Armed
    {
    public:
        Armed();
        ~Armed();
        Armed(const Armed &) = delete;
        Armed &operator=(const Armed &) = delete;
        [[nodiscard]] bool ready() const { return m_pipe[0] >= 0; }
        [[nodiscard]] int readEnd() const { return m_pipe[0]; }
        void disarm();

    private:
        std::array<int, 2> m_pipe{-1, -1};
        std::array<struct sigaction, 3> m_previous{};
        struct sigaction m_previousChild
        {
        };
    };

    // The round has cleaned up after a stop signal: the program ends of it now.
    [[noreturn]] void endOf(int signal);
};

} // namespace tarvelin::cli
