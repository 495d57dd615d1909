// SPDX-License-Identifier: MIT
#include "gui/windows/main/form1layout.h"

#include "gui/windows/styling/colors.h"

#include <array>

namespace tarvelin::form1layout {

namespace {

using enum Align;
using enum FontRole;
constexpr bool kOpaque = true;
constexpr bool kTransparent = false;
constexpr bool kShown = true;
constexpr bool kHidden = false;
constexpr LayoutColor kNone = bgr::kBlack; // background of a transparent label: never drawn

// The credits lines are the program's own short attribution, in the small face.
constexpr std::string_view kTopCredits = "Tarvelin\nseven-element\ncubical quad";
constexpr std::string_view kBottomCredits = "Free software for\nradio amateurs";

// One row per control, as the layout reads.
// clang-format off
constexpr std::array<LabelRow, 29> kLabels{{
    // name, index, caption, {left, top, width, height}, background, back colour, text colour, alignment, font,
    // visible, role
    {"Label29", -1, "", {60, 810, 10845, 2025}, kOpaque, bgr::kBlack, bgr::kBlack, Left, Backdrop, kShown, "grid backdrop"},
    // (the 68 grid cells go here)
    {"Label17", -1, "    Element  Total Length", {1710, 60, 1335, 525}, kTransparent, kNone, bgr::kWhite, Left, Control, kShown, "heading"},
    {"Label18", -1, "    Wire - One           Side", {3480, 60, 1335, 525}, kTransparent, kNone, bgr::kWhite, Left, Control, kShown, "heading"},
    {"Label19", -1, "  Spreader Half Length", {5460, 60, 1335, 525}, kTransparent, kNone, bgr::kWhite, Left, Control, kShown, "heading"},
    {"Label20", -1, "  Spreader Total Length", {7380, 60, 1335, 525}, kTransparent, kNone, bgr::kWhite, Left, Control, kShown, "heading"},
    {"Label21", -1, "Element Spacing", {9510, 60, 1335, 525}, kTransparent, kNone, bgr::kWhite, Left, Control, kShown, "heading"},
    {"Label9", -1, kTopCredits, {30, 0, 1695, 525}, kTransparent, kNone, bgr::kPaleYellow, Left, Credits, kShown, "credits"},
    {"Label32", -1, "", {0, 0, 1545, 555}, kOpaque, kSystemColor, kSystemColor, Left, Control, kHidden, "frequency line of the printout"},
    {"Label28", -1, "Elements", {75, 600, 1245, 195}, kTransparent, kNone, bgr::kWhite, Centre, Control, kShown, "heading"},
    {"LABEL23", 0, "IN             CM", {1500, 600, 1695, 195}, kTransparent, kNone, bgr::kWhite, Centre, Control, kShown, "units"},
    {"LABEL23", 1, "IN             CM", {3360, 600, 1695, 195}, kTransparent, kNone, bgr::kWhite, Centre, Control, kShown, "units"},
    {"LABEL23", 2, "IN              CM", {5250, 600, 1755, 195}, kTransparent, kNone, bgr::kWhite, Centre, Control, kShown, "units"},
    {"LABEL23", 3, "IN             CM", {7170, 600, 1695, 195}, kTransparent, kNone, bgr::kWhite, Centre, Control, kShown, "units"},
    {"LABEL23", 4, "IN             CM", {9000, 600, 1890, 255}, kTransparent, kNone, bgr::kWhite, Centre, Control, kShown, "units"},
    // The filler lies over the foot of the last unit heading.
    {"Label22", -1, "", {9000, 840, 1890, 255}, kOpaque, bgr::kGrey, bgr::kBlack, Left, Default, kShown, "no spacing for the reflector"},
    {"Label10", -1, "Reflector", {75, 840, 1215, 255}, kOpaque, bgr::kGrey, bgr::kWhite, Centre, Control, kShown, "element"},
    {"Label11", -1, "Driven", {75, 1125, 1215, 255}, kOpaque, bgr::kGrey, bgr::kWhite, Centre, Control, kShown, "element"},
    {"Label12", -1, "Director 1", {75, 1410, 1215, 255}, kOpaque, bgr::kGrey, bgr::kWhite, Centre, Control, kShown, "element"},
    {"Label13", -1, "Director 2", {75, 1695, 1215, 255}, kOpaque, bgr::kGrey, bgr::kWhite, Centre, Control, kShown, "element"},
    {"Label14", -1, "Director 3", {75, 1980, 1215, 255}, kOpaque, bgr::kGrey, bgr::kWhite, Centre, Control, kShown, "element"},
    {"Label15", -1, "Director 4", {75, 2265, 1215, 255}, kOpaque, bgr::kGrey, bgr::kWhite, Centre, Control, kShown, "element"},
    {"Label16", -1, "Director 5", {75, 2550, 1215, 255}, kOpaque, bgr::kGrey, bgr::kWhite, Centre, Control, kShown, "element"},
    {"Label24", -1, "Total Boom Length =", {600, 2850, 2175, 285}, kTransparent, kNone, bgr::kWhite, Left, Control, kShown, "boom"},
    {"Label25", -1, "", {2820, 2850, 1965, 225}, kTransparent, kNone, bgr::kWhite, Left, Control, kShown, "boom length, feet"},
    {"Label26", -1, "", {4860, 2850, 2055, 225}, kTransparent, kNone, bgr::kWhite, Left, Control, kShown, "boom length, inches"},
    {"Label27", -1, "", {7080, 2850, 2205, 225}, kTransparent, kNone, bgr::kWhite, Left, Control, kShown, "boom length, centimetres"},
    {"Label8", -1, "Center Frequency:", {1050, 3390, 2625, 285}, kTransparent, kNone, bgr::kWhite, Right, Control, kShown, "frequency"},
    {"Label30", -1, kBottomCredits, {30, 3330, 1695, 405}, kTransparent, kNone, bgr::kPaleYellow, Left, Credits, kShown, "credits"},
    {"Label31", -1, "mhz.", {4770, 3420, 615, 255}, kTransparent, kNone, bgr::kWhite, Left, Control, kShown, "unit"},
}};
// clang-format on

// Tab order Text1 (61), Calculate, Reset, Print, Conversion: not their order on screen.
constexpr std::array<ButtonRow, 4> kButtons{{
    {"Command1", "Calculate", {5370, 3210, 1365, 435}, 63},
    {"Command2", "Reset", {8160, 3210, 1365, 435}, 64},
    {"Command3", "Print", {6765, 3210, 1365, 435}, 88},
    {"Command4", "Conversion", {9555, 3210, 1365, 435}, 100},
}};

} // namespace

std::span<const LabelRow> labels()
{
    return kLabels;
}

std::span<const ButtonRow> buttons()
{
    return kButtons;
}

} // namespace tarvelin::form1layout
