// SPDX-License-Identifier: MIT
#pragma once

#include "core/calc/resultgrid.h"
#include "core/format/resulttable.h"
#include "core/shop/lengthtext.h"
#include "core/shop/shopsettings.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace tarvelin::shop {

// What a measured resonance asks of one built loop: its length changed, and where its corners and the arms
// now meet it. The stations stay as built: moving elements changes the figures little for much work.
struct Trim
{
    HalfThousandths change = 0; // lengthen (+) or shorten (-)
    HalfThousandths side = 0;
    std::array<HalfThousandths, 4> cornerMarks{}; // along the trimmed wire from its cut end
    HalfThousandths arm = 0;                      // where the loop meets each arm, from the hub
};

// One element's line of the cut list. All lengths in half-thousandths of an inch.
struct ElementCuts
{
    calc::ElementRow element = calc::ElementRow::Reflector;
    HalfThousandths loop = 0;
    HalfThousandths cut = 0; // loop plus the allowance
    HalfThousandths side = 0;
    std::array<HalfThousandths, 4> cornerMarks{}; // along the wire from one cut end
    HalfThousandths arm = 0;      // one of the four spreader arms: the spreader half less the hub offset
    HalfThousandths spreader = 0; // the whole spreader, for reference
    HalfThousandths station = 0;  // along the boom from the reflector
    std::optional<Trim> trim;     // with a measured resonance
};

inline constexpr int kArmsPerElement = 4;

// A loop fed in the middle of a side: half the allowance before the first corner, then half a side, then a
// side between corners.
[[nodiscard]] std::array<HalfThousandths, 4> cornerMarksOf(HalfThousandths side, HalfThousandths allowance);

// The whole sheet for one frequency.
// What a tuned sheet says of its tune: the figures before and after, and how it ended with the goals.
struct SheetTuning
{
    format::ResultTable figures; // per figure the specified design's and the tuned one's
    std::string outcome;         // the goals met or missed, and how the search ended
};

struct ShopSheet
{
    std::string frequencyText;  // as typed
    std::string frequencyLabel; // the frequency as read, at least five digits, for titles and file names
    ShopSettings settings;
    std::vector<ElementCuts> elements;              // reflector first, two to seven
    std::string windowBoomInches;                   // the main window's boom total, as shown ("807.316 IN.");
                                                    // empty for a shorter array, whose boom the window never shows
    HalfThousandths boomLength = 0;                 // the last station
    HalfThousandths wireTotal = 0;                  // every element's cut length
    std::map<HalfThousandths, int> armsByLength;    // arm length to how many, longest last
    std::string correctedFrequencyText;             // with a measured resonance: F x F / M, as a frequency label
    std::optional<std::vector<double>> loopFactors; // a tuned design's, against the specified
    bool stationsTuned = false;                     // a tuned design's stations are the tune's own
    std::optional<SheetTuning> tuning;              // a tuned design's figures, where known
    std::optional<HalfThousandths> section;         // a quarter-wave matching section's cut length
    // Trimmed in turn: how much of the last trim showed up, in percent of the move to the design frequency it
    // aimed at; none where the sweep before already lay on it.
    std::optional<double> lastTrimShowedPercent;
};

// The sheet of the specified design of the frequency text and the settings' element count, made as every
// design is, from its lengths exactly as the window shows them. Every setting is checked first, before the
// frequency; a wrong one is named in the refusal.
[[nodiscard]] std::variant<ShopSheet, ShopRefusal> makeShopSheet(const std::string &frequencyText,
                                                                 const ShopSettings &settings);

// Sweeps in turn of one design's loops, oldest first, whose driven loop was `drivenInches` as first cut: each
// cut between them scales every loop as it scaled the driven one, so the loops the latest was taken of are as
// the design for F over the product of those scales has them. A cut not given is the trim the sheet advised
// (which takes the resonance from the sweep before to F), or none where the sweep did not move. Each sweep is
// held to the design as a lone sweep is: within kMeasuredTolerancePercent. None for a single sweep, which is
// trimmed from the loops as first cut.
[[nodiscard]] std::variant<std::optional<EarlierTrim>, ShopRefusal> earlierTrimOf(double designMHz, double drivenInches,
                                                                                  std::span<const SweepTurn> inTurn);

// A tuned design as the sheet cuts it: each loop's factor against the specified loop, reflector first, and
// where the tune moved them, each element's station from the reflector in whole thousandths of an inch.
struct TunedCut
{
    std::vector<double> loopFactors;
    std::vector<std::int64_t> stationThousandths; // none: as designed
    design::Match match{};                        // the feed it was tuned through, whose section is cut with it
    double z0Ohms = 50.0;                         // the line it was tuned for, which a sweep of it is read on
    bool operator==(const TunedCut &) const = default;
};

// The sheet of a tuned design: each loop scaled by its factor, the stations the tune's or as designed. Once
// built and measured, it is trimmed from its own loops: each takes the trim its factor gives on the corrected
// design; the stations stay as built.
// Its design is the specified one of the frequency text, of as many elements as the tune has loops.
[[nodiscard]] std::variant<ShopSheet, ShopRefusal>
makeTunedShopSheet(const std::string &frequencyText, const ShopSettings &settings, const TunedCut &tuned);

} // namespace tarvelin::shop
