// SPDX-License-Identifier: MIT
// The NEC-2 deck of the design, and its check with the engine.
#include "cli/mode.h"
#include "cli/session.h"

#include "core/document/checktable.h"
#include "core/nec/deck.h"
#include "core/nec/nesteddeck.h"

namespace tarvelin::cli {

namespace {

// The deck of the design, of one band's, or of a quad of several bands' with all their loops.
void necDeck(Session &session, std::string_view input)
{
    const Options &options = session.options();
    if (options.bands.size() > 1) {
        auto nested = design::nestedGeometry(options.bands, options.nestedElements(), options.nested);
        if (const auto *refusal = std::get_if<std::string>(&nested))
            session.fail(input, *refusal, ResultKind::Check);
        else
            session.buffer() +=
                nec::nestedCheckDeck(std::get<design::NestedGeometry>(nested), options.checkSettings).text;
        return;
    }
    const std::string_view design = options.bands.empty() ? input : options.bands.front().frequencyText;
    if (const std::optional<design::Design> modelled = session.modelledDesign(design))
        session.buffer() += nec::checkDeck(*modelled);
}

} // namespace

// The bands are the design: no FREQUENCY beside them. Several bands are modelled in free space, each driver
// fed directly and segmented for the highest band; a saved tuned design is of one band.
std::optional<Refusal> bandsRules(const ModeCheck &check)
{
    const Options &options = check.options;
    if (options.bands.size() < 2 && !options.bandMatches.empty())
        return Refusal{"--match", "A match by band is for a quad of several bands: give one --match KIND"};
    if (options.bands.empty()) {
        for (const std::string_view option : {"--layout", "--spacing", "--spider-angle", "--shape", "--idle"})
            if (check.given(option))
                return Refusal{option, "Describes a quad of several bands: give its --bands"};
        return std::nullopt;
    }
    if (!options.inputs.empty())
        return Refusal{"--bands", "Takes no FREQUENCY: the bands are the design"};
    if (options.bands.size() == 1) {
        for (const std::string_view option : {"--layout", "--spacing", "--spider-angle", "--shape", "--idle"})
            if (check.given(option))
                return Refusal{option, "One band is that band's own design, with no loops nested in it"};
        return std::nullopt;
    }
    if (const int elements = options.nestedElements();
        elements < design::kFewestNestedElements || elements > design::kMostNestedElements)
        return Refusal{"--elements", "A quad of several bands has " + std::to_string(design::kFewestNestedElements) +
                                         " to " + std::to_string(design::kMostNestedElements) +
                                         " elements on every band"};
    const std::pair<std::string_view, std::string_view> notForSeveral[] = {
        {"--tuned", "A saved tuned design is of one band"},
        {"--segments", "A quad of several bands is segmented for its highest band"},
        {"--ground-height", "A quad of several bands is modelled in free space"},
        {"--match-z0", "Give the section's cable with its band's match: --match 20m=quarter-wave:RG-11"},
        {"--match-vf", "Give the section's cable with its band's match: --match 20m=quarter-wave:RG-11"},
        {"--match-line", "Give the section's cable with its band's match: --match 20m=quarter-wave:RG-11"},
        {"--insulation", "A quad of several bands is modelled with bare wire"}};
    for (const auto &[option, why] : notForSeveral)
        if (check.given(option))
            return Refusal{option, std::string(why)};
    if (check.given("--match") && options.bandMatches.empty())
        return Refusal{"--match", "Give each band's match as BAND=KIND[:CABLE], as 20m=quarter-wave:RG-11"};
    for (const auto &entry : options.bandMatches)
        if (std::none_of(options.bands.begin(), options.bands.end(),
                         [&entry](const design::Band &band) { return band.name == entry.first; }))
            return Refusal{"--match", entry.first + " is not one of the --bands"};
    return std::nullopt;
}

namespace {

std::optional<Refusal> deckRules(const ModeCheck &check)
{
    if (check.options.bands.size() > 1 && check.given("--idle"))
        return Refusal{"--idle", "The deck closes every idle driver: the check applies their ending to what it gives"};
    return bandsRules(check);
}

void analyse(Session &session, std::string_view frequencyText)
{
    const Options &options = session.options();
    const tune::TuneSettings &aims = options.tuneSettings;
    if (options.bands.size() > 1 || session.tunedBands()) {
        std::optional<design::NestedGeometry> saved;
        if (!session.savedBands(frequencyText, ResultKind::Check, saved))
            return;
        const std::optional<Session::BandsRun> run = session.runBandsCheck(frequencyText, saved);
        if (!run)
            return;
        // One sweep across the bands, or sweeps in turn, read band by band.
        const std::vector<measure::BandSweeps> measured =
            measure::bandSweepsOf(session.sweeps().inTurn, run->bands, run->settings.z0Ohms, options.through);
        for (const measure::BandSweeps &band : measured)
            if (band.warning)
                session.warn(frequencyText, *band.warning);
        session.writer().appendBandsCheck(session.buffer(), run->geometry, run->bands, run->settings, run->idle,
                                          run->idleLineWindows, {aims.maxSwr, aims.minFrontToBackDb}, measured);
        return;
    }
    if (session.tunedDesign()) {
        session.fail(frequencyText,
                     "--analyse --tuned checks a saved quad of several bands; a tune of one band gives its "
                     "check, before and after, itself",
                     ResultKind::Check);
        return;
    }
    if (!options.bands.empty())
        frequencyText = options.bands.front().frequencyText; // one band is that band's design
    const std::optional<check::CheckSummary> summary = session.runCheck(frequencyText);
    if (!summary)
        return;
    const measure::SweepReading reading =
        session.sweepReading(summary->design.mhz, session.options().checkSettings.match);
    std::vector<measure::MeasuredSweep> sweeps;
    for (const measure::SweepFile &file : session.sweeps().inTurn)
        sweeps.push_back(measure::measuredSweepOf(file.sweep, file.file, reading));
    measure::compareInTurn(sweeps, *summary, frequencyText, session.options().cutsInches);
    session.writer().appendCheck(session.buffer(), frequencyText, *summary, session.options().checkSettings, sweeps,
                                 {aims.maxSwr, aims.minFrontToBackDb});
}

constexpr std::string_view kDeckOptions[] = {options::kElements, "--tuned"};
constexpr std::string_view kDeckIdle[] = {"--idle"};
constexpr auto kDeckUses =
    joinedUses(usesOf(kDeckOptions), usesOf(options::kCheck), usesOf(options::kBands), usesOf(kDeckIdle));
bool swept(const Uses &uses)
{
    return uses.sweep;
}

constexpr std::string_view kAnalyseOptions[] = {options::kFormat, options::kElements, "--sweep",  "--processes",
                                                "--goal-swr",     "--goal-fb",        "--tuned"};
constexpr std::string_view kCuts[] = {"--cut"};
constexpr std::string_view kIdle[] = {"--idle"};
constexpr auto kAnalyseUses =
    joinedUses(usesOf(kAnalyseOptions), usesOf(options::kCheck), usesOf(options::kBands), usesOf(kIdle),
               usesOf(options::kThrough, swept, "--sweep"), usesOf(kCuts, swept, "--sweep"));

// A Touchstone file holds one sweep; the CSV and the Touchstone file hold the model's own sweep, one row a
// frequency: a measured sweep has no place in them, and is refused rather than dropped.
std::optional<Refusal> analyseRules(const ModeCheck &check)
{
    const Options &options = check.options;
    if (const std::optional<Refusal> refusal = bandsRules(check))
        return refusal;
    if (options.bands.size() > 1) {
        if (options.format == OutputFormat::Csv || options.format == OutputFormat::Touchstone)
            return Refusal{"--format", "A quad of several bands is checked as a table or JSON"};
        if (check.given("--cut"))
            return Refusal{"--cut", "Each band's sweeps in turn are taken as trimmed as advised"};
    }
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
  --nec --bands LIST  the deck of a quad of several bands: up to {most-bands} of
                   40m, 30m, 20m, 17m, 15m, 12m, 10m and 6m, by name or by
                   design frequency (20m,15m,10m or 14.175,21.225,28.5), their
                   loops nested on one set of spreaders, {nested-elements} elements (two
                   unless --elements says), each band's sweep with each
                   band's driver excited in turn and the others' feeds
                   closed, for any NEC-2 engine; modelled in free space with
                   bare wire, segmented for the highest band. One band is
                   that band's design, as for its FREQUENCY
  --layout boom|spider  on a boom (the default) each element's loops stand
                   in one plane; on a spider each element's arms lean from
                   one hub, and each band's loops stand their own fraction
                   of a wavelength apart
  --spacing F      the reflector-to-driver spacing, {spacing} wavelength
                   (default 0.14): the lowest band's on a spider, on a boom
                   that of the geometric mean of the bands' frequencies
  --spider-angle DEG  on a spider, the reflector's arms lean this far from
                   the plane across the boom instead: {spider-angle} degrees
  --shape square|diamond  the spreaders as an X and the loops square, top
                   and bottom level (the default), or upright and the loops
                   diamonds, fed at the bottom corner
  --match BAND=KIND[:CABLE]  with several bands, once for each band not
                   fed direct: its driver's match (balun4, or quarter-wave
                   and the section's cable from the table, as
                   20m=quarter-wave:RG-11), which its SWR is read through
                   and the sheet cuts
)",   kDeckUses, necDeck, deckRules,
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
  --analyse --bands LIST  each band of a quad of several bands checked with
                   all its loops present, its own driver fed and the others
                   ended as --idle says, from one engine run of every
                   band's sweep: each band's verdict beside its own design
                   alone, in the table or JSON ("bands"), and with idle
                   lines the lengths of them to avoid; --layout, --spacing,
                   --spider-angle, --shape and --match as for --nec.
                   --analyse --tuned FILE checks a quad of several bands
                   saved by --tune --bands --save, with its own wire, line
                   and idle ending. --sweep FILE, one sweep across
                   the bands (13 to 30 MHz, say) or each after a trim, is
                   read band by band within each band's window, beside
                   its model, trimmed as advised between sweeps
  --idle END       how the switch box ends the idle drivers: short (the
                   default), open, or line:LENGTH:LINE:open or ...:short,
                   each through its own feed line (3.5m:RG-58 or
                   3.5m:50/0.66/4, as --through takes it) to a switch left
                   open or closed
)", kAnalyseUses,
    analyse,           analyseRules,
};

} // namespace tarvelin::cli
