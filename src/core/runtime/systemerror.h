// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tarvelin {

// The system's text for an errno value ("No space left on device"), safe to ask from any thread.
[[nodiscard]] std::string systemErrorText(int error);

} // namespace tarvelin
