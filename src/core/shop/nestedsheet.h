// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/nested.h"
#include "core/shop/lengthtext.h"
#include "core/shop/shopsettings.h"

#include <optional>
#include <vector>

namespace tarvelin::shop {

// Each arm reaches this far past its outermost mark, for the last loop's tie.
inline constexpr std::int64_t kArmSpareThousandths = 2000;

// One loop of a quad of several bands as it is cut and hung. Lengths in half-thousandths of an inch.
struct NestedLoopCut
{
    std::size_t band = 0;
    std::size_t element = 0;
    HalfThousandths loop = 0; // four sides
    HalfThousandths cut = 0;  // the loop and its join allowance
    HalfThousandths side = 0;
    // Along the wire from one cut end: a square's four corners from the feed in the middle of its bottom
    // side; a diamond's three, the feed at its fourth.
    std::vector<HalfThousandths> cornerMarks;
    HalfThousandths station = 0;    // along the boom from the rearmost loop
    HalfThousandths attachment = 0; // from the hub's centre along the arm to the corner
    double factor = 1.0;            // against the window's design at the band's frequency
};

// One element's four arms: how far they lean from the plane across the boom, forward positive, and each
// arm's length less the hub: the outermost mark and a spare for the tie.
struct NestedArm
{
    std::size_t element = 0;
    double leanDeg = 0.0;
    HalfThousandths length = 0;
    HalfThousandths hubStation = 0; // where the element's hub stands along the boom
};

// Each band's feed: its match and the section's cut length, and the spacing its layout gives it.
struct NestedBandFeed
{
    design::Match match;
    std::optional<HalfThousandths> section;
    double spacingWavelengths = 0.0;
    HalfThousandths spacing = 0;
};

// The cut list of a quad of several bands: every loop band by band, the arms, each band's feed and the wire
// for them all.
struct NestedSheet
{
    design::NestedGeometry geometry;
    ShopSettings settings;
    std::vector<NestedLoopCut> loops; // as the geometry's: band by band, the reflector first
    std::vector<NestedArm> arms;      // each element's
    std::vector<NestedBandFeed> feeds;
    HalfThousandths wireTotal = 0;
    bool tuned = false; // the loops are a tune's
};

// The sheet of the quad: every length from the geometry's metres by the one rounding to the thousandth the
// sheet's lengths take. A hub offset is refused when an arm would be no longer than it.
[[nodiscard]] std::variant<NestedSheet, ShopRefusal> makeNestedSheet(const design::NestedGeometry &geometry,
                                                                     const ShopSettings &settings, bool tuned);

} // namespace tarvelin::shop
