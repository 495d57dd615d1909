// SPDX-License-Identifier: MIT
#pragma once

#include "core/nec/tuner.h"

#include <QObject>

#include <atomic>
#include <optional>
#include <thread>

namespace tarvelin {

class EngineRun;

// A tune of the loop lengths for a window: the searches run on a thread of their own, and every round of
// candidate decks goes to the engines through the window's own engine runs, on the event loop, so the
// window stays usable. Cancel keeps the best design found so far; so does the time limit.
class TuneRun final : public QObject
{
    Q_OBJECT

public:
    TuneRun(nec::ArrayGeometry geometry, nec::CheckSettings settings, nec::TuneSettings tune, double startFactor,
            int engineTimeLimitMs, QObject *parent = nullptr);
    ~TuneRun() override;

    void start();
    void cancel();
    [[nodiscard]] bool running() const { return m_thread.joinable(); }
    [[nodiscard]] const std::optional<nec::TuneResult> &result() const { return m_result; }

signals:
    void progress(int evaluations);
    void finished();
    void failed(const QString &message);

private:
    struct Round;
    void startRound(const std::vector<std::string> &decks, const std::shared_ptr<Round> &round);

    nec::ArrayGeometry m_geometry;
    nec::CheckSettings m_settings;
    nec::TuneSettings m_tune;
    double m_startFactor = 1.0;
    int m_engineTimeLimitMs = 0;
    std::atomic<bool> m_cancel{false};
    std::thread m_thread;
    EngineRun *m_engine = nullptr;
    std::optional<nec::TuneResult> m_result;
};

} // namespace tarvelin
