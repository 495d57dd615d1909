// SPDX-License-Identifier: MIT
#include "core/nec/tuneddesign.h"

#include "core/format/fieldtext.h"
#include "core/format/jsonwriter.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace tarvelin::nec {

namespace {

constexpr std::string_view kFormat = "tarvelin-tuned-design";
constexpr int kVersion = 1;

using Json = nlohmann::json;

std::optional<double> numberAt(const Json &record, const char *key)
{
    const auto field = record.find(key);
    if (field == record.end() || !field->is_number())
        return std::nullopt;
    const double value = field->get<double>();
    return std::isfinite(value) ? std::optional(value) : std::nullopt;
}

// The figures the file keeps of a design: those at the design frequency, and the worst over the band.
BandFigures figuresFrom(const Json &record)
{
    BandFigures figures;
    if (!record.is_object())
        return figures;
    figures.design.swr = numberAt(record, "swr").value_or(0.0);
    figures.design.gainDbi = numberAt(record, "gain_dbi").value_or(0.0);
    figures.design.frontToBackDb = numberAt(record, "fb_db").value_or(0.0);
    figures.design.frontToRearDb = numberAt(record, "fr_db").value_or(0.0);
    figures.swr = {numberAt(record, "worst_swr").value_or(figures.design.swr)};
    figures.frontToBackDb = {numberAt(record, "min_fb_db").value_or(figures.design.frontToBackDb)};
    return figures;
}

std::string wireText(double mm)
{
    return fixedText(mm, 2) + " mm wire";
}

std::string groundText(const std::optional<double> &metres)
{
    return metres ? "over ground with the boom at " + fixedText(*metres, 1) + " m" : "in free space";
}

} // namespace

std::string tunedDesignText(const TunedDesign &design, const DesignLengths &lengths)
{
    std::string text;
    JsonWriter json(text);
    json.beginRecord().text("format", kFormat).whole("version", kVersion);
    json.beginRecord("settings")
        .number("wire_mm", design.check.wireDiameterMm, Figure::Exact)
        .whole("segments", design.check.segments)
        .flag("lossless", design.check.lossless)
        .number("ground_height_m", design.check.groundHeightMetres, Figure::Exact)
        .number("z0_ohms", design.check.z0Ohms, Figure::Exact)
        .number("insulation_mm", design.check.insulationMm, Figure::Exact)
        .number("permittivity", design.check.permittivity, Figure::Exact)
        .number("max_swr", design.tune.maxSwr, Figure::Exact)
        .number("min_fb_db", design.tune.minFrontToBackDb, Figure::Exact)
        .endRecord();
    // The lengths at full precision: the specified loop times its factor, which the sheet cuts.
    json.beginList("factors");
    for (const double factor : design.result.factors)
        json.number({}, factor, Figure::Exact);
    json.endList().beginList("lengths_in");
    for (std::size_t i = 0; i < kLoopCount; ++i)
        json.number({}, static_cast<double>(lengths.loopThousandths[i]) / 1000.0 * design.result.factors[i],
                    Figure::Exact);
    json.endList();
    writeTuneFields(json, design.frequencyText, lengths, design.result, design.tune);
    json.endRecord().endLine();
    return text;
}

std::variant<TunedDesign, std::string> readTunedDesign(std::string_view text)
{
    const Json file = Json::parse(text.begin(), text.end(), nullptr, false);
    if (file.is_discarded() || !file.is_object())
        return std::string("It is not JSON: a tuned design is saved by Tune Loops or tarvelin-calc --tune --save.");
    const auto format = file.find("format");
    if (format == file.end() || !format->is_string() || format->get<std::string>() != kFormat)
        return std::string("It is not a tuned design: a tuned design is saved by Tune Loops or tarvelin-calc --tune "
                           "--save.");
    const auto version = file.find("version");
    if (version == file.end() || !version->is_number_integer() || version->get<int>() != kVersion)
        return std::string("It is a tuned design of another version of Tarvelin, which this one cannot read.");

    TunedDesign design;
    const auto frequency = file.find("frequency");
    const auto settings = file.find("settings");
    const auto factors = file.find("factors");
    if (frequency == file.end() || !frequency->is_string() || settings == file.end() || !settings->is_object() ||
        factors == file.end() || !factors->is_array() || factors->size() != kLoopCount)
        return std::string("It lacks its frequency, its settings or its seven loop factors.");
    design.frequencyText = frequency->get<std::string>();
    for (std::size_t i = 0; i < kLoopCount; ++i) {
        const Json &factor = (*factors)[i];
        const double value = factor.is_number() ? factor.get<double>() : 0.0;
        // A factor within the tuner's bounds, as the tune gave it.
        if (!(std::fabs(value - 1.0) <= kLoopFactorLimit + 1e-12))
            return "Loop factor " + std::to_string(i + 1) + " is not a number within " +
                   fixedText(kLoopFactorLimit * 100.0, 0) + " % of the specified loop.";
        design.result.factors[i] = value;
    }
    const std::optional<double> wire = numberAt(*settings, "wire_mm");
    const auto segments = settings->find("segments");
    const auto lossless = settings->find("lossless");
    const std::optional<double> z0 = numberAt(*settings, "z0_ohms");
    const auto ground = settings->find("ground_height_m");
    if (!wire || segments == settings->end() || !segments->is_number_integer() || lossless == settings->end() ||
        !lossless->is_boolean() || !z0 || ground == settings->end() || !(ground->is_null() || ground->is_number()))
        return std::string("Its settings are incomplete: the wire, the segments, the losses, the ground and the "
                           "feed line are all needed.");
    design.check.wireDiameterMm = *wire;
    design.check.segments = segments->get<int>();
    design.check.lossless = lossless->get<bool>();
    design.check.z0Ohms = *z0;
    if (ground->is_number())
        design.check.groundHeightMetres = ground->get<double>();
    // A design saved before jackets were modelled was tuned for bare wire.
    design.check.insulationMm = numberAt(*settings, "insulation_mm").value_or(0.0);
    design.check.permittivity = numberAt(*settings, "permittivity").value_or(design.check.permittivity);
    if (checkSettingsProblem(design.check))
        return std::string("Its insulation lies outside what the program models: ") +
               checkSettingsProblem(design.check)->message;
    design.tune.maxSwr = numberAt(*settings, "max_swr").value_or(design.tune.maxSwr);
    design.tune.minFrontToBackDb = numberAt(*settings, "min_fb_db").value_or(design.tune.minFrontToBackDb);
    design.tune.bandPercent = numberAt(file, "band_percent").value_or(design.tune.bandPercent);

    const auto lengths = designLengths(design.frequencyText);
    const auto *shown = std::get_if<DesignLengths>(&lengths);
    if (!shown)
        return "Its frequency, \"" + design.frequencyText + "\", is none a sheet is made for.";
    design.result.before = figuresFrom(file.value("before", Json()));
    design.result.after = figuresFrom(file.value("after", Json()));
    design.result.before.design.mhz = shown->frequencyMHz;
    design.result.after.design.mhz = shown->frequencyMHz;
    const Json goals = file.value("goals_met", Json());
    if (goals.is_object()) {
        design.result.swrGoalMet = goals.value("swr", false);
        design.result.frontToBackGoalMet = goals.value("fb", false);
    }
    const Json tolerance = file.value("tolerance", Json());
    if (tolerance.is_object()) {
        // The file keeps the worst of the two cuts; both stand for it.
        BandFigures cut;
        cut.swr = {numberAt(tolerance, "worst_swr").value_or(0.0)};
        cut.frontToBackDb = {numberAt(tolerance, "min_fb_db").value_or(0.0)};
        design.result.tolerance = CutTolerance{cut, cut};
    }
    design.result.evaluations = file.value("evaluations", 0);
    design.result.seconds = numberAt(file, "seconds").value_or(0.0);
    const std::string ended = file.value("ended", std::string());
    for (const TuneEnd end :
         {TuneEnd::Converged, TuneEnd::DesignLimit, TuneEnd::TimeLimit, TuneEnd::Cancelled, TuneEnd::EngineFailure})
        if (ended == tuneEndText(end))
            design.result.end = end;
    return design;
}

std::optional<std::string> tunedDesignDifference(const TunedDesign &design, const GivenSettings &given)
{
    const auto differs = [](const std::string &made, const std::string &asked) {
        return "The tuned design was made for " + made + ", not " + asked + ".";
    };
    if (given.frequencyText) {
        const auto made = designLengths(design.frequencyText);
        const auto asked = designLengths(*given.frequencyText);
        const auto *madeFor = std::get_if<DesignLengths>(&made);
        const auto *askedFor = std::get_if<DesignLengths>(&asked);
        if (madeFor && askedFor && madeFor->frequencyMHz != askedFor->frequencyMHz)
            return differs(madeFor->frequencyLabel + " MHz", askedFor->frequencyLabel + " MHz");
    }
    if (given.wireDiameterMm && *given.wireDiameterMm != design.check.wireDiameterMm)
        return differs(wireText(design.check.wireDiameterMm), wireText(*given.wireDiameterMm));
    if (given.segments && *given.segments != design.check.segments)
        return differs(std::to_string(design.check.segments) + " segments a side",
                       std::to_string(*given.segments) + " segments a side");
    if (given.lossless && *given.lossless != design.check.lossless)
        return differs(design.check.lossless ? "lossless wire" : "copper wire",
                       *given.lossless ? "lossless wire" : "copper wire");
    if (given.groundHeightMetres && *given.groundHeightMetres != design.check.groundHeightMetres)
        return differs(groundText(design.check.groundHeightMetres), groundText(*given.groundHeightMetres));
    if (given.z0Ohms && *given.z0Ohms != design.check.z0Ohms)
        return differs("a " + fixedText(design.check.z0Ohms, 0) + " ohm line",
                       "a " + fixedText(*given.z0Ohms, 0) + " ohm line");
    const auto jacketText = [](double mm, double permittivity) {
        return mm > 0.0 ? fixedText(mm, 2) + " mm insulation of permittivity " + fixedText(permittivity, 2)
                        : std::string("bare wire");
    };
    if (given.insulationMm && (*given.insulationMm != design.check.insulationMm ||
                               (*given.insulationMm > 0.0 && given.permittivity != design.check.permittivity)))
        return differs(jacketText(design.check.insulationMm, design.check.permittivity),
                       jacketText(*given.insulationMm, given.permittivity.value_or(0.0)));
    if (given.bandPercent && *given.bandPercent != design.tune.bandPercent)
        return differs("a band of \u00b1" + fixedText(design.tune.bandPercent, 2) + " %",
                       "\u00b1" + fixedText(*given.bandPercent, 2) + " %");
    return std::nullopt;
}

shop::SheetTuning sheetTuningOf(const TuneResult &result, const TuneSettings &tune, const CheckSettings &check)
{
    const std::string jacket = jacketNote(check);
    return {tuneVerdictTable(result, tune), tuneOutcomeText(result, tune) + (jacket.empty() ? "" : " " + jacket)};
}

} // namespace tarvelin::nec
