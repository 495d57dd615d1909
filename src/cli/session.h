// SPDX-License-Identifier: MIT
#pragma once

#include "cli/options.h"
#include "cli/resultwriter.h"
#include "core/calc/memorygrid.h"
#include "core/measure/measured.h"
#include "core/check/idlewindows.h"
#include "core/check/nestedcheck.h"
#include "core/study/nestedtune.h"
#include "core/study/study.h"
#include "core/tune/tunedbands.h"
#include "core/tune/tuneddesign.h"

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tarvelin::cli {

// One run of tarvelin-calc: its options, the files they named (read once, before any input), the writer of
// the chosen format, and what every mode does alike: report a failed input, run a check or a tune on the
// engine, and say where the engine failed. Each input goes to the mode's own processing, and its result
// out at once.
class Session
{
public:
    // The analyser's sweeps the options named, as read.
    struct Sweeps
    {
        const std::vector<measure::SweepFile> &inTurn; // --analyse --sweep FILE ...: oldest first
        const std::vector<measure::SweepFile> &sheet;  // --shop --measured-sweep FILE ...: oldest first
        const std::optional<measure::SweepFile> &stub; // --stub-sweep FILE
    };

    Session(const Options &options, const tune::TunedDesign *tuned, Sweeps sweeps, study::EngineLauncher &launcher,
            std::ostream &out, std::ostream &err);
    ~Session();

    // Gives false when the output could not be written.
    [[nodiscard]] bool process(std::string_view input);
    // A line of standard input too long to be a value is refused by its number, its start shown.
    [[nodiscard]] bool refuseLongLine(std::size_t lineNumber);
    [[nodiscard]] bool anyFailed() const { return m_anyFailed; }

    // For the modes.
    [[nodiscard]] const Options &options() const { return m_options; }
    [[nodiscard]] const tune::TunedDesign *tunedDesign() const { return m_tuned; } // --shop --tuned FILE's
    // --shop --tuned FILE's, where FILE holds a tuned quad of several bands.
    [[nodiscard]] const tune::TunedBands *tunedBands() const { return m_tunedBands; }
    void setTunedBands(const tune::TunedBands *tuned) { m_tunedBands = tuned; }
    [[nodiscard]] const Sweeps &sweeps() const { return m_sweeps; }
    // How the sweeps are read for a design of `designMHz` fed through `match`: on the --z0 line, through what
    // --through and --through-match declare.
    [[nodiscard]] measure::SweepReading sweepReading(double designMHz, const design::Match &match) const;
    [[nodiscard]] ResultWriter &writer() { return m_writer; }
    [[nodiscard]] std::string &buffer() { return m_buffer; }
    [[nodiscard]] calc::MemoryGrid &grid() { return m_grid; }

    void fail(std::string_view input, std::string_view message, ResultKind kind);
    // A failure beside a result, such as a file that could not be saved: reported on stderr as "option:
    // message", and counted in the exit status.
    void failBeside(std::string_view option, std::string_view message);
    // A check that could not run is no result: its frequency gets an error record in csv and json, like any
    // failed input, unless a result stands beside it; the reason goes to stderr whatever the format.
    void engineFailed(std::string_view frequencyText, std::string_view message, bool noResult = true);
    // A check run for a shop sheet fails under the sheet's own header.
    [[nodiscard]] ResultKind checkFailureRecord() const;

    // With --tuned FILE: whether a FREQUENCY, --elements or setting given differs from the saved design's, which
    // is then a failed input, the difference named.
    [[nodiscard]] bool tunedDesignDiffers(std::string_view frequencyText);
    // The design NEC-2 can model with the settings, its warnings on stderr beside the result; none when it is
    // refused, which is a failed input.
    [[nodiscard]] std::optional<design::Design> modelledDesign(std::string_view frequencyText);
    [[nodiscard]] std::optional<check::CheckSummary> runCheck(std::string_view frequencyText);
    // The tuned design and the design it was tuned from, or none when the check or the tune gave none, which
    // has been reported. An engine that failed during the tune leaves the best design before it, reported as
    // the failure it is.
    struct TuneRun
    {
        design::Design design;
        tune::TuneResult tuned;
    };
    [[nodiscard]] std::optional<TuneRun> runTune(std::string_view frequencyText);
    // The check of the quad of several bands --bands names, each band's; none when the geometry or the engine
    // gave none, which has been reported as a failed input.
    struct BandsRun
    {
        design::NestedGeometry geometry;
        std::vector<check::BandCheck> bands;
        std::vector<check::IdleLineWindow> idleLineWindows;
        design::CheckSettings settings; // as modelled: a saved quad's own wire and line
        design::IdleEnd idle;
    };
    // A saved tuned quad is checked with its own wire, line and idle ending.
    [[nodiscard]] std::optional<BandsRun> runBandsCheck(std::string_view input,
                                                        std::optional<design::NestedGeometry> geometry = {});
    // The tuned quad of several bands --tuned FILE holds, into `geometry`, where it holds one; false where it
    // cannot be made, which has been reported as a failed input of `kind`.
    [[nodiscard]] bool savedBands(std::string_view input, ResultKind kind,
                                  std::optional<design::NestedGeometry> &geometry);
    // The quad of several bands --bands names, each band fed as its --match says; none when it cannot be made,
    // which has been reported as a failed input of `kind`.
    [[nodiscard]] std::optional<design::NestedGeometry> bandsGeometry(std::string_view input, ResultKind kind);
    // The tune of the quad of several bands --bands names, band by band; none when the geometry or the engine
    // gave none, which has been reported as a failed input.
    [[nodiscard]] std::optional<study::NestedTuneResult> runBandsTune(std::string_view input);
    // A warning beside a result, on stderr.
    void warn(std::string_view frequencyText, std::string_view warning);

private:
    struct StudyRun
    {
        design::Design design;
        std::unique_ptr<study::Study> study;
    };
    [[nodiscard]] std::optional<StudyRun> runStudy(std::string_view frequencyText, bool tune);
    [[nodiscard]] int processes() const;

    const Options &m_options;
    const tune::TunedDesign *m_tuned;
    const tune::TunedBands *m_tunedBands = nullptr;
    Sweeps m_sweeps;
    study::EngineLauncher &m_launcher;
    ResultWriter m_writer;
    std::ostream &m_out;
    std::ostream &m_err;
    calc::MemoryGrid m_grid;
    std::string m_buffer;
    bool m_anyFailed = false;
};

} // namespace tarvelin::cli
