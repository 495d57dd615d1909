// SPDX-License-Identifier: MIT
#include "gui/windows/check/roundsrun.h"

#include "gui/windows/check/enginerun.h"

#include <QPointer>

namespace tarvelin {

RoundsRun::RoundsRun(std::unique_ptr<study::EngineRounds> rounds, QObject *parent)
    : QObject(parent), m_rounds(std::move(rounds)), m_engine(new EngineRun(this))
{
}

RoundsRun::~RoundsRun()
{
    m_engine->cancel();
}

void RoundsRun::start()
{
    if (m_running)
        return;
    m_running = true;
    study::driveStudy(
        *m_rounds, *m_engine,
        [self = QPointer(this)] {
            if (!self || !self->m_running)
                return; // gone, or cancelled, which has told its end already
            self->m_running = false;
            emit self->ended();
        },
        [self = QPointer(this)] {
            if (self)
                self->onRoundStarted();
        });
}

void RoundsRun::cancel()
{
    if (!m_running)
        return;
    m_engine->cancel();
    onCancel();
    m_running = false;
    emit ended();
}

} // namespace tarvelin
