// SPDX-License-Identifier: MIT
#include "core/design/feed.h"

#include "core/design/arraydesign.h"
#include "core/format/fieldtext.h"
#include "core/runtime/typedtext.h"

#include <cmath>

namespace tarvelin {

const char *matchKindName(MatchKind kind)
{
    switch (kind) {
    case MatchKind::Direct:
        return "direct";
    case MatchKind::Balun4:
        return "balun4";
    case MatchKind::QuarterWave:
        return "quarter-wave";
    }
    return "direct";
}

std::variant<Match, MatchRefusal> readMatch(const MatchTexts &texts)
{
    Match match;
    const std::string kind(trimmedText(texts.kind));
    if (kind == "balun4")
        match.kind = MatchKind::Balun4;
    else if (kind == "quarter-wave")
        match.kind = MatchKind::QuarterWave;
    else if (!kind.empty() && kind != "direct")
        return MatchRefusal{MatchRefusal::Setting::Kind, "The match must be direct, balun4 or quarter-wave."};
    const bool z0Given = !trimmedText(texts.z0).empty();
    const bool vfGiven = !trimmedText(texts.velocityFactor).empty();
    if (match.kind != MatchKind::QuarterWave) {
        if (z0Given || vfGiven)
            return MatchRefusal{z0Given ? MatchRefusal::Setting::Z0 : MatchRefusal::Setting::VelocityFactor,
                                "A line's impedance and velocity factor belong to a quarter-wave section."};
        return match;
    }
    const std::optional<double> z0 = decimalText(withoutUnit(texts.z0, "ohms"));
    if (!z0 || !(*z0 >= limits::kLowestSectionZ0Ohms && *z0 <= limits::kHighestSectionZ0Ohms))
        return MatchRefusal{MatchRefusal::Setting::Z0, "The section's line impedance must be a number of ohms from " +
                                                           fixedText(limits::kLowestSectionZ0Ohms, 0) + " to " +
                                                           fixedText(limits::kHighestSectionZ0Ohms, 0) +
                                                           ", such as 75."};
    const std::optional<double> vf = decimalText(trimmedText(texts.velocityFactor));
    if (!vf || !(*vf >= limits::kLowestVelocityFactor && *vf <= limits::kHighestVelocityFactor))
        return MatchRefusal{MatchRefusal::Setting::VelocityFactor,
                            "The section's velocity factor must be a number from " +
                                fixedText(limits::kLowestVelocityFactor, 1) + " to " +
                                fixedText(limits::kHighestVelocityFactor, 1) + ", such as 0.66."};
    match.z0Ohms = *z0;
    match.velocityFactor = *vf;
    return match;
}

double sectionMetres(const Match &match, double designMHz)
{
    return match.velocityFactor * nec::kSpeedOfLightMetresPerMicrosecond / (4.0 * designMHz);
}

double idealSectionZ0Ohms(double feedOhms, double lineOhms)
{
    return std::sqrt(feedOhms * lineOhms);
}

} // namespace tarvelin
