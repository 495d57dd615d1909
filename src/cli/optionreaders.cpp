// SPDX-License-Identifier: MIT
// The options of a single value, each read by the core's reader for it through one table.
#include "cli/givenoptions.h"

#include "core/format/fieldtext.h"
#include "core/study/study.h"
#include "core/text/typedtext.h"

#include <array>
#include <ostream>

namespace tarvelin::cli {

namespace {

// A value read by its core reader into the options, or the reader's refusal.
template <typename Value, typename Read, typename Store>
std::optional<std::string> readInto(const Read &read, Store store)
{
    if (const auto *refusal = std::get_if<std::string>(&read))
        return *refusal;
    store(std::get<Value>(read));
    return std::nullopt;
}

bool tuning(const Options &options)
{
    return options.mode == Mode::Tune || options.tuneForSheet || options.uses.tunedFile;
}

// One option of a single value: its text, whether the mode and its uses read it, and how it is read and
// where it goes. An option given where it is not read is one the mode refuses before.
struct OptionReader
{
    std::string_view name;
    std::string Given::*text;
    bool (*reads)(const Options &options);
    std::optional<std::string> (*read)(const std::string &text, Options &options);
};

// A word among those given, or the refusal naming them.
template <typename Value, std::size_t N>
std::variant<Value, std::string> readWord(const std::string &text,
                                          const std::array<std::pair<std::string_view, Value>, N> &words)
{
    for (const auto &[word, value] : words)
        if (text == word)
            return value;
    std::string names;
    for (std::size_t i = 0; i < N; ++i)
        names += std::string(i == 0 ? "" : i + 1 == N ? " or " : ", ") + std::string(words[i].first);
    return "Give " + names + ", not '" + format::terminalSafe(text) + "'";
}

std::variant<double, std::string> readWithin(const std::string &text, double lowest, double highest,
                                             const std::string &what)
{
    const std::optional<double> value = decimalText(text);
    if (!value || !(*value >= lowest && *value <= highest))
        return what + " must be a number from " + design::shortestText(lowest) + " to " + design::shortestText(highest);
    return *value;
}

const std::array kOptionReaders{
    OptionReader{"--elements", &Given::elements, [](const Options &) { return true; },
                 [](const std::string &text, Options &options) {
                     return readInto<int>(design::readElementCount(text), [&options](int elements) {
                         options.elements = elements;
                         options.tunedGiven.elements = elements;
                     });
                 }},
    OptionReader{"--processes", &Given::processes, [](const Options &) { return true; },
                 [](const std::string &text, Options &options) {
                     return readInto<int>(study::readProcessCount(text),
                                          [&options](int processes) { options.processes = processes; });
                 }},
    OptionReader{"--band", &Given::band, tuning,
                 [](const std::string &text, Options &options) {
                     return readInto<double>(tune::readTuneBand(text), [&options](double percent) {
                         options.tuneSettings.bandPercent = percent;
                         if (options.uses.tunedFile)
                             options.tunedGiven.bandPercent = percent;
                     });
                 }},
    // The goals also hold the check's verdict to them.
    OptionReader{"--goal-swr", &Given::goalSwr,
                 [](const Options &options) { return tuning(options) || options.mode == Mode::Analyse; },
                 [](const std::string &text, Options &options) {
                     return readInto<double>(tune::readGoalSwr(text), [&options](double swr) {
                         options.tuneSettings.maxSwr = swr;
                         options.tunedGiven.maxSwr = swr;
                     });
                 }},
    OptionReader{"--goal-fb", &Given::goalFb,
                 [](const Options &options) { return tuning(options) || options.mode == Mode::Analyse; },
                 [](const std::string &text, Options &options) {
                     return readInto<double>(tune::readGoalFrontToBack(text), [&options](double db) {
                         options.tuneSettings.minFrontToBackDb = db;
                         options.tunedGiven.minFrontToBackDb = db;
                     });
                 }},
    OptionReader{"--boom", &Given::boom,
                 [](const Options &options) { return tuning(options) || options.mode == Mode::Analyse; },
                 [](const std::string &text, Options &options) {
                     return readInto<double>(tune::readTuneBoom(text), [&options](double metres) {
                         options.tuneSettings.boomMetres = metres;
                         options.tunedGiven.boomMetres = metres;
                     });
                 }},
    OptionReader{"--time-limit", &Given::timeLimit, tuning,
                 [](const std::string &text, Options &options) {
                     return readInto<double>(tune::readTuneSeconds(text), [&options](double seconds) {
                         options.tuneSettings.timeLimitSeconds = seconds;
                     });
                 }},
    OptionReader{"--bands", &Given::bands, [](const Options &) { return true; },
                 [](const std::string &text, Options &options) {
                     return readInto<std::vector<design::Band>>(design::readBands(text),
                                                                [&options, &text](std::vector<design::Band> bands) {
                                                                    options.bands = std::move(bands);
                                                                    options.bandsText = text;
                                                                });
                 }},
    OptionReader{"--layout", &Given::layout, [](const Options &) { return true; },
                 [](const std::string &text, Options &options) {
                     return readInto<design::NestedLayout>(
                         readWord(text,
                                  std::array{std::pair{std::string_view("boom"), design::NestedLayout::Boom},
                                             std::pair{std::string_view("spider"), design::NestedLayout::Spider}}),
                         [&options](design::NestedLayout layout) { options.nested.layout = layout; });
                 }},
    OptionReader{"--shape", &Given::shape, [](const Options &) { return true; },
                 [](const std::string &text, Options &options) {
                     return readInto<design::LoopShape>(
                         readWord(text, std::array{std::pair{std::string_view("square"), design::LoopShape::Square},
                                                   std::pair{std::string_view("diamond"), design::LoopShape::Diamond}}),
                         [&options](design::LoopShape shape) { options.nested.shape = shape; });
                 }},
    OptionReader{"--spacing", &Given::spacing, [](const Options &) { return true; },
                 [](const std::string &text, Options &options) {
                     return readInto<double>(readWithin(text, design::kLowestSpacingWavelengths,
                                                        design::kHighestSpacingWavelengths,
                                                        "The spacing in wavelengths"),
                                             [&options](double waves) { options.nested.spacingWavelengths = waves; });
                 }},
    OptionReader{"--spider-angle", &Given::spiderAngle, [](const Options &) { return true; },
                 [](const std::string &text, Options &options) {
                     return readInto<double>(readWithin(text, design::kLowestSpiderAngleDeg,
                                                        design::kHighestSpiderAngleDeg,
                                                        "The arms' angle from the plane across the boom in degrees"),
                                             [&options](double degrees) { options.nested.spiderAngleDeg = degrees; });
                 }},
    OptionReader{"--idle", &Given::idle, [](const Options &) { return true; },
                 [](const std::string &text, Options &options) {
                     return readInto<design::IdleEnd>(design::readIdleEnd(text),
                                                      [&options](const design::IdleEnd &end) { options.idle = end; });
                 }},
    OptionReader{"--max-designs", &Given::designLimit, tuning,
                 [](const std::string &text, Options &options) {
                     return readInto<int>(tune::readTuneDesigns(text),
                                          [&options](int designs) { options.tuneSettings.designLimit = designs; });
                 }},
};

} // namespace

bool readValues(Given &g, Options &options, std::ostream &err)
{
    for (const OptionReader &reader : kOptionReaders) {
        if (g.app.count(std::string(reader.name)) == 0 || !reader.reads(options))
            continue;
        if (const std::optional<std::string> refusal = reader.read(g.*reader.text, options)) {
            complain(err, reader.name, *refusal);
            return false;
        }
    }
    return true;
}

} // namespace tarvelin::cli
