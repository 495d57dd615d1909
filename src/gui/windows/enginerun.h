// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QStringList>

#include <memory>
#include <vector>

class QProcess;
class QTimer;

namespace tarvelin {

namespace nec {
class EngineJob;
}

// One antenna check's engine processes: one nec2c per deck, all at once, in the engine job's private folder,
// which goes with the run however it ends. The event loop never waits for them: progress comes from the
// engine's output files as frequencies finish, and the run ends in `finished` (every output, in deck order)
// or `failed` (why, and no numbers). Cancel, or the time limit, stops every child at once; a child also dies
// with this program, even when it is killed.
class EngineRun final : public QObject
{
    Q_OBJECT

public:
    EngineRun(const std::vector<std::string> &decks, int frequencies, int timeLimitMs, QObject *parent = nullptr);
    ~EngineRun() override;

    void start();
    void cancel();

    // The private folder while the run lasts, for the tests.
    [[nodiscard]] QString folder() const;
    [[nodiscard]] bool running() const;

signals:
    void progress(int done, int total);
    void finished(const QStringList &outputs);
    void failed(const QString &message);

private:
    void childFinished();
    void poll();
    void fail(const QString &message);
    void stopAll();

    std::vector<std::string> m_decks;
    int m_frequencies = 0;
    int m_timeLimitMs = 0;
    std::unique_ptr<nec::EngineJob> m_job;
    std::vector<QProcess *> m_children;
    QTimer *m_poll = nullptr;
    QTimer *m_limit = nullptr;
    bool m_over = false;
};

} // namespace tarvelin
