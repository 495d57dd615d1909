// SPDX-License-Identifier: MIT
#include "gui/windows/tunerun.h"

#include "gui/windows/enginerun.h"

#include <QPointer>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tarvelin {

// One round of decks handed from the searches' thread to the event loop, and its outputs handed back.
struct TuneRun::Round
{
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    std::variant<std::vector<std::string>, std::string> outputs;

    void end(std::variant<std::vector<std::string>, std::string> result)
    {
        const std::lock_guard lock(mutex);
        if (done)
            return;
        outputs = std::move(result);
        done = true;
        ended.notify_all();
    }
};

namespace {

constexpr auto kCancelled = "Cancelled.";

} // namespace

TuneRun::TuneRun(nec::ArrayGeometry geometry, nec::CheckSettings settings, nec::TuneSettings tune, double startFactor,
                 int engineTimeLimitMs, QObject *parent)
    : QObject(parent), m_geometry(std::move(geometry)), m_settings(settings), m_tune(tune), m_startFactor(startFactor),
      m_engineTimeLimitMs(engineTimeLimitMs)
{
}

TuneRun::~TuneRun()
{
    // The searches notice within a moment; what they had posted to this object is dropped with it.
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void TuneRun::start()
{
    if (m_thread.joinable())
        return;
    const nec::DeckRunner runDecks =
        [this](const std::vector<std::string> &decks) -> std::variant<std::vector<std::string>, std::string> {
        auto round = std::make_shared<Round>();
        if (m_cancel.load())
            return std::string(kCancelled);
        QMetaObject::invokeMethod(
            this, [this, decks, round] { startRound(decks, round); }, Qt::QueuedConnection);
        std::unique_lock lock(round->mutex);
        // Never wait on an event loop that may be closing the window: Cancel ends the wait at once.
        while (!round->done) {
            if (m_cancel.load())
                return std::string(kCancelled);
            round->ended.wait_for(lock, std::chrono::milliseconds(50));
        }
        return round->outputs;
    };
    m_thread = std::thread([this, runDecks] {
        const nec::Evaluator evaluate = nec::necEvaluator(m_geometry, m_settings, m_tune, runDecks);
        auto tuned = nec::tuneLoops(m_tune, m_startFactor, evaluate, m_cancel, [this](int evaluations) {
            QMetaObject::invokeMethod(
                this, [this, evaluations] { emit progress(evaluations); }, Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(
            this,
            [this, tuned = std::move(tuned)] {
                if (m_thread.joinable())
                    m_thread.join();
                if (const auto *failure = std::get_if<std::string>(&tuned)) {
                    emit failed(QString::fromStdString(*failure));
                    return;
                }
                m_result = std::get<nec::TuneResult>(tuned);
                emit finished();
            },
            Qt::QueuedConnection);
    });
}

void TuneRun::cancel()
{
    m_cancel = true;
    if (m_engine)
        m_engine->cancel();
}

// On the event loop: one engine run for the round, its end handed back to the searches.
void TuneRun::startRound(const std::vector<std::string> &decks, const std::shared_ptr<Round> &round)
{
    if (m_cancel.load()) {
        round->end(std::string(kCancelled));
        return;
    }
    delete m_engine;
    m_engine = new EngineRun(decks, static_cast<int>(decks.size()) * nec::kBandPoints, m_engineTimeLimitMs, this);
    connect(m_engine, &EngineRun::finished, this, [round](const QStringList &outputs) {
        std::vector<std::string> texts;
        for (const QString &output : outputs)
            texts.push_back(output.toStdString());
        round->end(std::move(texts));
    });
    connect(m_engine, &EngineRun::failed, this, [round](const QString &message) { round->end(message.toStdString()); });
    m_engine->start();
}

} // namespace tarvelin
