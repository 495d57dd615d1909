// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/feedrun.h"

#include <complex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace tarvelin::design {

// How the switch box ends the drivers of the bands not in use: closed across their feeds, left open, or
// through each one's own feed line to a switch that is open or closed at the far end.
struct IdleEnd
{
    enum class Kind
    {
        Short,
        Open,
        Line,
    };
    Kind kind = Kind::Short;
    FeedRun line;           // Line: each idle driver's feed line, to the switch
    bool switchOpen = true; // Line: the switch leaves the line's far end open, or closes it
};

// Reads an ending as typed: "short", "open", or "line:LENGTH:LINE:open" or "...:short", LENGTH:LINE as a run
// of line is typed ("3.5m:RG-58", "3.5m:50/0.66/4"). A refusal says what was expected.
[[nodiscard]] std::variant<IdleEnd, std::string> readIdleEnd(std::string_view text);

// "closed", "open", "3.5 m of RG-58 (...) open at the switch": the ending as the check and the sheet name it.
[[nodiscard]] std::string idleEndText(const IdleEnd &end);
// The ending as readIdleEnd() reads it back, every figure exact: "short", "line:3.5m:RG-58:open".
[[nodiscard]] std::string idleEndSpec(const IdleEnd &end);

// The impedance across an idle driver's feed at `mhz`: 0 ohms closed, none open, and through a line the far
// end turned along it, its loss at that frequency as the line's is; `designMHz` is the frequency a typed
// line's loss is given at.
[[nodiscard]] std::optional<std::complex<double>> idleEndOhms(const IdleEnd &end, double mhz, double designMHz);

} // namespace tarvelin::design
