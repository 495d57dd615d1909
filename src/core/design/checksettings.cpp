// SPDX-License-Identifier: MIT
#include "core/design/checksettings.h"

#include "core/text/typedtext.h"
#include "core/format/typedlength.h"

#include <array>
#include <charconv>
#include <cmath>

namespace tarvelin::design {

namespace {

constexpr double kMetresPerThousandth = 0.0000254;

CheckSettingRefusal refusal(CheckSetting setting)
{
    switch (setting) {
    case CheckSetting::WireDiameter:
        return {setting, "The wire diameter must be a number of millimetres from 0.1 to 20."};
    case CheckSetting::Awg:
        return {setting, "The AWG gauge must be a whole number from 8 to 20."};
    case CheckSetting::Segments:
        return {setting, "The segments per side must be an odd number from 5 to 51."};
    case CheckSetting::Span:
        return {setting, "The sweep span must be a number of percent from 0.5 to 20."};
    case CheckSetting::Points:
        return {setting, "The number of points must be an odd number from 3 to 101."};
    case CheckSetting::Z0:
        return {setting, "The feed line impedance must be a number of ohms from 1 to 1000."};
    case CheckSetting::GroundHeight:
        return {setting, "The boom height must be a length above the ground and below 1000 m, such as 15 m or 50 ft."};
    case CheckSetting::Insulation:
        return {setting, "The insulation must be a thickness in millimetres from 0 (bare wire) to 5."};
    case CheckSetting::Permittivity:
        return {setting, "The insulation's permittivity must be a number from 1 to 10, such as 3.5 for PVC."};
    }
    return {setting, {}};
}

// A setting as the note gives it: "0.4", "3.5".
std::string decimalLabel(double value)
{
    std::array<char, 32> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::general, 4);
    return {text.data(), written.ptr};
}

bool within(double value, double lowest, double highest)
{
    return value >= lowest && value <= highest;
}

bool oddWithin(int value, int fewest, int most)
{
    return value >= fewest && value <= most && value % 2 == 1;
}

} // namespace

double jacketHenriesPerMetre(const CheckSettings &settings)
{
    if (!(settings.insulationMm > 0.0))
        return 0.0;
    constexpr double kMu0Over2Pi = 2e-7; // H/m
    const double radiusMm = settings.wireDiameterMm / 2.0;
    return kMu0Over2Pi * (1.0 - 1.0 / settings.permittivity) * std::log((radiusMm + settings.insulationMm) / radiusMm);
}

std::string jacketNote(const CheckSettings &settings)
{
    if (!(settings.insulationMm > 0.0))
        return {};
    return "The wire's insulation (" + decimalLabel(settings.insulationMm) + " mm, permittivity " +
           decimalLabel(settings.permittivity) +
           ") is modelled as for a straight wire, an estimate on a closed loop: a measured sweep corrects it.";
}

std::string modelledText(const CheckSettings &settings)
{
    return "Modelled with the NEC-2 engine nec2c: wire " + decimalLabel(settings.wireDiameterMm) + " mm, " +
           std::to_string(settings.segments) + " segments per side, " + (settings.lossless ? "lossless" : "copper") +
           ", " +
           (settings.groundHeightMetres
                ? "boom " + decimalLabel(*settings.groundHeightMetres) + " m over average ground"
                : std::string("free space")) +
           "; sweep \u00b1" + decimalLabel(settings.spanPercent) + " % in " + std::to_string(settings.points) +
           " points; SWR against " + decimalLabel(settings.z0Ohms) + " \u03a9.";
}

double awgDiameterMm(int gauge)
{
    return 0.127 * std::pow(92.0, (36.0 - gauge) / 39.0);
}

std::optional<CheckSettingRefusal> checkSettingsProblem(const CheckSettings &settings)
{
    using namespace limits;
    if (!within(settings.wireDiameterMm, kLowestWireMm, kHighestWireMm))
        return refusal(CheckSetting::WireDiameter);
    if (!oddWithin(settings.segments, kFewestSegments, kMostSegments))
        return refusal(CheckSetting::Segments);
    if (!within(settings.spanPercent, kNarrowestSpanPercent, kWidestSpanPercent))
        return refusal(CheckSetting::Span);
    if (!oddWithin(settings.points, kFewestPoints, kMostPoints))
        return refusal(CheckSetting::Points);
    if (!within(settings.z0Ohms, kLowestZ0Ohms, kHighestZ0Ohms))
        return refusal(CheckSetting::Z0);
    if (settings.groundHeightMetres &&
        !(*settings.groundHeightMetres > 0.0 && *settings.groundHeightMetres < kHighestBoomMetres))
        return refusal(CheckSetting::GroundHeight);
    if (!within(settings.insulationMm, 0.0, kThickestInsulationMm))
        return refusal(CheckSetting::Insulation);
    if (!within(settings.permittivity, kLowestPermittivity, kHighestPermittivity))
        return refusal(CheckSetting::Permittivity);
    return std::nullopt;
}

std::variant<double, CheckSettingRefusal> readGroundHeight(const std::string &text)
{
    if (format::lacksUnit(text))
        return CheckSettingRefusal{CheckSetting::GroundHeight,
                                   "The boom's height needs its unit, m or ft, such as 15 m or 50 ft."};
    const std::optional<std::int64_t> height = format::typedLengthThousandths(text);
    if (!height || *height <= 0)
        return refusal(CheckSetting::GroundHeight);
    return static_cast<double>(*height) * kMetresPerThousandth;
}

std::variant<CheckSettings, CheckSettingRefusal> readCheckSettings(const CheckSettingTexts &texts)
{
    CheckSettings settings;
    const auto empty = [](const std::string &text) { return trimmedText(text).empty(); };
    if (!empty(texts.awg)) {
        const std::optional<int> gauge = wholeText(texts.awg);
        if (!gauge || *gauge < limits::kLowestAwg || *gauge > limits::kHighestAwg)
            return refusal(CheckSetting::Awg);
        if (!empty(texts.wireMm))
            return CheckSettingRefusal{CheckSetting::Awg, "Give the wire as a diameter or as an AWG gauge, not both."};
        settings.wireDiameterMm = awgDiameterMm(*gauge);
    } else if (!empty(texts.wireMm)) {
        const std::optional<double> diameter = decimalText(texts.wireMm);
        if (!diameter)
            return refusal(CheckSetting::WireDiameter);
        settings.wireDiameterMm = *diameter;
    }
    const auto whole = [&](const std::string &text, int &into) -> bool {
        if (empty(text))
            return true;
        const std::optional<int> value = wholeText(text);
        if (!value)
            return false;
        into = *value;
        return true;
    };
    const auto decimal = [&](const std::string &text, double &into) -> bool {
        if (empty(text))
            return true;
        const std::optional<double> value = decimalText(text);
        if (!value)
            return false;
        into = *value;
        return true;
    };
    if (!whole(texts.segments, settings.segments))
        return refusal(CheckSetting::Segments);
    if (!decimal(texts.span, settings.spanPercent))
        return refusal(CheckSetting::Span);
    if (!whole(texts.points, settings.points))
        return refusal(CheckSetting::Points);
    if (!decimal(texts.z0, settings.z0Ohms))
        return refusal(CheckSetting::Z0);
    if (!decimal(texts.insulation, settings.insulationMm))
        return refusal(CheckSetting::Insulation);
    if (!decimal(texts.permittivity, settings.permittivity))
        return refusal(CheckSetting::Permittivity);
    // A permittivity is a jacket's: on bare wire it would be taken and mean nothing.
    if (!empty(texts.permittivity) && !(settings.insulationMm > 0.0))
        return CheckSettingRefusal{CheckSetting::Permittivity,
                                   "The permittivity is the jacket's: give the insulation's thickness too."};
    settings.lossless = texts.lossless;
    if (texts.groundHeight) {
        auto height = readGroundHeight(*texts.groundHeight);
        if (auto *refused = std::get_if<CheckSettingRefusal>(&height))
            return std::move(*refused);
        settings.groundHeightMetres = std::get<double>(height);
    }
    if (std::optional<CheckSettingRefusal> problem = checkSettingsProblem(settings))
        return *problem;
    return settings;
}

} // namespace tarvelin::design
