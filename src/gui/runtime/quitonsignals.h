// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <memory>

#include <csignal>

class QSocketNotifier;

namespace tarvelin {

// Ends the event loop on TERM, HUP or INT (Ctrl+C in the terminal that started the program), so the windows
// close as on Quit and a running check stops its engines and removes its folder. A signal the program was
// started with ignored stays ignored: a job started in the background with `&` keeps its INT ignored, one
// started under nohup its HUP. One at a time, since a signal has one handler.
class QuitOnSignals
{
public:
    QuitOnSignals();
    ~QuitOnSignals();
    QuitOnSignals(const QuitOnSignals &) = delete;
    QuitOnSignals &operator=(const QuitOnSignals &) = delete;

private:
    static constexpr std::array<int, 3> kSignals{SIGTERM, SIGHUP, SIGINT};

    int m_sockets[2]{-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::array<struct sigaction, kSignals.size()> m_previous{};
    std::array<bool, kSignals.size()> m_handled{};
};

} // namespace tarvelin
