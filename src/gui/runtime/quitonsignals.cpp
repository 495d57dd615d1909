// SPDX-License-Identifier: MIT
#include "gui/runtime/quitonsignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace tarvelin {

namespace {

volatile std::sig_atomic_t g_signalSocket = -1;

// A signal handler may do no more than write a byte; the event loop, watching the other end, quits.
extern "C" void forwardSignal(int signal)
{
    const char byte = static_cast<char>(signal);
    const int socket = g_signalSocket;
    if (socket >= 0)
        (void)!::write(socket, &byte, 1);
}

} // namespace

void QuitOnSignals::endEventLoops()
{
    QCoreApplication::exit(0);
}

QuitOnSignals::QuitOnSignals(std::function<void()> end)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, m_sockets) != 0)
        return;
    g_signalSocket = m_sockets[0];
    m_notifier = std::make_unique<QSocketNotifier>(m_sockets[1], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this, end = std::move(end)] {
        char byte = 0;
        while (::read(m_sockets[1], &byte, 1) == 1) {
        }
        end();
    });
    struct sigaction forward
    {
    };
    forward.sa_handler = forwardSignal;
    sigemptyset(&forward.sa_mask);
    forward.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        if (::sigaction(kSignals[i], nullptr, &m_previous[i]) != 0 || m_previous[i].sa_handler == SIG_IGN)
            continue;
        m_handled[i] = ::sigaction(kSignals[i], &forward, nullptr) == 0;
    }
}

QuitOnSignals::~QuitOnSignals()
{
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        if (m_handled[i])
            ::sigaction(kSignals[i], &m_previous[i], nullptr);
    g_signalSocket = -1;
    m_notifier.reset();
    ::close(m_sockets[0]);
    ::close(m_sockets[1]);
}

} // namespace tarvelin
