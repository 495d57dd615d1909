// SPDX-License-Identifier: MIT
#include "core/design/idleend.h"

#include "core/design/designlengths.h"
#include "core/text/typedtext.h"

namespace tarvelin::design {

namespace {

constexpr std::string_view kLinePrefix = "line:";

std::string lower(std::string_view text)
{
    std::string out;
    for (const char c : trimmedText(text))
        out += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return out;
}

} // namespace

std::variant<IdleEnd, std::string> readIdleEnd(std::string_view text)
{
    const std::string form = "Give the idle drivers' ending as short, open, or line:LENGTH:LINE:open or "
                             "line:LENGTH:LINE:short, such as line:3.5m:RG-58:open";
    const std::string typed = lower(text);
    if (typed == "short")
        return IdleEnd{IdleEnd::Kind::Short, {}, true};
    if (typed == "open")
        return IdleEnd{IdleEnd::Kind::Open, {}, true};
    const std::size_t last = typed.rfind(':');
    if (!typed.starts_with(kLinePrefix) || last == std::string::npos || last < kLinePrefix.size())
        return form;
    const std::string switchEnd = typed.substr(last + 1);
    if (switchEnd != "open" && switchEnd != "short")
        return form;
    // The run as typed, its cable's name in the case it was given in.
    const std::string_view trimmed = trimmedText(text);
    auto run = readFeedRun(trimmed.substr(kLinePrefix.size(), last - kLinePrefix.size()));
    if (const auto *refusal = std::get_if<std::string>(&run))
        return *refusal;
    return IdleEnd{IdleEnd::Kind::Line, std::get<FeedRun>(run), switchEnd == "open"};
}

std::string idleEndText(const IdleEnd &end)
{
    switch (end.kind) {
    case IdleEnd::Kind::Short:
        return "closed";
    case IdleEnd::Kind::Open:
        return "open";
    case IdleEnd::Kind::Line:
        break;
    }
    return feedRunText(end.line) + (end.switchOpen ? ", open at the switch" : ", closed at the switch");
}

std::string idleEndSpec(const IdleEnd &end)
{
    switch (end.kind) {
    case IdleEnd::Kind::Short:
        return "short";
    case IdleEnd::Kind::Open:
        return "open";
    case IdleEnd::Kind::Line:
        break;
    }
    const FeedRun &run = end.line;
    const std::string line = run.cable.empty() ? shortestText(run.z0Ohms) + "/" + shortestText(run.velocityFactor) + "/" +
                                                     shortestText(run.lossDbPer100m)
                                               : run.cable;
    return "line:" + shortestText(run.metres) + "m:" + line + (end.switchOpen ? ":open" : ":short");
}

std::optional<std::complex<double>> idleEndOhms(const IdleEnd &end, double mhz, double designMHz)
{
    switch (end.kind) {
    case IdleEnd::Kind::Short:
        return std::complex<double>(0.0, 0.0);
    case IdleEnd::Kind::Open:
        return std::nullopt;
    case IdleEnd::Kind::Line:
        break;
    }
    return atNearEnd(end.line, end.switchOpen ? std::nullopt : std::optional(std::complex<double>(0.0, 0.0)), mhz,
                     designMHz);
}

} // namespace tarvelin::design
