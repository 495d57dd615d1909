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

void runHandler(MessageBoxService &messages, const std::function<void()> &handler);

} // namespace tarvelin
