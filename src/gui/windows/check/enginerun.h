// SPDX-License-Identifier: MIT
#pragma once

#include "core/study/study.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class QFileSystemWatcher;
class QProcess;
class QTimer;

namespace tarvelin {

namespace nec {
class EngineJob;
}

// The window's engine launcher: one nec2c per deck of a round, all at once, under QProcess in the engine
// job's private folder, which goes with the round however it ends. The event loop never waits for them: the
// round's end comes from the processes' own signals, and progress from a watch on the engine's output files
// as frequencies finish; a stopped engine is reaped when its end comes. Each engine leads a process group of its own,
// so stopping it stops whatever it started; Cancel, or the round's time limit, stops every engine at once, and an
// engine dies with this program even when it is killed.
class EngineRun final : public QObject, public study::EngineLauncher
{
    Q_OBJECT

public:
    explicit EngineRun(QObject *parent = nullptr);
    ~EngineRun() override;

    void start(const study::EngineRound &round, std::function<void(study::EngineOutputs)> done) override;
    void cancel() override;

    // The private folder while a round lasts, for the tests.
    [[nodiscard]] QString folder() const;
    [[nodiscard]] bool running() const;

signals:
    // Frequencies the round's engines have finished so far.
    void progress(int frequenciesDone);

private:
    void childFinished();
    void watchOutputs();
    void reportProgress();
    void end(study::EngineOutputs outputs);
    void stopAll();

    int m_decks = 0;
    std::unique_ptr<nec::EngineJob> m_job;
    std::vector<QProcess *> m_children;
    std::function<void(study::EngineOutputs)> m_done;
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer *m_limit = nullptr;
};

} // namespace tarvelin
