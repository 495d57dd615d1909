// SPDX-License-Identifier: MIT
#pragma once

#include "core/study/nestedstudy.h"
#include "core/study/nestedtune.h"
#include "gui/windows/check/roundsrun.h"

#include <memory>

namespace tarvelin {

// The check of a quad of several bands run for the window, telling how many frequencies are done. Cancel ends
// the check with nothing.
class BandsStudyRun final : public RoundsRun
{
    Q_OBJECT

public:
    explicit BandsStudyRun(std::unique_ptr<study::NestedStudy> study, QObject *parent = nullptr);

    [[nodiscard]] const study::NestedStudy &study() const
    {
        return static_cast<const study::NestedStudy &>(rounds());
    }

signals:
    // Frequencies done of the whole check, and how many it has.
    void progress(int done, int of);

protected:
    void onRoundStarted() override;

private:
    int m_total = 0;
    int m_finished = 0; // in the rounds before the one under way
    int m_roundFrequencies = 0;
};

// The tune of a quad of several bands run for the window, telling how many designs it has modelled. Cancel
// ends it with nothing.
class BandsTuneRun final : public RoundsRun
{
    Q_OBJECT

public:
    explicit BandsTuneRun(std::unique_ptr<study::NestedTune> tune, QObject *parent = nullptr);

    [[nodiscard]] const study::NestedTune &tune() const { return static_cast<const study::NestedTune &>(rounds()); }

signals:
    void progress(int designs);

protected:
    void onRoundStarted() override;
};

} // namespace tarvelin
