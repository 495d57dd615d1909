// SPDX-License-Identifier: MIT
#pragma once

#include "core/study/nestedstudy.h"

#include <QObject>

#include <memory>

namespace tarvelin {

class EngineRun;

// The check of a quad of several bands run for the window: its rounds go to the engines through an EngineRun on
// the event loop, so the window stays usable, and it tells how many frequencies are done and when it has ended.
// Cancel stops the round under way and ends the check with nothing.
class BandsStudyRun final : public QObject
{
    Q_OBJECT

public:
    explicit BandsStudyRun(std::unique_ptr<study::NestedStudy> study, QObject *parent = nullptr);
    ~BandsStudyRun() override;

    void start();
    void cancel();
    [[nodiscard]] bool running() const { return m_running; }
    [[nodiscard]] const study::NestedStudy &study() const { return *m_study; }
    [[nodiscard]] EngineRun *engine() const { return m_engine; }

signals:
    // Frequencies done of the whole check, and how many it has.
    void progress(int done, int of);
    void ended();

private:
    std::unique_ptr<study::NestedStudy> m_study;
    EngineRun *m_engine = nullptr;
    int m_total = 0;
    int m_finished = 0; // in the rounds before the one under way
    int m_roundFrequencies = 0;
    bool m_running = false;
};

} // namespace tarvelin
