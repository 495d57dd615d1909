// SPDX-License-Identifier: MIT
#include "gui/windows/check/bandsstudyrun.h"

#include "core/design/designlengths.h"
#include "gui/windows/check/enginerun.h"

#include <QPointer>

#include <algorithm>

namespace tarvelin {

BandsStudyRun::BandsStudyRun(std::unique_ptr<study::NestedStudy> study, QObject *parent)
    : QObject(parent), m_study(std::move(study)), m_engine(new EngineRun(this))
{
    // Each band's sweep and its own design alone beside it.
    const design::NestedGeometry &geometry = m_study->geometry();
    m_total = static_cast<int>(nec::nestedSweep(geometry, m_study->settings()).size()) *
              (geometry.bands.size() > 1 ? 2 : 1);
    connect(m_engine, &EngineRun::progress, this,
            [this](int done) { emit progress(m_finished + done, m_total); });
}

BandsStudyRun::~BandsStudyRun()
{
    m_engine->cancel();
}

void BandsStudyRun::start()
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
            self->m_finished += self->m_roundFrequencies;
            self->m_roundFrequencies = self->m_study->lastRoundFrequencies();
            // A wider round, where a band's sweep missed its resonance, adds to what there is to do.
            self->m_total = std::max(self->m_total, self->m_finished + self->m_roundFrequencies);
            emit self->progress(self->m_finished, self->m_total);
        });
}

void BandsStudyRun::cancel()
{
    if (!m_running)
        return;
    m_engine->cancel();
    m_running = false;
    emit ended();
}

} // namespace tarvelin
