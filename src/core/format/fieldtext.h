// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tarvelin::format {

// Appends `text` as a JSON string literal, quotes included. Input lines are whatever a script feeds in, so
// bytes that are not valid UTF-8 become U+FFFD rather than breaking the JSON.
void appendJsonString(std::string &out, std::string_view text);

// Appends `text` for a terminal: control characters (C0, DEL, C1) and bytes that are not UTF-8 are written as
// \xNN, so that text from the input can never move the cursor, retitle the window or reprogram the terminal.
void appendTerminalText(std::string &out, std::string_view text);

// The same, as a string of its own, for messages.
[[nodiscard]] std::string terminalSafe(std::string_view text);

// Appends `text` as one CSV field, quoted only when it holds a comma, a quote or a line break. A text that
// a spreadsheet would take for a formula (it begins with =, +, -, @, a tab or a carriage return, and is not
// a plain number) gets a leading apostrophe, so opening the file never runs anything.
void appendCsvField(std::string &out, std::string_view text);

// A number with a fixed count of decimals, rounded as printf's "%.*f" rounds: "14.200"; "inf" for an infinity.
[[nodiscard]] std::string fixedText(double value, int decimals);

// Two figures as a message sets them side by side: to `decimals`, or with as many more as either needs to be
// shown as it is (to four more), and where they differ, then as many as it takes to tell them apart.
[[nodiscard]] std::pair<std::string, std::string> distinctTexts(double one, double other, int decimals);

// The kinds of figure the files hold. Each kind is written one way wherever it stands, in CSV and in JSON:
// with the digits what it measures can use, so a file never rounds a value the program computed with.
enum class Figure
{
    Exact,      // lengths in thousandths, loop factors and counts: every digit the value has
    Megahertz,  // 9 significant digits: a hertz at 100 MHz
    Ohms,       // 7 significant digits
    Ratio,      // SWR: 6 significant digits
    Decibels,   // gain, F/B and F/R: 6 significant digits
    Degrees,    // 6 significant digits
    Percent,    // 6 significant digits
    KhzPerInch, // 6 significant digits
    Seconds,    // 4 significant digits
};

// Appends a figure as the files write it. What is no number (an infinite SWR, a NaN) appends nothing: a CSV
// field left empty, which JSON writes as null.
void appendFigure(std::string &out, double value, Figure kind);

// A displayed grid text ("891.549", ".633", "12660.", "807.316 IN.") as whole thousandths of an inch; none
// when it is not such a text.
[[nodiscard]] std::optional<std::int64_t> thousandthsOf(std::string_view text);

} // namespace tarvelin::format
