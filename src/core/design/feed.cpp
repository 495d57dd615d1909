// SPDX-License-Identifier: MIT
#include "core/design/feed.h"

#include "core/design/arraydesign.h"
#include "core/design/coaxtable.h"
#include "core/format/fieldtext.h"
#include "core/format/jsonwriter.h"
#include "core/text/typedtext.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace tarvelin::design {

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
    const bool lineGiven = !trimmedText(texts.line).empty();
    if (match.kind != MatchKind::QuarterWave) {
        if (z0Given || vfGiven || lineGiven)
            return MatchRefusal{lineGiven ? MatchRefusal::Setting::Line
                                : z0Given ? MatchRefusal::Setting::Z0
                                          : MatchRefusal::Setting::VelocityFactor,
                                "A line's cable, impedance and velocity factor belong to a quarter-wave section."};
        return match;
    }
    const CoaxCable *cable = nullptr;
    if (lineGiven) {
        cable = findCoaxCable(texts.line);
        if (!cable)
            return MatchRefusal{MatchRefusal::Setting::Line,
                                "There is no cable '" + std::string(trimmedText(texts.line)) + "' in the table: give " +
                                    coaxNamesText() + ", or the line's impedance and velocity factor."};
        if (z0Given)
            return MatchRefusal{MatchRefusal::Setting::Z0, "The cable " + std::string(cable->name) +
                                                               " gives the section's impedance: give one or the "
                                                               "other."};
    } else if (!z0Given) {
        return MatchRefusal{MatchRefusal::Setting::Line,
                            "A quarter-wave section needs its line: a cable from the table, "
                            "such as RG-11, or its impedance and velocity factor."};
    }
    const std::optional<double> z0 = cable ? std::optional(cable->z0Ohms) : decimalText(withoutUnit(texts.z0, "ohms"));
    if (!z0 || !(*z0 >= limits::kLowestSectionZ0Ohms && *z0 <= limits::kHighestSectionZ0Ohms))
        return MatchRefusal{MatchRefusal::Setting::Z0, "The section's line impedance must be a number of ohms from " +
                                                           format::fixedText(limits::kLowestSectionZ0Ohms, 0) + " to " +
                                                           format::fixedText(limits::kHighestSectionZ0Ohms, 0) +
                                                           ", such as 75."};
    // A cable's velocity factor as the builder measured it, where given; its nominal one otherwise.
    const std::optional<double> vf =
        cable && !vfGiven ? std::optional(cable->velocityFactor) : decimalText(trimmedText(texts.velocityFactor));
    if (!vf || !(*vf >= limits::kLowestVelocityFactor && *vf <= limits::kHighestVelocityFactor))
        return MatchRefusal{MatchRefusal::Setting::VelocityFactor,
                            "The section's velocity factor must be a number from " +
                                format::fixedText(limits::kLowestVelocityFactor, 1) + " to " +
                                format::fixedText(limits::kHighestVelocityFactor, 1) + ", such as 0.66."};
    match.z0Ohms = *z0;
    match.velocityFactor = *vf;
    if (cable)
        match.line = std::string(cable->name);
    return match;
}

bool nominalVelocityFactor(const Match &match)
{
    const CoaxCable *cable = match.line.empty() ? nullptr : findCoaxCable(match.line);
    return cable && cable->velocityFactor == match.velocityFactor;
}

double sectionMetres(const Match &match, double designMHz)
{
    return match.velocityFactor * design::kSpeedOfLightMetresPerMicrosecond / (4.0 * designMHz);
}

namespace {

// tan of the section's electrical length at `mhz`: a quarter wave, 90 degrees, at the design frequency.
double sectionTan(double mhz, double designMHz)
{
    return std::tan(std::numbers::pi / 2.0 * mhz / designMHz);
}

} // namespace

double swrOf(double resistanceOhms, double reactanceOhms, double z0Ohms)
{
    const std::complex<double> z(resistanceOhms, reactanceOhms);
    const double gamma = std::abs((z - z0Ohms) / (z + z0Ohms));
    if (!(gamma < 1.0))
        return std::numeric_limits<double>::infinity();
    return (1.0 + gamma) / (1.0 - gamma);
}

std::complex<double> throughMatch(const Match &match, std::complex<double> feedOhms, double mhz, double designMHz)
{
    switch (match.kind) {
    case MatchKind::Direct:
        return feedOhms;
    case MatchKind::Balun4:
        return feedOhms / 4.0;
    case MatchKind::QuarterWave:
        break;
    }
    const std::complex<double> j(0.0, 1.0);
    const double z0 = match.z0Ohms;
    const double t = sectionTan(mhz, designMHz);
    return z0 * (feedOhms + j * z0 * t) / (z0 + j * feedOhms * t);
}

std::complex<double> behindSection(const Match &match, std::complex<double> lineOhms, double mhz, double designMHz)
{
    if (match.kind != MatchKind::QuarterWave)
        return lineOhms;
    const std::complex<double> j(0.0, 1.0);
    const double z0 = match.z0Ohms;
    const double t = sectionTan(mhz, designMHz);
    // An open end at the section's input: the section itself, open, seen from its far end.
    if (!std::isfinite(std::abs(lineOhms)))
        return j * z0 / t;
    return z0 * (lineOhms - j * z0 * t) / (z0 - j * lineOhms * t);
}

std::complex<double> behindMatch(const Match &match, std::complex<double> lineOhms, double mhz, double designMHz)
{
    return match.kind == MatchKind::Balun4 ? lineOhms * 4.0 : behindSection(match, lineOhms, mhz, designMHz);
}

void writeMatchRecord(format::JsonWriter &json, std::string_view key, const Match &match)
{
    json.beginRecord(key).text("kind", matchKindName(match.kind));
    if (match.kind == MatchKind::QuarterWave) {
        json.number("z0", match.z0Ohms, format::Figure::Exact)
            .number("vf", match.velocityFactor, format::Figure::Exact);
        if (!match.line.empty())
            json.text("line", match.line);
    }
    json.endRecord();
}

double idealSectionZ0Ohms(double feedOhms, double lineOhms)
{
    return std::sqrt(feedOhms * lineOhms);
}

} // namespace tarvelin::design
