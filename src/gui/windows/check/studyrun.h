// SPDX-License-Identifier: MIT
#pragma once

#include "core/study/study.h"

#include <QObject>

#include <memory>

namespace tarvelin {

class EngineRun;

// A study run for a window: its rounds go to the engines through an EngineRun on the event loop, so the window
// stays usable, and it tells how far it has come and when it has ended. Cancel stops the round under way: a
// check ends with nothing, a tune with its best design so far.
class StudyRun final : public QObject
{
    Q_OBJECT

public:
    explicit StudyRun(std::unique_ptr<study::Study> study, QObject *parent = nullptr);
    ~StudyRun() override;

    void start();
    void cancel();
    [[nodiscard]] bool running() const { return m_running; }
    [[nodiscard]] const study::Study &study() const { return *m_study; }
    [[nodiscard]] EngineRun *engine() const { return m_engine; }

signals:
    // A round has started: what the engines do now.
    void roundStarted(const QString &text);
    // How far the study has come, with the text to show on the bar; a maximum of 0 has no end to fill towards,
    // and a tune's detail says its time and best design so far.
    void progress(int value, int maximum, const QString &text, const QString &detail);
    void ended();

private:
    void report(int frequenciesDone);

    std::unique_ptr<study::Study> m_study;
    EngineRun *m_engine = nullptr;
    int m_frequenciesDone = 0; // in the round under way
    bool m_running = false;
};

} // namespace tarvelin
