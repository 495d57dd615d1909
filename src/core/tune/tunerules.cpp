// SPDX-License-Identifier: MIT
// When a tune may start, and where it starts from.
#include "core/tune/tuner.h"

namespace tarvelin::tune {

bool sameCheck(const design::ArrayGeometry &now, const design::CheckSettings &settings,
               const design::ArrayGeometry &checked, const design::CheckSettings &ran)
{
    return settings == ran && now.designMHz == checked.designMHz && now.elementCount() == checked.elementCount();
}

std::optional<std::string> tuneStartRefusal(bool running, bool checked, bool checkCurrent)
{
    if (running)
        return "A run is under way: Tune Loops can start once it has ended.";
    if (!checked)
        return "Run the check first: Tune Loops tunes the design the check shows.";
    if (!checkCurrent)
        return "The settings or the frequency changed since the check: Run it again, then tune.";
    return std::nullopt;
}

double tuneStartFactor(const check::CheckSummary &check)
{
    return check.resonanceMHz && check.design.mhz > 0.0 ? *check.resonanceMHz / check.design.mhz : 1.0;
}

} // namespace tarvelin::tune
