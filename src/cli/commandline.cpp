// SPDX-License-Identifier: MIT
#include "cli/commandline.h"

#include "calc/calculationpass.h"
#include "calc/dec2frac.h"
#include "calc/memorygrid.h"
#include "cli/jsontext.h"
#include "cli/resultwriter.h"
#include "runtime/messagebox.h"
#include "runtime/runtimeerror.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tarvelin::cli {

namespace {

constexpr std::string_view kUsage = "usage: tarvelin-calc [--format table|csv|json] [FREQUENCY ...]\n"
                                    "       tarvelin-calc [--format table|csv|json] --fraction [VALUE ...]\n"
                                    "Try 'tarvelin-calc --help' for more information.\n";

constexpr std::string_view kHelp =
    R"(Usage: tarvelin-calc [--format table|csv|json] [FREQUENCY ...]
  or:  tarvelin-calc [--format table|csv|json] --fraction [VALUE ...]

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
  -h, --help       show this help
  --version        show the version
  --               the arguments after it are all FREQUENCY or VALUE texts

Control characters in the input are written escaped (\x1b) in the table and in
messages, so input can never reprogram a terminal; csv keeps them as they are.

Exit status: 0 when every input succeeded, 1 when any failed (each failure is
reported, the others are still printed), 2 for a usage error, 3 when the input
could not be read or the output could not be written (reported on stderr; the
work stops there).

Examples:
  tarvelin-calc 14.2                       the 20 m band, as in the window
  tarvelin-calc --format json 7.1 14.2     one JSON object per frequency
  tarvelin-calc --format csv < bands.txt   one CSV line per input line
  tarvelin-calc --fraction 0.375           3/8
)";

// Collects what the calculation would show in its message box, so it can be reported on the command line.
class RecordingMessages final : public MessageBoxService
{
public:
    int MessageBox(const MessageBoxRequest &request) override
    {
        m_lastPrompt = request.prompt;
        return answer::kOk;
    }
    [[nodiscard]] const std::string &lastPrompt() const { return m_lastPrompt; }

private:
    std::string m_lastPrompt;
};

struct Options
{
    OutputFormat format = OutputFormat::Table;
    bool fractions = false;
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
        } else if (argument == "--format" || argument.starts_with("--format=")) {
            std::string_view name;
            if (argument == "--format") {
                if (i + 1 == arguments.size()) {
                    err << "tarvelin-calc: --format needs one of table, csv, json\n";
                    return std::nullopt;
                }
                name = arguments[++i];
            } else {
                name = argument.substr(std::string_view("--format=").size());
            }
            const auto format = formatNamed(name);
            if (!format) {
                err << "tarvelin-calc: unknown format '" << terminalSafe(name) << "' (table, csv or json)\n";
                return std::nullopt;
            }
            options.format = *format;
        } else {
            err << "tarvelin-calc: unknown option '" << terminalSafe(argument) << "'\n";
            return std::nullopt;
        }
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
        else
            calculate(input);
        m_out << m_buffer;
        return m_out.good();
    }

    [[nodiscard]] bool anyFailed() const { return m_anyFailed; }

private:
    void calculate(std::string_view frequencyText)
    {
        m_grid = MemoryGrid(std::string(frequencyText));
        if (runCalculationPass(m_grid, m_messages))
            m_writer.appendGrid(m_buffer, frequencyText, m_grid);
        else
            fail(frequencyText, m_messages.lastPrompt(), &ResultWriter::appendGridFailure);
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
    RecordingMessages m_messages;
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
