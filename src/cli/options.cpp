// SPDX-License-Identifier: MIT
#include "cli/options.h"

#include "core/format/fieldtext.h"
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
    err << terminalSafe(message);
    if (!message.empty() && message.back() != '.')
        err << '.';
    err << '\n';
}

namespace {

std::string_view checkOptionName(nec::CheckSetting setting, const nec::CheckSettingTexts &texts)
{
    switch (setting) {
    case nec::CheckSetting::WireDiameter:
        return "--wire-mm";
    case nec::CheckSetting::Awg:
        return "--awg";
    case nec::CheckSetting::Segments:
        return "--segments";
    case nec::CheckSetting::Span:
        return "--span";
    case nec::CheckSetting::Points:
        return "--points";
    case nec::CheckSetting::Z0:
        return "--z0";
    case nec::CheckSetting::GroundHeight:
        return texts.groundHeight ? "--ground-height" : "";
    case nec::CheckSetting::Insulation:
        return "--insulation";
    case nec::CheckSetting::Permittivity:
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

std::optional<Options> parseOptions(std::span<const std::string_view> arguments, std::ostream &err)
{
    Options options;
    CLI::App app;
    // The help is the program's own text, grouped by mode; CLI11 reads the options.
    app.set_help_flag();
    app.allow_extras(); // inputs, negative numbers among them, stay in their order
    std::string format;
    std::array<bool, 6> modes{};
    std::string band;
    std::string timeLimit;
    std::string designLimit;
    std::string elements;
    std::string processes;
    std::string goalSwr;
    std::string goalFb;
    std::string boom;
    MatchTexts matchTexts;
    shop::ShopSettingTexts shopTexts;
    nec::CheckSettingTexts checkTexts;
    std::string groundHeight;
    app.add_flag("-h,--help", options.help);
    app.add_flag("--version", options.version);
    app.add_option("--format", format);
    app.add_flag("--fraction", modes[0]);
    app.add_flag("--shop", modes[1]);
    app.add_flag("--nec", modes[2]);
    app.add_flag("--analyse,--analyze", modes[3]);
    app.add_flag("--tune", modes[4]);
    app.add_option("--elements", elements);
    app.add_option("--processes", processes);
    app.add_option("--goal-swr", goalSwr);
    app.add_option("--goal-fb", goalFb);
    app.add_option("--boom", boom);
    app.add_option("--match", matchTexts.kind);
    app.add_option("--match-z0", matchTexts.z0);
    app.add_option("--match-vf", matchTexts.velocityFactor);
    app.add_option("--match-line", matchTexts.line);
    app.add_option("--band", band);
    app.add_option("--time-limit", timeLimit);
    app.add_option("--max-designs", designLimit);
    app.add_option("--step", shopTexts.step);
    app.add_option("--allowance", shopTexts.allowance);
    app.add_option("--hub-offset", shopTexts.hubOffset);
    app.add_option("--measured", shopTexts.measured);
    app.add_option("--wire-mm", checkTexts.wireMm);
    app.add_option("--awg", checkTexts.awg);
    app.add_option("--segments", checkTexts.segments);
    app.add_option("--span", checkTexts.span);
    app.add_option("--points", checkTexts.points);
    app.add_option("--z0", checkTexts.z0);
    app.add_flag("--lossless", checkTexts.lossless);
    app.add_option("--insulation", checkTexts.insulation);
    app.add_option("--permittivity", checkTexts.permittivity);
    // Given once for each sweep, oldest first, as a builder trims and sweeps again.
    app.add_option("--sweep", options.sweepPaths)
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("--measured-sweep", options.measuredSweepPaths)
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    std::vector<std::string> cuts;
    app.add_option("--cut", cuts)->expected(1)->allow_extra_args(false)->multi_option_policy(
        CLI::MultiOptionPolicy::TakeAll);
    std::string through;
    app.add_option("--through", through);
    app.add_option("--stub-sweep", options.stubSweepPath);
    std::string stubLength;
    app.add_option("--stub-length", stubLength);
    app.add_flag("--through-match", options.through.match);
    app.add_option("--ground-height", groundHeight);
    app.add_option("--save", options.savePath);
    app.add_option("--tuned", options.tunedPath);

    std::vector<std::string> given(arguments.begin(), arguments.end());
    std::reverse(given.begin(), given.end()); // CLI11 takes them last first
    try {
        app.parse(given);
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
        return std::nullopt;
    }
    if (options.help)
        return options;
    // An empty value is no value: `--save ""` must not quietly mean no --save at all.
    for (const CLI::Option *option : app.get_options()) {
        if (option->count() == 0 || option->get_expected_min() == 0)
            continue;
        for (const std::string &value : option->results())
            if (value.find_first_not_of(" \t") == std::string::npos) {
                complain(err, option->get_name(), "Needs a value");
                return std::nullopt;
            }
    }

    // What CLI11 did not take: the inputs, and anything that looks like an option but is none.
    bool onlyInputs = false;
    for (const std::string &remaining : app.remaining()) {
        const auto original = std::find(arguments.begin(), arguments.end(), remaining);
        const std::string_view argument = original != arguments.end() ? *original : std::string_view();
        if (!onlyInputs && argument == "--") {
            onlyInputs = true;
        } else if (!onlyInputs && argument.size() > 1 && argument.front() == '-' && !looksLikeNumber(argument)) {
            complain(err, argument.substr(0, argument.find('=')), "Unknown option");
            return std::nullopt;
        } else {
            options.inputs.push_back(argument);
        }
    }

    // --shop --tune is the tuned design's shop sheet: one mode, the shop sheet, with the tuner before it.
    options.tuneForSheet = modes[1] && modes[4];
    if (options.tuneForSheet)
        modes[4] = false;
    modes[5] = app.count("--stub-sweep") > 0;
    const auto modeCount = std::count(modes.begin(), modes.end(), true);
    if (modeCount > 1) {
        constexpr std::array<std::string_view, 6> names{"--fraction", "--shop", "--nec", "--analyse", "--tune",
                                                        "--stub-sweep"};
        std::vector<std::string_view> chosen;
        for (std::size_t i = 0; i < modes.size(); ++i)
            if (modes[i])
                chosen.push_back(names[i]);
        complain(err, chosen[1], "Cannot be used with " + std::string(chosen[0]));
        return std::nullopt;
    }
    options.mode = modes[0]   ? Mode::Fractions
                   : modes[1] ? Mode::Shop
                   : modes[2] ? Mode::Deck
                   : modes[3] ? Mode::Analyse
                   : modes[4] ? Mode::Tune
                   : modes[5] ? Mode::Stub
                              : Mode::Grid;
    // With --measured model, the shop sheet runs the check, so the check's options belong to it too.
    options.measuredByModel = options.mode == Mode::Shop && shopTexts.measured == "model";
    options.uses = {options.measuredByModel, options.tuneForSheet, app.count("--tuned") > 0,
                    app.count("--measured-sweep") > 0, app.count("--sweep") > 0};
    // Each option given is held against the mode's own declaration.
    for (const ModeDeclaration *declaration : modeDeclarations())
        for (const OptionUse &use : declaration->options)
            if (app.count(std::string(use.name)) > 0)
                if (const std::optional<std::string> refusal = optionRefusal(use.name, options.mode, options.uses)) {
                    complain(err, use.name, *refusal);
                    return std::nullopt;
                }
    if (options.version)
        return options;

    if (!format.empty() || app.count("--format") > 0) {
        const std::optional<OutputFormat> named = format == "table"  ? std::optional(OutputFormat::Table)
                                                  : format == "csv"  ? std::optional(OutputFormat::Csv)
                                                  : format == "json" ? std::optional(OutputFormat::Json)
                                                  : format == "s1p"  ? std::optional(OutputFormat::Touchstone)
                                                                     : std::nullopt;
        if (!named) {
            complain(err, "--format", "Unknown format '" + format + "': table, csv, json or, with --analyse, s1p");
            return std::nullopt;
        }
        if (named == OutputFormat::Touchstone && (options.mode != Mode::Analyse || options.inputs.size() != 1)) {
            complain(err, "--format",
                     options.mode != Mode::Analyse ? "s1p is the check's sweep: it belongs to --analyse"
                                                   : "s1p holds one sweep: give one FREQUENCY");
            return std::nullopt;
        }
        options.format = *named;
    }
    // The CSV and the Touchstone file hold the model's own sweep, one row a frequency: a measured sweep has no
    // place in them, and is refused rather than dropped.
    if (app.count("--sweep") > 0 &&
        (options.format == OutputFormat::Csv || options.format == OutputFormat::Touchstone)) {
        complain(err, "--sweep",
                 std::string("Cannot be used with --format ") + (options.format == OutputFormat::Csv ? "csv" : "s1p") +
                     ", which holds the model's sweep alone: give the table or --format json");
        return std::nullopt;
    }
    for (const auto &[option, paths] :
         {std::pair{"--sweep", &options.sweepPaths}, std::pair{"--measured-sweep", &options.measuredSweepPaths}})
        if (paths->size() > nec::kMostSweeps) {
            complain(err, option,
                     "Give at most " + std::to_string(nec::kMostSweeps) + " sweeps, oldest first, not " +
                         std::to_string(paths->size()));
            return std::nullopt;
        }
    // What was cut before each sweep after the first: as many as those sweeps, or none for the advised trims.
    const std::size_t sweepsInTurn = std::max(options.sweepPaths.size(), options.measuredSweepPaths.size());
    if (!cuts.empty()) {
        if (cuts.size() + 1 != sweepsInTurn) {
            complain(err, "--cut",
                     "Give one for each sweep after the first, oldest first: " +
                         std::to_string(sweepsInTurn > 0 ? sweepsInTurn - 1 : 0) + " here, not " +
                         std::to_string(cuts.size()));
            return std::nullopt;
        }
        for (const std::string &cut : cuts) {
            auto read = shop::readCut(cut);
            if (const auto *refusal = std::get_if<std::string>(&read)) {
                complain(err, "--cut", *refusal);
                return std::nullopt;
            }
            options.cutsInches.push_back(std::get<std::optional<double>>(read));
        }
    }
    options.cutsInches.resize(sweepsInTurn > 0 ? sweepsInTurn - 1 : 0);
    if (app.count("--measured-sweep") > 0 && app.count("--measured") > 0) {
        complain(err, "--measured-sweep", "Cannot be used with --measured: give the resonance one way");
        return std::nullopt;
    }
    // A tuned design, once built, is trimmed by what it measures; the model's prediction is the specified
    // design's, not the tuned one's.
    if (options.measuredByModel && (options.tuneForSheet || app.count("--tuned") > 0)) {
        complain(err, "--measured",
                 "model is the specified design's predicted resonance: a tuned design is trimmed by the resonance it "
                 "measures");
        return std::nullopt;
    }
    if (app.count("--tuned") > 0 && options.tuneForSheet) {
        complain(err, "--tuned", "Cannot be used with --tune: the saved design is cut, not a new one");
        return std::nullopt;
    }
    if (app.count("--save") > 0 && options.inputs.size() != 1) {
        complain(err, "--save", "Give one FREQUENCY, whose tuned design is saved");
        return std::nullopt;
    }
    auto match = readMatch(matchTexts);
    if (const auto *refusal = std::get_if<MatchRefusal>(&match)) {
        complain(err,
                 refusal->setting == MatchRefusal::Setting::Kind   ? "--match"
                 : refusal->setting == MatchRefusal::Setting::Z0   ? "--match-z0"
                 : refusal->setting == MatchRefusal::Setting::Line ? "--match-line"
                                                                   : "--match-vf",
                 refusal->message);
        return std::nullopt;
    }
    if (app.count("--through") > 0) {
        auto read = nec::readFeedRun(through);
        if (const auto *refusal = std::get_if<std::string>(&read)) {
            complain(err, "--through", *refusal);
            return std::nullopt;
        }
        options.through.run = std::get<nec::FeedRun>(read);
    }
    // A tuned design's match is its own, read with it.
    if (options.through.match && std::get<Match>(match).kind == MatchKind::Direct && app.count("--tuned") == 0) {
        complain(err, "--through-match", "The design is fed direct: give its --match, which was in the path");
        return std::nullopt;
    }
    if (app.count("--elements") > 0) {
        auto read = readElementCount(elements);
        if (const auto *refusal = std::get_if<std::string>(&read)) {
            complain(err, "--elements", *refusal);
            return std::nullopt;
        }
        options.elements = std::get<int>(read);
        options.tunedGiven.elements = options.elements;
    }
    if (options.mode == Mode::Stub) {
        // The sweep is the one input: it is read once and measured once.
        if (!options.inputs.empty()) {
            complain(err, "--stub-sweep", "Takes no FREQUENCY: the piece's sweep is its input");
            return std::nullopt;
        }
        if (app.count("--stub-length") == 0) {
            complain(err, "--stub-sweep", "Give the piece's length: --stub-length LEN, such as 1m");
            return std::nullopt;
        }
        auto read = nec::readStubLength(stubLength);
        if (const auto *refusal = std::get_if<std::string>(&read)) {
            complain(err, "--stub-length", *refusal);
            return std::nullopt;
        }
        options.stubLengthMetres = std::get<double>(read);
    }
    if (app.count("--processes") > 0) {
        auto read = nec::readProcessCount(processes);
        if (const auto *refusal = std::get_if<std::string>(&read)) {
            complain(err, "--processes", *refusal);
            return std::nullopt;
        }
        options.processes = std::get<int>(read);
    }
    if (options.mode == Mode::Shop) {
        if (options.measuredByModel)
            shopTexts.measured.clear(); // each frequency's own, once its check has run
        options.shopTexts = shopTexts;
        auto read = shop::readShopSettings(shopTexts);
        if (const auto *refusal = std::get_if<shop::ShopRefusal>(&read)) {
            complain(err, shopOptionName(refusal->setting.value_or(shop::ShopSetting::Step)), refusal->message);
            return std::nullopt;
        }
        options.shopSettings = std::get<shop::ShopSettings>(read);
        options.shopSettings.elements = options.elements;
        options.shopSettings.match = std::get<Match>(match);
    }
    const bool tunedSheet = app.count("--tuned") > 0;
    // A sweep's lowest SWR is read on the line the SWR is measured against.
    const bool modelled = options.mode == Mode::Deck || options.mode == Mode::Analyse || options.mode == Mode::Tune;
    if (modelled || options.measuredByModel || options.tuneForSheet || tunedSheet ||
        app.count("--measured-sweep") > 0) {
        if (app.count("--ground-height") > 0)
            checkTexts.groundHeight = groundHeight;
        auto read = nec::readCheckSettings(checkTexts);
        if (const auto *refusal = std::get_if<nec::CheckSettingRefusal>(&read)) {
            complain(err, checkOptionName(refusal->setting, checkTexts), refusal->message);
            return std::nullopt;
        }
        options.checkSettings = std::get<nec::CheckSettings>(read);
        options.checkSettings.match = std::get<Match>(match);
    }
    if (tunedSheet) {
        // Only what was given is held against the saved design; the rest is the design's own.
        const nec::CheckSettings &read = options.checkSettings;
        nec::GivenSettings &asked = options.tunedGiven;
        if (app.count("--wire-mm") > 0 || app.count("--awg") > 0)
            asked.wireDiameterMm = read.wireDiameterMm;
        if (app.count("--segments") > 0)
            asked.segments = read.segments;
        if (app.count("--lossless") > 0)
            asked.lossless = read.lossless;
        if (app.count("--ground-height") > 0)
            asked.groundHeightMetres = read.groundHeightMetres;
        if (app.count("--z0") > 0)
            asked.z0Ohms = read.z0Ohms;
        if (app.count("--insulation") > 0) {
            asked.insulationMm = read.insulationMm;
            asked.permittivity = read.permittivity;
        }
        if (app.count("--match") > 0)
            asked.match = read.match;
    }
    const bool tuning = options.mode == Mode::Tune || options.tuneForSheet || tunedSheet;
    if (tuning && app.count("--band") > 0) {
        auto read = nec::readTuneBand(band);
        if (const auto *refusal = std::get_if<std::string>(&read)) {
            complain(err, "--band", *refusal);
            return std::nullopt;
        }
        options.tuneSettings.bandPercent = std::get<double>(read);
        if (tunedSheet)
            options.tunedGiven.bandPercent = options.tuneSettings.bandPercent;
    }
    // The goals also hold the check's verdict to them.
    const bool judged = tuning || options.mode == Mode::Analyse;
    const auto readTuneOption = [&](const char *name, const std::string &text, auto reader, auto into) {
        if (!judged || app.count(name) == 0)
            return true;
        auto read = reader(text);
        if (const auto *refusal = std::get_if<std::string>(&read)) {
            complain(err, name, *refusal);
            return false;
        }
        into(std::get<double>(read));
        return true;
    };
    if (!readTuneOption("--goal-swr", goalSwr, nec::readGoalSwr,
                        [&](double swr) {
                            options.tuneSettings.maxSwr = swr;
                            options.tunedGiven.maxSwr = swr;
                        }) ||
        !readTuneOption("--goal-fb", goalFb, nec::readGoalFrontToBack,
                        [&](double db) {
                            options.tuneSettings.minFrontToBackDb = db;
                            options.tunedGiven.minFrontToBackDb = db;
                        }) ||
        !readTuneOption("--boom", boom, nec::readTuneBoom, [&](double metres) {
            options.tuneSettings.boomMetres = metres;
            options.tunedGiven.boomMetres = metres;
        }))
        return std::nullopt;
    if (tuning && app.count("--time-limit") > 0) {
        auto read = nec::readTuneSeconds(timeLimit);
        if (const auto *refusal = std::get_if<std::string>(&read)) {
            complain(err, "--time-limit", *refusal);
            return std::nullopt;
        }
        options.tuneSettings.timeLimitSeconds = std::get<double>(read);
    }
    if (tuning && app.count("--max-designs") > 0) {
        auto read = nec::readTuneDesigns(designLimit);
        if (const auto *refusal = std::get_if<std::string>(&read)) {
            complain(err, "--max-designs", *refusal);
            return std::nullopt;
        }
        options.tuneSettings.designLimit = std::get<int>(read);
    }
    return options;
}

} // namespace tarvelin::cli
