// SPDX-License-Identifier: MIT
#include "gui/runtime/backgroundcalls.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <mutex>
#include <thread>
#include <vector>

namespace tarvelin {

namespace {

// One piece of work. Its thread marks it done and, if somebody still listens, posts `onDone` to `target` on
// the user-interface thread. Both fields change only under the shared mutex.
struct Call
{
    bool done = false;
    QObject *target = nullptr;
    std::function<void()> onDone;
};

} // namespace

struct BackgroundCalls::Shared
{
    std::mutex mutex;
    std::vector<std::shared_ptr<Call>> waitingLate; // calls that outlived their limit and still have a `late`
};

BackgroundCalls::BackgroundCalls() : m_shared(std::make_shared<Shared>()) {}

BackgroundCalls::~BackgroundCalls()
{
    // Work still running must not post to an object that is gone.
    const std::lock_guard lock(m_shared->mutex);
    for (const std::shared_ptr<Call> &call : m_shared->waitingLate)
        call->target = nullptr;
    m_shared->waitingLate.clear();
}

bool BackgroundCalls::run(std::function<void()> work, std::chrono::milliseconds limit, std::function<void()> late)
{
    QEventLoop loop;
    auto call = std::make_shared<Call>();
    call->target = &loop;
    call->onDone = [&loop] { loop.quit(); };

    std::thread([shared = m_shared, call, work = std::move(work)] {
        work();
        const std::lock_guard lock(shared->mutex);
        call->done = true;
        if (call->target)
            QMetaObject::invokeMethod(call->target, std::move(call->onDone), Qt::QueuedConnection);
        call->target = nullptr;
        call->onDone = nullptr;
        std::erase(shared->waitingLate, call);
    }).detach();

    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    loop.exec();
    QGuiApplication::restoreOverrideCursor();

    const std::lock_guard lock(m_shared->mutex);
    if (call->done)
        return true;
    // The loop is about to go; from now on the work answers to this object, if at all.
    call->target = late ? this : nullptr;
    call->onDone = std::move(late);
    if (call->target)
        m_shared->waitingLate.push_back(call);
    return false;
}

} // namespace tarvelin
