// SPDX-License-Identifier: MIT
#pragma once

#include "core/study/study.h"

#include <QObject>

#include <memory>

namespace tarvelin {

class EngineRun;

// Engine rounds run for a window: they go to the engines through an EngineRun on the event loop, so the window
// stays usable, and `ended` tells when they have. Cancel stops the round under way. What is run says what each
// round is and what a cancel leaves.
class RoundsRun : public QObject
{
    Q_OBJECT

public:
    explicit RoundsRun(std::unique_ptr<study::EngineRounds> rounds, QObject *parent = nullptr);
    ~RoundsRun() override;

    void start();
    void cancel();
    [[nodiscard]] bool running() const { return m_running; }
    [[nodiscard]] EngineRun *engine() const { return m_engine; }

signals:
    void ended();

protected:
    [[nodiscard]] study::EngineRounds &rounds() const { return *m_rounds; }
    // A round has started.
    virtual void onRoundStarted() {}
    // The round under way is being stopped.
    virtual void onCancel() {}

private:
    std::unique_ptr<study::EngineRounds> m_rounds;
    EngineRun *m_engine = nullptr;
    bool m_running = false;
};

} // namespace tarvelin
