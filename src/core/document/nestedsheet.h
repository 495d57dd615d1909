// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/idlewindows.h"
#include "core/format/document.h"
#include "core/shop/nestedsheet.h"

#include <optional>
#include <span>
#include <string>

namespace tarvelin::format {
class JsonWriter;
}

// The cut list of a quad of several bands as one document, one JSON record and one CSV table.
namespace tarvelin::document {

// Every loop band by band: its wire, corner marks, where it meets its arms from the hub, and its station; the
// arms, each band's spacing and feed, the idle-line lengths to avoid where they are known, and the wire in all.
// `tuning`: what the tune that gave the loops says of them, a paragraph.
[[nodiscard]] format::Document nestedSheetDocument(const shop::NestedSheet &sheet,
                                                   std::span<const check::IdleLineWindow> avoid = {},
                                                   const std::string &tuning = {});

// One row a loop, lowest band first, the reflector first in each: its band, element, factor, and each length
// in decimal inches and millimetres.
[[nodiscard]] format::ResultTable nestedLoopsTable(const shop::NestedSheet &sheet);

// {"layout", "shape", "elements", "tuned", "step", "hub", "hub_in", "hub_mm" (a spider's hub station),
// "arms": [{"element", "lean_deg", "angle_to_boom_deg", "length", "length_in", "length_mm"}],
// "bands": [{"name", "frequency_mhz", "spacing_wavelengths", "spacing_mm", "match", "section_mm",
// "loops": [{"element", "factor", "loop", "loop_in", "loop_mm", "cut_mm", "side_mm", "corner_marks_mm",
// "station", "station_in", "station_mm", "attachment", "attachment_in", "attachment_mm"}]}],
// "wire_total", "wire_total_mm"}; lengths as the sheet's fractions, decimal inches and millimetres.
void writeNestedSheetJson(format::JsonWriter &json, const shop::NestedSheet &sheet);

} // namespace tarvelin::document
