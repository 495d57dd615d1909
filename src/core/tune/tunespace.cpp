// SPDX-License-Identifier: MIT
// What a tune may change in the array, and a design's figures over the band.
#include "core/tune/tuner.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace tarvelin::tune {

double BandFigures::worstSwr() const
{
    return swr.empty() ? design.swr : *std::max_element(swr.begin(), swr.end());
}

double BandFigures::lowestFrontToBackDb() const
{
    return frontToBackDb.empty() ? design.frontToBackDb : *std::min_element(frontToBackDb.begin(), frontToBackDb.end());
}

std::vector<double> bandFrequencies(double designMHz, const TuneSettings &tune)
{
    std::vector<double> band;
    for (int k = 0; k < kBandPoints; ++k)
        band.push_back(designMHz * (1.0 + tune.bandPercent / 100.0 * (2.0 * k / (kBandPoints - 1) - 1.0)));
    return band;
}

BandFigures bandFigures(const std::vector<check::SweepPoint> &points, double designMHz)
{
    BandFigures figures;
    if (points.empty())
        return figures;
    figures.design = points[check::designIndexOf(points, designMHz)];
    for (const check::SweepPoint &p : points) {
        figures.swr.push_back(p.swr);
        figures.frontToBackDb.push_back(p.frontToBackDb);
    }
    return figures;
}

BandFigures unmodelledFigures()
{
    BandFigures figures;
    figures.design.swr = std::numeric_limits<double>::infinity();
    figures.design.gainDbi = -100.0;
    figures.design.frontToBackDb = -100.0;
    figures.design.frontToRearDb = -100.0;
    figures.swr.assign(kBandPoints, figures.design.swr);
    figures.frontToBackDb.assign(kBandPoints, figures.design.frontToBackDb);
    return figures;
}

double CutTolerance::worstSwr() const
{
    return std::max(longer.worstSwr(), shorter.worstSwr());
}

double CutTolerance::lowestFrontToBackDb() const
{
    return std::min(longer.lowestFrontToBackDb(), shorter.lowestFrontToBackDb());
}

bool TuneResult::goalsMetWhenCutOff(const TuneSettings &tune) const
{
    return tolerance && tolerance->worstSwr() <= tune.maxSwr &&
           tolerance->lowestFrontToBackDb() >= tune.minFrontToBackDb;
}

std::array<TuneVector, 2> cutOffDesigns(const TuneVector &tuned, std::size_t loops)
{
    std::array<TuneVector, 2> designs{tuned, tuned};
    for (std::size_t i = 0; i < loops && i < tuned.size(); ++i) {
        designs[0][i] *= 1.0 + kCutTolerancePercent / 100.0;
        designs[1][i] *= 1.0 - kCutTolerancePercent / 100.0;
    }
    return designs;
}

design::ArrayGeometry scaledGeometry(const design::ArrayGeometry &specified, const LoopFactors &factors)
{
    design::ArrayGeometry scaled = specified;
    for (std::size_t i = 0; i < scaled.sidesMetres.size() && i < factors.size(); ++i)
        scaled.sidesMetres[i] *= factors[i];
    return scaled;
}

design::ArrayGeometry tunedGeometry(const design::ArrayGeometry &specified, const TuneResult &tuned)
{
    design::ArrayGeometry geometry = scaledGeometry(specified, tuned.factors);
    if (tuned.stationsMetres.size() == geometry.stationsMetres.size())
        geometry.stationsMetres = tuned.stationsMetres;
    return geometry;
}

design::Design tunedDesign(const design::Design &specified, const TuneResult &tuned)
{
    design::Design design = specified;
    design.array = tunedGeometry(specified.array, tuned);
    design.source = design::DesignSource::Tuned;
    return design;
}

namespace {

// The gaps a design asks for, within the boom: none shorter than the shortest gap, and where together they
// are longer than the boom, each gap's length beyond the shortest shrunk in proportion until they fit. Every
// design the search asks for is so one that can be built, and the search needs no constraint for it.
std::vector<double> gapsWithinBoom(std::span<const double> asked, double boom)
{
    const double shortest = limits::kShortestGapWavelengths;
    std::vector<double> gaps;
    double total = 0.0;
    for (const double gap : asked) {
        gaps.push_back(std::max(gap, shortest));
        total += gaps.back();
    }
    const double least = shortest * static_cast<double>(gaps.size());
    if (total > boom && total > least) {
        const double share = std::max(boom - least, 0.0) / (total - least);
        for (double &gap : gaps)
            gap = shortest + (gap - shortest) * share;
    }
    return gaps;
}

} // namespace

std::variant<TuneSpace, std::string> tuneSpaceFor(const design::ArrayGeometry &specified, const TuneSettings &tune)
{
    TuneSpace space;
    space.loops = specified.elementCount();
    space.wavelengthMetres = design::kSpeedOfLightMetresPerMicrosecond / specified.designMHz;
    if (!tune.boomMetres)
        return space;
    const std::size_t gaps = space.loops > 0 ? space.loops - 1 : 0;
    space.longestBoom = *tune.boomMetres / space.wavelengthMetres;
    const double least = limits::kShortestGapWavelengths * static_cast<double>(gaps);
    if (space.longestBoom < least) {
        // What the boom needs, rounded up, to as many decimals as set it apart from the boom given.
        const double needs = least * space.wavelengthMetres;
        int decimals = 2;
        const auto upTo = [needs](int places) {
            return std::ceil(needs * std::pow(10.0, places)) / std::pow(10.0, places);
        };
        while (decimals < 6 &&
               format::fixedText(upTo(decimals), decimals) == format::fixedText(*tune.boomMetres, decimals))
            ++decimals;
        const std::string boom = format::fixedText(*tune.boomMetres, decimals);
        const std::string needed = format::fixedText(upTo(decimals), decimals);
        return "A boom of " + boom + " m cannot hold " + design::countWord(space.loops) + " elements " +
               format::fixedText(limits::kShortestGapWavelengths, 2) + " wavelength apart: it needs at least " +
               needed + " m at " + specified.frequencyLabel + " MHz.";
    }
    for (std::size_t i = 1; i < specified.stationsMetres.size(); ++i)
        space.designedGaps.push_back((specified.stationsMetres[i] - specified.stationsMetres[i - 1]) /
                                     space.wavelengthMetres);
    return space;
}

TuneVector TuneSpace::specified() const
{
    TuneVector design(loops, 1.0);
    for (const double gap : gapsWithinBoom(designedGaps, longestBoom))
        design.push_back(gap);
    return design;
}

std::vector<double> TuneSpace::stationsMetres(const TuneVector &design) const
{
    if (!stationsFree() || design.size() != variables())
        return {};
    std::vector<double> stations{0.0};
    for (const double gap : gapsWithinBoom(std::span(design).subspan(loops), longestBoom))
        stations.push_back(stations.back() + gap * wavelengthMetres);
    return stations;
}

design::ArrayGeometry TuneSpace::geometry(const design::ArrayGeometry &specified, const TuneVector &design) const
{
    design::ArrayGeometry shaped =
        scaledGeometry(specified, LoopFactors(design.begin(), design.begin() + std::min(loops, design.size())));
    if (std::vector<double> stations = stationsMetres(design); stations.size() == shaped.stationsMetres.size())
        shaped.stationsMetres = std::move(stations);
    return shaped;
}

} // namespace tarvelin::tune
