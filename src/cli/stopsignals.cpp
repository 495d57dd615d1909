// SPDX-License-Identifier: MIT
#include "cli/stopsignals.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace tarvelin::cli {

namespace {

constexpr std::array<int, 3> kStopSignals{SIGTERM, SIGHUP, SIGINT};

// The write end of the armed round's pipe; -1 while no round is armed.
volatile std::sig_atomic_t g_wakeUp = -1;

extern "C" void noteSignal(int signal)
{
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signal);
    const int wakeUp = g_wakeUp;
    if (wakeUp >= 0)
        (void)!::write(wakeUp, &byte, 1);
    errno = saved;
}

} // namespace

StopSignals::Armed::Armed()
{
    if (::pipe2(m_pipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        m_pipe = {-1, -1};
        return;
    }
    g_wakeUp = m_pipe[1];
    struct sigaction note
    {
    };
    note.sa_handler = noteSignal;
    sigemptyset(&note.sa_mask);
    note.sa_flags = SA_NOCLDSTOP | SA_RESTART;
    for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
        sigaction(kStopSignals[i], nullptr, &m_previous[i]);
        if (m_previous[i].sa_handler != SIG_IGN)
            sigaction(kStopSignals[i], &note, nullptr);
    }
    sigaction(SIGCHLD, &note, &m_previousChild);
}

StopSignals::Armed::~Armed()
{
    disarm();
}

void StopSignals::Armed::disarm()
{
    if (m_pipe[0] < 0)
        return;
    for (std::size_t i = 0; i < kStopSignals.size(); ++i)
        sigaction(kStopSignals[i], &m_previous[i], nullptr);
    sigaction(SIGCHLD, &m_previousChild, nullptr);
    g_wakeUp = -1;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
    m_pipe = {-1, -1};
}

void StopSignals::endOf(int signal)
{
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal); // a signal whose default action is not to end the program
}

} // namespace tarvelin::cli
