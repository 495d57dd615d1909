// SPDX-License-Identifier: MIT
// What every mode shares: the order of the modes, the refusal of an option outside its mode, and the usage
// and help assembled from every mode's own part.
#include "cli/mode.h"

#include "core/design/checksettings.h"
#include "core/design/coaxtable.h"
#include "core/design/designlengths.h"
#include "core/design/feed.h"
#include "core/design/nested.h"
#include "core/format/fieldtext.h"
#include "core/measure/measured.h"
#include "core/shop/shopsettings.h"
#include "core/study/study.h"
#include "core/tune/tuner.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace tarvelin::cli {

namespace {

constexpr std::array<const ModeDeclaration *, 7> kModes{&kGridMode,    &kFractionsMode, &kShopMode, &kDeckMode,
                                                        &kAnalyseMode, &kTuneMode,      &kStubMode};

// The limits the help gives, from the same constants as the settings readers that refuse a value outside them,
// so that --help and the refusal never disagree. A token "{name}" in a mode's help stands for "LOWEST to
// HIGHEST"; one with a single limit, for that limit.
struct HelpLimit
{
    std::string_view token;
    double lowest;
    std::optional<double> highest;
};

const std::array kHelpLimits{
    HelpLimit{"{elements}", design::kFewestElements, design::kMostElements},
    HelpLimit{"{design-mhz}", design::kLowestDesignMHz, design::kHighestDesignMHz},
    HelpLimit{"{wire-mm}", design::limits::kLowestWireMm, design::limits::kHighestWireMm},
    HelpLimit{"{awg}", design::limits::kLowestAwg, design::limits::kHighestAwg},
    HelpLimit{"{segments}", design::limits::kFewestSegments, design::limits::kMostSegments},
    HelpLimit{"{span}", design::limits::kNarrowestSpanPercent, design::limits::kWidestSpanPercent},
    HelpLimit{"{points}", design::limits::kFewestPoints, design::limits::kMostPoints},
    HelpLimit{"{z0}", design::limits::kLowestZ0Ohms, design::limits::kHighestZ0Ohms},
    HelpLimit{"{permittivity}", design::limits::kLowestPermittivity, design::limits::kHighestPermittivity},
    HelpLimit{"{section-z0}", design::limits::kLowestSectionZ0Ohms, design::limits::kHighestSectionZ0Ohms},
    HelpLimit{"{vf-low}", design::limits::kLowestVelocityFactor, std::nullopt},
    HelpLimit{"{vf-high}", design::limits::kHighestVelocityFactor, std::nullopt},
    HelpLimit{"{allowance-in}", shop::limits::kLongestAllowanceThousandths / 1000.0, std::nullopt},
    HelpLimit{"{measured-percent}", shop::limits::kMeasuredTolerancePercent, std::nullopt},
    HelpLimit{"{sweeps}", static_cast<double>(measure::kMostSweeps), std::nullopt},
    HelpLimit{"{band}", tune::limits::kLowestBandPercent, tune::limits::kHighestBandPercent},
    HelpLimit{"{goal-swr}", tune::limits::kLowestGoalSwr, tune::limits::kHighestGoalSwr},
    HelpLimit{"{goal-fb}", tune::limits::kLowestGoalFrontToBackDb, tune::limits::kHighestGoalFrontToBackDb},
    HelpLimit{"{seconds}", tune::limits::kShortestTuneSeconds, tune::limits::kLongestTuneSeconds},
    HelpLimit{"{designs}", tune::limits::kFewestDesigns, tune::limits::kMostDesigns},
    HelpLimit{"{processes}", 1, study::kMostProcesses},
    HelpLimit{"{most-bands}", static_cast<double>(design::kMostBands), std::nullopt},
    HelpLimit{"{nested-elements}", design::kFewestNestedElements, design::kMostNestedElements},
    HelpLimit{"{spacing}", design::kLowestSpacingWavelengths, design::kHighestSpacingWavelengths},
    HelpLimit{"{spider-angle}", design::kLowestSpiderAngleDeg, design::kHighestSpiderAngleDeg},
};

// Every limit's token in `help` replaced by its values.
std::string withLimits(std::string help)
{
    for (const HelpLimit &limit : kHelpLimits) {
        const std::string values = design::shortestText(limit.lowest) +
                                   (limit.highest ? " to " + design::shortestText(*limit.highest) : std::string());
        for (std::size_t at = help.find(limit.token); at != std::string::npos; at = help.find(limit.token, at))
            help.replace(at, limit.token.size(), values);
    }
    return help;
}

constexpr std::string_view kGeneralHelp = R"(Options:
  --format table   the grid laid out as in the window (the default)
  --format csv     RFC 4180 with CRLF line ends and one header line; a number
                   stands alone in its column, whose name gives the unit
                   (boom_ft); the last field holds the message when an input
                   is refused
  --format json    one object per line (see JSON OUTPUT in the manual page)
  -h, --help       show this help
  --version        show the version
  --               the arguments after it are all FREQUENCY or VALUE texts

Elements:
  --elements N     with --shop, --nec, --analyse or --tune: an array of the
                   first N elements of the design, {elements} (default 7): the
                   reflector, the driven element and N - 2 directors, each
                   exactly as the window gives it; 7 is the whole design
)";

constexpr std::string_view kModelHelp = R"(Model settings (--nec, --analyse, --tune and --shop with --measured model,
--tune or --tuned):
  --wire-mm D      wire diameter, {wire-mm} mm (default 2.05, AWG 12)
  --awg N          wire gauge from {awg} instead of a diameter
  --segments N     segments per loop side: odd, {segments} (default 11)
  --span PERCENT   the sweep runs this far either side: {span} (default 3)
  --points N       frequencies in the sweep: odd, {points} (default 13)
  --z0 OHMS        feed line impedance for the SWR: {z0} (default 50)
  --lossless       perfect wire instead of copper
  --insulation MM  the wire's jacket, 0 (bare, the default) to 5 mm thick,
                   modelled as a series inductance along every wire: an
                   estimate, which a measured sweep corrects
  --permittivity E  the jacket's relative permittivity, {permittivity}
                    (default 3.5, PVC; polyethylene 2.3, PTFE 2.1)
  --ground-height LEN  over average ground with the boom at this
                       height, above the ground and below 1000 m (15 m,
                       50 ft); gain and front-to-back at the best elevation
  --match KIND, --match-line CABLE, --match-z0 OHMS, --match-vf VF
                   the feed's match, as for
                   --shop: the SWR, the 2:1 band and the tune's SWR goal
                   are read on the feed line through it; a quarter-wave
                   section goes into the deck as a TL card of its
                   electrical length, fed from a short wire a wavelength
                   behind the reflector
)";

constexpr std::string_view kClosingHelp =
    R"(The shop sheet, the deck and the check are worked out for {design-mhz} MHz;
a check refuses wire too thick for its segments, and warns where segments are
shorter than 8 wire radii. A check stopped by TERM, HUP or INT stops its nec2c
processes and removes its temporary folder first.

Control characters in the input are written escaped (\x1b) in the table and in
messages, so input can never reprogram a terminal; csv keeps them as they are,
but a text field that a spreadsheet would take for a formula (it begins with
=, +, -, @, a tab or a carriage return) is written with a leading apostrophe.

Exit status: 0 when every input succeeded, 1 when any failed (each failure is
reported, the others are still printed; a sweep or tuned design file refused
for what it holds is such an input), 2 for a usage error (an empty value such
as --save "" among them, or an option its mode does not take), 3 when the
input could not be read or the output could not be written (reported on
stderr; the work stops there). When the reader of the output goes away,
tarvelin-calc ends quietly, as other filters do.

Examples:
  tarvelin-calc 14.2                       the 20 m band, as in the window
  tarvelin-calc --format json 7.1 14.2     one JSON object per frequency
  tarvelin-calc --format csv < bands.txt   one CSV line per input line
  tarvelin-calc --fraction 0.375           3/8
  tarvelin-calc --shop --allowance 2in 14.2   the cut list for 20 m
  tarvelin-calc --analyse --format json 14.2  the design checked with nec2c
  tarvelin-calc --tune --band 0.7 14.2        loop lengths tuned for 20 m
  tarvelin-calc --shop --elements 3 14.2      a three-element quad's cut list
  tarvelin-calc --tune --elements 3 --boom 7.5m 14.2
                                 three elements, the stations tuned too
)";

const OptionUse *useOf(const ModeDeclaration &mode, std::string_view option)
{
    const auto found = std::find_if(mode.options.begin(), mode.options.end(),
                                    [option](const OptionUse &use) { return use.name == option; });
    return found == mode.options.end() ? nullptr : &*found;
}

// The table's cables, as --match-line and --through name them.
std::string cablesHelp()
{
    std::string text = "Cables (--match-line CABLE, --through LENGTH:CABLE), in any case, with or\n"
                       "without /U; the velocity factor is the maker's nominal one:\n";
    for (const design::CoaxCable &cable : design::coaxCables()) {
        std::string row = "  " + std::string(cable.name);
        row.append(row.size() < 15 ? 15 - row.size() : 1, ' ');
        text += row + format::fixedText(cable.z0Ohms, 0) + " ohms, VF " + format::fixedText(cable.velocityFactor, 2) +
                ", " + std::string(cable.makerPart) + "\n";
    }
    return text + "Figures from the makers' sheets, gathered by the TA3HX Coax Cable Database\n"
                  "(CC BY 4.0); between and beyond the printed frequencies the loss is\n"
                  "k1 sqrt(f) + k2 f, fitted to each cable's figures.\n";
}

} // namespace

std::span<const ModeDeclaration *const> modeDeclarations()
{
    return kModes;
}

const ModeDeclaration &declarationOf(Mode mode)
{
    return **std::find_if(kModes.begin(), kModes.end(),
                          [mode](const ModeDeclaration *declaration) { return declaration->mode == mode; });
}

std::optional<std::string> optionRefusal(std::string_view option, Mode mode, const Uses &uses)
{
    if (const OptionUse *use = useOf(declarationOf(mode), option); use && (!use->when || use->when(uses)))
        return std::nullopt;
    std::vector<std::string_view> always;
    std::vector<std::string_view> sometimes;
    for (const ModeDeclaration *declaration : kModes) {
        const OptionUse *use = useOf(*declaration, option);
        if (!use || use->as == "-")
            continue;
        std::vector<std::string_view> &names = use->when ? sometimes : always;
        const std::string_view name = use->as.empty() ? declaration->name : use->as;
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    always.insert(always.end(), sometimes.begin(), sometimes.end());
    std::string text = "Belongs to ";
    for (std::size_t i = 0; i < always.size(); ++i)
        text += std::string(i == 0 ? "" : i + 1 == always.size() ? " or " : ", ") + std::string(always[i]);
    return text;
}

std::string usageText()
{
    std::string text;
    for (const ModeDeclaration *mode : kModes)
        text += std::string(text.empty() ? "usage: " : "       ") + "tarvelin-calc " + std::string(mode->usage) + '\n';
    return text + "Try 'tarvelin-calc --help' for more information.\n";
}

std::string helpText()
{
    std::string text;
    for (const ModeDeclaration *mode : kModes)
        text += std::string(text.empty() ? "Usage: " : "  or:  ") + "tarvelin-calc " + std::string(mode->usage) + '\n';
    text += '\n';
    text += kGridMode.help;
    text += '\n';
    text += kGeneralHelp;
    for (const ModeDeclaration *mode : kModes)
        if (mode != &kGridMode) {
            text += '\n';
            text += mode->help;
        }
    text += '\n';
    text += kModelHelp;
    text += '\n';
    text += cablesHelp();
    text += '\n';
    text += kClosingHelp;
    return withLimits(std::move(text));
}

} // namespace tarvelin::cli
