// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/idleend.h"
#include "core/format/document.h"
#include "core/study/nestedtune.h"

namespace tarvelin::format {
class JsonWriter;
}

namespace tarvelin::document {

// The tune of a quad of several bands as one document: each band's figures over its band before and after,
// how far its driver and reflector moved, and its goals met or missed; then how the tune ended.
[[nodiscard]] format::Document bandsTuneDocument(const study::NestedTuneResult &result,
                                                 const tune::TuneSettings &tune, const design::IdleEnd &idle);

// How the tune ended and which bands meet their goals, one paragraph: for a sheet cut from it.
[[nodiscard]] std::string bandsTuneOutcome(const study::NestedTuneResult &result, const tune::TuneSettings &tune);

// {"layout", "shape", "elements", "idle", "rounds", "designs", "ended", "bands": [{"name", "frequency_mhz",
// "driver_factor", "reflector_factor", "before": {...}, "after": {"swr", "gain_dbi", "fb_db", "worst_swr",
// "min_fb_db"}, "swr_met", "fb_met"}]}
void writeBandsTuneJson(format::JsonWriter &json, const study::NestedTuneResult &result,
                        const tune::TuneSettings &tune, const design::IdleEnd &idle);

} // namespace tarvelin::document
