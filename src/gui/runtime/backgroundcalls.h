// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>

namespace tarvelin {

// Runs blocking work, such as a conversation with the print spooler, on a thread of its own while the
// user-interface thread goes on with its event loop, under a busy cursor, for at most a time limit. Nothing
// waits: `answered` runs on the user-interface thread when the work is done (true) or when the limit has
// passed first (false). Work that outlives the limit is left to finish on its own: its thread never touches
// anything but what the work itself captured, and `late` runs on the user-interface thread when it is done.
// Neither runs once this object is gone.
class BackgroundCalls final : public QObject
{
    Q_OBJECT

public:
    BackgroundCalls();
    ~BackgroundCalls() override;

    // Starting the thread can fail (std::system_error); then nothing has started and nothing will run.
    void start(std::function<void()> work, std::chrono::milliseconds limit, std::function<void(bool)> answered,
               std::function<void()> late = {});

    // Work started whose answer has not come yet.
    [[nodiscard]] int pending() const { return m_pending; }

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    int m_pending = 0;
};

} // namespace tarvelin
