// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/nestedcheck.h"
#include "core/format/document.h"

#include <span>

namespace tarvelin::format {
class JsonWriter;
}

// The check of a quad of several bands as one document and one JSON record.
namespace tarvelin::document {

// Each band's verdict, lowest band first, under a title naming the bands, the layout and how the idle drivers
// are ended; how the loops were modelled for the pages that travel.
[[nodiscard]] format::Document bandsCheckDocument(const design::NestedGeometry &geometry,
                                                  std::span<const check::BandCheck> bands,
                                                  const design::CheckSettings &settings, const design::IdleEnd &idle,
                                                  const check::Goals &goals = {});

// {"layout", "shape", "elements", "idle", "bands": [{"name", "frequency_mhz", "check": the band's check record}]}
void writeBandsCheckJson(format::JsonWriter &json, const design::NestedGeometry &geometry,
                         std::span<const check::BandCheck> bands, const design::IdleEnd &idle);

} // namespace tarvelin::document
