// SPDX-License-Identifier: MIT
#include "cli/commandline.h"

#include "calc/calculationpass.h"
#include "calc/dec2frac.h"
#include "calc/memorygrid.h"
#include "runtime/fieldtext.h"
#include "cli/resultwriter.h"
#include "runtime/runtimeerror.h"
#include "cli/necrunner.h"
#include "nec/analysis.h"
#include "nec/deck.h"
#include "shop/shopsheet.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <variant>
#include <vector>

namespace tarvelin::cli {

namespace {

constexpr std::string_view kUsage =
    "usage: tarvelin-calc [--format table|csv|json] [FREQUENCY ...]\n"
    "       tarvelin-calc [--format table|csv|json] --fraction [VALUE ...]\n"
    "       tarvelin-calc [--format table|csv|json] --shop [--step N] [--allowance LENGTH]\n"
    "                     [--hub-offset LENGTH] [--measured MHZ] [FREQUENCY ...]\n"
    "Try 'tarvelin-calc --help' for more information.\n";

constexpr std::string_view kHelp =
    R"(Usage: tarvelin-calc [--format table|csv|json] [FREQUENCY ...]
  or:  tarvelin-calc [--format table|csv|json] --fraction [VALUE ...]
  or:  tarvelin-calc [--format table|csv|json] --shop [SHOP OPTION ...] [FREQUENCY ...]
  or:  tarvelin-calc [--format table|csv|json] --analyse [CHECK OPTION ...] [FREQUENCY ...]
  or:  tarvelin-calc --nec [CHECK OPTION ...] [FREQUENCY ...]

Calculates a seven-element cubical quad (reflector, driven element, five
directors) for each centre FREQUENCY in megahertz, with exactly the texts the
Tarvelin window shows: loop length, one side, spreader half and total length,
and element spacing, in inches and centimetres, and the total boom length.

A FREQUENCY is read as the window reads it: the number at its start, so
"14.2 MHz" is 14.2. With no FREQUENCY, one frequency is read from each line
of standard input and each result is written as soon as its line is read.

Options:
  --format table   the grid laid out as in the window (the default)
  --format csv     one line per frequency under one header line; the last
                   field holds the message when the frequency is refused
  --format json    one object per line:
                     {"frequency": TEXT, "cells": [ROW, ...],
                      "boom": {"feet": TEXT, "inches": TEXT, "centimetres": TEXT}}
                   with the rows Reflector (8 cells) to Director 5 (10 cells),
                   or {"frequency": TEXT, "error": MESSAGE}
  --fraction       instead of calculating, print the fraction of each VALUE
                   (decimal or exponent form, read as the nearest double),
                   such as 3/8 for 0.375; json gives {"value": TEXT,
                   "fraction": TEXT} or {"value": TEXT, "error": MESSAGE}.
                   A positive VALUE gets the fraction with the smallest
                   denominator that equals it as a double (whole numbers
                   over 1). Zero and negative values never take the
                   denominator 1: 0 gives 0/2, -3 gives -6/2, -0.75 -3/4.
  --shop           instead of the grid, the shop sheet of each FREQUENCY: the
                   cut list in feet, inches and fractions and in millimetres:
                   each loop's wire and corner marks, the spreader arms, the
                   element stations along the boom, the wire in all; json
                   gives one object per frequency, csv one row per element
  --step N         fraction step of the sheet: 8, 16 (the default), 32 or 64
  --allowance LENGTH
                   extra wire for each loop's join (default 0); a LENGTH is
                   in inches or millimetres: 2.5, 2.5 in, 60 mm
  --hub-offset LENGTH
                   how much of each spreader arm the hub takes (default 0)
  --measured MHZ   the frequency the built array resonates at, within 10 % of
                   FREQUENCY: the sheet adds each loop's trim and the
                   corrected stations
  --nec            instead of the grid, print the NEC-2 deck of the design at
                   each FREQUENCY, with the check settings below
  --analyse        check each FREQUENCY's design with the NEC-2 engine nec2c:
                   feed impedance, SWR, forward gain and front-to-back across
                   the band, with the resonance, the lowest SWR, the 2:1 band
                   and the efficiency; json gives {"frequency": TEXT,
                   "points": [{"mhz", "r", "x", "swr", "gain_dbi", "fb_db"}],
                   "resonance_mhz", "min_swr": {"mhz", "swr"}, "swr2_mhz":
                   [LOW, HIGH], "efficiency_percent"} (null where none)
  --wire-mm D      wire diameter in millimetres (default 2.05, AWG 12)
  --awg N          wire gauge from 8 to 20 instead of a diameter
  --segments N     segments per loop side: odd, 5 to 51 (default 11)
  --span PERCENT   the sweep runs this far either side (default 3)
  --points N       frequencies in the sweep: odd, 3 to 101 (default 13)
  --z0 OHMS        feed line impedance for the SWR (default 50)
  --lossless       perfect wire instead of copper
  --ground-height LENGTH
                   over average ground with the boom at this height (15 m,
                   50 ft); gain and front-to-back at the best elevation
  -h, --help       show this help
  --version        show the version
  --               the arguments after it are all FREQUENCY or VALUE texts

The shop sheet, the deck and the check are worked out for 0.01 to 100000 MHz;
a check refuses wire too thick for its segments, and warns where segments are
shorter than 8 wire radii. A check stopped by TERM, HUP or INT stops its nec2c
processes and removes its temporary folder first.

Control characters in the input are written escaped (\x1b) in the table and in
messages, so input can never reprogram a terminal; csv keeps them as they are,
but a text field that a spreadsheet would take for a formula (it begins with
=, +, -, @, a tab or a carriage return) is written with a leading apostrophe.

Exit status: 0 when every input succeeded, 1 when any failed (each failure is
reported, the others are still printed), 2 for a usage error, 3 when the input
could not be read or the output could not be written (reported on stderr; the
work stops there).

Examples:
  tarvelin-calc 14.2                       the 20 m band, as in the window
  tarvelin-calc --format json 7.1 14.2     one JSON object per frequency
  tarvelin-calc --format csv < bands.txt   one CSV line per input line
  tarvelin-calc --fraction 0.375           3/8
  tarvelin-calc --shop --allowance 2in 14.2   the cut list for 20 m
  tarvelin-calc --analyse --format json 14.2  the design checked with nec2c
)";

struct Options
{
    OutputFormat format = OutputFormat::Table;
    bool fractions = false;
    bool shop = false;
    shop::ShopSettings shopSettings;
    bool deck = false;
    bool analyse = false;
    nec::CheckSettings checkSettings;
    bool help = false;
    bool version = false;
    std::vector<std::string_view> inputs;
};

std::optional<OutputFormat> formatNamed(std::string_view name)
{
    if (name == "table")
        return OutputFormat::Table;
    if (name == "csv")
        return OutputFormat::Csv;
    if (name == "json")
        return OutputFormat::Json;
    return std::nullopt;
}

// A dash followed by a digit or a point is a negative number, not an option.
bool looksLikeNumber(std::string_view argument)
{
    return argument.size() >= 2 && argument[0] == '-' &&
           ((argument[1] >= '0' && argument[1] <= '9') || argument[1] == '.');
}

std::optional<double> readValue(std::string_view text);

constexpr std::array<std::string_view, 12> kValuedOptions{"--format",   "--step",    "--allowance", "--hub-offset",
                                                          "--measured", "--wire-mm", "--awg",       "--segments",
                                                          "--span",     "--points",  "--z0",        "--ground-height"};

// A whole number that is the whole text.
std::optional<int> wholeNumber(std::string_view text)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The option an argument names when it is one that takes a value, as "--name VALUE" or "--name=VALUE".
std::optional<std::string_view> valuedOptionName(std::string_view argument)
{
    for (const std::string_view name : kValuedOptions)
        if (argument == name ||
            (argument.starts_with(name) && argument.size() > name.size() && argument[name.size()] == '='))
            return name;
    return std::nullopt;
}

// Takes an option's value; gives what is wrong with it, if anything.
std::optional<std::string> takeValue(Options &options, std::string_view name, std::string_view value)
{
    if (name == "--format") {
        const auto format = formatNamed(value);
        if (!format)
            return "unknown format '" + std::string(value) + "' (table, csv or json)";
        options.format = *format;
    } else if (name == "--step") {
        int step = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), step);
        if (ec != std::errc() || end != value.data() + value.size() || !shop::isFractionStep(step))
            return shop::stepRefusal();
        options.shopSettings.step = step;
    } else if (name == "--allowance" || name == "--hub-offset") {
        const std::optional<std::int64_t> length = shop::typedLengthThousandths(value);
        if (!length || *length < 0)
            return name == "--allowance" ? shop::allowanceRefusal()
                                         : "The hub offset must be a length of zero or more, such as 1 in or 25 mm.";
        (name == "--allowance" ? options.shopSettings.allowanceThousandths
                               : options.shopSettings.hubOffsetThousandths) = *length;
    } else if (name == "--wire-mm" || name == "--span" || name == "--z0") {
        const std::optional<double> number = readValue(value);
        if (!number || !std::isfinite(*number))
            return "not a number: '" + std::string(value) + "'";
        (name == "--wire-mm" ? options.checkSettings.wireDiameterMm
         : name == "--span"  ? options.checkSettings.spanPercent
                             : options.checkSettings.z0Ohms) = *number;
    } else if (name == "--awg") {
        const std::optional<int> gauge = wholeNumber(value);
        if (!gauge || *gauge < 8 || *gauge > 20)
            return "the AWG gauge must be a whole number from 8 to 20";
        options.checkSettings.wireDiameterMm = nec::awgDiameterMm(*gauge);
    } else if (name == "--segments" || name == "--points") {
        const std::optional<int> count = wholeNumber(value);
        if (!count)
            return "not a whole number: '" + std::string(value) + "'";
        (name == "--segments" ? options.checkSettings.segments : options.checkSettings.points) = *count;
    } else if (name == "--ground-height") {
        const std::optional<std::int64_t> thousandths = shop::typedLengthThousandths(value);
        if (!thousandths || *thousandths <= 0)
            return "the boom height must be a length above zero, such as 15 m or 50 ft";
        options.checkSettings.groundHeightMetres = static_cast<double>(*thousandths) / 1000.0 * 0.0254;
    } else if (name == "--measured") {
        const std::optional<double> measured = readValue(value);
        if (!measured || !(*measured > 0.0) || !std::isfinite(*measured))
            return shop::measuredRefusal();
        // Read to three decimals, as every setting of the sheet is.
        options.shopSettings.measuredMHz = std::round(*measured * 1000.0) / 1000.0;
    }
    return std::nullopt;
}

std::optional<Options> parseOptions(std::span<const std::string_view> arguments, std::ostream &err)
{
    Options options;
    bool onlyInputs = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (onlyInputs || argument.empty() || argument.front() != '-' || argument == "-" || looksLikeNumber(argument)) {
            options.inputs.push_back(argument);
        } else if (argument == "--") {
            onlyInputs = true;
        } else if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--fraction") {
            options.fractions = true;
        } else if (argument == "--shop") {
            options.shop = true;
        } else if (argument == "--nec") {
            options.deck = true;
        } else if (argument == "--analyse" || argument == "--analyze") {
            options.analyse = true;
        } else if (argument == "--lossless") {
            options.checkSettings.lossless = true;
        } else if (const std::optional<std::string_view> name = valuedOptionName(argument)) {
            std::string_view value;
            const std::size_t equals = argument.find('=');
            if (equals != std::string_view::npos) {
                value = argument.substr(equals + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                err << "tarvelin-calc: " << *name << " needs a value\n";
                return std::nullopt;
            }
            if (const std::optional<std::string> problem = takeValue(options, *name, value)) {
                err << "tarvelin-calc: " << *name << ": " << terminalSafe(*problem) << '\n';
                return std::nullopt;
            }
        } else {
            err << "tarvelin-calc: unknown option '" << terminalSafe(argument) << "'\n";
            return std::nullopt;
        }
    }
    if (const std::optional<std::string> problem = nec::checkSettingsProblem(options.checkSettings)) {
        err << "tarvelin-calc: " << *problem << '\n';
        return std::nullopt;
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

// A run of the engine that takes longer than this has hung.
constexpr std::chrono::seconds kEngineTimeLimit{300};

class Runner
{
public:
    Runner(const Options &options, std::ostream &out, std::ostream &err)
        : m_options(options), m_writer(options.format), m_out(out), m_err(err)
    {
    }

    // Gives false when the output could not be written.
    [[nodiscard]] bool process(std::string_view input)
    {
        m_buffer.clear();
        if (m_options.fractions)
            fraction(input);
        else if (m_options.shop)
            shopSheet(input);
        else if (m_options.deck)
            necDeck(input);
        else if (m_options.analyse)
            analyse(input);
        else
            calculate(input);
        m_out << m_buffer;
        return m_out.good();
    }

    [[nodiscard]] bool anyFailed() const { return m_anyFailed; }

private:
    // The steps straight into the grid the output is written from: nothing is on display here, so there is
    // no need for the pass's scratch copy; a refused frequency is reported with the window's message.
    void calculate(std::string_view frequencyText)
    {
        m_grid.setFrequencyText(std::string(frequencyText));
        try {
            calculateInto(m_grid);
        } catch (const RuntimeError &) {
            fail(frequencyText, kRefusedFrequencyMessage, &ResultWriter::appendGridFailure);
            return;
        }
        m_writer.appendGrid(m_buffer, frequencyText, m_grid);
    }

    void shopSheet(std::string_view frequencyText)
    {
        auto made = shop::makeShopSheet(std::string(frequencyText), m_options.shopSettings);
        if (const auto *sheet = std::get_if<shop::ShopSheet>(&made))
            m_writer.appendShopSheet(m_buffer, *sheet);
        else
            fail(frequencyText, std::get<shop::ShopRefusal>(made).message, &ResultWriter::appendShopFailure);
    }

    void necDeck(std::string_view frequencyText)
    {
        auto geometry = nec::geometryFor(std::string(frequencyText));
        if (const auto *refusal = std::get_if<nec::GeometryRefusal>(&geometry)) {
            fail(frequencyText, refusal->message, &ResultWriter::appendShopFailure);
            return;
        }
        const nec::ArrayGeometry &array = std::get<nec::ArrayGeometry>(geometry);
        if (!structureModels(frequencyText, array))
            return;
        const std::vector<double> sweep = nec::sweepFrequencies(array.designMHz, m_options.checkSettings);
        m_buffer += nec::writeDeck(array, m_options.checkSettings, {sweep, true});
    }

    // The engine runs as one process per core, each on its share of the sweep.
    void analyse(std::string_view frequencyText)
    {
        auto geometry = nec::geometryFor(std::string(frequencyText));
        if (const auto *refusal = std::get_if<nec::GeometryRefusal>(&geometry)) {
            fail(frequencyText, refusal->message, &ResultWriter::appendShopFailure);
            return;
        }
        if (!structureModels(frequencyText, std::get<nec::ArrayGeometry>(geometry)))
            return;
        const auto processes = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
        const nec::AnalysisPlan plan =
            nec::planAnalysis(std::get<nec::ArrayGeometry>(geometry), m_options.checkSettings, processes);
        auto outputs = runEngine(plan.decks, kEngineTimeLimit);
        if (const auto *failure = std::get_if<EngineFailure>(&outputs)) {
            engineFailed(frequencyText, failure->message);
            return;
        }
        auto merged = nec::mergeOutputs(plan, std::get<std::vector<std::string>>(outputs), m_options.checkSettings);
        if (const auto *problem = std::get_if<nec::OutputProblem>(&merged)) {
            engineFailed(frequencyText, problem->message);
            return;
        }
        m_writer.appendCheck(m_buffer, frequencyText, std::get<nec::ArrayGeometry>(geometry).frequencyLabel,
                             std::get<nec::CheckSummary>(merged));
    }

    // Whether NEC-2 can model the array with the settings; a refusal is a failed input, and warnings go to
    // stderr beside the result.
    [[nodiscard]] bool structureModels(std::string_view frequencyText, const nec::ArrayGeometry &array)
    {
        const nec::StructureCheck check = nec::checkStructure(array, m_options.checkSettings);
        if (check.refusal) {
            engineFailed(frequencyText, *check.refusal);
            return false;
        }
        for (const std::string &warning : check.warnings)
            m_err << "tarvelin-calc: '" << terminalSafe(frequencyText) << "': warning: " << warning << '\n';
        return true;
    }

    // A failed engine is no result: the reason goes to stderr, whatever the format.
    void engineFailed(std::string_view frequencyText, std::string_view message)
    {
        m_anyFailed = true;
        m_err << "tarvelin-calc: '" << terminalSafe(frequencyText) << "': " << terminalSafe(message) << '\n';
    }

    void fraction(std::string_view valueText)
    {
        const std::optional<double> value = readValue(valueText);
        if (!value) {
            fail(valueText, "Not a number", &ResultWriter::appendFractionFailure);
            return;
        }
        try {
            m_writer.appendFraction(m_buffer, valueText, Dec2Frac(*value));
        } catch (const RuntimeError &error) {
            fail(valueText, error.description(), &ResultWriter::appendFractionFailure);
        }
    }

    void fail(std::string_view input, std::string_view message,
              void (ResultWriter::*append)(std::string &, std::string_view, std::string_view))
    {
        m_anyFailed = true;
        (m_writer.*append)(m_buffer, input, message);
        if (!m_writer.failuresInOutput())
            m_err << "tarvelin-calc: '" << terminalSafe(input) << "': " << message << '\n';
    }

    const Options &m_options;
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
    const std::optional<Options> options = parseOptions(arguments, err);
    if (!options) {
        err << kUsage;
        return kExitUsage;
    }
    if (options->help || options->version) {
        out << (options->help ? kHelp : std::string_view("tarvelin-calc " TARVELIN_VERSION "\n"));
        return out.flush() ? kExitSuccess : kExitInputOutput;
    }

    // A failed write stops the work at once: nobody reads what would follow.
    const auto cannotWrite = [&] {
        const int error = errno;
        err << "tarvelin-calc: cannot write the output: " << (error != 0 ? std::strerror(error) : "write error")
            << '\n';
        return kExitInputOutput;
    };

    Runner runner(*options, out, err);
    if (!options->inputs.empty()) {
        for (const std::string_view input : options->inputs)
            if (!runner.process(input))
                return cannotWrite();
        if (!out.flush())
            return cannotWrite();
    } else {
        std::string line;
        errno = 0;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!runner.process(line))
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
            err << "tarvelin-calc: cannot read the input: " << (error != 0 ? std::strerror(error) : "read error")
                << '\n';
            return kExitInputOutput;
        }
        if (!out.flush())
            return cannotWrite();
    }
    return runner.anyFailed() ? kExitSomeFailed : kExitSuccess;
}

} // namespace tarvelin::cli
