// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace tarvelin {

class MessageBoxService;
class RuntimeError;

// Exit status of a program ended by a run-time error that no handler caught.
inline constexpr int kExitUnhandledError = 3;

// The report for a run-time error that reaches a handler without error handling of its own: a message that
// names the error, then the program ends with kExitUnhandledError. Every event handler of the windows runs
// through runHandler, so no exception ever crosses into Qt's event loop.
void reportUnhandledError(const RuntimeError &error, MessageBoxService &messages);

// Runs an event handler. A run-time error gets the report above; any other exception (memory, a thread the
// system would not start) abandons the handler's work with a warning that names it, and the program goes on.
void runHandler(MessageBoxService &messages, const std::function<void()> &handler);

// A slot of `object` that runs `method` through runHandler, for connecting the windows' signals.
template <typename Object, typename... Arguments>
[[nodiscard]] auto guardedSlot(MessageBoxService &messages, Object *object, void (Object::*method)(Arguments...))
{
    return [&messages, object, method](Arguments... arguments) {
        runHandler(messages, [&] { (object->*method)(arguments...); });
    };
}

} // namespace tarvelin
