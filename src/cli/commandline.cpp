// SPDX-License-Identifier: MIT
#include "cli/commandline.h"

#include "core/tune/tunedbands.h"

#include "cli/mode.h"
#include "cli/options.h"
#include "cli/session.h"
#include "core/format/fieldtext.h"
#include "core/measure/measured.h"
#include "core/tune/tuneddesign.h"
#include "core/runtime/fileread.h"
#include "core/runtime/systemerror.h"
#include "core/touchstone/touchstone.h"

#include <cerrno>
#include <istream>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

namespace tarvelin::cli {

namespace {

// No value is this long: a longer line of standard input is no value, and is not held in memory.
constexpr std::size_t kLongestInputLine = 64 * 1024;

} // namespace

namespace {

// A failed write stops the work at once: nobody reads what would follow. A reader that went away is no error
// to report, as for any filter.
int cannotWrite(std::ostream &err)
{
    const int error = errno;
    if (error == EPIPE)
        return kExitReaderGone;
    complain(err, {}, std::string("Cannot write the output: ") + (error != 0 ? systemErrorText(error) : "write error"));
    return kExitInputOutput;
}

// The files the options name: the sweeps, the stub's sweep and the tuned design.
struct NamedFiles
{
    std::vector<measure::SweepFile> sweeps;
    std::vector<measure::SweepFile> sheetSweeps;
    std::optional<measure::SweepFile> stubSweep;
    std::optional<tune::TunedDesign> tuned;
    std::optional<tune::TunedBands> tunedBands; // a tuned quad of several bands instead
};

// The files the options name, read once, before any input; or the exit status of the one that could not be.
std::variant<NamedFiles, int> readNamedFiles(const Options &options, std::ostream &err)
{
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
        return options.format == OutputFormat::Table ? format::terminalSafe(path) : path;
    };
    // An analyser's sweep: a broken file is refused by its line, before any check runs. It is read for each
    // design in turn, whose frequency its match and any line it was measured through depend on.
    const auto readSweepFile = [&](const std::string &path,
                                   std::string_view option) -> std::variant<measure::SweepFile, int> {
        const auto text = readFile(path, option);
        if (const int *status = std::get_if<int>(&text))
            return *status;
        auto read = touchstone::readSweep(std::get<std::string>(text), path);
        if (const auto *refusal = std::get_if<std::string>(&read)) {
            complain(err, option, *refusal);
            return kExitSomeFailed; // an input that failed, not a usage error
        }
        return measure::SweepFile{shownName(path), std::get<touchstone::Sweep>(std::move(read))};
    };
    NamedFiles named;
    for (const std::string &path : options.sweepPaths) {
        auto read = readSweepFile(path, "--sweep");
        if (const int *status = std::get_if<int>(&read))
            return *status;
        named.sweeps.push_back(std::get<measure::SweepFile>(std::move(read)));
    }
    for (const std::string &path : options.measuredSweepPaths) {
        auto read = readSweepFile(path, "--measured-sweep");
        if (const int *status = std::get_if<int>(&read))
            return *status;
        named.sheetSweeps.push_back(std::get<measure::SweepFile>(std::move(read)));
    }

    if (!options.stubSweepPath.empty()) {
        auto read = readSweepFile(options.stubSweepPath, "--stub-sweep");
        if (const int *status = std::get_if<int>(&read))
            return *status;
        named.stubSweep = std::get<measure::SweepFile>(std::move(read));
    }

    // --shop --tuned FILE: the design is read once, before any sheet; with no FREQUENCY, its own.
    if (!options.tunedPath.empty()) {
        const auto text = readFile(options.tunedPath, "--tuned");
        if (const int *status = std::get_if<int>(&text))
            return *status;
        if (tune::isTunedBandsText(std::get<std::string>(text))) {
            auto bands = tune::readTunedBands(std::get<std::string>(text));
            if (const auto *refusal = std::get_if<std::string>(&bands)) {
                complain(err, "--tuned", options.tunedPath + ": " + *refusal);
                return kExitSomeFailed;
            }
            named.tunedBands = std::get<tune::TunedBands>(std::move(bands));
            return named;
        }
        auto read = tune::readTunedDesign(std::get<std::string>(text));
        if (const auto *refusal = std::get_if<std::string>(&read)) {
            complain(err, "--tuned", options.tunedPath + ": " + *refusal);
            return kExitSomeFailed;
        }
        named.tuned = std::get<tune::TunedDesign>(std::move(read));
        if (options.through.match && named.tuned->check.match.kind == design::MatchKind::Direct) {
            complain(err, "--through-match",
                     "The tuned design in " + options.tunedPath + " is fed direct: it has no match to take out");
            return kExitUsage;
        }
    }
    return named;
}

// Each line of the input as a frequency, its result written as soon as it is read.
int processLines(Session &runner, std::istream &in, std::ostream &out, std::ostream &err)
{
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
            return cannotWrite(err);
        // Stream: hand the result on before waiting for the next line, but not while more input is
        // already buffered, so a large batch is not written a line at a time.
        if (in.rdbuf()->in_avail() <= 0 && !out.flush())
            return cannotWrite(err);
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
        return cannotWrite(err);
    return runner.anyFailed() ? kExitSomeFailed : kExitSuccess;
}

} // namespace

int runCommandLine(std::span<const std::string_view> arguments, std::istream &in, std::ostream &out, std::ostream &err,
                   study::EngineLauncher &launcher)
{
    std::optional<Options> options = parseOptions(arguments, err);
    if (!options) {
        err << usageText();
        return kExitUsage;
    }
    if (options->help || options->version) {
        errno = 0;
        out << (options->help ? helpText() : std::string("tarvelin-calc " TARVELIN_VERSION "\n"));
        return out.flush() ? kExitSuccess : cannotWrite(err);
    }
    auto read = readNamedFiles(*options, err);
    if (const int *status = std::get_if<int>(&read))
        return *status;
    NamedFiles &named = std::get<NamedFiles>(read);
    std::vector<std::string_view> inputs = options->inputs;
    if (named.tuned && inputs.empty())
        inputs.push_back(named.tuned->frequencyText);
    if (named.stubSweep)
        inputs.push_back(named.stubSweep->file);
    if (!options->bands.empty())
        inputs.push_back(options->bandsText); // the bands are the one design
    if (named.tunedBands && inputs.empty())
        inputs.push_back(options->tunedPath); // the saved quad is the one design

    Session runner(*options, named.tuned ? &*named.tuned : nullptr, {named.sweeps, named.sheetSweeps, named.stubSweep},
                   launcher, out, err);
    runner.setTunedBands(named.tunedBands ? &*named.tunedBands : nullptr);
    if (inputs.empty())
        return processLines(runner, in, out, err);
    for (const std::string_view input : inputs)
        if (!runner.process(input))
            return cannotWrite(err);
    if (!out.flush())
        return cannotWrite(err);
    return runner.anyFailed() ? kExitSomeFailed : kExitSuccess;
}

} // namespace tarvelin::cli
