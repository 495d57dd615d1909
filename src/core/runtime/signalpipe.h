// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <csignal>

namespace tarvelin {

// TERM, HUP and INT, and where asked a child's end, caught and written as their numbers to a pipe, for a loop
// that waits on its read end: a signal handler may do no more than write a byte. A signal the program was
// started ignoring stays ignored (a job started in the background with `&` keeps its INT ignored, one
// started under nohup its HUP). Closed, or gone, it puts back the handlers it replaced. One at a time, since
// a signal has one handler.
class SignalPipe
{
public:
    static constexpr std::array<int, 3> kStopSignals{SIGTERM, SIGHUP, SIGINT};

    enum class Children
    {
        Left,  // a child's end is left to whoever handled it before
        Noted, // a child's end is written to the pipe too, so a loop waiting on engines wakes at once
    };

    explicit SignalPipe(Children children = Children::Left);
    ~SignalPipe();
    SignalPipe(const SignalPipe &) = delete;
    SignalPipe &operator=(const SignalPipe &) = delete;

    // Whether the pipe could be made and the signals are caught.
    [[nodiscard]] bool ready() const { return m_pipe[0] >= 0; }
    // Non-blocking: each signal caught is one byte, its number.
    [[nodiscard]] int readEnd() const { return m_pipe[0]; }
    // Puts back the handlers before and closes the pipe.
    void close();

private:
    std::array<int, 2> m_pipe{-1, -1};
    std::array<struct sigaction, kStopSignals.size() + 1> m_previous{}; // the stop signals', then SIGCHLD's
    std::array<bool, kStopSignals.size() + 1> m_handled{};
};

} // namespace tarvelin
