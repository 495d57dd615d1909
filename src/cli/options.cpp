// SPDX-License-Identifier: MIT
#include "cli/options.h"

#include "cli/givenoptions.h"

#include "core/format/fieldtext.h"
#include "core/text/typedtext.h"
#include "core/measure/measured.h"
#include "core/measure/stubsweep.h"
#include "core/study/study.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <ostream>

namespace tarvelin::cli {

namespace {

// A dash followed by a digit or a point is a negative number, not an option.
bool looksLikeNumber(std::string_view argument)
{
    return argument.size() >= 2 && argument[0] == '-' &&
           ((argument[1] >= '0' && argument[1] <= '9') || argument[1] == '.');
}

} // namespace

// One line on stderr in the program's one style: "tarvelin-calc: --option: Message."
void complain(std::ostream &err, std::string_view option, std::string_view message)
{
    err << "tarvelin-calc: ";
    if (!option.empty())
        err << option << ": ";
    err << format::terminalSafe(message);
    if (!message.empty() && message.back() != '.')
        err << '.';
    err << '\n';
}

namespace {

std::string_view checkOptionName(design::CheckSetting setting, const design::CheckSettingTexts &texts)
{
    switch (setting) {
    case design::CheckSetting::WireDiameter:
        return "--wire-mm";
    case design::CheckSetting::Awg:
        return "--awg";
    case design::CheckSetting::Segments:
        return "--segments";
    case design::CheckSetting::Span:
        return "--span";
    case design::CheckSetting::Points:
        return "--points";
    case design::CheckSetting::Z0:
        return "--z0";
    case design::CheckSetting::GroundHeight:
        return texts.groundHeight ? "--ground-height" : "";
    case design::CheckSetting::Insulation:
        return "--insulation";
    case design::CheckSetting::Permittivity:
        return "--permittivity";
    }
    return "";
}

std::string_view shopOptionName(shop::ShopSetting setting)
{
    switch (setting) {
    case shop::ShopSetting::Step:
        return "--step";
    case shop::ShopSetting::Allowance:
        return "--allowance";
    case shop::ShopSetting::HubOffset:
        return "--hub-offset";
    case shop::ShopSetting::Measured:
        return "--measured";
    }
    return "";
}

} // namespace

namespace {

// Every option the program takes, each into its text or straight into the options.
void declareOptions(Given &g, Options &options)
{
    // The help is the program's own text, grouped by mode; CLI11 reads the options.
    g.app.set_help_flag();
    g.app.allow_extras(); // inputs, negative numbers among them, stay in their order
    g.app.add_flag("-h,--help", options.help);
    g.app.add_flag("--version", options.version);
    g.app.add_option("--format", g.format);
    g.app.add_flag("--fraction", g.modes[0]);
    g.app.add_flag("--shop", g.modes[1]);
    g.app.add_flag("--nec", g.modes[2]);
    g.app.add_flag("--analyse,--analyze", g.modes[3]);
    g.app.add_flag("--tune", g.modes[4]);
    g.app.add_option("--elements", g.elements);
    g.app.add_option("--processes", g.processes);
    g.app.add_option("--goal-swr", g.goalSwr);
    g.app.add_option("--goal-fb", g.goalFb);
    g.app.add_option("--boom", g.boom);
    // Once, or once a band of several as BAND=KIND[:CABLE].
    g.app.add_option("--match", g.matches)
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    g.app.add_option("--match-z0", g.matchTexts.z0);
    g.app.add_option("--match-vf", g.matchTexts.velocityFactor);
    g.app.add_option("--match-line", g.matchTexts.line);
    g.app.add_option("--band", g.band);
    g.app.add_option("--time-limit", g.timeLimit);
    g.app.add_option("--max-designs", g.designLimit);
    g.app.add_option("--step", g.shopTexts.step);
    g.app.add_option("--allowance", g.shopTexts.allowance);
    g.app.add_option("--hub-offset", g.shopTexts.hubOffset);
    g.app.add_option("--measured", g.shopTexts.measured);
    g.app.add_option("--wire-mm", g.checkTexts.wireMm);
    g.app.add_option("--awg", g.checkTexts.awg);
    g.app.add_option("--segments", g.checkTexts.segments);
    g.app.add_option("--span", g.checkTexts.span);
    g.app.add_option("--points", g.checkTexts.points);
    g.app.add_option("--z0", g.checkTexts.z0);
    g.app.add_flag("--lossless", g.checkTexts.lossless);
    g.app.add_option("--insulation", g.checkTexts.insulation);
    g.app.add_option("--permittivity", g.checkTexts.permittivity);
    // Given once for each sweep, oldest first, as a builder trims and sweeps again.
    g.app.add_option("--sweep", options.sweepPaths)
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    g.app.add_option("--measured-sweep", options.measuredSweepPaths)
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    g.app.add_option("--cut", g.cuts)
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    g.app.add_option("--through", g.through);
    g.app.add_option("--stub-sweep", options.stubSweepPath);
    g.app.add_option("--stub-length", g.stubLength);
    g.app.add_flag("--through-match", options.through.match);
    g.app.add_option("--ground-height", g.groundHeight);
    g.app.add_option("--save", options.savePath);
    g.app.add_option("--tuned", options.tunedPath);
    g.app.add_option("--bands", g.bands);
    g.app.add_option("--layout", g.layout);
    g.app.add_option("--spacing", g.spacing);
    g.app.add_option("--spider-angle", g.spiderAngle);
    g.app.add_option("--shape", g.shape);
    g.app.add_option("--idle", g.idle);
}

bool parseGiven(Given &g, std::span<const std::string_view> arguments, std::ostream &err)
{
    std::vector<std::string> given(arguments.begin(), arguments.end());
    std::reverse(given.begin(), given.end()); // CLI11 takes them last first
    try {
        g.app.parse(given);
    } catch (const CLI::ParseError &error) {
        std::string message = error.what();
        // CLI11 names the option first where there is one; the rest is put in the program's words. An option
        // given more than once is the user's slip, not one without a value.
        const std::size_t colon = message.find(": ");
        if (message.starts_with("--") && colon != std::string::npos) {
            const std::string option = message.substr(0, colon);
            const auto times = std::count_if(arguments.begin(), std::find(arguments.begin(), arguments.end(), "--"),
                                             [&option](std::string_view argument) {
                                                 return argument == option || argument.starts_with(option + "=");
                                             });
            complain(err, option,
                     times == 2  ? "Given twice; give it once"
                     : times > 2 ? "Given " + std::to_string(times) + " times; give it once"
                                 : "Needs a value");
        } else {
            complain(err, {}, message);
        }
        return false;
    }
    return true;
}

// No option is left empty, and what CLI11 did not take is the inputs.
bool readInputs(Given &g, Options &options, std::span<const std::string_view> arguments, std::ostream &err)
{
    // An empty value is no value: `--save ""` must not quietly mean no --save at all.
    for (const CLI::Option *option : g.app.get_options()) {
        if (option->count() == 0 || option->get_expected_min() == 0)
            continue;
        for (const std::string &value : option->results())
            if (value.find_first_not_of(" \t") == std::string::npos) {
                complain(err, option->get_name(), "Needs a value");
                return false;
            }
    }

    // What CLI11 did not take: the inputs, and anything that looks like an option but is none.
    bool onlyInputs = false;
    for (const std::string &remaining : g.app.remaining()) {
        const auto original = std::find(arguments.begin(), arguments.end(), remaining);
        const std::string_view argument = original != arguments.end() ? *original : std::string_view();
        if (!onlyInputs && argument == "--") {
            onlyInputs = true;
        } else if (!onlyInputs && argument.size() > 1 && argument.front() == '-' && !looksLikeNumber(argument)) {
            complain(err, argument.substr(0, argument.find('=')), "Unknown option");
            return false;
        } else {
            options.inputs.push_back(argument);
        }
    }
    return true;
}

// The one mode given, and every option held against that mode's own declaration.
bool readMode(Given &g, Options &options, std::ostream &err)
{
    // --shop --tune is the tuned design's shop sheet: one mode, the shop sheet, with the tuner before it.
    options.tuneForSheet = g.modes[1] && g.modes[4];
    if (options.tuneForSheet)
        g.modes[4] = false;
    g.modes[5] = g.app.count("--stub-sweep") > 0;
    const auto modeCount = std::count(g.modes.begin(), g.modes.end(), true);
    if (modeCount > 1) {
        constexpr std::array<std::string_view, 6> names{"--fraction", "--shop", "--nec",
                                                        "--analyse",  "--tune", "--stub-sweep"};
        std::vector<std::string_view> chosen;
        for (std::size_t i = 0; i < g.modes.size(); ++i)
            if (g.modes[i])
                chosen.push_back(names[i]);
        complain(err, chosen[1], "Cannot be used with " + std::string(chosen[0]));
        return false;
    }
    options.mode = g.modes[0]   ? Mode::Fractions
                   : g.modes[1] ? Mode::Shop
                   : g.modes[2] ? Mode::Deck
                   : g.modes[3] ? Mode::Analyse
                   : g.modes[4] ? Mode::Tune
                   : g.modes[5] ? Mode::Stub
                                : Mode::Grid;
    // With --measured model, the shop sheet runs the check, so the check's options belong to it too.
    options.measuredByModel = options.mode == Mode::Shop && g.shopTexts.measured == "model";
    options.uses = {options.measuredByModel, options.tuneForSheet, g.app.count("--tuned") > 0,
                    g.app.count("--measured-sweep") > 0, g.app.count("--sweep") > 0};
    // Each option given is held against the mode's own declaration.
    for (const ModeDeclaration *declaration : modeDeclarations())
        for (const OptionUse &use : declaration->options)
            if (g.app.count(std::string(use.name)) > 0)
                if (const std::optional<std::string> refusal = optionRefusal(use.name, options.mode, options.uses)) {
                    complain(err, use.name, *refusal);
                    return false;
                }
    return true;
}

// The output format, the sweeps and what was cut between them, and the options that exclude each other.
bool readOutputs(Given &g, Options &options, std::ostream &err)
{
    if (!g.format.empty() || g.app.count("--format") > 0) {
        const std::optional<OutputFormat> named = g.format == "table"  ? std::optional(OutputFormat::Table)
                                                  : g.format == "csv"  ? std::optional(OutputFormat::Csv)
                                                  : g.format == "json" ? std::optional(OutputFormat::Json)
                                                  : g.format == "s1p"  ? std::optional(OutputFormat::Touchstone)
                                                                       : std::nullopt;
        if (!named) {
            complain(err, "--format", "Unknown format '" + g.format + "': table, csv, json or, with --analyse, s1p");
            return false;
        }
        if (named == OutputFormat::Touchstone && options.mode != Mode::Analyse) {
            complain(err, "--format", "s1p is the check's sweep: it belongs to --analyse");
            return false;
        }
        options.format = *named;
    }
    for (const auto &[option, paths] :
         {std::pair{"--sweep", &options.sweepPaths}, std::pair{"--measured-sweep", &options.measuredSweepPaths}})
        if (paths->size() > measure::kMostSweeps) {
            complain(err, option,
                     "Give at most " + std::to_string(measure::kMostSweeps) + " sweeps, oldest first, not " +
                         std::to_string(paths->size()));
            return false;
        }
    // What was cut before each sweep after the first: as many as those sweeps, or none for the advised trims.
    const std::size_t sweepsInTurn = std::max(options.sweepPaths.size(), options.measuredSweepPaths.size());
    if (!g.cuts.empty()) {
        if (g.cuts.size() + 1 != sweepsInTurn) {
            complain(err, "--cut",
                     "Give one for each sweep after the first, oldest first: " +
                         std::to_string(sweepsInTurn > 0 ? sweepsInTurn - 1 : 0) + " here, not " +
                         std::to_string(g.cuts.size()));
            return false;
        }
        for (const std::string &cut : g.cuts) {
            auto read = shop::readCut(cut);
            if (const auto *refusal = std::get_if<std::string>(&read)) {
                complain(err, "--cut", *refusal);
                return false;
            }
            options.cutsInches.push_back(std::get<std::optional<double>>(read));
        }
    }
    options.cutsInches.resize(sweepsInTurn > 0 ? sweepsInTurn - 1 : 0);
    return true;
}

// The match, the line a sweep was taken through, and the stub.
bool readBandMatches(const Given &g, Options &options, std::ostream &err)
{
    for (const std::string &entry : g.matches) {
        const std::size_t equals = entry.find('=');
        if (equals == std::string::npos) {
            complain(err, "--match", "Give each band's match as BAND=KIND[:CABLE], as 20m=quarter-wave:RG-11");
            return false;
        }
        auto bands = design::readBands(entry.substr(0, equals));
        if (const auto *refusal = std::get_if<std::string>(&bands)) {
            complain(err, "--match", *refusal);
            return false;
        }
        const std::vector<design::Band> &named = std::get<std::vector<design::Band>>(bands);
        const std::string kindAndCable = entry.substr(equals + 1);
        const std::size_t colon = kindAndCable.find(':');
        design::MatchTexts texts;
        texts.kind = kindAndCable.substr(0, colon);
        if (colon != std::string::npos)
            texts.line = kindAndCable.substr(colon + 1);
        auto match = design::readMatch(texts);
        if (const auto *refusal = std::get_if<design::MatchRefusal>(&match)) {
            complain(err, "--match", named.front().name + ": " + refusal->message);
            return false;
        }
        if (named.size() != 1 || !options.bandMatches.emplace(named.front().name, std::get<design::Match>(match)).second) {
            complain(err, "--match", "Give each band's match once, one band to each");
            return false;
        }
    }
    return true;
}

bool readFeedAndArray(Given &g, Options &options, std::ostream &err)
{
    if (std::any_of(g.matches.begin(), g.matches.end(),
                    [](const std::string &entry) { return entry.find('=') != std::string::npos; })) {
        if (!readBandMatches(g, options, err))
            return false;
    } else if (g.matches.size() > 1) {
        complain(err, "--match", "Given once; with several --bands, once a band as BAND=KIND[:CABLE]");
        return false;
    } else if (!g.matches.empty()) {
        g.matchTexts.kind = g.matches.front();
    }
    auto match = design::readMatch(g.matchTexts);
    if (const auto *refusal = std::get_if<design::MatchRefusal>(&match)) {
        complain(err,
                 refusal->setting == design::MatchRefusal::Setting::Kind   ? "--match"
                 : refusal->setting == design::MatchRefusal::Setting::Z0   ? "--match-z0"
                 : refusal->setting == design::MatchRefusal::Setting::Line ? "--match-line"
                                                                           : "--match-vf",
                 refusal->message);
        return false;
    }
    g.match = std::get<design::Match>(match);
    if (g.app.count("--through") > 0) {
        auto read = design::readFeedRun(g.through);
        if (const auto *refusal = std::get_if<std::string>(&read)) {
            complain(err, "--through", *refusal);
            return false;
        }
        options.through.run = std::get<design::FeedRun>(read);
    }
    // A tuned design's match is its own, read with it.
    if (options.through.match && g.match.kind == design::MatchKind::Direct && g.app.count("--tuned") == 0) {
        complain(err, "--through-match", "The design is fed direct: give its --match, which was in the path");
        return false;
    }
    if (options.mode == Mode::Stub && g.app.count("--stub-length") > 0) {
        auto read = measure::readStubLength(g.stubLength);
        if (const auto *refusal = std::get_if<std::string>(&read)) {
            complain(err, "--stub-length", *refusal);
            return false;
        }
        options.stubLengthMetres = std::get<double>(read);
    }
    return true;
}

// The shop sheet's settings, and the model's where a mode models the design.
bool readShopAndCheck(Given &g, Options &options, std::ostream &err)
{
    if (options.mode == Mode::Shop) {
        if (options.measuredByModel)
            g.shopTexts.measured.clear(); // each frequency's own, once its check has run
        options.shopTexts = g.shopTexts;
        auto read = shop::readShopSettings(g.shopTexts);
        if (const auto *refusal = std::get_if<shop::ShopRefusal>(&read)) {
            complain(err, shopOptionName(refusal->setting.value_or(shop::ShopSetting::Step)), refusal->message);
            return false;
        }
        options.shopSettings = std::get<shop::ShopSettings>(read);
        options.shopSettings.elements = options.elements;
        options.shopSettings.match = g.match;
    }
    const bool tunedSheet = g.app.count("--tuned") > 0;
    // A sweep's lowest SWR is read on the line the SWR is measured against.
    const bool modelled = options.mode == Mode::Deck || options.mode == Mode::Analyse || options.mode == Mode::Tune;
    if (modelled || options.measuredByModel || options.tuneForSheet || tunedSheet ||
        g.app.count("--measured-sweep") > 0) {
        if (g.app.count("--ground-height") > 0)
            g.checkTexts.groundHeight = g.groundHeight;
        auto read = design::readCheckSettings(g.checkTexts);
        if (const auto *refusal = std::get_if<design::CheckSettingRefusal>(&read)) {
            complain(err, checkOptionName(refusal->setting, g.checkTexts), refusal->message);
            return false;
        }
        options.checkSettings = std::get<design::CheckSettings>(read);
        options.checkSettings.match = g.match;
    }
    if (tunedSheet) {
        // Only what was given is held against the saved design; the rest is the design's own.
        const design::CheckSettings &read = options.checkSettings;
        tune::GivenSettings &asked = options.tunedGiven;
        if (g.app.count("--wire-mm") > 0 || g.app.count("--awg") > 0)
            asked.wireDiameterMm = read.wireDiameterMm;
        if (g.app.count("--segments") > 0)
            asked.segments = read.segments;
        if (g.app.count("--lossless") > 0)
            asked.lossless = read.lossless;
        if (g.app.count("--ground-height") > 0)
            asked.groundHeightMetres = read.groundHeightMetres;
        if (g.app.count("--z0") > 0)
            asked.z0Ohms = read.z0Ohms;
        if (g.app.count("--insulation") > 0) {
            asked.insulationMm = read.insulationMm;
            asked.permittivity = read.permittivity;
        }
        if (g.app.count("--match") > 0)
            asked.match = read.match;
    }
    return true;
}

// The mode's own rules, declared with it, once every option is read.
bool followsModeRules(const Given &g, const Options &options, std::ostream &err)
{
    if (const auto rules = declarationOf(options.mode).validate)
        if (const std::optional<Refusal> refusal =
                rules({options, [&g](std::string_view option) { return g.app.count(std::string(option)) > 0; }})) {
            complain(err, refusal->option, refusal->message);
            return false;
        }
    return true;
}

} // namespace

std::optional<Options> parseOptions(std::span<const std::string_view> arguments, std::ostream &err)
{
    Options options;
    Given given;
    declareOptions(given, options);
    if (!parseGiven(given, arguments, err))
        return std::nullopt;
    if (options.help)
        return options;
    if (!readInputs(given, options, arguments, err) || !readMode(given, options, err))
        return std::nullopt;
    if (options.version)
        return options;
    if (!readOutputs(given, options, err) || !readFeedAndArray(given, options, err) ||
        !readValues(given, options, err) || !readShopAndCheck(given, options, err) ||
        !followsModeRules(given, options, err))
        return std::nullopt;
    return options;
}

} // namespace tarvelin::cli
