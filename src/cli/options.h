// SPDX-License-Identifier: MIT
#pragma once

#include "cli/mode.h"
#include "cli/resultwriter.h"
#include "core/design/designlengths.h"
#include "core/design/checksettings.h"
#include "core/design/idleend.h"
#include "core/design/nested.h"
#include "core/design/feedrun.h"
#include "core/tune/tuneddesign.h"
#include "core/tune/tuner.h"
#include "core/shop/shopsettings.h"

#include <iosfwd>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelin::cli {

// The command line as read: the mode, its settings read through the core's readers, the files it names
// and the inputs, in their order.
struct Options
{
    OutputFormat format = OutputFormat::Table;
    Mode mode = Mode::Grid;
    Uses uses;
    shop::ShopSettings shopSettings;
    shop::ShopSettingTexts shopTexts;
    bool measuredByModel = false;        // --shop --measured model: the check's resonance, per frequency
    bool tuneForSheet = false;           // --shop --tune: the tuned design's sheet
    std::string savePath;                // --tune --save FILE: the tuned design, written to FILE
    std::string tunedPath;               // --shop --tuned FILE: the sheet of the tuned design saved there
    std::vector<std::string> sweepPaths; // --analyse --sweep FILE ...: sweeps beside the check, oldest first
    // --shop --measured-sweep FILE ...: the sweeps in turn, oldest first; the latest's lowest SWR trims the sheet,
    // from the loops as the ones before had them trimmed.
    std::vector<std::string> measuredSweepPaths;
    // --cut LEN ...: what was cut from the driven loop before each sweep after the first, in inches, shortened
    // positive; none for the trim the sheet advised. As many as the sweeps after the first.
    std::vector<std::optional<double>> cutsInches;
    design::MeasuredThrough through; // --through, --through-match: what those sweeps were measured through
    std::string stubSweepPath;       // --stub-sweep FILE: a cut piece of cable, swept open at its far end
    double stubLengthMetres = 0.0;   // --stub-length LEN: that piece's
    tune::GivenSettings tunedGiven;  // what the command line says the tuned design is for
    design::CheckSettings checkSettings;
    tune::TuneSettings tuneSettings;
    // --bands LIST: a quad of several bands, lowest first; none for the design of each FREQUENCY. With it
    // --layout, --spacing, --spider-angle and --shape say how the loops are held, and --idle how the switch
    // box ends the drivers of the bands not in use.
    std::vector<design::Band> bands;
    // --match BAND=KIND[:CABLE], one a band: how each band's driver meets its feed line; direct where not given.
    std::map<std::string, design::Match> bandMatches;
    std::string bandsText;
    design::NestedSettings nested;
    design::IdleEnd idle;
    int processes = 0;                    // --processes N: engines at once; the machine's cores where 0
    int elements = design::kMostElements; // --elements N: the array's, for the sheet, the deck, the check and the tune
    // A quad of several bands has as many elements as --elements says, and two unless it says.
    [[nodiscard]] int nestedElements() const { return tunedGiven.elements.value_or(design::kFewestNestedElements); }
    bool help = false;
    bool version = false;
    std::vector<std::string_view> inputs;
};

// Reads the arguments (without the program's name); a usage error is reported on `err`, naming its option,
// and gives none.
[[nodiscard]] std::optional<Options> parseOptions(std::span<const std::string_view> arguments, std::ostream &err);

// One line on stderr in the program's one style: "tarvelin-calc: --option: Message."
void complain(std::ostream &err, std::string_view option, std::string_view message);

} // namespace tarvelin::cli
