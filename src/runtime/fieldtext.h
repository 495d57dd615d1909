// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tarvelin {

// Appends `text` as a JSON string literal, quotes included. Input lines are whatever a script feeds in, so
// bytes that are not valid UTF-8 become U+FFFD rather than breaking the JSON.
void appendJsonString(std::string &out, std::string_view text);

// Appends `text` for a terminal: control characters (C0, DEL, C1) and bytes that are not UTF-8 are written as
// \xNN, so that text from the input can never move the cursor, retitle the window or reprogram the terminal.
void appendTerminalText(std::string &out, std::string_view text);

// The same, as a string of its own, for messages.
[[nodiscard]] std::string terminalSafe(std::string_view text);

// Appends `text` as one CSV field, quoted only when it holds a comma, a quote or a line break.
void appendCsvField(std::string &out, std::string_view text);

} // namespace tarvelin
