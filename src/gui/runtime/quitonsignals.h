// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <functional>
#include <memory>

#include <csignal>

class QSocketNotifier;

namespace tarvelin {

// Runs `end` on the event loop on TERM, HUP or INT (Ctrl+C in the terminal that started the program); by
// default the event loop ends. A signal is an order to end, not a question: the program passes an `end` that
// closes its windows without asking, so a running check stops its engines and removes its folder, and no
// prompt is left waiting for an answer nobody will give. A signal the program was started with ignored stays
// ignored: a job started in the background with `&` keeps its INT ignored, one started under nohup its HUP.
// One at a time, since a signal has one handler.
class QuitOnSignals
{
public:
    explicit QuitOnSignals(std::function<void()> end = [] { QuitOnSignals::endEventLoops(); });
    ~QuitOnSignals();
    QuitOnSignals(const QuitOnSignals &) = delete;
    QuitOnSignals &operator=(const QuitOnSignals &) = delete;

    // Ends the main event loop and any modal one running inside it.
    static void endEventLoops();

private:
    static constexpr std::array<int, 3> kSignals{SIGTERM, SIGHUP, SIGINT};

    int m_sockets[2]{-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::array<struct sigaction, kSignals.size()> m_previous{};
    std::array<bool, kSignals.size()> m_handled{};
};

} // namespace tarvelin
