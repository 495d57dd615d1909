// SPDX-License-Identifier: MIT
#pragma once

#include "core/format/document.h"
#include "core/format/resulttable.h"
#include "core/shop/shopsheet.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvelin::format {
class JsonWriter;
}

namespace tarvelin::shop {

// The sheet as tables, the one model its terminal text, CSV, clipboard text, printout and window are made
// from. Each length is two columns: feet, inches and a fraction of the sheet's step, then millimetres. The
// element names each row.
struct ShopTables
{
    format::ResultTable loops;            // loop, cut and side
    format::ResultTable cornerMarks;      // four marks along the wire from the cut end
    format::ResultTable spreadersAndBoom; // arm, arms, spreader and station
    format::ResultTable trims;            // what to do to each loop, its new side and where it meets the arms;
                                          // empty texts without a measured resonance
    format::ResultTable trimmedMarks;     // the corner marks along the trimmed wire; empty likewise
};
[[nodiscard]] ShopTables shopTables(const ShopSheet &sheet);

// The four tables side by side with the frequency first, one row per element: the sheet's CSV.
[[nodiscard]] format::ResultTable shopCsvTable(const ShopSheet &sheet);

// The sheet as one JSON record, nested by table.
void writeShopSheetJson(format::JsonWriter &json, const ShopSheet &sheet);

// What closes every sheet, in one place for every text of it: the wire in all, the spreader arms counted by
// length, and the boom.
struct ShopFooter
{
    std::string wire;                                          // "103' 8-1/2\" (31.61 m)"
    int arms = 0;                                              // four an element
    std::vector<std::pair<HalfThousandths, int>> armsByLength; // the longest first
    std::string armsText;                                      // "28: 4 x 6' 1-1/8\", ..."
    std::string boom;                                          // "67' 3-5/16\" (20506.5 mm)"
    std::string section; // the matching section: "5' 8-5/16\" (1735.6 mm) of RG-11"; none without one
    std::string feed;    // how to feed and measure it
};
[[nodiscard]] ShopFooter shopFooter(const ShopSheet &sheet);

// The loops' table names the matching section's row so.
inline constexpr std::string_view kSectionRowName = "Matching section";

// The sheet as a reader sees it, for the terminal, the clipboard, the printout and the window's summary: the
// design and how it is rounded, the tables with what introduces each, what the tune did, the materials, and
// how to feed and measure it.
[[nodiscard]] format::Document shopSheetDocument(const ShopSheet &sheet);

// What to do to a built loop, read at the bench in inches: "shorten 20-5/16\" (5-1/16\" a side)", "lengthen …", or
// "leave as cut" when the change rounds to nothing at the sheet's step.
[[nodiscard]] std::string trimAction(HalfThousandths change, int step);

// A length's two columns of a table, in inches and, its twin, in millimetres; and a row's two cells of it: the
// text as the sheet shows it, rounded to its step and to 0.1 mm, the number exact.
void addLengthColumns(format::ResultTable &table, const std::string &key, const std::string &heading);
void addLengthCells(std::vector<format::TableCell> &row, HalfThousandths length, int step);

// What the trims are for, in one sentence for every text of the sheet: the resonance measured or predicted,
// the frequency to cut as for, and the stations as built. Empty without a resonance.
[[nodiscard]] std::string trimsNote(const ShopSheet &sheet);

// What a tuned sheet says it is: "The loops are tuned with the model for the chosen wire and ground; the
// stations are as designed." or, with the stations moved too, "The loops and the stations are tuned ...".
// Empty for the specified design.
[[nodiscard]] std::string tunedNote(const ShopSheet &sheet);

// How to feed and measure the built array through its match, which every sheet ends with and the check's
// feed advice opens with, in the same words.
[[nodiscard]] std::string feedAdviceText(const design::Match &match);

// What the sheet says of the match: a 4:1 balun, or the quarter-wave section's line and cut length and what
// the length includes. Empty for a direct feed.
[[nodiscard]] std::string matchNote(const ShopSheet &sheet);

// The line that states the step and the largest rounding error: "Fractions to 1/16 in (rounding at most
// 1/32 in, 0.8 mm)."
[[nodiscard]] std::string roundingNote(int step);

} // namespace tarvelin::shop
