// SPDX-License-Identifier: MIT
// The NEC-2 deck of the design, and its check with the engine.
#include "cli/mode.h"
#include "cli/session.h"

#include "core/document/checktable.h"
#include "core/nec/deck.h"

namespace tarvelin::cli {

namespace {

void necDeck(Session &session, std::string_view frequencyText)
{
    if (const std::optional<design::Design> design = session.modelledDesign(frequencyText))
        session.buffer() += nec::checkDeck(*design);
}

void analyse(Session &session, std::string_view frequencyText)
{
    const std::optional<check::CheckSummary> summary = session.runCheck(frequencyText);
    if (!summary)
        return;
    const measure::SweepReading reading =
        session.sweepReading(summary->design.mhz, session.options().checkSettings.match);
    std::vector<measure::MeasuredSweep> sweeps;
    for (const measure::SweepFile &file : session.sweeps().inTurn)
        sweeps.push_back(measure::measuredSweepOf(file.sweep, file.file, reading));
    measure::compareInTurn(sweeps, *summary, frequencyText, session.options().cutsInches);
    const tune::TuneSettings &aims = session.options().tuneSettings;
    session.writer().appendCheck(session.buffer(), frequencyText, *summary, session.options().checkSettings, sweeps,
                                 {aims.maxSwr, aims.minFrontToBackDb});
}

constexpr std::string_view kDeckOptions[] = {options::kElements, "--tuned"};
constexpr auto kDeckUses = joinedUses(usesOf(kDeckOptions), usesOf(options::kCheck));
bool swept(const Uses &uses)
{
    return uses.sweep;
}

constexpr std::string_view kAnalyseOptions[] = {options::kFormat, options::kElements, "--sweep",
                                                "--processes",    "--goal-swr",       "--goal-fb"};
constexpr std::string_view kCuts[] = {"--cut"};
constexpr auto kAnalyseUses = joinedUses(usesOf(kAnalyseOptions), usesOf(options::kCheck),
                                         usesOf(options::kThrough, swept, "--sweep"), usesOf(kCuts, swept, "--sweep"));

// A Touchstone file holds one sweep; the CSV and the Touchstone file hold the model's own sweep, one row a
// frequency: a measured sweep has no place in them, and is refused rather than dropped.
std::optional<Refusal> analyseRules(const ModeCheck &check)
{
    const Options &options = check.options;
    if (options.format == OutputFormat::Touchstone && options.inputs.size() != 1)
        return Refusal{"--format", "s1p holds one sweep: give one FREQUENCY"};
    if (check.given("--sweep") && (options.format == OutputFormat::Csv || options.format == OutputFormat::Touchstone))
        return Refusal{"--sweep", std::string("Cannot be used with --format ") +
                                      (options.format == OutputFormat::Csv ? "csv" : "s1p") +
                                      ", which holds the model's sweep alone: give the table or --format json"};
    return std::nullopt;
}

} // namespace

const ModeDeclaration kDeckMode{
    Mode::Deck, "--nec",   "--nec", "--nec [CHECK OPTION ...] [FREQUENCY ...]",
    R"(Deck:
  --nec            instead of the grid, print the NEC-2 deck of the design at
                   each FREQUENCY, with the model settings below
  --nec --tuned FILE  the deck of the tuned design saved in FILE, exactly:
                   its loops and stations, wire, ground and match, for
                   any NEC-2 engine; with no FREQUENCY, its own. A
                   FREQUENCY, --elements or check option that differs
                   from the saved design's is refused, naming it
)",   kDeckUses, necDeck, nullptr,
};

const ModeDeclaration kAnalyseMode{
    Mode::Analyse,     "--analyse",
    "--analyse",       "[--format table|csv|json] --analyse [CHECK OPTION ...] [FREQUENCY ...]",
    R"(Antenna check:
  --analyse        check each FREQUENCY's design with the NEC-2 engine nec2c:
                   feed impedance, SWR, forward gain, F/B and F/R across the
                   band, and the verdict: the figures at FREQUENCY, the
                   resonance and the cut it calls for, the lowest SWR, the
                   2:1 and F/B 20 dB bands, the cutting sensitivity and the
                   wire efficiency; where the resonance or a 2:1 edge lies
                   outside the sweep, one wider sweep finds it; the SWR
                   and the F/B are held to --goal-swr and --goal-fb, as
                   a tune's are
  --sweep FILE     with --analyse: an analyser's sweep of the built antenna
                   (Touchstone .s1p or .s2p) beside the model: its lowest
                   SWR, 2:1 band, what to do to the loops against the design
                   frequency and how far the model was off; not with
                   --format csv or s1p. Given again for each sweep after a
                   trim, oldest first (up to {sweeps}): the latest is compared,
                   and each one's move since the one before is given
  --through LENGTH:LINE  with --sweep or --measured-sweep: the feed line
                   the sweep was measured through, taken out so the sweep
                   is read at the feed point; LINE is a cable from the
                   table (see CABLES), --through 30m:RG-58, or Z0/VF/LOSS,
                   the line's impedance in ohms, its velocity factor and
                   its matched loss in dB per 100 m at FREQUENCY (0 or left
                   out for a lossless line): --through 7m:75/0.82/1.5.
                   A LENGTH is in m or ft with its unit: 7m, 23ft
  --through-match  with --sweep or --measured-sweep: the match (--match)
                   was in the path too, between the line and the loop
  --format s1p     with --analyse and one FREQUENCY: the model's sweep as a
                   Touchstone file (# MHz S RI R <z0>), for an analyser's
                   reference trace
)", kAnalyseUses,
    analyse,           analyseRules,
};

} // namespace tarvelin::cli
