// SPDX-License-Identifier: MIT
#include "core/measure/feedrun.h"

#include "core/calc/designlengths.h"
#include "core/design/arraydesign.h"
#include "core/format/fieldtext.h"
#include "core/format/typedlength.h"
#include "core/runtime/typedtext.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace tarvelin::nec {

namespace {

// dB per neper: a loss in dB over a length is 20 log10(e) times the line's attenuation constant there.
constexpr double kDecibelsPerNeper = 8.685889638065037;

std::string rangeText(double low, double high, int decimals)
{
    return fixedText(low, decimals) + " to " + fixedText(high, decimals);
}

} // namespace

std::variant<FeedRun, std::string> readFeedRun(const FeedRunTexts &texts)
{
    using namespace limits;
    FeedRun run;
    // To the tenth of a millimetre, as a boom is read: "7 m" is 7 m.
    const std::optional<std::int64_t> thousandths = typedLengthThousandths(texts.length);
    run.metres =
        thousandths ? std::round(static_cast<double>(*thousandths) / 1000.0 * kMetresPerInch * 1e4) / 1e4 : 0.0;
    if (!(run.metres > 0.0 && run.metres <= kLongestRunMetres))
        return "The line's length must be a length above 0 and up to " + fixedText(kLongestRunMetres, 0) +
               " m, such as 7 m or 23 ft.";
    const std::optional<double> z0 = decimalText(withoutUnit(texts.z0, "ohms"));
    if (!z0 || !(*z0 >= kLowestRunZ0Ohms && *z0 <= kHighestRunZ0Ohms))
        return "The line's impedance must be a number of ohms from " +
               rangeText(kLowestRunZ0Ohms, kHighestRunZ0Ohms, 0) + ", such as 75.";
    const std::optional<double> vf = decimalText(texts.velocityFactor);
    if (!vf || !(*vf >= kLowestRunVelocityFactor && *vf <= kHighestRunVelocityFactor))
        return "The line's velocity factor must be a number from " +
               rangeText(kLowestRunVelocityFactor, kHighestRunVelocityFactor, 1) + ", such as 0.82.";
    const std::optional<double> loss =
        trimmedText(texts.loss).empty() ? std::optional<double>(0.0) : decimalText(texts.loss);
    if (!loss || !(*loss >= 0.0 && *loss <= kHighestRunLossDbPer100m))
        return "The line's loss must be a number of dB per 100 m from " + rangeText(0.0, kHighestRunLossDbPer100m, 0) +
               " at the design frequency, such as 1.5.";
    run.z0Ohms = *z0;
    run.velocityFactor = *vf;
    run.lossDbPer100m = *loss;
    return run;
}

std::variant<FeedRun, std::string> readFeedRun(std::string_view text)
{
    const std::string form = "Give the line as LENGTH:Z0/VF/LOSS, such as 7m:75/0.82/1.5.";
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
    if (fields.size() < 2 || fields.size() > 3) // the loss may be left out, for a lossless line
        return form;
    texts.z0 = fields[0];
    texts.velocityFactor = fields[1];
    if (fields.size() == 3)
        texts.loss = fields[2];
    return readFeedRun(texts);
}

std::string feedRunText(const FeedRun &run)
{
    std::string text = shortestText(run.metres) + " m of " + shortestText(run.z0Ohms) + " ohm line, velocity factor " +
                       shortestText(run.velocityFactor);
    text += run.lossDbPer100m > 0.0 ? ", " + shortestText(run.lossDbPer100m) + " dB per 100 m" : ", lossless";
    return text;
}

std::complex<double> atFarEnd(const FeedRun &run, std::complex<double> measuredOhms, double mhz, double designMHz)
{
    // A conductor's loss rises as the square root of frequency; the dielectric's, small on HF, is taken with it.
    const double lossDbPerMetre = run.lossDbPer100m / 100.0 * (designMHz > 0.0 ? std::sqrt(mhz / designMHz) : 1.0);
    const double alpha = lossDbPerMetre / kDecibelsPerNeper;
    const double beta = 2.0 * std::numbers::pi * mhz / (run.velocityFactor * kSpeedOfLightMetresPerMicrosecond);
    const std::complex<double> t = std::tanh(std::complex<double>(alpha, beta) * run.metres);
    const double z0 = run.z0Ohms;
    // An open end read at the near end is the line's own open-circuit impedance turned back: -Z0 coth(gamma L).
    if (!std::isfinite(std::abs(measuredOhms)))
        return -z0 / t;
    return z0 * (measuredOhms - z0 * t) / (z0 - measuredOhms * t);
}

} // namespace tarvelin::nec
