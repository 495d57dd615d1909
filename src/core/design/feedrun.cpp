// SPDX-License-Identifier: MIT
#include "core/design/feedrun.h"

#include "core/design/designlengths.h"
#include "core/design/arraydesign.h"
#include "core/design/coaxtable.h"
#include "core/format/fieldtext.h"
#include "core/format/typedlength.h"
#include "core/text/typedtext.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace tarvelin::design {

namespace {

// dB per neper: a loss in dB over a length is 20 log10(e) times the line's attenuation constant there.
constexpr double kDecibelsPerNeper = 8.685889638065037;

std::string rangeText(double low, double high, int decimals)
{
    return format::fixedText(low, decimals) + " to " + format::fixedText(high, decimals);
}

} // namespace

std::variant<FeedRun, std::string> readFeedRun(const FeedRunTexts &texts)
{
    using namespace limits;
    FeedRun run;
    if (format::lacksUnit(texts.length))
        return "The line's length needs its unit, m or ft, such as 7 m or 23 ft.";
    run.metres = format::typedMetres(texts.length).value_or(0.0);
    if (!(run.metres > 0.0 && run.metres <= kLongestRunMetres))
        return "The line's length must be a length above 0 and up to " + format::fixedText(kLongestRunMetres, 0) +
               " m, such as 7 m or 23 ft.";
    const CoaxCable *cable = nullptr;
    if (!trimmedText(texts.cable).empty()) {
        cable = findCoaxCable(texts.cable);
        if (!cable)
            return "There is no cable '" + std::string(trimmedText(texts.cable)) + "' in the table: give " +
                   coaxNamesText() + ", or the line's impedance, velocity factor and loss.";
    }
    const std::optional<double> z0 = cable ? std::optional(cable->z0Ohms) : decimalText(withoutUnit(texts.z0, "ohms"));
    if (!z0 || !(*z0 >= kLowestRunZ0Ohms && *z0 <= kHighestRunZ0Ohms))
        return "The line's impedance must be a number of ohms from " +
               rangeText(kLowestRunZ0Ohms, kHighestRunZ0Ohms, 0) + ", such as 75.";
    // A cable's velocity factor as measured, where the builder gives it; its nominal one otherwise.
    const std::optional<double> vf = cable && trimmedText(texts.velocityFactor).empty()
                                         ? std::optional(cable->velocityFactor)
                                         : decimalText(texts.velocityFactor);
    if (!vf || !(*vf >= kLowestRunVelocityFactor && *vf <= kHighestRunVelocityFactor))
        return "The line's velocity factor must be a number from " +
               rangeText(kLowestRunVelocityFactor, kHighestRunVelocityFactor, 1) + ", such as 0.82.";
    const std::optional<double> loss =
        cable || trimmedText(texts.loss).empty() ? std::optional<double>(0.0) : decimalText(texts.loss);
    if (!loss || !(*loss >= 0.0 && *loss <= kHighestRunLossDbPer100m))
        return "The line's loss must be a number of dB per 100 m from " + rangeText(0.0, kHighestRunLossDbPer100m, 0) +
               " at the design frequency, such as 1.5.";
    run.z0Ohms = *z0;
    run.velocityFactor = *vf;
    run.lossDbPer100m = *loss;
    if (cable)
        run.cable = std::string(cable->name);
    return run;
}

std::variant<FeedRun, std::string> readFeedRun(std::string_view text)
{
    const std::string form = "Give the line as LENGTH:Z0/VF/LOSS, such as 7m:75/0.82/1.5, or LENGTH:CABLE, such as "
                             "30m:RG-58.";
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return form;
    FeedRunTexts texts;
    texts.length = std::string(text.substr(0, colon));
    std::vector<std::string> fields;
    std::string_view line = text.substr(colon + 1);
    for (std::size_t slash; (slash = line.find('/')) != std::string_view::npos; line.remove_prefix(slash + 1))
        fields.emplace_back(line.substr(0, slash));
    fields.emplace_back(line);
    // A cable's name may end in "/U", which is no velocity factor.
    if (findCoaxCable(text.substr(colon + 1))) {
        texts.cable = std::string(text.substr(colon + 1));
        return readFeedRun(texts);
    }
    if (fields.size() == 1 && !decimalText(fields[0]))
        texts.cable = fields[0];
    else if (fields.size() < 2 || fields.size() > 3) // the loss may be left out, for a lossless line
        return form;
    if (texts.cable.empty()) {
        texts.z0 = fields[0];
        texts.velocityFactor = fields[1];
        if (fields.size() == 3)
            texts.loss = fields[2];
    }
    return readFeedRun(texts);
}

std::string feedRunText(const FeedRun &run)
{
    if (!run.cable.empty()) {
        const CoaxCable *cable = findCoaxCable(run.cable);
        const bool nominal = cable && cable->velocityFactor == run.velocityFactor;
        return shortestText(run.metres) + " m of " + run.cable + " (" + shortestText(run.z0Ohms) +
               " ohm, velocity factor " + shortestText(run.velocityFactor) + (nominal ? " nominal)" : " as measured)");
    }
    std::string text = shortestText(run.metres) + " m of " + shortestText(run.z0Ohms) + " ohm line, velocity factor " +
                       shortestText(run.velocityFactor);
    text += run.lossDbPer100m > 0.0 ? ", " + shortestText(run.lossDbPer100m) + " dB per 100 m" : ", lossless";
    return text;
}

std::optional<std::string> lossyRunWarning(const FeedRun &run, double designMHz)
{
    const double oneWay = run.lossDbPer100mAt(designMHz, designMHz) * run.metres / 100.0;
    if (!(oneWay > kDeepestRunLossDb))
        return std::nullopt;
    return "The line loses " + format::fixedText(oneWay, 1) + " dB one way at " + frequencyLabel(designMHz) +
           " MHz, so the analyser saw the antenna's reflection " + format::fixedText(2.0 * oneWay, 1) +
           " dB down, near its own noise: the resonance read through it may be off by per cents. Sweep at the "
           "feed point, or through less line.";
}

double FeedRun::lossDbPer100mAt(double mhz, double designMHz) const
{
    if (!cable.empty())
        if (const CoaxCable *named = findCoaxCable(cable))
            return coaxLossDbPer100m(*named, mhz);
    // A conductor's loss rises as the square root of frequency; the dielectric's, small on HF, is taken with it.
    return lossDbPer100m * (designMHz > 0.0 ? std::sqrt(mhz / designMHz) : 1.0);
}

namespace {

// tanh of the run's propagation constant times its length, at `mhz`: what turns an impedance along it.
std::complex<double> turnAlong(const FeedRun &run, double mhz, double designMHz)
{
    const double lossDbPerMetre = run.lossDbPer100mAt(mhz, designMHz) / 100.0;
    const double alpha = lossDbPerMetre / kDecibelsPerNeper;
    const double beta = 2.0 * std::numbers::pi * mhz / (run.velocityFactor * kSpeedOfLightMetresPerMicrosecond);
    return std::tanh(std::complex<double>(alpha, beta) * run.metres);
}

} // namespace

std::complex<double> atNearEnd(const FeedRun &run, std::optional<std::complex<double>> farOhms, double mhz,
                               double designMHz)
{
    const std::complex<double> t = turnAlong(run, mhz, designMHz);
    const double z0 = run.z0Ohms;
    if (!farOhms)
        return z0 / t;
    return z0 * (*farOhms + z0 * t) / (z0 + *farOhms * t);
}

std::complex<double> atFarEnd(const FeedRun &run, std::complex<double> measuredOhms, double mhz, double designMHz)
{
    const std::complex<double> t = turnAlong(run, mhz, designMHz);
    const double z0 = run.z0Ohms;
    // An open end read at the near end is the line's own open-circuit impedance turned back: -Z0 coth(gamma L).
    if (!std::isfinite(std::abs(measuredOhms)))
        return -z0 / t;
    return z0 * (measuredOhms - z0 * t) / (z0 - measuredOhms * t);
}

} // namespace tarvelin::design
