// SPDX-License-Identifier: MIT
#pragma once

#include "core/runtime/signalpipe.h"

#include <functional>
#include <memory>

class QSocketNotifier;

namespace tarvelin {

// Runs `end` on the event loop on TERM, HUP or INT (Ctrl+C in the terminal that started the program); by
// default the event loop ends. A signal is an order to end, not a question: the program passes an `end` that
// closes its windows without asking, so a running check stops its engines and removes its folder, and no
// prompt is left waiting for an answer nobody will give. A signal the program was started with ignored stays
// ignored (see SignalPipe).
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
    SignalPipe m_signals;
    std::unique_ptr<QSocketNotifier> m_notifier; // after the pipe, so it goes first
};

} // namespace tarvelin
