// SPDX-License-Identifier: MIT
#include "gui/runtime/quitonsignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <unistd.h>

namespace tarvelin {

void QuitOnSignals::endEventLoops()
{
    QCoreApplication::exit(0);
}

QuitOnSignals::QuitOnSignals(std::function<void()> end)
{
    if (!m_signals.ready())
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_signals.readEnd(), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this, end = std::move(end)] {
        char byte = 0;
        while (::read(m_signals.readEnd(), &byte, 1) == 1) {
        }
        end();
    });
}

QuitOnSignals::~QuitOnSignals() = default;

} // namespace tarvelin
