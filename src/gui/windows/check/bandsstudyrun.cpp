// SPDX-License-Identifier: MIT
#include "gui/windows/check/bandsstudyrun.h"

#include "gui/windows/check/enginerun.h"

#include <algorithm>

namespace tarvelin {

BandsStudyRun::BandsStudyRun(std::unique_ptr<study::NestedStudy> study, QObject *parent)
    : RoundsRun(std::move(study), parent)
{
    // Each band's sweep and its own design alone beside it.
    const design::NestedGeometry &geometry = this->study().geometry();
    m_total = static_cast<int>(nec::nestedSweep(geometry, this->study().settings()).size()) *
              (geometry.bands.size() > 1 ? 2 : 1);
    connect(engine(), &EngineRun::progress, this, [this](int done) { emit progress(m_finished + done, m_total); });
}

void BandsStudyRun::onRoundStarted()
{
    m_finished += m_roundFrequencies;
    m_roundFrequencies = study().lastRoundFrequencies();
    // A wider round, where a band's sweep missed its resonance, adds to what there is to do.
    m_total = std::max(m_total, m_finished + m_roundFrequencies);
    emit progress(m_finished, m_total);
}

BandsTuneRun::BandsTuneRun(std::unique_ptr<study::NestedTune> tune, QObject *parent)
    : RoundsRun(std::move(tune), parent)
{
}

void BandsTuneRun::onRoundStarted()
{
    emit progress(tune().designs());
}

} // namespace tarvelin
