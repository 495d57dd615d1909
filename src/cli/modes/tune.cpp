// SPDX-License-Identifier: MIT
// The tune of the design's loops, and of its stations with a boom, with the model.
#include "cli/mode.h"
#include "cli/session.h"

#include "core/format/fieldtext.h"
#include "core/runtime/filewrite.h"

namespace tarvelin::cli {

namespace {

void saveTuned(Session &session, const std::string &text)
{
    const std::string &path = session.options().savePath;
    if (const std::optional<std::string> failure = writeWholeFile(path, text))
        session.failBeside("--save",
                           "Cannot save the tuned design to " + format::terminalSafe(path) + ": " + *failure);
}

void tuneDesign(Session &session, std::string_view frequencyText)
{
    const Options &options = session.options();
    if (options.bands.size() > 1) {
        const std::optional<study::NestedTuneResult> tuned = session.runBandsTune(frequencyText);
        if (!tuned)
            return;
        session.writer().appendBandsTune(session.buffer(), *tuned, options.tuneSettings, options.idle);
        if (!options.savePath.empty())
            saveTuned(session, tune::tunedBandsText(tuned->saved(), tuned->tuned));
        return;
    }
    if (!options.bands.empty())
        frequencyText = options.bands.front().frequencyText; // one band is that band's design
    const std::optional<Session::TuneRun> run = session.runTune(frequencyText);
    if (!run)
        return;
    const design::DesignLengths &lengths = run->design.lengths;
    session.writer().appendTune(session.buffer(), frequencyText, lengths, run->tuned, options.tuneSettings,
                                options.checkSettings.match);
    if (options.savePath.empty())
        return;
    const tune::TunedDesign design{std::string(frequencyText), options.checkSettings, options.tuneSettings, run->tuned};
    saveTuned(session, tune::tunedDesignText(design, lengths));
}

std::optional<Refusal> tuneRules(const ModeCheck &check)
{
    const Options &options = check.options;
    if (const std::optional<Refusal> refusal = bandsRules(check))
        return refusal;
    if (check.given("--save") && options.inputs.size() != 1 && options.bands.empty())
        return Refusal{"--save", "Give one FREQUENCY, whose tuned design is saved"};
    if (options.bands.size() > 1) {
        if (options.format == OutputFormat::Csv)
            return Refusal{"--format", "A quad of several bands is tuned as a table or JSON"};
        if (check.given("--boom"))
            return Refusal{"--boom", "A quad of several bands stands where its layout and spacing put it"};
    }
    return std::nullopt;
}

constexpr std::string_view kTuneOptions[] = {options::kFormat, options::kElements, "--save", "--idle"};
constexpr auto kTuneUses =
    joinedUses(usesOf(kTuneOptions), usesOf(options::kCheck), usesOf(options::kTune), usesOf(options::kBands));

} // namespace

const ModeDeclaration kTuneMode{
    Mode::Tune, "--tune",
    "--tune",   "[--format table|csv|json] --tune [CHECK OPTION ...] [TUNE OPTION ...] [FREQUENCY ...]",
    R"(Tuning:
  --tune           tune each FREQUENCY's loop lengths with the model, for the
                   chosen wire and ground, the stations as designed unless
                   --boom is given: the goals (SWR 1.5 or less and F/B 20 dB
                   or more) across the band, then the most forward gain;
                   starts from the loops scaled by the check's resonance,
                   each within 10 % of the specified loop; takes the check
                   options below. The specified design stays as it is; the
                   tuned one is shown beside it, before and after
  --band PERCENT   the band either side of FREQUENCY: {band} (default 0.5),
                   with or without its % sign
  --goal-swr S     the highest SWR across the band: {goal-swr} (default 1.5)
  --goal-fb DB     the lowest F/B across the band: {goal-fb} dB (default 20);
                   a two-element quad cannot hold 20 dB across a band
  --boom LEN       let the tuner move the stations too, the reflector at the
                   boom's end, no two elements closer than 0.05 wavelength
                   and the boom no longer than LEN (7.5 m, 25 ft); the same
                   settings give the same design on any machine
  --time-limit S   stop the tune after S seconds, its check among them,
                   keeping the best design found: {seconds} (default 1800);
                   a tune stopped so says "time limit, not converged"
  --max-designs N  stop the search after N designs, the specified one among
                   them, keeping the best found: {designs} (default
                   3000); the same settings stop at the same design on any
                   machine
  --processes N    with --tune, --analyse or --measured model: run N engine
                   processes at once, {processes} (default: the machine's
                   cores); they share each round's work, and a tune tries
                   the same designs and ends at the same loops whatever N is
  --save FILE      with one FREQUENCY: save the tuned design to FILE, its
                   settings, loops at full precision, stations, figures and
                   how the search ended, the element count, the goals and the
                   boom (see TUNED DESIGN in the manual)
  --tune --bands LIST  tune a quad of several bands band by band with all
                   its loops present and the idle drivers ended as --idle
                   says: each band's driver and reflector, so that its
                   driver resonates and its F/B peaks at its design
                   frequency, round after round until a whole round moves
                   no loop; each band's goals met or missed. --layout,
                   --spacing, --spider-angle, --shape and --match as for
                   --nec; --save keeps the tuned quad for --shop --tuned
)", kTuneUses,
    tuneDesign, tuneRules,
};

} // namespace tarvelin::cli
