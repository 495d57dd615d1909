// SPDX-License-Identifier: MIT
#include "gui/windows/check/studyrun.h"

#include "gui/windows/check/enginerun.h"

namespace tarvelin {

StudyRun::StudyRun(std::unique_ptr<study::Study> study, QObject *parent) : RoundsRun(std::move(study), parent)
{
    connect(engine(), &EngineRun::progress, this, &StudyRun::report);
}

void StudyRun::onRoundStarted()
{
    emit roundStarted(QString::fromStdString(underWay().roundText()));
    report(0);
}

void StudyRun::onCancel()
{
    underWay().cancel(m_frequenciesDone);
}

void StudyRun::report(int frequenciesDone)
{
    m_frequenciesDone = frequenciesDone;
    const study::Study::Progress now = underWay().progress(frequenciesDone);
    emit progress(now.value, now.maximum, QString::fromStdString(now.text), QString::fromStdString(now.detail));
}

} // namespace tarvelin
