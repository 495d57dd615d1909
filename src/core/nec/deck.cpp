// SPDX-License-Identifier: MIT
#include "core/nec/deck.h"

#include "core/design/designlengths.h"
#include "core/design/feed.h"
#include "core/nec/cnumbers.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace tarvelin::nec {

namespace {

constexpr double kGroundPermittivity = 13.0;
constexpr double kGroundConductivity = 0.005; // S/m

} // namespace

namespace {

// The comment cards: what the deck models, and how, for whoever reads it or runs it in another engine.
std::string commentCards(const design::ArrayGeometry &geometry, const design::CheckSettings &settings,
                         const DeckRequest &request)
{
    std::string deck;
    // The frequency as read, never the text as typed: a card holds only what the program wrote into it.
    deck +=
        card("CM Tarvelin " TARVELIN_VERSION ": %s%s cubical quad for %s MHz\n", request.tuned ? "tuned " : "",
             design::elementsWord(geometry.elementCount()).c_str(), design::frequencyLabel(geometry.designMHz).c_str());
    deck += card("CM wire %.4g mm, %d segments per side, %s, %s\n", settings.wireDiameterMm, settings.segments,
                 settings.lossless ? "lossless" : "copper",
                 settings.groundHeightMetres ? "over average ground" : "free space");
    if (settings.insulationMm > 0.0)
        deck += card("CM insulation %.4g mm, permittivity %.4g: a series inductance along every wire\n",
                     settings.insulationMm, settings.permittivity);
    if (settings.groundHeightMetres)
        deck += card("CM boom %.4g m above ground (permittivity 13, 0.005 S/m)\n", *settings.groundHeightMetres);
    deck +=
        card("CM sweep +-%.4g %% in %d points, Z0 %.4g ohms\n", settings.spanPercent, settings.points, settings.z0Ohms);
    deck += "CM boom on +X from the reflector; loops in the Y-Z plane, top and bottom level\n";
    const design::Match &match = settings.match;
    const double wavelength = design::kSpeedOfLightMetresPerMicrosecond / geometry.designMHz;
    const bool section = match.kind == design::MatchKind::QuarterWave;
    // The engine reads a card of at most 80 characters: a longer comment runs on to a card of its own.
    if (section) {
        deck += card("CM fed through a quarter-wave section of %.4g ohm line, velocity factor %.4g:\n", match.z0Ohms,
                     match.velocityFactor);
        deck += card("CM a TL card of its electrical length, %.6f m, from the driven loop's feed\n", wavelength / 4.0);
        deck += "CM to a short source wire a wavelength behind the reflector\n";
    } else if (match.kind == design::MatchKind::Balun4) {
        deck += "CM fed through an ideal 4:1 balun, which the SWR is read through;\n";
        deck += "CM the deck feeds the loop itself\n";
    }
    deck += "CE\n";
    return deck;
}

// The loops, the source wire a quarter-wave section is fed from, the ground, the losses and the feed.
std::string structureCards(const design::ArrayGeometry &geometry, const design::CheckSettings &settings)
{
    std::string deck;
    const design::Match &match = settings.match;
    const double wavelength = design::kSpeedOfLightMetresPerMicrosecond / geometry.designMHz;
    const bool section = match.kind == design::MatchKind::QuarterWave;

    const double radius = settings.wireDiameterMm / 2000.0;
    const double height = settings.groundHeightMetres.value_or(0.0);
    int tag = 1;
    for (std::size_t i = 0; i < geometry.sidesMetres.size(); ++i) {
        const double x = geometry.stationsMetres[i];
        const double h = geometry.sidesMetres[i] / 2;
        // Bottom, right, top, left: corners shared, the bottom first so its centre can take the feed.
        const std::array<std::array<double, 2>, 4> corners{{{-h, -h}, {h, -h}, {h, h}, {-h, h}}};
        for (std::size_t k = 0; k < corners.size(); ++k) {
            const auto &from = corners[k];
            const auto &to = corners[(k + 1) % corners.size()];
            deck += card("GW %d %d %.6f %.6f %.6f %.6f %.6f %.6f %.6g\n", tag++, settings.segments, x, from[0],
                         from[1] + height, x, to[0], to[1] + height, radius);
        }
    }
    // A quarter-wave section's source: a short wire well away from the array, so it barely couples to it,
    // and held to the rules every segment is: no thicker than its length over kAccurateSegmentRadii radii,
    // so thick wire on a high band adds no shunt capacitance of its own to what the section sees.
    const int sourceTag = tag;
    if (section) {
        const double half = 0.005 * wavelength;
        const double sourceRadius = std::min(radius, 2.0 * half / design::kAccurateSegmentRadii);
        deck += card("GW %d 1 %.6f 0 %.6f %.6f 0 %.6f %.6g\n", sourceTag, -wavelength, height - half, -wavelength,
                     height + half, sourceRadius);
    }
    deck += settings.groundHeightMetres ? "GE 1\n" : "GE 0\n";
    if (!settings.lossless)
        deck += card("LD 5 0 0 0 %.3G\n", kCopperConductivity);
    // The jacket, as an inductance per metre (series RLC per length, no resistance, no capacitor), which adds
    // to the copper's loss on every segment.
    if (const double henries = design::jacketHenriesPerMetre(settings); henries > 0.0)
        deck += card("LD 2 0 0 0 0 %.6E 0\n", henries);
    if (settings.groundHeightMetres)
        deck += card("GN 2 0 0 0 %.4g %.4g\n", kGroundPermittivity, kGroundConductivity);
    // The driven loop's bottom side is tag 5; its centre segment carries the source, or with a quarter-wave
    // section the section's near end, the source at its far end.
    const int feedSegment = settings.segments / 2 + 1;
    if (section) {
        deck += card("EX 0 %d 1 0 1.0 0.0\n", sourceTag);
        deck += card("TL 5 %d %d 1 %.6g %.6f 0 0 0 0\n", feedSegment, sourceTag, match.z0Ohms, wavelength / 4.0);
    } else {
        deck += card("EX 0 5 %d 0 1.0 0.0\n", feedSegment);
    }
    return deck;
}

// The frequencies and the patterns asked for at them.
std::string frequencyCards(const design::ArrayGeometry &geometry, const design::CheckSettings &settings,
                           const DeckRequest &request)
{
    std::string deck;
    deck += "PT -1 0 0 0\n"; // no currents in the output: only what the check reads
    // Forward, straight back and the rear half between: the pattern is symmetric about the boom's vertical
    // plane, so azimuths from 0 to 180 degrees hold every lobe of the rear half.
    if (settings.groundHeightMetres) {
        // Over ground, every elevation from 1 to 60 degrees, and the low angles from 0.1 to 3 degrees a tenth
        // apart, where a high antenna's take-off lies. nec2c takes a second pattern card at the last frequency
        // of its frequency card only, so each frequency has a card of its own.
        for (const double mhz : request.sweepMHz) {
            deck += card("FR 0 1 0 0 %.9g 0\n", mhz);
            deck += card("RP 0 %d %d 1000 %d 0 1 %d\n", kHighestElevation - kLowestElevation + 1,
                         180 / kAzimuthStep + 1, 90 - kHighestElevation, kAzimuthStep);
            deck += card("RP 0 %d %d 1000 %.1f 0 %.1f %d\n", kFineElevations, 180 / kAzimuthStep + 1,
                         90.0 - kFineElevations * kFineElevationStep, kFineElevationStep, kAzimuthStep);
        }
    } else if (request.cardPerFrequency) {
        for (const double mhz : request.sweepMHz) {
            deck += card("FR 0 1 0 0 %.9g 0\n", mhz);
            deck += card("RP 0 1 %d 1000 90 0 0 %d\n", 180 / kAzimuthStep + 1, kAzimuthStep);
        }
    } else if (!request.sweepMHz.empty()) {
        const double first = request.sweepMHz.front();
        const double step = request.sweepMHz.size() > 1 ? request.sweepMHz[1] - first : 0.0;
        deck += card("FR 0 %zu 0 0 %.9g %.9g\n", request.sweepMHz.size(), first, step);
        deck += card("RP 0 1 %d 1000 90 0 0 %d\n", 180 / kAzimuthStep + 1, kAzimuthStep);
    }
    if (request.azimuthPattern) {
        // Over ground, every elevation of the search, so the pattern can be read at the best one.
        deck += card("FR 0 1 0 0 %.9g 0\n", geometry.designMHz);
        if (settings.groundHeightMetres)
            deck += card("RP 0 %d %d 1000 %d 0 1 %d\n", kHighestElevation - kLowestElevation + 1,
                         360 / kAzimuthStep + 1, 90 - kHighestElevation, kAzimuthStep);
        else
            deck += card("RP 0 1 %d 1000 90 0 0 %d\n", 360 / kAzimuthStep + 1, kAzimuthStep);
    }
    return deck;
}

} // namespace

std::string writeDeck(const design::ArrayGeometry &geometry, const design::CheckSettings &settings,
                      const DeckRequest &request)
{
    const CNumbers c;
    return commentCards(geometry, settings, request) + structureCards(geometry, settings) +
           frequencyCards(geometry, settings, request) + "EN\n";
}

std::string checkDeck(const design::Design &design)
{
    const std::vector<double> sweep = design::sweepFrequencies(design.array.designMHz, design.settings);
    return writeDeck(design.array, design.settings, {sweep, true, design.source == design::DesignSource::Tuned});
}

std::string joinedDeck(std::span<const std::string> decks)
{
    std::string joined;
    for (std::size_t d = 0; d < decks.size(); ++d) {
        std::string_view deck = decks[d];
        if (d + 1 == decks.size()) {
            joined.append(deck);
            break;
        }
        if (deck.ends_with("EN\n"))
            deck.remove_suffix(3);
        joined.append(deck);
        joined += "NX\n"; // every deck but the last ends in one, so the structures stay as many as the decks
    }
    return joined;
}

} // namespace tarvelin::nec
