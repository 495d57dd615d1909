// SPDX-License-Identifier: MIT
#include "cli/session.h"

#include "core/study/nestedstudy.h"

#include "core/format/fieldtext.h"
#include "core/document/checktable.h"

#include <algorithm>
#include <ostream>
#include <thread>

namespace tarvelin::cli {

namespace {

constexpr std::string_view kLongLineMessage = "Longer than 64 KiB, so it was not read as a value";

} // namespace

Session::Session(const Options &options, const tune::TunedDesign *tuned, Sweeps sweeps, study::EngineLauncher &launcher,
                 std::ostream &out, std::ostream &err)
    : m_options(options), m_tuned(tuned), m_sweeps(sweeps), m_launcher(launcher), m_writer(options.format), m_out(out),
      m_err(err)
{
}

measure::SweepReading Session::sweepReading(double designMHz, const design::Match &match) const
{
    // A tuned design's line is its own, as its match is: it was tuned for them.
    return {m_tuned ? m_tuned->check.z0Ohms : m_options.checkSettings.z0Ohms, match, designMHz, m_options.through};
}

Session::~Session() = default;

bool Session::process(std::string_view input)
{
    m_buffer.clear();
    declarationOf(m_options.mode).process(*this, input);
    m_out << m_buffer;
    return m_out.good();
}

bool Session::refuseLongLine(std::size_t lineNumber)
{
    m_buffer.clear();
    const ResultKind kind = m_options.mode == Mode::Grid        ? ResultKind::Grid
                            : m_options.mode == Mode::Fractions ? ResultKind::Fraction
                                                                : checkFailureRecord();
    fail("line " + std::to_string(lineNumber), kLongLineMessage, kind);
    m_out << m_buffer;
    return m_out.good();
}

void Session::fail(std::string_view input, std::string_view message, ResultKind kind)
{
    m_anyFailed = true;
    m_writer.appendFailure(m_buffer, kind, input, message);
    if (!m_writer.failuresInOutput())
        m_err << "tarvelin-calc: '" << format::terminalSafe(input) << "': " << format::terminalSafe(message) << '\n';
}

void Session::failBeside(std::string_view option, std::string_view message)
{
    m_anyFailed = true;
    complain(m_err, option, message);
}

void Session::engineFailed(std::string_view frequencyText, std::string_view message, bool noResult)
{
    m_anyFailed = true;
    if (noResult)
        m_writer.appendFailure(m_buffer, checkFailureRecord(), frequencyText, message);
    m_err << "tarvelin-calc: '" << format::terminalSafe(frequencyText) << "': " << format::terminalSafe(message)
          << '\n';
}

ResultKind Session::checkFailureRecord() const
{
    return m_options.mode == Mode::Shop   ? ResultKind::ShopSheet
           : m_options.mode == Mode::Tune ? ResultKind::Tune
                                          : ResultKind::Check;
}

void Session::warn(std::string_view frequencyText, std::string_view warning)
{
    m_err << "tarvelin-calc: '" << format::terminalSafe(frequencyText) << "': warning: " << warning << '\n';
}

bool Session::tunedDesignDiffers(std::string_view frequencyText)
{
    tune::GivenSettings given = m_options.tunedGiven;
    given.frequencyText = std::string(frequencyText);
    const std::optional<std::string> difference = m_tuned ? tune::tunedDesignDifference(*m_tuned, given) : std::nullopt;
    if (difference)
        fail(frequencyText, *difference, checkFailureRecord());
    return difference.has_value();
}

std::optional<design::Design> Session::modelledDesign(std::string_view frequencyText)
{
    // A saved tuned design is modelled as saved: its frequency, array and settings, its loops and stations.
    if (m_tuned) {
        if (tunedDesignDiffers(frequencyText))
            return std::nullopt;
        // The sweep is no part of what was tuned: it is the command line's, as for any deck.
        design::CheckSettings settings = m_tuned->check;
        settings.spanPercent = m_options.checkSettings.spanPercent;
        settings.points = m_options.checkSettings.points;
        auto specified =
            design::designFor(m_tuned->frequencyText, static_cast<int>(m_tuned->result.factors.size()), settings);
        if (const auto *refusal = std::get_if<design::DesignRefusal>(&specified)) {
            fail(frequencyText, refusal->message, checkFailureRecord());
            return std::nullopt;
        }
        return tune::tunedDesign(std::get<design::Design>(specified), m_tuned->result);
    }
    auto design = design::designFor(std::string(frequencyText), m_options.elements, m_options.checkSettings);
    if (const auto *refusal = std::get_if<design::DesignRefusal>(&design)) {
        if (refusal->frequency)
            fail(frequencyText, refusal->message, checkFailureRecord());
        else
            engineFailed(frequencyText, refusal->message);
        return std::nullopt;
    }
    for (const std::string &warning : std::get<design::Design>(design).warnings)
        warn(frequencyText, warning);
    return std::get<design::Design>(std::move(design));
}

std::optional<check::CheckSummary> Session::runCheck(std::string_view frequencyText)
{
    const std::optional<StudyRun> run = runStudy(frequencyText, false);
    return run ? run->study->check() : std::nullopt;
}

std::optional<Session::TuneRun> Session::runTune(std::string_view frequencyText)
{
    std::optional<StudyRun> run = runStudy(frequencyText, true);
    if (!run)
        return std::nullopt;
    if (run->study->failure())
        engineFailed(frequencyText, *run->study->failure(), false);
    return TuneRun{std::move(run->design), *run->study->tuned()};
}

// A check of one frequency, or a tune after it, its rounds run in turn by this program's launcher, its
// warnings on stderr. None when it gave no result, which has been reported as a check failure.
std::optional<Session::StudyRun> Session::runStudy(std::string_view frequencyText, bool tune)
{
    std::optional<design::Design> design = modelledDesign(frequencyText);
    if (!design)
        return std::nullopt;
    auto study = tune ? std::make_unique<study::Study>(*design, processes(), m_options.tuneSettings)
                      : std::make_unique<study::Study>(*design, processes());
    study::driveStudy(*study, m_launcher, {});
    if (!study->check() || (tune && !study->tuned())) {
        engineFailed(frequencyText, study->failure().value_or("The study gave no result."));
        return std::nullopt;
    }
    for (const std::string &warning : check::verdictWarnings(*study->check()))
        warn(frequencyText, warning);
    return StudyRun{std::move(*design), std::move(study)};
}

int Session::processes() const
{
    return m_options.processes > 0 ? m_options.processes
                                   : static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
}

bool Session::savedBands(std::string_view input, ResultKind kind, std::optional<design::NestedGeometry> &geometry)
{
    if (!m_tunedBands)
        return true;
    auto made = tune::tunedBandsGeometry(*m_tunedBands);
    if (const auto *refusal = std::get_if<std::string>(&made)) {
        fail(input, *refusal, kind);
        return false;
    }
    geometry = std::get<design::NestedGeometry>(std::move(made));
    return true;
}

std::optional<design::NestedGeometry> Session::bandsGeometry(std::string_view input, ResultKind kind)
{
    auto geometry = design::nestedGeometry(m_options.bands, m_options.nestedElements(), m_options.nested);
    if (const auto *refusal = std::get_if<std::string>(&geometry)) {
        fail(input, *refusal, kind);
        return std::nullopt;
    }
    design::NestedGeometry made = std::get<design::NestedGeometry>(std::move(geometry));
    for (std::size_t b = 0; b < made.bands.size(); ++b)
        if (const auto match = m_options.bandMatches.find(made.bands[b].name); match != m_options.bandMatches.end())
            made.bands[b].match = match->second;
    return made;
}

std::optional<Session::BandsRun> Session::runBandsCheck(std::string_view input,
                                                        std::optional<design::NestedGeometry> geometry)
{
    if (!geometry)
        geometry = bandsGeometry(input, ResultKind::Check);
    if (!geometry)
        return std::nullopt;
    design::CheckSettings settings = m_options.checkSettings;
    design::IdleEnd idle = m_options.idle;
    if (m_tunedBands) {
        settings.wireDiameterMm = m_tunedBands->check.wireDiameterMm;
        settings.lossless = m_tunedBands->check.lossless;
        settings.z0Ohms = m_tunedBands->check.z0Ohms;
        idle = m_tunedBands->idle;
    }
    study::NestedStudy study(std::move(*geometry), settings, idle, processes());
    study::driveStudy(study, m_launcher, {});
    if (!study.bands()) {
        engineFailed(input, study.failure().value_or("The study gave no result."));
        return std::nullopt;
    }
    return BandsRun{study.geometry(), *study.bands(), study.idleLineWindows(), settings, idle};
}

std::optional<study::NestedTuneResult> Session::runBandsTune(std::string_view input)
{
    std::optional<design::NestedGeometry> geometry = bandsGeometry(input, ResultKind::Tune);
    if (!geometry)
        return std::nullopt;
    study::NestedTune tune(std::move(*geometry), m_options.checkSettings,
                           m_options.idle, m_options.tuneSettings, processes());
    study::driveStudy(tune, m_launcher, {});
    if (!tune.result()) {
        engineFailed(input, tune.failure().value_or("The tune gave no result."));
        return std::nullopt;
    }
    return *tune.result();
}

} // namespace tarvelin::cli
