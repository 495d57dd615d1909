// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/idlewindows.h"
#include "core/check/nestedcheck.h"
#include "core/measure/bandsweeps.h"
#include "core/format/document.h"

#include <span>

namespace tarvelin::format {
class JsonWriter;
}

// The check of a quad of several bands as one document and one JSON record.
namespace tarvelin::document {

// How a quad of several bands is named in its documents: "20m, 15m and 10m"; "spider" or "boom"; "square" or
// "diamond"; "a quad of 20m, 15m and 10m, two elements on a spider".
[[nodiscard]] std::string bandNames(const design::NestedGeometry &geometry);
[[nodiscard]] std::string layoutName(const design::NestedGeometry &geometry);
[[nodiscard]] std::string shapeName(const design::NestedGeometry &geometry);
[[nodiscard]] std::string quadTitle(const design::NestedGeometry &geometry);

// Each band's verdict, lowest band first, with what nesting did to it, under a title naming the bands, the
// layout and how the idle drivers are ended; how the loops were modelled for the pages that travel; with idle lines,
// the lengths of them to avoid, each window with the band it harms and how far.
// `measured`: each band's sweeps of the built antenna, where a sweep was read; the latest beside its verdict.
[[nodiscard]] format::Document bandsCheckDocument(const design::NestedGeometry &geometry,
                                                  std::span<const check::BandCheck> bands,
                                                  const design::CheckSettings &settings, const design::IdleEnd &idle,
                                                  std::span<const check::IdleLineWindow> windows,
                                                  const check::Goals &goals = {},
                                                  std::span<const measure::BandSweeps> measured = {});

// {"layout", "shape", "elements", "idle", "bands": [{"name", "frequency_mhz", "monoband_mhz", "monoband_by",
// "nesting_shift_percent", "check": the band's check record}],
// "idle_line_windows": [{"from_cm", "to_cm", "band", "lowest_gain_dbi", "lowest_fb_db"}]}, the windows with
// idle lines only.
void writeBandsCheckJson(format::JsonWriter &json, const design::NestedGeometry &geometry,
                         std::span<const check::BandCheck> bands, const design::IdleEnd &idle,
                         std::span<const check::IdleLineWindow> windows,
                         std::span<const measure::BandSweeps> measured = {});

} // namespace tarvelin::document
