// SPDX-License-Identifier: MIT
#include "core/tune/tuneddesign.h"

#include "core/format/fieldtext.h"
#include "core/format/jsonwriter.h"
#include "core/tune/filefields.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace tarvelin::tune {

namespace {

constexpr std::string_view kFormat = "tarvelin-tuned-design";
// Version 2 holds arrays of two to seven elements; version 1, the seven-element array alone, is still read.
constexpr int kVersion = 2;

using Json = nlohmann::json;

// Figures a file may hold of a design: an SWR, which is 1 or more (null where the engine could not model the
// design), and a gain or a ratio in dB within what any antenna shows.
constexpr double kMostSwr = 1e9;
constexpr double kMostDb = 1000.0;

// The figures the file keeps of a design: those at the design frequency, and the worst over the band.
BandFigures figuresFrom(FileFields &record)
{
    BandFigures figures;
    // An SWR the file does not hold is the unmodelled design's: no number.
    const double unknown = std::numeric_limits<double>::infinity();
    figures.design.swr = record.number("swr", 1.0, kMostSwr, false, true).value_or(unknown);
    figures.design.gainDbi = record.number("gain_dbi", -kMostDb, kMostDb, false, true).value_or(0.0);
    figures.design.frontToBackDb = record.number("fb_db", -kMostDb, kMostDb, false, true).value_or(0.0);
    figures.design.frontToRearDb = record.number("fr_db", -kMostDb, kMostDb, false, true).value_or(0.0);
    figures.swr = {record.number("worst_swr", 1.0, kMostSwr, false, true).value_or(figures.design.swr)};
    figures.frontToBackDb = {
        record.number("min_fb_db", -kMostDb, kMostDb, false, true).value_or(figures.design.frontToBackDb)};
    return figures;
}

// Wires as thick as each other to the hundredth of a millimetre the settings give are the same wire: AWG 12,
// 2.053 mm, is the 2.05 mm the program takes by default.
constexpr double kSameWireMm = 0.005;

std::string settingName(design::CheckSetting setting)
{
    switch (setting) {
    case design::CheckSetting::WireDiameter:
    case design::CheckSetting::Awg:
        return "wire diameter";
    case design::CheckSetting::Segments:
        return "segments per side";
    case design::CheckSetting::Span:
        return "sweep span";
    case design::CheckSetting::Points:
        return "number of points";
    case design::CheckSetting::Z0:
        return "feed line impedance";
    case design::CheckSetting::GroundHeight:
        return "boom height";
    case design::CheckSetting::Insulation:
        return "insulation";
    case design::CheckSetting::Permittivity:
        return "insulation's permittivity";
    }
    return "setting";
}

// The settings it was tuned with, each read by name and refused by name.
void readSettings(FileFields &settings, TunedDesign &design)
{
    design::CheckSettings &check = design.check;
    check.wireDiameterMm = settings.number("wire_mm", 0.0, 1e6, true).value_or(check.wireDiameterMm);
    check.segments = static_cast<int>(settings.whole("segments", 1, 1'000'000, true).value_or(check.segments));
    check.lossless = settings.flag("lossless", true).value_or(check.lossless);
    if (!settings.has("ground_height_m"))
        settings.refuse("ground_height_m", "is missing: it must be a number of metres, or null for free space");
    check.groundHeightMetres = settings.number("ground_height_m", 0.0, 1e6, false, true);
    check.z0Ohms = settings.number("z0_ohms", 0.0, 1e6, true).value_or(check.z0Ohms);
    // A design saved before jackets were modelled was tuned for bare wire.
    check.insulationMm = settings.number("insulation_mm", 0.0, 1e6, false).value_or(0.0);
    check.permittivity = settings.number("permittivity", 0.0, 1e6, false).value_or(check.permittivity);
    design.tune.maxSwr =
        settings.number("max_swr", limits::kLowestGoalSwr, limits::kHighestGoalSwr, false).value_or(design.tune.maxSwr);
    design.tune.minFrontToBackDb =
        settings.number("min_fb_db", limits::kLowestGoalFrontToBackDb, limits::kHighestGoalFrontToBackDb, false)
            .value_or(design.tune.minFrontToBackDb);
    // A design saved before matches were modelled was fed directly; one saved since names its match.
    if (!settings.has("match"))
        return;
    std::optional<FileFields> match = settings.object("match", true);
    if (!match)
        return;
    const std::optional<std::string> kind = match->text("kind", true);
    const std::optional<double> z0 = match->number("z0", 0.0, 1e6, false);
    const std::optional<double> vf = match->number("vf", 0.0, 1e6, false);
    // A section cut from a cable names it, and its impedance is the cable's: the name is read through the
    // table, never shown as the file spells it.
    const std::optional<std::string> cable = match->text("line", false);
    if (!kind)
        return;
    auto matched = design::readMatch({*kind, z0 && !cable ? design::shortestText(*z0) : std::string(),
                                      vf ? design::shortestText(*vf) : std::string(), cable.value_or("")});
    if (const auto *refusal = std::get_if<design::MatchRefusal>(&matched)) {
        match->refuse("kind", "lies outside what the program models: " + refusal->message);
        return;
    }
    check.match = std::get<design::Match>(matched);
    if (cable && z0 && *z0 != check.match.z0Ohms)
        match->refuse("line", "is " + check.match.line + ", which is not of " + design::shortestText(*z0) + " ohms");
}

// What the tune gave and how it ended: its figures before and after, its goals met, its tolerance to the cut,
// the designs tried, the time and its end.
void readOutcome(FileFields &fields, TuneResult &result)
{
    if (std::optional<FileFields> before = fields.object("before", false))
        result.before = figuresFrom(*before);
    if (std::optional<FileFields> after = fields.object("after", false))
        result.after = figuresFrom(*after);
    if (std::optional<FileFields> goals = fields.object("goals_met", false)) {
        result.swrGoalMet = goals->flag("swr", false).value_or(false);
        result.frontToBackGoalMet = goals->flag("fb", false).value_or(false);
    }
    if (std::optional<FileFields> tolerance = fields.object("tolerance", false)) {
        // The file keeps the worst of the two cuts; both stand for it.
        BandFigures cut;
        cut.swr = {tolerance->number("worst_swr", 1.0, kMostSwr, false, true)
                       .value_or(std::numeric_limits<double>::infinity())};
        cut.frontToBackDb = {tolerance->number("min_fb_db", -kMostDb, kMostDb, false, true).value_or(0.0)};
        result.tolerance = CutTolerance{cut, cut};
    }
    result.evaluations = static_cast<int>(fields.whole("evaluations", 0, limits::kMostDesigns, false).value_or(0));
    result.seconds = fields.number("seconds", 0.0, 1e7, false).value_or(0.0);
    if (const std::optional<std::string> ended = fields.text("ended", false)) {
        bool known = false;
        for (const TuneEnd end :
             {TuneEnd::Converged, TuneEnd::DesignLimit, TuneEnd::TimeLimit, TuneEnd::Cancelled, TuneEnd::EngineFailure})
            if (*ended == tuneEndText(end)) {
                result.end = end;
                known = true;
            }
        if (!known)
            fields.refuse("ended", "is none of the ends a tune has");
    }
}

// The file as JSON, or why it is none: a syntax error by its byte, a number no figure can be, or a key given
// twice in one object, which a saved design never has and which would leave which one counts to chance.
std::variant<Json, std::string> parsedFile(std::string_view text)
{
    std::vector<std::set<std::string>> keys;
    std::optional<std::string> twice;
    const Json::parser_callback_t seen = [&](int, Json::parse_event_t event, Json &parsed) {
        if (event == Json::parse_event_t::object_start)
            keys.emplace_back();
        else if (event == Json::parse_event_t::object_end && !keys.empty())
            keys.pop_back();
        else if (event == Json::parse_event_t::key && !keys.empty() && !twice &&
                 !keys.back().insert(parsed.get<std::string>()).second)
            twice = parsed.get<std::string>();
        return true;
    };
    try {
        Json file = Json::parse(text.begin(), text.end(), seen);
        if (twice)
            return "It gives \"" + *twice + "\" twice in one place; a saved design gives each once.";
        return file;
    } catch (const Json::parse_error &error) {
        return "It is not JSON (at byte " + std::to_string(error.byte) +
               "): a tuned design is saved by Tune Loops or tarvelin-calc --tune --save.";
    } catch (const Json::out_of_range &error) {
        // nlohmann names the number: "number overflow parsing '1e999'".
        const std::string what = error.what();
        const std::size_t open = what.find('\'');
        const std::size_t close = what.rfind('\'');
        const std::string number = open != std::string::npos && close > open ? what.substr(open + 1, close - open - 1)
                                                                             : std::string("a number");
        return "It holds " + number + ", a number too large for any figure of a design.";
    }
}

std::string groundText(const std::optional<double> &metres)
{
    return metres ? "a model over ground with the boom at " + format::fixedText(*metres, 1) + " m"
                  : "a model in free space";
}

} // namespace

std::string tunedDesignText(const TunedDesign &design, const design::DesignLengths &lengths)
{
    std::string text;
    format::JsonWriter json(text);
    json.beginRecord().text("format", kFormat).whole("version", kVersion); // the element count among the tune's
    json.beginRecord("settings")
        .number("wire_mm", design.check.wireDiameterMm, format::Figure::Exact)
        .whole("segments", design.check.segments)
        .flag("lossless", design.check.lossless)
        .number("ground_height_m", design.check.groundHeightMetres, format::Figure::Exact)
        .number("z0_ohms", design.check.z0Ohms, format::Figure::Exact)
        .number("insulation_mm", design.check.insulationMm, format::Figure::Exact)
        .number("permittivity", design.check.permittivity, format::Figure::Exact)
        .number("max_swr", design.tune.maxSwr, format::Figure::Exact)
        .number("min_fb_db", design.tune.minFrontToBackDb, format::Figure::Exact);
    // The match it was tuned through: the SWR goal was met on the line through it.
    design::writeMatchRecord(json, "match", design.check.match);
    json.endRecord();
    // The lengths at full precision: the specified loop times its factor, which the sheet cuts.
    json.beginList("factors");
    for (const double factor : design.result.factors)
        json.number({}, factor, format::Figure::Exact);
    json.endList().beginList("lengths_in");
    const design::Cut cut = design::cutOf(lengths, design.result.factors);
    for (std::size_t i = 0; i < design.result.factors.size() && i < cut.elements.size(); ++i)
        json.number({}, cut.elements[i].loopInches, format::Figure::Exact);
    json.endList();
    writeTuneFields(json, design.frequencyText, lengths, design.result, design.tune);
    json.endRecord().endLine();
    return text;
}

std::variant<TunedDesign, std::string> readTunedDesign(std::string_view text)
{
    auto parsed = parsedFile(text);
    if (auto *refusal = std::get_if<std::string>(&parsed))
        return std::move(*refusal);
    const Json &file = std::get<Json>(parsed);
    const std::string notOne = "It is not a tuned design: a tuned design is saved by Tune Loops or tarvelin-calc "
                               "--tune --save.";
    if (!file.is_object() || !file.contains("format") || file["format"] != kFormat)
        return notOne;
    FileFields fields(file);
    // Any later version, however large its number, is one this reader cannot read.
    const std::optional<std::int64_t> version = fields.whole("version", 1, std::int64_t{1} << 52, true);
    if (fields.problem())
        return *fields.problem();
    if (*version > kVersion)
        return std::string("It is a tuned design of another version of Tarvelin, which this one cannot read.");
    const auto elements = static_cast<std::size_t>(
        *version >= 2 ? fields.whole("elements", design::kFewestElements, design::kMostElements, true)
                            .value_or(design::kMostElements)
                      : design::kMostElements);

    TunedDesign design;
    design.frequencyText = fields.text("frequency", true).value_or("");
    if (const Json *factors = fields.array("factors", elements, true))
        for (std::size_t i = 0; i < elements; ++i) {
            // A factor within the tuner's bounds, as the tune gave it.
            const double factor = (*factors)[i].is_number() ? (*factors)[i].get<double>() : NAN;
            if (!(std::fabs(factor - 1.0) <= kLoopFactorLimit + 1e-12))
                fields.refuse("factors", "entry " + std::to_string(i + 1) + " is not a number within " +
                                             format::fixedText(kLoopFactorLimit * 100.0, 0) +
                                             " % of the specified loop");
            design.result.factors.push_back(factor);
        }
    std::optional<FileFields> settings = fields.object("settings", true);
    if (fields.problem())
        return *fields.problem();
    readSettings(*settings, design);
    design.tune.bandPercent =
        fields.number("band_percent", limits::kLowestBandPercent, limits::kHighestBandPercent, false)
            .value_or(design.tune.bandPercent);
    design.tune.boomMetres = fields.number("boom_m", 0.0, design::limits::kHighestBoomMetres, false, true);
    if (fields.problem())
        return *fields.problem();
    if (const std::optional<design::CheckSettingRefusal> problem = design::checkSettingsProblem(design.check))
        return "Its setting for the " + settingName(problem->setting) +
               " lies outside what the program models: " + problem->message;
    if (const std::optional<std::string> problem = tuneSettingsProblem(design.tune))
        return "Its goals or its boom lie outside what the program tunes for: " + *problem;

    const auto specified = design::specifiedDesign(design.frequencyText, static_cast<int>(elements));
    if (!std::holds_alternative<design::Design>(specified))
        return "Its frequency, \"" + design.frequencyText + "\", is none a sheet is made for.";
    const design::DesignLengths *shown = &std::get<design::Design>(specified).lengths;
    // The lengths beside the factors are what a builder reads in the file: they must be the factors' own.
    if (const Json *saved = fields.array("lengths_in", elements, false)) {
        bool agree = true;
        for (std::size_t i = 0; agree && i < elements; ++i) {
            const double expected = design::cutOf(*shown, design.result.factors).elements[i].loopInches;
            agree = (*saved)[i].is_number() && std::fabs((*saved)[i].get<double>() - expected) <= 1e-9 * expected;
        }
        if (!agree)
            return std::string("Its loop lengths (lengths_in) disagree with its loop factors: the file was changed "
                               "after it was saved, and which of them to cut is not known.");
    }
    // Tuned with a boom length, the stations are the tune's own, as saved to the thousandth of an inch.
    if (design.tune.boomMetres) {
        const Json *saved = fields.array("stations_in", elements, true);
        if (fields.problem())
            return *fields.problem();
        const double wavelengthInches =
            design::kSpeedOfLightMetresPerMicrosecond / shown->frequencyMHz / design::kMetresPerInch;
        // The shortest gap and the boom, to the thousandth the stations are saved to.
        const double slack = 0.0015;
        double last = 0.0;
        bool placed = true;
        for (std::size_t i = 0; placed && i < elements; ++i) {
            const Json &station = (*saved)[i];
            const double inches = station.is_number() ? station.get<double>() : -1.0;
            placed =
                i == 0 ? inches == 0.0 : inches - last >= limits::kShortestGapWavelengths * wavelengthInches - slack;
            last = inches;
            design.result.stationsMetres.push_back(inches * design::kMetresPerInch);
        }
        placed = placed && last <= *design.tune.boomMetres / design::kMetresPerInch + slack;
        if (!placed)
            return "Its stations (stations_in) are missing, or closer than " +
                   format::fixedText(limits::kShortestGapWavelengths, 2) +
                   " wavelength, or beyond its boom: the file was changed after it was saved.";
    }
    readOutcome(fields, design.result);
    if (fields.problem())
        return *fields.problem();
    design.result.before.design.mhz = shown->frequencyMHz;
    design.result.after.design.mhz = shown->frequencyMHz;
    return design;
}

std::optional<std::string> tunedDesignDifference(const TunedDesign &design, const GivenSettings &given)
{
    const auto differs = [](const std::string &made, const std::string &asked) {
        return "The tuned design was made for " + made + ", not " + asked + ".";
    };
    if (given.frequencyText) {
        const std::optional<double> madeFor = design::designMHzOf(design.frequencyText);
        const std::optional<double> askedFor = design::designMHzOf(*given.frequencyText);
        if (madeFor && askedFor && *madeFor != *askedFor) {
            if (design::frequencyLabel(*madeFor) != design::frequencyLabel(*askedFor))
                return differs(design::frequencyLabel(*madeFor) + " MHz", design::frequencyLabel(*askedFor) + " MHz");
            const auto [madeText, askedText] = format::distinctTexts(*madeFor, *askedFor, 4);
            return differs(madeText + " MHz", askedText + " MHz");
        }
    }
    if (given.elements && static_cast<std::size_t>(*given.elements) != design.result.factors.size())
        return differs(design::elementsWord(design.result.factors.size()) + " array",
                       design::elementsWord(static_cast<std::size_t>(*given.elements)) + " one");
    if (given.wireDiameterMm && std::fabs(*given.wireDiameterMm - design.check.wireDiameterMm) >= kSameWireMm) {
        const auto [made, asked] = format::distinctTexts(design.check.wireDiameterMm, *given.wireDiameterMm, 2);
        return differs(made + " mm wire", asked + " mm wire");
    }
    if (given.segments && *given.segments != design.check.segments)
        return differs(std::to_string(design.check.segments) + " segments a side",
                       std::to_string(*given.segments) + " segments a side");
    if (given.lossless && *given.lossless != design.check.lossless)
        return differs(design.check.lossless ? "lossless wire" : "copper wire",
                       *given.lossless ? "lossless wire" : "copper wire");
    const std::optional<double> &madeHeight = design.check.groundHeightMetres;
    if (given.groundHeightMetres && *given.groundHeightMetres != madeHeight) {
        const std::optional<double> &askedHeight = *given.groundHeightMetres;
        if (!madeHeight || !askedHeight)
            return differs(groundText(madeHeight), groundText(askedHeight));
        const auto [made, asked] = format::distinctTexts(*madeHeight, *askedHeight, 1);
        return differs("over ground with the boom at " + made + " m", asked + " m");
    }
    if (given.z0Ohms && *given.z0Ohms != design.check.z0Ohms) {
        const auto [made, asked] = format::distinctTexts(design.check.z0Ohms, *given.z0Ohms, 0);
        return differs("a " + made + " ohm line", "a " + asked + " ohm line");
    }
    if (given.insulationMm && (*given.insulationMm != design.check.insulationMm ||
                               (*given.insulationMm > 0.0 && given.permittivity != design.check.permittivity))) {
        const double askedPermittivity = given.permittivity.value_or(0.0);
        const auto [madeMm, askedMm] = format::distinctTexts(design.check.insulationMm, *given.insulationMm, 2);
        const auto [madeEr, askedEr] = format::distinctTexts(design.check.permittivity, askedPermittivity, 2);
        const auto jacketText = [](double mm, const std::string &thickness, const std::string &permittivity) {
            return mm > 0.0 ? thickness + " mm insulation of permittivity " + permittivity : std::string("bare wire");
        };
        return differs(jacketText(design.check.insulationMm, madeMm, madeEr),
                       jacketText(*given.insulationMm, askedMm, askedEr));
    }
    if (given.bandPercent && *given.bandPercent != design.tune.bandPercent) {
        const auto [made, asked] = format::distinctTexts(design.tune.bandPercent, *given.bandPercent, 2);
        return differs("a band of \u00b1" + made + " %", "\u00b1" + asked + " %");
    }
    if (given.match && *given.match != design.check.match) {
        const auto text = [](const design::Match &match) {
            return match.kind == design::MatchKind::QuarterWave
                       ? "a quarter-wave section of " + design::shortestText(match.z0Ohms) +
                             " ohm line, velocity factor " + design::shortestText(match.velocityFactor)
                       : std::string(match.kind == design::MatchKind::Balun4 ? "a 4:1 balun" : "a direct feed");
        };
        return differs(text(design.check.match), text(*given.match));
    }
    if (given.maxSwr && *given.maxSwr != design.tune.maxSwr) {
        const auto [made, asked] = format::distinctTexts(design.tune.maxSwr, *given.maxSwr, 2);
        return differs("an SWR goal of " + made, asked);
    }
    if (given.minFrontToBackDb && *given.minFrontToBackDb != design.tune.minFrontToBackDb) {
        const auto [made, asked] = format::distinctTexts(design.tune.minFrontToBackDb, *given.minFrontToBackDb, 0);
        return differs("an F/B goal of " + made + " dB", asked + " dB");
    }
    if (given.boomMetres && *given.boomMetres != design.tune.boomMetres) {
        if (!design.tune.boomMetres)
            return differs("the stations as designed", "a boom of " + format::fixedText(*given.boomMetres, 2) + " m");
        const auto [made, asked] = format::distinctTexts(*design.tune.boomMetres, *given.boomMetres, 2);
        return differs("a boom of " + made + " m", asked + " m");
    }
    return std::nullopt;
}

shop::TunedCut tunedCutOf(const TuneResult &result, const design::CheckSettings &settings)
{
    return {result.factors, design::stationThousandthsOf(result.stationsMetres), settings.match, settings.z0Ohms};
}

shop::SheetTuning sheetTuningOf(const TuneResult &result, const TuneSettings &tune, const design::CheckSettings &check)
{
    const std::string jacket = design::jacketNote(check);
    return {tuneVerdictTable(result, tune), tuneOutcomeText(result, tune) + (jacket.empty() ? "" : " " + jacket)};
}

} // namespace tarvelin::tune
