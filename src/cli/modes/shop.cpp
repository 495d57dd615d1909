// SPDX-License-Identifier: MIT
// The shop sheet: the cut list of the design, of a tuned design, and trimmed by a measured or predicted
// resonance.
#include "cli/mode.h"
#include "cli/session.h"

#include "core/document/bandstune.h"
#include "core/document/checktable.h"
#include "core/document/nestedsheet.h"
#include "core/text/typedtext.h"
#include "core/shop/shopsheet.h"

namespace tarvelin::cli {

namespace {

// The cut list of a quad of several bands: as specified, as --tune leaves it, or as a saved tune left it;
// with idle lines, the lengths of them to avoid, from the check.
void bandsSheet(Session &session, std::string_view input)
{
    const Options &options = session.options();
    std::optional<design::NestedGeometry> geometry;
    std::string tuning;
    if (!session.savedBands(input, ResultKind::ShopSheet, geometry))
        return;
    if (!geometry && options.tuneForSheet) {
        const std::optional<study::NestedTuneResult> tuned = session.runBandsTune(input);
        if (!tuned)
            return;
        geometry = tuned->tuned;
        tuning = document::bandsTuneOutcome(*tuned, options.tuneSettings);
    } else if (!geometry) {
        geometry = session.bandsGeometry(input, ResultKind::ShopSheet);
    }
    if (!geometry)
        return;
    const design::IdleEnd &idle = session.tunedBands() ? session.tunedBands()->idle : options.idle;
    std::vector<check::IdleLineWindow> avoid;
    if (idle.kind == design::IdleEnd::Kind::Line) {
        const std::optional<Session::BandsRun> run = session.runBandsCheck(input, geometry);
        if (!run)
            return;
        avoid = run->idleLineWindows;
    }
    auto made = shop::makeNestedSheet(*geometry, options.shopSettings,
                                      session.tunedBands() != nullptr || options.tuneForSheet);
    if (const auto *refusal = std::get_if<shop::ShopRefusal>(&made))
        session.fail(input, refusal->message, ResultKind::ShopSheet);
    else
        session.writer().appendNestedSheet(session.buffer(), std::get<shop::NestedSheet>(made), avoid, tuning);
}

void shopSheet(Session &session, std::string_view frequencyText)
{
    const Options &options = session.options();
    if (options.bands.size() > 1 || session.tunedBands()) {
        bandsSheet(session, frequencyText);
        return;
    }
    if (!options.bands.empty())
        frequencyText = options.bands.front().frequencyText; // one band is that band's design
    shop::ShopSettings settings = options.shopSettings;
    const tune::TunedDesign *tuned = session.tunedDesign();
    if (tuned)
        settings.match = tuned->check.match; // the section it was tuned through is cut with it
    if (const std::vector<measure::SweepFile> &swept = session.sweeps().sheet; !swept.empty()) {
        // The latest sweep's resonance, read for this design at its feed point, is the measured resonance,
        // exactly as if it had been typed; the ones before it had the loops trimmed in turn. A frequency that
        // is none is refused by the sheet itself.
        // The frequency as the design reads it, as the sheet will: "14,2" is 14.
        if (const std::optional<double> designMHz = design::designMHzOf(std::string(frequencyText), options.elements)) {
            shop::SheetSweeps sweeps;
            std::string resonanceText;
            for (std::size_t i = 0; i < swept.size(); ++i) {
                const auto read = measure::sheetSweepOf(swept[i].sweep, swept[i].file,
                                                        session.sweepReading(*designMHz, settings.match));
                if (const auto *refusal = std::get_if<shop::ShopRefusal>(&read)) {
                    session.fail(frequencyText, refusal->message, ResultKind::ShopSheet);
                    return;
                }
                const measure::SheetSweep &sweep = std::get<measure::SheetSweep>(read);
                if (sweep.lossyLine && i + 1 == swept.size())
                    session.warn(frequencyText, *sweep.lossyLine);
                resonanceText = sweep.resonanceText;
                sweeps.inTurn.push_back(
                    shop::SweepTurn{sweep.file, sweep.resonanceMHz, i > 0 ? options.cutsInches[i - 1] : std::nullopt});
            }
            shop::ShopSettingTexts texts = options.shopTexts;
            texts.measured = resonanceText;
            auto read = shop::readShopSettings(texts);
            if (const auto *refusal = std::get_if<shop::ShopRefusal>(&read)) {
                session.fail(frequencyText, refusal->message, ResultKind::ShopSheet);
                return;
            }
            const design::Match match = settings.match;
            settings = std::get<shop::ShopSettings>(read);
            settings.elements = options.elements;
            settings.match = match;
            sweeps.file = swept.back().file;
            if (options.through.declared())
                sweeps.through = measure::throughText(options.through);
            shop::trimBySweeps(settings, sweeps);
        }
    }
    if (options.measuredByModel) {
        // The check's predicted resonance, at full precision, trims the sheet as a prediction.
        const std::optional<check::CheckSummary> check = session.runCheck(frequencyText);
        if (!check)
            return;
        auto predicted = shop::predictedResonance(check->resonanceMHz, check->design.mhz);
        if (const auto *refusal = std::get_if<shop::ShopRefusal>(&predicted)) {
            session.fail(frequencyText, refusal->message, ResultKind::ShopSheet);
            return;
        }
        settings.measuredMHz = std::get<double>(predicted);
        settings.predicted = true;
        settings.modelNote = design::jacketNote(options.checkSettings);
    }
    std::variant<shop::ShopSheet, shop::ShopRefusal> made = shop::ShopRefusal{};
    if (tuned) {
        if (session.tunedDesignDiffers(frequencyText))
            return;
        made = shop::makeTunedShopSheet(std::string(frequencyText), settings,
                                        tune::tunedCutOf(tuned->result, tuned->check));
        if (auto *sheet = std::get_if<shop::ShopSheet>(&made))
            sheet->tuning = tune::sheetTuningOf(tuned->result, tuned->tune, tuned->check);
    } else if (options.tuneForSheet) {
        const std::optional<Session::TuneRun> run = session.runTune(frequencyText);
        if (!run)
            return;
        made = shop::makeTunedShopSheet(std::string(frequencyText), settings,
                                        tune::tunedCutOf(run->tuned, options.checkSettings));
        if (auto *sheet = std::get_if<shop::ShopSheet>(&made))
            sheet->tuning = tune::sheetTuningOf(run->tuned, options.tuneSettings, options.checkSettings);
    } else {
        made = shop::makeShopSheet(std::string(frequencyText), settings);
    }
    if (const auto *sheet = std::get_if<shop::ShopSheet>(&made))
        session.writer().appendShopSheet(session.buffer(), *sheet);
    else
        session.fail(frequencyText, std::get<shop::ShopRefusal>(made).message, ResultKind::ShopSheet);
}

// The sheet runs the check with --measured model, --tune and --tuned, and the tune with --tune: their
// options are its own then. A measured sweep is read on the --z0 line.
bool modelled(const Uses &uses)
{
    return uses.measuredByModel || uses.tuneForSheet || uses.tunedFile;
}

bool lineGiven(const Uses &uses)
{
    return modelled(uses) || uses.measuredSweep;
}

bool sweptSheet(const Uses &uses)
{
    return uses.measuredSweep;
}

bool tunedSheet(const Uses &uses)
{
    return uses.tuneForSheet || uses.tunedFile;
}

bool tuningSheet(const Uses &uses)
{
    return uses.tuneForSheet;
}

bool runsEngines(const Uses &uses)
{
    return uses.measuredByModel || uses.tuneForSheet;
}

constexpr std::string_view kSheetOptions[] = {options::kFormat, options::kElements, "--step",           "--allowance",
                                              "--hub-offset",   "--measured",       "--measured-sweep", "--tuned",
                                              "--match",        "--match-z0",       "--match-vf",       "--match-line"};
constexpr std::string_view kModelOptions[] = {"--wire-mm",       "--awg",        "--segments",
                                              "--span",          "--points",     "--lossless",
                                              "--ground-height", "--insulation", "--permittivity"};
constexpr std::string_view kLine[] = {"--z0"};
constexpr std::string_view kAims[] = {"--band", "--goal-swr", "--goal-fb", "--boom"};
constexpr std::string_view kTuneLimits[] = {"--time-limit", "--max-designs"};
constexpr std::string_view kEngines[] = {"--processes"};
constexpr std::string_view kCuts[] = {"--cut"};
constexpr std::string_view kIdle[] = {"--idle"};

// The resonance is given one way; a tuned design, once built, is trimmed by what it measures, the model's
// prediction being the specified design's; and a saved design is cut as saved, not tuned anew.
std::optional<Refusal> shopRules(const ModeCheck &check)
{
    const Options &options = check.options;
    if (const std::optional<Refusal> refusal = bandsRules(check))
        return refusal;
    if (options.bands.size() > 1)
        for (const std::string_view option : {"--measured", "--measured-sweep"})
            if (check.given(option))
                return Refusal{option, "A quad of several bands is trimmed band by band from the check's sweeps"};
    if (check.given("--measured-sweep") && check.given("--measured"))
        return Refusal{"--measured-sweep", "Cannot be used with --measured: give the resonance one way"};
    if (options.measuredByModel && (options.tuneForSheet || check.given("--tuned")))
        return Refusal{"--measured", "model is the specified design's predicted resonance: a tuned design is "
                                     "trimmed by the resonance it measures"};
    if (check.given("--tuned") && options.tuneForSheet)
        return Refusal{"--tuned", "Cannot be used with --tune: the saved design is cut, not a new one"};
    return std::nullopt;
}
constexpr auto kShopOptions = joinedUses(
    usesOf(kSheetOptions), usesOf(kModelOptions, modelled, "--measured model"),
    usesOf(kLine, lineGiven, "--measured model"), usesOf(kAims, tunedSheet, "-"), usesOf(kTuneLimits, tuningSheet, "-"),
    usesOf(kEngines, runsEngines, "--measured model"), usesOf(options::kThrough, sweptSheet, "--measured-sweep"),
    usesOf(kCuts, sweptSheet, "--measured-sweep"), usesOf(options::kBands), usesOf(kIdle));

} // namespace

const ModeDeclaration kShopMode{
    Mode::Shop,     "--shop",     "--shop",  "[--format table|csv|json] --shop [SHOP OPTION ...] [FREQUENCY ...]",
    R"(Shop sheet:
  --shop           instead of the grid, the shop sheet of each FREQUENCY: the
                   cut list in feet, inches and fractions and in millimetres:
                   each loop's wire and corner marks, the spreader arms, the
                   element stations along the boom, the wire in all
  --step N         fraction step of the sheet: 8, 16 (the default), 32 or 64
  --allowance LEN  extra wire for each loop's join, from 0 (the default) to
                   {allowance-in} in; a LEN is in the sheet's notation or in in, mm,
                   cm, m or ft, in any case: 2.5, 2-1/2", 1' 2-1/2", 3/4,
                   1 1/2 ft, 60 mm
  --hub-offset LEN  how much of each spreader arm the hub takes (default 0)
  --match KIND     how the driven loop meets the feed line: direct (the
                   default), balun4 (an ideal 4:1 balun) or quarter-wave (a
                   quarter-wave section of line, which the sheet cuts:
                   a quarter wavelength at FREQUENCY times the line's
                   velocity factor, connectors and balun leads included)
  --match-line CABLE  with --match quarter-wave: the section's cable from
                   the table (see CABLES): its impedance and its nominal
                   velocity factor, which --match-vf replaces with the one
                   measured (--stub-sweep)
  --match-z0 OHMS  with --match quarter-wave, instead: the section's line
                   impedance, {section-z0} ohms (75 for RG-11 or RG-59)
  --match-vf VF    with --match quarter-wave: its velocity factor, {vf-low} to
                   {vf-high} (0.66 for solid polyethylene)
  --measured MHZ   the frequency the built array resonates at, within {measured-percent} % of
                   FREQUENCY, read at full precision ("14.05" or "14.05
                   MHz"): the sheet adds what to do to each loop, its new
                   side and corner marks, and where it meets the arms; MHZ
                   "model" takes the resonance the antenna check predicts
                   instead, with the check options below
  --measured-sweep FILE  the measured resonance from an analyser's
                         sweep (Touchstone .s1p or .s2p) at the feed
                         point: where its reactance passes zero, to
                         100 Hz, as the model's resonance is read; the
                         sheet is the one --measured gives for that
                         frequency. A sweep with no dip (its lowest SWR
                         on the --z0 line above 10, or hardly changing)
                         or whose reactance never passes zero gives
                         none.
                         Given again for each sweep after a trim,
                         oldest first (up to {sweeps}): the latest trims the
                         loops as the ones before had them trimmed,
                         and the sheet says how much of the last
                         trim showed up.
  --cut LEN        with --measured-sweep (or --sweep) given more than once:
                   once for each sweep after the first, oldest first, what
                   was cut from the driven loop before it, in the sheet's
                   notation or any unit (3-1/4, 82 mm; a wire added is
                   negative); "advised" takes the trim the sheet advised,
                   as every sweep does without --cut. A sweep that did not
                   move is taken as swept again without a cut
                         Read at the feed point with --through and
                         --through-match, as under Antenna check
  --shop --tune    the tuned design's shop sheet, with the shop and check
                   options: the design --tune gives, the same on any machine
  --shop --tuned FILE  the shop sheet of the design saved in FILE,
                       exactly, its stations among it; a FREQUENCY,
                       --elements, check or tune option that differs from
                       the saved design's is refused, naming it.
                       With --measured MHZ or --measured-sweep the tuned
                       loops, once built, are trimmed from their own
                       lengths, as with --shop --tune
  --shop --bands LIST  the cut list of a quad of several bands: each loop's
                   wire and corner marks, where it meets its arms measured
                   from the hub along the arm, its station; each element's
                   arms, their angle to the boom and length; each band's
                   spacing and feed; with idle lines (--idle line:...) the
                   lengths of them to avoid; the wire in all. With --tune,
                   of the tuned quad; --tuned FILE cuts a saved one.
                   --layout, --spacing, --spider-angle, --shape and --match
                   as for --nec
)", kShopOptions, shopSheet, shopRules,
};

} // namespace tarvelin::cli
