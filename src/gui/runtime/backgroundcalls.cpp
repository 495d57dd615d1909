// SPDX-License-Identifier: MIT
#include "gui/runtime/backgroundcalls.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>

#include <mutex>
#include <thread>
#include <vector>

namespace tarvelin {

namespace {

// One piece of work. When it is done, its thread posts `onDone` to `target` on the user-interface thread, if
// somebody still listens. Both fields change only under the shared mutex.
struct Call
{
    QObject *target = nullptr;
    std::function<void()> onDone;
};

} // namespace

struct BackgroundCalls::Shared
{
    std::mutex mutex;
    std::vector<std::shared_ptr<Call>> running;
};

BackgroundCalls::BackgroundCalls() : m_shared(std::make_shared<Shared>()) {}

BackgroundCalls::~BackgroundCalls()
{
    // Work still running must not post to an object that is gone.
    const std::lock_guard lock(m_shared->mutex);
    for (const std::shared_ptr<Call> &call : m_shared->running)
        call->target = nullptr;
    m_shared->running.clear();
    for (; m_pending > 0; --m_pending)
        QGuiApplication::restoreOverrideCursor();
}

void BackgroundCalls::start(std::function<void()> work, std::chrono::milliseconds limit,
                            std::function<void(bool)> answered, std::function<void()> late)
{
    // Whichever comes first, the work's end or the limit, answers; the work's end after the limit is late.
    struct Answer
    {
        bool given = false;
        QPointer<QTimer> timer;
    };
    auto answer = std::make_shared<Answer>();
    const auto give = [this, answer, answered](bool finished) {
        if (answer->given)
            return false;
        answer->given = true;
        if (answer->timer)
            answer->timer->deleteLater();
        --m_pending;
        QGuiApplication::restoreOverrideCursor();
        answered(finished);
        return true;
    };

    auto call = std::make_shared<Call>();
    call->target = this;
    call->onDone = [give, late = std::move(late)] {
        if (!give(true) && late)
            late();
    };
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->running.push_back(call);
    }
    try {
        std::thread([shared = m_shared, call, work = std::move(work)] {
            work();
            const std::lock_guard lock(shared->mutex);
            if (call->target)
                QMetaObject::invokeMethod(call->target, std::move(call->onDone), Qt::QueuedConnection);
            call->target = nullptr;
            call->onDone = nullptr;
            std::erase(shared->running, call);
        }).detach();
    } catch (...) {
        const std::lock_guard lock(m_shared->mutex);
        std::erase(m_shared->running, call);
        throw;
    }

    ++m_pending;
    QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    answer->timer = new QTimer(this);
    answer->timer->setSingleShot(true);
    connect(answer->timer, &QTimer::timeout, this, [give] { give(false); });
    answer->timer->start(limit);
}

} // namespace tarvelin
