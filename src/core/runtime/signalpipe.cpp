// SPDX-License-Identifier: MIT
#include "core/runtime/signalpipe.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace tarvelin {

namespace {

// The write end of the pipe open now; -1 while there is none.
volatile std::sig_atomic_t g_writeEnd = -1;

extern "C" void writeSignal(int signal)
{
    const int saved = errno; // the code the signal interrupted may be about to read it
    const auto byte = static_cast<unsigned char>(signal);
    const int writeEnd = g_writeEnd;
    if (writeEnd >= 0)
        (void)!::write(writeEnd, &byte, 1);
    errno = saved;
}

} // namespace

SignalPipe::SignalPipe(Children children)
{
    if (::pipe2(m_pipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        m_pipe = {-1, -1};
        return;
    }
    g_writeEnd = m_pipe[1];
    struct sigaction write
    {
    };
    write.sa_handler = writeSignal;
    sigemptyset(&write.sa_mask);
    write.sa_flags = SA_NOCLDSTOP | SA_RESTART;
    for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
        if (::sigaction(kStopSignals[i], nullptr, &m_previous[i]) != 0 || m_previous[i].sa_handler == SIG_IGN)
            continue;
        m_handled[i] = ::sigaction(kStopSignals[i], &write, nullptr) == 0;
    }
    if (children == Children::Noted)
        m_handled.back() = ::sigaction(SIGCHLD, &write, &m_previous.back()) == 0;
}

SignalPipe::~SignalPipe()
{
    close();
}

void SignalPipe::close()
{
    if (m_pipe[0] < 0)
        return;
    for (std::size_t i = 0; i < m_handled.size(); ++i)
        if (m_handled[i])
            ::sigaction(i < kStopSignals.size() ? kStopSignals[i] : SIGCHLD, &m_previous[i], nullptr);
    m_handled = {};
    g_writeEnd = -1;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
    m_pipe = {-1, -1};
}

} // namespace tarvelin
