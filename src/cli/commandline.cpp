// SPDX-License-Identifier: MIT
#include "cli/commandline.h"

#include "cli/resultwriter.h"
#include "core/nec/tuneddesign.h"
#include "core/runtime/fileread.h"
#include "core/runtime/filewrite.h"
#include "core/calc/calculationpass.h"
#include "core/calc/dec2frac.h"
#include "core/calc/memorygrid.h"
#include "core/format/fieldtext.h"
#include "core/nec/analysis.h"
#include "core/nec/tuner.h"
#include "core/nec/deck.h"
#include "core/nec/measured.h"
#include "core/touchstone/touchstone.h"
#include "core/nec/processlauncher.h"
#include "core/nec/study.h"
#include "core/runtime/runtimeerror.h"
#include "core/runtime/systemerror.h"
#include "core/shop/shopsheet.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <istream>
#include <limits>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <thread>
#include <variant>
#include <vector>

namespace tarvelin::cli {

namespace {

// No value is this long: a longer line of standard input is no value, and is not held in memory.
constexpr std::size_t kLongestInputLine = 64 * 1024;
constexpr std::string_view kLongLineMessage = "Longer than 64 KiB, so it was not read as a value";

constexpr std::string_view kUsage =
    "usage: tarvelin-calc [--format table|csv|json] [FREQUENCY ...]\n"
    "       tarvelin-calc [--format table|csv|json] --fraction [VALUE ...]\n"
    "       tarvelin-calc [--format table|csv|json] --shop [SHOP OPTION ...] [FREQUENCY ...]\n"
    "       tarvelin-calc [--format table|csv|json] --analyse [CHECK OPTION ...] [FREQUENCY ...]\n"
    "       tarvelin-calc --nec [CHECK OPTION ...] [FREQUENCY ...]\n"
    "       tarvelin-calc [--format table|csv|json] --tune [CHECK OPTION ...] [TUNE OPTION ...] [FREQUENCY ...]\n"
    "Try 'tarvelin-calc --help' for more information.\n";

constexpr std::string_view kHelp =
    R"(Usage: tarvelin-calc [--format table|csv|json] [FREQUENCY ...]
  or:  tarvelin-calc [--format table|csv|json] --fraction [VALUE ...]
  or:  tarvelin-calc [--format table|csv|json] --shop [SHOP OPTION ...] [FREQUENCY ...]
  or:  tarvelin-calc [--format table|csv|json] --analyse [CHECK OPTION ...] [FREQUENCY ...]
  or:  tarvelin-calc --nec [CHECK OPTION ...] [FREQUENCY ...]
  or:  tarvelin-calc [--format table|csv|json] --tune [CHECK OPTION ...] [TUNE OPTION ...] [FREQUENCY ...]

Calculates a seven-element cubical quad (reflector, driven element, five
directors) for each centre FREQUENCY in megahertz, with exactly the texts the
Tarvelin window shows: loop length, one side, spreader half and total length,
and element spacing, in inches and centimetres, and the total boom length.
The shop sheet, the deck, the check and the tune take an array of two to
seven of those elements.

A FREQUENCY is read as the window reads it: the number at its start, so
"14.2 MHz" is 14.2. With no FREQUENCY, one frequency is read from each line
of standard input and each result is written as soon as its line is read.
The modes below exclude each other, and an option of one mode is refused in
another.

Options:
  --format table   the grid laid out as in the window (the default)
  --format csv     RFC 4180 with CRLF line ends and one header line; a number
                   stands alone in its column, whose name gives the unit
                   (boom_ft); the last field holds the message when an input
                   is refused
  --format json    one object per line (see JSON OUTPUT in the manual page)
  -h, --help       show this help
  --version        show the version
  --               the arguments after it are all FREQUENCY or VALUE texts

Fractions:
  --fraction       instead of calculating, print the fraction of each VALUE
                   (decimal or exponent form, read as the nearest double),
                   such as 3/8 for 0.375. A positive VALUE gets the fraction
                   with the smallest denominator that equals it as a double
                   (whole numbers over 1). Zero and negative values never take
                   the denominator 1: 0 gives 0/2, -3 gives -6/2, -0.75 -3/4.

Elements:
  --elements N     with --shop, --nec, --analyse or --tune: an array of the
                   first N elements of the design, 2 to 7 (default 7): the
                   reflector, the driven element and N - 2 directors, each
                   exactly as the window gives it; 7 is the whole design

Shop sheet:
  --shop           instead of the grid, the shop sheet of each FREQUENCY: the
                   cut list in feet, inches and fractions and in millimetres:
                   each loop's wire and corner marks, the spreader arms, the
                   element stations along the boom, the wire in all
  --step N         fraction step of the sheet: 8, 16 (the default), 32 or 64
  --allowance LEN  extra wire for each loop's join, from 0 (the default) to
                   1000 in; a LEN is in the sheet's notation or in in, mm,
                   cm, m or ft, in any case: 2.5, 2-1/2", 1' 2-1/2", 3/4,
                   1 1/2 ft, 60 mm
  --hub-offset LEN  how much of each spreader arm the hub takes (default 0)
  --measured MHZ   the frequency the built array resonates at, within 10 % of
                   FREQUENCY, read at full precision ("14.05" or "14.05
                   MHz"): the sheet adds what to do to each loop, its new
                   side and corner marks, and where it meets the arms; MHZ
                   "model" takes the resonance the antenna check predicts
                   instead, with the check options below
  --measured-sweep FILE  the measured resonance from an analyser's
                         sweep (Touchstone .s1p or .s2p): its lowest
                         SWR on the --z0 line (default 50 ohms), to
                         100 Hz; the sheet is the one --measured gives
                         for that frequency. A sweep whose lowest SWR
                         lies at its first or last point gives none

Tuning:
  --tune           tune each FREQUENCY's loop lengths with the model, for the
                   chosen wire and ground, the stations as designed unless
                   --boom is given: the goals (SWR 1.5 or less and F/B 20 dB
                   or more) across the band, then the most forward gain;
                   starts from the loops scaled by the check's resonance,
                   each within 10 % of the specified loop; takes the check
                   options below. The specified design stays as it is; the
                   tuned one is shown beside it, before and after
  --band PERCENT   the band either side of FREQUENCY: 0.1 to 5 (default 0.5),
                   with or without its % sign
  --goal-swr S     the highest SWR across the band: 1.1 to 3 (default 1.5)
  --goal-fb DB     the lowest F/B across the band: 0 to 40 dB (default 20);
                   a two-element quad cannot hold 20 dB across a band
  --boom LEN       let the tuner move the stations too, the reflector at the
                   boom's end, no two elements closer than 0.05 wavelength
                   and the boom no longer than LEN (7.5 m, 25 ft); the same
                   settings give the same design on any machine
  --time-limit S   stop the tune after S seconds, its check among them,
                   keeping the best design found: 5 to 3600 (default 1800);
                   a tune stopped so says "time limit, not converged"
  --max-designs N  stop the search after N designs, the specified one among
                   them, keeping the best found: 2 to 1000000 (default
                   3000); the same settings stop at the same design on any
                   machine
  --save FILE      with one FREQUENCY: save the tuned design to FILE, its
                   settings, loops at full precision, stations, figures and
                   how the search ended, the element count, the goals and the
                   boom (see TUNED DESIGN in the manual)
  --shop --tune    the tuned design's shop sheet, with the shop and check
                   options: the design --tune gives, the same on any machine
  --shop --tuned FILE  the shop sheet of the design saved in FILE,
                       exactly, its stations among it; a FREQUENCY,
                       --elements, check or tune option that differs from
                       the saved design's is refused, naming it.
                       With --measured MHZ or --measured-sweep the tuned
                       loops, once built, are trimmed from their own
                       lengths, as with --shop --tune

Antenna check:
  --nec            instead of the grid, print the NEC-2 deck of the design at
                   each FREQUENCY, with the check options below
  --analyse        check each FREQUENCY's design with the NEC-2 engine nec2c:
                   feed impedance, SWR, forward gain, F/B and F/R across the
                   band, and the verdict: the figures at FREQUENCY, the
                   resonance and the cut it calls for, the lowest SWR, the
                   2:1 and F/B 20 dB bands, the cutting sensitivity and the
                   wire efficiency; where the resonance or a 2:1 edge lies
                   outside the sweep, one wider sweep finds it
  --wire-mm D      wire diameter, 0.1 to 20 mm (default 2.05, AWG 12)
  --awg N          wire gauge from 8 to 20 instead of a diameter
  --segments N     segments per loop side: odd, 5 to 51 (default 11)
  --span PERCENT   the sweep runs this far either side: 0.5 to 20 (default 3)
  --points N       frequencies in the sweep: odd, 3 to 101 (default 13)
  --z0 OHMS        feed line impedance for the SWR: 1 to 1000 (default 50)
  --lossless       perfect wire instead of copper
  --insulation MM  the wire's jacket, 0 (bare, the default) to 5 mm thick,
                   modelled as a series inductance along every wire: an
                   estimate, which a measured sweep corrects
  --permittivity E  the jacket's relative permittivity, 1 to 10
                    (default 3.5, PVC; polyethylene 2.3, PTFE 2.1)
  --sweep FILE     with --analyse: an analyser's sweep of the built antenna
                   (Touchstone .s1p or .s2p) beside the model: its lowest
                   SWR, 2:1 band, what to do to the loops against the design
                   frequency and how far the model was off; not with
                   --format csv or s1p
  --format s1p     with --analyse and one FREQUENCY: the model's sweep as a
                   Touchstone file (# MHz S RI R <z0>), for an analyser's
                   reference trace
  --ground-height LEN  over average ground with the boom at this
                       height, above the ground and below 1000 m (15 m,
                       50 ft); gain and front-to-back at the best elevation

The shop sheet, the deck and the check are worked out for 0.01 to 100000 MHz;
a check refuses wire too thick for its segments, and warns where segments are
shorter than 8 wire radii. A check stopped by TERM, HUP or INT stops its nec2c
processes and removes its temporary folder first.

Control characters in the input are written escaped (\x1b) in the table and in
messages, so input can never reprogram a terminal; csv keeps them as they are,
but a text field that a spreadsheet would take for a formula (it begins with
=, +, -, @, a tab or a carriage return) is written with a leading apostrophe.

Exit status: 0 when every input succeeded, 1 when any failed (each failure is
reported, the others are still printed; a sweep or tuned design file refused
for what it holds is such an input), 2 for a usage error (an empty value such
as --save "" among them), 3 when the input could not be read or the output
could not be written (reported on stderr; the work stops there). When the reader of the output goes away, tarvelin-calc ends
quietly, as other filters do.

Examples:
  tarvelin-calc 14.2                       the 20 m band, as in the window
  tarvelin-calc --format json 7.1 14.2     one JSON object per frequency
  tarvelin-calc --format csv < bands.txt   one CSV line per input line
  tarvelin-calc --fraction 0.375           3/8
  tarvelin-calc --shop --allowance 2in 14.2   the cut list for 20 m
  tarvelin-calc --analyse --format json 14.2  the design checked with nec2c
  tarvelin-calc --tune --band 0.7 14.2        loop lengths tuned for 20 m
  tarvelin-calc --shop --elements 3 14.2      a three-element quad's cut list
  tarvelin-calc --tune --elements 3 --boom 7.5m 14.2
                                 three elements, the stations tuned too
)";

enum class Mode
{
    Grid,
    Fractions,
    Shop,
    Deck,
    Analyse,
    Tune,
};

struct Options
{
    OutputFormat format = OutputFormat::Table;
    Mode mode = Mode::Grid;
    shop::ShopSettings shopSettings;
    shop::ShopSettingTexts shopTexts;
    bool measuredByModel = false;  // --shop --measured model: the check's resonance, per frequency
    bool tuneForSheet = false;     // --shop --tune: the tuned design's sheet
    std::string savePath;          // --tune --save FILE: the tuned design, written to FILE
    std::string tunedPath;         // --shop --tuned FILE: the sheet of the tuned design saved there
    std::string sweepPath;         // --analyse --sweep FILE: the analyser's sweep laid beside the check
    std::string measuredSweepPath; // --shop --measured-sweep FILE: the sweep whose lowest SWR trims the sheet
    nec::GivenSettings tunedGiven; // what the command line says the tuned design is for
    nec::CheckSettings checkSettings;
    nec::TuneSettings tuneSettings;
    int elements = kMostElements; // --elements N: the array's, for the sheet, the deck, the check and the tune
    bool help = false;
    bool version = false;
    std::vector<std::string_view> inputs;
};

// A dash followed by a digit or a point is a negative number, not an option.
bool looksLikeNumber(std::string_view argument)
{
    return argument.size() >= 2 && argument[0] == '-' &&
           ((argument[1] >= '0' && argument[1] <= '9') || argument[1] == '.');
}

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

// The options of each mode, for the refusal of an option outside its mode.
struct ModeOption
{
    std::string_view name;
    std::string_view modes; // how the refusal names the modes it belongs to
    bool (*belongs)(Mode);
};

bool shopOnly(Mode mode)
{
    return mode == Mode::Shop;
}

bool checkOnly(Mode mode)
{
    return mode == Mode::Deck || mode == Mode::Analyse || mode == Mode::Tune;
}

bool analyseOnly(Mode mode)
{
    return mode == Mode::Analyse;
}

bool tuneOnly(Mode mode)
{
    return mode == Mode::Tune;
}

bool notDeck(Mode mode)
{
    return mode != Mode::Deck;
}

bool shopTuned(Mode mode)
{
    return mode == Mode::Shop;
}

bool designModes(Mode mode)
{
    return mode == Mode::Shop || checkOnly(mode);
}

constexpr std::array<ModeOption, 26> kModeOptions{{
    {"--goal-swr", "--tune", tuneOnly},
    {"--goal-fb", "--tune", tuneOnly},
    {"--boom", "--tune", tuneOnly},
    {"--elements", "--shop, --nec, --analyse or --tune", designModes},
    {"--save", "--tune", tuneOnly},
    {"--sweep", "--analyse", analyseOnly},
    {"--measured-sweep", "--shop", shopOnly},
    {"--tuned", "--shop", shopTuned},
    {"--step", "--shop", shopOnly},
    {"--allowance", "--shop", shopOnly},
    {"--hub-offset", "--shop", shopOnly},
    {"--measured", "--shop", shopOnly},
    {"--wire-mm", "--nec, --analyse, --tune or --measured model", checkOnly},
    {"--awg", "--nec, --analyse, --tune or --measured model", checkOnly},
    {"--segments", "--nec, --analyse, --tune or --measured model", checkOnly},
    {"--span", "--nec, --analyse, --tune or --measured model", checkOnly},
    {"--points", "--nec, --analyse, --tune or --measured model", checkOnly},
    {"--z0", "--nec, --analyse, --tune or --measured model", checkOnly},
    {"--lossless", "--nec, --analyse, --tune or --measured model", checkOnly},
    {"--ground-height", "--nec, --analyse, --tune or --measured model", checkOnly},
    {"--insulation", "--nec, --analyse, --tune or --measured model", checkOnly},
    {"--permittivity", "--nec, --analyse, --tune or --measured model", checkOnly},
    {"--band", "--tune", tuneOnly},
    {"--time-limit", "--tune", tuneOnly},
    {"--max-designs", "--tune", tuneOnly},
    {"--format", "the grid, --fraction, --shop, --analyse or --tune (a deck is a deck)", notDeck},
}};

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

std::optional<Options> parseOptions(std::span<const std::string_view> arguments, std::ostream &err)
{
    Options options;
    CLI::App app;
    // The help is the program's own text, grouped by mode; CLI11 reads the options.
    app.set_help_flag();
    app.allow_extras(); // inputs, negative numbers among them, stay in their order
    std::string format;
    std::array<bool, 5> modes{};
    std::string band;
    std::string timeLimit;
    std::string designLimit;
    std::string elements;
    std::string goalSwr;
    std::string goalFb;
    std::string boom;
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
    app.add_option("--goal-swr", goalSwr);
    app.add_option("--goal-fb", goalFb);
    app.add_option("--boom", boom);
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
    app.add_option("--sweep", options.sweepPath);
    app.add_option("--measured-sweep", options.measuredSweepPath);
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
    const auto modeCount = std::count(modes.begin(), modes.end(), true);
    if (modeCount > 1) {
        constexpr std::array<std::string_view, 5> names{"--fraction", "--shop", "--nec", "--analyse", "--tune"};
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
                              : Mode::Grid;
    // With --measured model, the shop sheet runs the check, so the check's options belong to it too.
    options.measuredByModel = options.mode == Mode::Shop && shopTexts.measured == "model";
    for (const ModeOption &option : kModeOptions) {
        const bool checkOption = option.belongs == checkOnly;
        const bool tuneOption = option.belongs == tuneOnly;
        if (app.count(std::string(option.name)) > 0 && !option.belongs(options.mode) &&
            !((options.measuredByModel || options.tuneForSheet || app.count("--tuned") > 0) && checkOption) &&
            !(options.tuneForSheet && tuneOption) &&
            !(app.count("--tuned") > 0 && (option.name == "--band" || option.name == "--goal-swr" ||
                                           option.name == "--goal-fb" || option.name == "--boom")) &&
            !(app.count("--measured-sweep") > 0 && option.name == "--z0")) {
            complain(err, option.name, "Belongs to " + std::string(option.modes));
            return std::nullopt;
        }
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
    if (app.count("--elements") > 0) {
        auto read = readElementCount(elements);
        if (const auto *refusal = std::get_if<std::string>(&read)) {
            complain(err, "--elements", *refusal);
            return std::nullopt;
        }
        options.elements = std::get<int>(read);
        options.tunedGiven.elements = options.elements;
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
    }
    const bool tunedSheet = app.count("--tuned") > 0;
    // A sweep's lowest SWR is read on the line the SWR is measured against.
    if (checkOnly(options.mode) || options.measuredByModel || options.tuneForSheet || tunedSheet ||
        app.count("--measured-sweep") > 0) {
        if (app.count("--ground-height") > 0)
            checkTexts.groundHeight = groundHeight;
        auto read = nec::readCheckSettings(checkTexts);
        if (const auto *refusal = std::get_if<nec::CheckSettingRefusal>(&read)) {
            complain(err, checkOptionName(refusal->setting, checkTexts), refusal->message);
            return std::nullopt;
        }
        options.checkSettings = std::get<nec::CheckSettings>(read);
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
    const auto readTuneOption = [&](const char *name, const std::string &text, auto reader, auto into) {
        if (!tuning || app.count(name) == 0)
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

// A fraction value is read as the nearest double, in decimal or exponent form, and must be the whole text
// but for surrounding blanks. Beyond the double range it reads as an infinity or a zero, as strtod rounds;
// this program never changes the C locale, so strtod's point is ".".
std::optional<double> readValue(std::string_view text)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (text.empty() || text.find_first_of("xX") != std::string_view::npos)
        return std::nullopt;
    const std::string copy(text);
    char *end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size())
        return std::nullopt;
    return value;
}

class Runner
{
public:
    Runner(const Options &options, const nec::TunedDesign *tuned, const nec::MeasuredSweep *measured, std::ostream &out,
           std::ostream &err)
        : m_options(options), m_tuned(tuned), m_measured(measured), m_writer(options.format), m_out(out), m_err(err)
    {
    }

    // Gives false when the output could not be written.
    [[nodiscard]] bool process(std::string_view input)
    {
        m_buffer.clear();
        switch (m_options.mode) {
        case Mode::Fractions:
            fraction(input);
            break;
        case Mode::Shop:
            shopSheet(input);
            break;
        case Mode::Deck:
            necDeck(input);
            break;
        case Mode::Analyse:
            analyse(input);
            break;
        case Mode::Tune:
            tuneDesign(input);
            break;
        case Mode::Grid:
            calculate(input);
            break;
        }
        m_out << m_buffer;
        return m_out.good();
    }

    [[nodiscard]] bool anyFailed() const { return m_anyFailed; }

    // A line of standard input too long to be a value is refused by its number, its start shown.
    [[nodiscard]] bool refuseLongLine(std::size_t lineNumber)
    {
        m_buffer.clear();
        const ResultKind kind = m_options.mode == Mode::Grid        ? ResultKind::Grid
                                : m_options.mode == Mode::Fractions ? ResultKind::Fraction
                                                                    : checkFailureRecord();
        fail("line " + std::to_string(lineNumber), kLongLineMessage, kind);
        m_out << m_buffer;
        return m_out.good();
    }

private:
    // The steps straight into the grid the output is written from: nothing is on display here, so there is
    // no need for the pass's scratch copy; a refused frequency is reported with the window's message.
    void calculate(std::string_view frequencyText)
    {
        m_grid.setFrequencyText(std::string(frequencyText));
        try {
            calculateInto(m_grid);
        } catch (const RuntimeError &) {
            fail(frequencyText, kRefusedFrequencyMessage, ResultKind::Grid);
            return;
        }
        m_writer.appendGrid(m_buffer, frequencyText, m_grid);
    }

    void shopSheet(std::string_view frequencyText)
    {
        shop::ShopSettings settings = m_options.shopSettings;
        if (m_options.measuredByModel) {
            // The check's predicted resonance, at full precision, trims the sheet as a prediction.
            const std::optional<nec::CheckSummary> check = runCheck(frequencyText);
            if (!check)
                return;
            auto predicted = shop::predictedResonance(check->resonanceMHz, check->design.mhz);
            if (const auto *refusal = std::get_if<shop::ShopRefusal>(&predicted)) {
                fail(frequencyText, refusal->message, ResultKind::ShopSheet);
                return;
            }
            settings.measuredMHz = std::get<double>(predicted);
            settings.predicted = true;
            settings.modelNote = nec::jacketNote(m_options.checkSettings);
        }
        std::variant<shop::ShopSheet, shop::ShopRefusal> made = shop::ShopRefusal{};
        if (m_tuned) {
            nec::GivenSettings given = m_options.tunedGiven;
            given.frequencyText = std::string(frequencyText);
            if (const std::optional<std::string> difference = nec::tunedDesignDifference(*m_tuned, given)) {
                fail(frequencyText, *difference, ResultKind::ShopSheet);
                return;
            }
            made = shop::makeTunedShopSheet(std::string(frequencyText), settings, tunedCut(frequencyText, m_tuned->result));
            if (auto *sheet = std::get_if<shop::ShopSheet>(&made))
                sheet->tuning = nec::sheetTuningOf(m_tuned->result, m_tuned->tune, m_tuned->check);
        } else if (m_options.tuneForSheet) {
            const std::optional<nec::TuneResult> tuned = runTune(frequencyText);
            if (!tuned)
                return;
            made = shop::makeTunedShopSheet(std::string(frequencyText), settings, tunedCut(frequencyText, *tuned));
            if (auto *sheet = std::get_if<shop::ShopSheet>(&made))
                sheet->tuning = nec::sheetTuningOf(*tuned, m_options.tuneSettings, m_options.checkSettings);
        } else {
            made = shop::makeShopSheet(std::string(frequencyText), settings);
        }
        if (const auto *sheet = std::get_if<shop::ShopSheet>(&made))
            m_writer.appendShopSheet(m_buffer, *sheet);
        else
            fail(frequencyText, std::get<shop::ShopRefusal>(made).message, ResultKind::ShopSheet);
    }

    [[nodiscard]] shop::TunedCut tunedCut(std::string_view frequencyText, const nec::TuneResult &tuned) const
    {
        const auto lengths = designLengths(std::string(frequencyText), static_cast<int>(tuned.factors.size()));
        const auto *shown = std::get_if<DesignLengths>(&lengths);
        return shown ? nec::tunedCutOf(*shown, tuned) : shop::TunedCut{tuned.factors, {}};
    }

    void necDeck(std::string_view frequencyText)
    {
        const std::optional<nec::CheckDesign> design = modelledDesign(frequencyText);
        if (!design)
            return;
        const nec::ArrayGeometry &array = design->geometry;
        const std::vector<double> sweep = nec::sweepFrequencies(array.designMHz, m_options.checkSettings);
        m_buffer += nec::writeDeck(array, m_options.checkSettings, {sweep, true});
    }

    void analyse(std::string_view frequencyText)
    {
        const std::optional<nec::CheckSummary> summary = runCheck(frequencyText);
        if (!summary)
            return;
        std::optional<nec::MeasuredSweep> measured;
        if (m_measured) {
            measured = *m_measured;
            nec::compareWithModel(*measured, *summary, frequencyText);
        }
        m_writer.appendCheck(m_buffer, frequencyText, *summary, m_options.checkSettings,
                             measured ? &*measured : nullptr);
    }

    void tuneDesign(std::string_view frequencyText)
    {
        const std::optional<nec::TuneResult> tuned = runTune(frequencyText);
        if (!tuned)
            return;
        const auto lengths = std::get<DesignLengths>(designLengths(std::string(frequencyText), m_options.elements));
        m_writer.appendTune(m_buffer, frequencyText, lengths, *tuned, m_options.tuneSettings);
        if (m_options.savePath.empty())
            return;
        const nec::TunedDesign design{std::string(frequencyText), m_options.checkSettings, m_options.tuneSettings,
                                      *tuned};
        if (const std::optional<std::string> failure =
                writeWholeFile(m_options.savePath, nec::tunedDesignText(design, lengths))) {
            m_anyFailed = true;
            m_err << "tarvelin-calc: --save: Cannot save the tuned design to " << terminalSafe(m_options.savePath)
                  << ": " << *failure << ".\n";
        }
    }

    std::optional<nec::CheckSummary> runCheck(std::string_view frequencyText)
    {
        const std::unique_ptr<nec::Study> study = runStudy(frequencyText, false);
        return study ? study->check() : std::nullopt;
    }

    // The tuned design, or none when the check or the tune gave none, which has been reported. An engine
    // that failed during the tune leaves the best design before it, reported as the failure it is.
    std::optional<nec::TuneResult> runTune(std::string_view frequencyText)
    {
        const std::unique_ptr<nec::Study> study = runStudy(frequencyText, true);
        if (!study)
            return std::nullopt;
        if (study->failure())
            engineFailed(frequencyText, *study->failure(), false);
        return study->tuned();
    }

    // A check of one frequency, or a tune after it, its rounds run in turn by this program's launcher, its
    // warnings on stderr. None when it gave no result, which has been reported as a check failure.
    std::unique_ptr<nec::Study> runStudy(std::string_view frequencyText, bool tune)
    {
        std::optional<nec::CheckDesign> design = modelledDesign(frequencyText);
        if (!design)
            return nullptr;
        const auto processes = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
        auto study =
            tune ? std::make_unique<nec::Study>(std::move(design->geometry), m_options.checkSettings, processes,
                                                m_options.tuneSettings)
                 : std::make_unique<nec::Study>(std::move(design->geometry), m_options.checkSettings, processes);
        nec::ProcessLauncher launcher;
        nec::driveStudy(*study, launcher, {});
        if (!study->check() || (tune && !study->tuned())) {
            engineFailed(frequencyText, study->failure().value_or("The study gave no result."));
            return nullptr;
        }
        for (const std::string &warning : nec::verdictWarnings(*study->check()))
            warn(frequencyText, warning);
        return study;
    }

    // The design NEC-2 can model with the settings, its warnings on stderr beside the result; none when it is
    // refused, which is a failed input.
    std::optional<nec::CheckDesign> modelledDesign(std::string_view frequencyText)
    {
        auto design = nec::designFor(std::string(frequencyText), m_options.elements, m_options.checkSettings);
        if (const auto *refusal = std::get_if<nec::DesignRefusal>(&design)) {
            if (refusal->frequency)
                fail(frequencyText, refusal->message, checkFailureRecord());
            else
                engineFailed(frequencyText, refusal->message);
            return std::nullopt;
        }
        for (const std::string &warning : std::get<nec::CheckDesign>(design).warnings)
            warn(frequencyText, warning);
        return std::get<nec::CheckDesign>(std::move(design));
    }

    void warn(std::string_view frequencyText, std::string_view warning)
    {
        m_err << "tarvelin-calc: '" << terminalSafe(frequencyText) << "': warning: " << warning << '\n';
    }

    // A check that could not run is no result: its frequency gets an error record in csv and json, like any
    // failed input, unless a result stands beside it; the reason goes to stderr whatever the format, since it
    // is about the machine.
    void engineFailed(std::string_view frequencyText, std::string_view message, bool noResult = true)
    {
        m_anyFailed = true;
        if (noResult)
            m_writer.appendFailure(m_buffer, checkFailureRecord(), frequencyText, message);
        m_err << "tarvelin-calc: '" << terminalSafe(frequencyText) << "': " << terminalSafe(message) << '\n';
    }

    void fraction(std::string_view valueText)
    {
        const std::optional<double> value = readValue(valueText);
        if (!value) {
            fail(valueText, "Not a number", ResultKind::Fraction);
            return;
        }
        try {
            m_writer.appendFraction(m_buffer, valueText, Dec2Frac(*value));
        } catch (const RuntimeError &error) {
            fail(valueText,
                 error.number() == ErrorNumber::Overflow
                     ? std::string(error.description()) + ": " + overflowMeaning(*value)
                     : std::string(error.description()),
                 ResultKind::Fraction);
        }
    }

    // A check run for a shop sheet fails under the sheet's own header.
    [[nodiscard]] ResultKind checkFailureRecord() const
    {
        return m_options.mode == Mode::Shop   ? ResultKind::ShopSheet
               : m_options.mode == Mode::Tune ? ResultKind::Tune
                                              : ResultKind::Check;
    }

    void fail(std::string_view input, std::string_view message, ResultKind kind)
    {
        m_anyFailed = true;
        m_writer.appendFailure(m_buffer, kind, input, message);
        if (!m_writer.failuresInOutput())
            m_err << "tarvelin-calc: '" << terminalSafe(input) << "': " << terminalSafe(message) << '\n';
    }

    const Options &m_options;
    const nec::TunedDesign *m_tuned;      // --shop --tuned FILE's design
    const nec::MeasuredSweep *m_measured; // --analyse --sweep FILE's figures
    ResultWriter m_writer;
    std::ostream &m_out;
    std::ostream &m_err;
    MemoryGrid m_grid;
    std::string m_buffer;
    bool m_anyFailed = false;
};

} // namespace

int runCommandLine(std::span<const std::string_view> arguments, std::istream &in, std::ostream &out, std::ostream &err)
{
    std::optional<Options> options = parseOptions(arguments, err);
    if (!options) {
        err << kUsage;
        return kExitUsage;
    }

    // A failed write stops the work at once: nobody reads what would follow. A reader that went away is no
    // error to report, as for any filter.
    const auto cannotWrite = [&] {
        const int error = errno;
        if (error == EPIPE)
            return kExitReaderGone;
        complain(err, {},
                 std::string("Cannot write the output: ") + (error != 0 ? systemErrorText(error) : "write error"));
        return kExitInputOutput;
    };
    if (options->help || options->version) {
        errno = 0;
        out << (options->help ? kHelp : std::string_view("tarvelin-calc " TARVELIN_VERSION "\n"));
        return out.flush() ? kExitSuccess : cannotWrite();
    }

    // The files the options name are read once, before any input.
    const auto readFile = [&err](const std::string &path, std::string_view option) -> std::variant<std::string, int> {
        auto read = readWholeFile(path, Streams::Read);
        if (const auto *refusal = std::get_if<ReadRefusal>(&read)) {
            if (refusal->kind == ReadRefusal::Kind::TooLarge) {
                complain(err, option, path + " is larger than 64 MiB, which no analyser's sweep or tuned design is");
                return kExitSomeFailed;
            }
            complain(err, option, "Cannot read " + path + ": " + refusal->reason);
            return kExitInputOutput;
        }
        return std::get<std::string>(std::move(read));
    };
    // A file's name as the output shows it: in a terminal's table with its control characters escaped, as
    // every text from the input is; the files keep it as it is, each writing it in its own way.
    const auto shownName = [&options](const std::string &path) {
        return options->format == OutputFormat::Table ? terminalSafe(path) : path;
    };
    // An analyser's sweep: a broken file is refused by its line, before any check runs.
    const auto readMeasured = [&](const std::string &path,
                                  std::string_view option) -> std::variant<nec::MeasuredSweep, int> {
        const auto text = readFile(path, option);
        if (const int *status = std::get_if<int>(&text))
            return *status;
        auto read = touchstone::readSweep(std::get<std::string>(text), path);
        if (const auto *refusal = std::get_if<std::string>(&read)) {
            complain(err, option, *refusal);
            return kExitSomeFailed; // an input that failed, not a usage error
        }
        return nec::measuredSweepOf(std::get<touchstone::Sweep>(read), shownName(path), options->checkSettings.z0Ohms);
    };
    std::optional<nec::MeasuredSweep> measured;
    if (!options->sweepPath.empty()) {
        auto read = readMeasured(options->sweepPath, "--sweep");
        if (const int *status = std::get_if<int>(&read))
            return *status;
        measured = std::get<nec::MeasuredSweep>(std::move(read));
    }
    if (!options->measuredSweepPath.empty()) {
        // The sweep's lowest SWR is the measured resonance, exactly as if it had been typed.
        auto read = readMeasured(options->measuredSweepPath, "--measured-sweep");
        if (const int *status = std::get_if<int>(&read))
            return *status;
        const auto resonance = nec::sheetResonanceOf(std::get<nec::MeasuredSweep>(read));
        if (const auto *refusal = std::get_if<shop::ShopRefusal>(&resonance)) {
            complain(err, "--measured-sweep", refusal->message);
            return kExitSomeFailed;
        }
        shop::ShopSettingTexts texts = options->shopTexts;
        texts.measured = std::get<std::string>(resonance);
        auto settings = shop::readShopSettings(texts);
        if (const auto *refusal = std::get_if<shop::ShopRefusal>(&settings)) {
            complain(err, "--measured-sweep", refusal->message);
            return kExitSomeFailed;
        }
        options->shopSettings = std::get<shop::ShopSettings>(settings);
        options->shopSettings.elements = options->elements;
        options->shopSettings.sweepFile = shownName(options->measuredSweepPath);
    }

    // --shop --tuned FILE: the design is read once, before any sheet; with no FREQUENCY, its own.
    std::optional<nec::TunedDesign> tuned;
    std::vector<std::string_view> inputs = options->inputs;
    if (!options->tunedPath.empty()) {
        const auto text = readFile(options->tunedPath, "--tuned");
        if (const int *status = std::get_if<int>(&text))
            return *status;
        auto read = nec::readTunedDesign(std::get<std::string>(text));
        if (const auto *refusal = std::get_if<std::string>(&read)) {
            complain(err, "--tuned", options->tunedPath + ": " + *refusal);
            return kExitSomeFailed;
        }
        tuned = std::get<nec::TunedDesign>(std::move(read));
    }
    if (tuned && inputs.empty())
        inputs.push_back(tuned->frequencyText);

    Runner runner(*options, tuned ? &*tuned : nullptr, measured ? &*measured : nullptr, out, err);
    if (!inputs.empty()) {
        for (const std::string_view input : inputs)
            if (!runner.process(input))
                return cannotWrite();
        if (!out.flush())
            return cannotWrite();
    } else {
        // A line is read into a buffer of its own size at most, so a stream without line ends (such as
        // /dev/zero) is refused a line at a time instead of filling the memory.
        std::vector<char> buffer(kLongestInputLine + 1);
        std::size_t lineNumber = 0;
        errno = 0;
        for (;;) {
            in.getline(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            const auto read = static_cast<std::size_t>(in.gcount());
            if (in.bad() || (in.fail() && in.eof() && read == 0))
                break;
            ++lineNumber;
            bool written = true;
            if (in.fail()) {
                in.clear();
                written = runner.refuseLongLine(lineNumber) && out.flush();
                in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
            } else {
                // The line end was read too, unless the input ended without one.
                std::string_view line(buffer.data(), in.eof() ? read : read - 1);
                if (!line.empty() && line.back() == '\r')
                    line.remove_suffix(1);
                written = runner.process(line);
            }
            if (!written)
                return cannotWrite();
            // Stream: hand the result on before waiting for the next line, but not while more input is
            // already buffered, so a large batch is not written a line at a time.
            if (in.rdbuf()->in_avail() <= 0 && !out.flush())
                return cannotWrite();
            errno = 0;
        }
        // The end of the input, or a failure to read it, which is not the same.
        if (in.bad()) {
            const int error = errno;
            out.flush();
            complain(err, {},
                     std::string("Cannot read the input: ") + (error != 0 ? systemErrorText(error) : "read error"));
            return kExitInputOutput;
        }
        if (!out.flush())
            return cannotWrite();
    }
    return runner.anyFailed() ? kExitSomeFailed : kExitSuccess;
}

} // namespace tarvelin::cli
