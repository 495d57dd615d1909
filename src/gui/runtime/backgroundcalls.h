// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>

namespace tarvelin {

// Runs blocking work, such as a conversation with the print spooler, on a thread of its own while the
// user-interface thread goes on handling events, under a busy cursor, for at most a time limit. Work that
// outlives the limit is left to finish on its own: its thread never touches anything but what the work
// itself captured, and `late` runs on the user-interface thread when it is done, as long as this object
// still exists.
class BackgroundCalls final : public QObject
{
    Q_OBJECT

public:
    BackgroundCalls();
    ~BackgroundCalls() override;

    // Gives true when the work finished within the limit. While it waits, the windows repaint and take
    // input, so the caller must expect its own window to be used meanwhile.
    [[nodiscard]] bool run(std::function<void()> work, std::chrono::milliseconds limit,
                           std::function<void()> late = {});

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

} // namespace tarvelin
