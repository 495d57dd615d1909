// SPDX-License-Identifier: MIT
#include "gui/windows/check/studyrun.h"

#include "gui/windows/check/enginerun.h"

#include <QPointer>

namespace tarvelin {

StudyRun::StudyRun(std::unique_ptr<study::Study> study, QObject *parent)
    : QObject(parent), m_study(std::move(study)), m_engine(new EngineRun(this))
{
    connect(m_engine, &EngineRun::progress, this, &StudyRun::report);
}

StudyRun::~StudyRun()
{
    m_engine->cancel();
}

void StudyRun::start()
{
    if (m_running)
        return;
    m_running = true;
    study::driveStudy(
        *m_study, *m_engine,
        [self = QPointer(this)] {
            if (!self || !self->m_running)
                return; // gone, or cancelled, which has told its end already
            self->m_running = false;
            emit self->ended();
        },
        [self = QPointer(this)] {
            if (!self)
                return;
            emit self->roundStarted(QString::fromStdString(self->m_study->roundText()));
            self->report(0);
        });
}

void StudyRun::cancel()
{
    if (!m_running)
        return;
    m_engine->cancel();
    m_study->cancel(m_frequenciesDone);
    m_running = false;
    emit ended();
}

void StudyRun::report(int frequenciesDone)
{
    m_frequenciesDone = frequenciesDone;
    const study::Study::Progress now = m_study->progress(frequenciesDone);
    emit progress(now.value, now.maximum, QString::fromStdString(now.text), QString::fromStdString(now.detail));
}

} // namespace tarvelin
