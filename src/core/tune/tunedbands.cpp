// SPDX-License-Identifier: MIT
#include "core/tune/tunedbands.h"

#include "core/format/fieldtext.h"
#include "core/format/jsonwriter.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace tarvelin::tune {

namespace {

constexpr std::string_view kFormat = "tarvelin-tuned-bands";
constexpr int kVersion = 1;

using Json = nlohmann::json;

const char *layoutText(design::NestedLayout layout)
{
    return layout == design::NestedLayout::Spider ? "spider" : "boom";
}

const char *shapeText(design::LoopShape shape)
{
    return shape == design::LoopShape::Diamond ? "diamond" : "square";
}

// A number the file must hold, within its limits; the refusal names the key.
double numberIn(const Json &record, const char *key, double lowest, double highest)
{
    const auto found = record.find(key);
    if (found == record.end() || !found->is_number())
        throw std::runtime_error(std::string("\"") + key + "\" is missing or not a number");
    const double value = found->get<double>();
    if (!(value >= lowest && value <= highest))
        throw std::runtime_error(std::string("\"") + key + "\" is out of range");
    return value;
}

std::string textIn(const Json &record, const char *key)
{
    const auto found = record.find(key);
    if (found == record.end() || !found->is_string())
        throw std::runtime_error(std::string("\"") + key + "\" is missing or not a text");
    return found->get<std::string>();
}

design::Match matchIn(const Json &band)
{
    const auto found = band.find("match");
    if (found == band.end() || !found->is_object())
        throw std::runtime_error("a band's \"match\" is missing");
    design::Match match;
    const std::string kind = textIn(*found, "kind");
    if (kind == design::matchKindName(design::MatchKind::Balun4))
        match.kind = design::MatchKind::Balun4;
    else if (kind == design::matchKindName(design::MatchKind::QuarterWave)) {
        match.kind = design::MatchKind::QuarterWave;
        match.z0Ohms = numberIn(*found, "z0", design::limits::kLowestSectionZ0Ohms,
                                design::limits::kHighestSectionZ0Ohms);
        match.velocityFactor = numberIn(*found, "vf", design::limits::kLowestVelocityFactor,
                                        design::limits::kHighestVelocityFactor);
        if (found->contains("line"))
            match.line = textIn(*found, "line");
    } else if (kind != design::matchKindName(design::MatchKind::Direct))
        throw std::runtime_error("a band's match is not one this program makes");
    return match;
}

TunedBands read(const Json &root)
{
    if (!root.is_object() || root.value("format", std::string()) != kFormat)
        throw std::runtime_error("it is not a tuned quad of several bands");
    if (root.value("version", 0) != kVersion)
        throw std::runtime_error("its version is not one this program reads");
    TunedBands design;
    const auto bands = root.find("bands");
    if (bands == root.end() || !bands->is_array())
        throw std::runtime_error("\"bands\" is missing");
    std::string list;
    for (const Json &band : *bands)
        list += (list.empty() ? "" : ",") + textIn(band, "frequency");
    auto read = design::readBands(list);
    if (const auto *refusal = std::get_if<std::string>(&read))
        throw std::runtime_error(*refusal);
    design.bands = std::get<std::vector<design::Band>>(read);
    if (design.bands.size() != bands->size())
        throw std::runtime_error("its bands are not in order");
    for (std::size_t b = 0; b < design.bands.size(); ++b)
        design.bands[b].match = matchIn((*bands)[b]);
    design.elements = static_cast<int>(
        numberIn(root, "elements", design::kFewestNestedElements, design::kMostNestedElements));
    const std::string layout = textIn(root, "layout");
    const std::string shape = textIn(root, "shape");
    if ((layout != "spider" && layout != "boom") || (shape != "square" && shape != "diamond"))
        throw std::runtime_error("its layout or shape is not one this program makes");
    design.nested.layout = layout == "spider" ? design::NestedLayout::Spider : design::NestedLayout::Boom;
    design.nested.shape = shape == "square" ? design::LoopShape::Square : design::LoopShape::Diamond;
    design.nested.spacingWavelengths = numberIn(root, "spacing_wavelengths", design::kLowestSpacingWavelengths,
                                                design::kHighestSpacingWavelengths);
    if (root.contains("spider_angle_deg"))
        design.nested.spiderAngleDeg = numberIn(root, "spider_angle_deg", design::kLowestSpiderAngleDeg,
                                                design::kHighestSpiderAngleDeg);
    auto idle = design::readIdleEnd(textIn(root, "idle"));
    if (const auto *refusal = std::get_if<std::string>(&idle))
        throw std::runtime_error(*refusal);
    design.idle = std::get<design::IdleEnd>(idle);
    design.check.wireDiameterMm = numberIn(root, "wire_mm", design::limits::kLowestWireMm,
                                           design::limits::kHighestWireMm);
    design.check.z0Ohms = numberIn(root, "z0", design::limits::kLowestZ0Ohms, design::limits::kHighestZ0Ohms);
    design.check.lossless = root.value("lossless", false);
    design.tune.bandPercent = numberIn(root, "band_percent", limits::kLowestBandPercent, limits::kHighestBandPercent);
    design.tune.maxSwr = numberIn(root, "goal_swr", limits::kLowestGoalSwr, limits::kHighestGoalSwr);
    design.tune.minFrontToBackDb =
        numberIn(root, "goal_fb", limits::kLowestGoalFrontToBackDb, limits::kHighestGoalFrontToBackDb);
    const auto loops = root.find("loops");
    if (loops == root.end() || !loops->is_array() ||
        loops->size() != design.bands.size() * static_cast<std::size_t>(design.elements))
        throw std::runtime_error("\"loops\" does not hold every band's loops");
    for (const Json &loop : *loops)
        design.factors.push_back(numberIn(loop, "factor", 1.0 - kLoopFactorLimit - 1e-9, 1.0 + kLoopFactorLimit + 1e-9));
    design.rounds = static_cast<int>(numberIn(root, "rounds", 0, 1e6));
    design.designs = static_cast<int>(numberIn(root, "designs", 0, 1e9));
    const std::string ended = textIn(root, "ended");
    for (const TuneEnd end : {TuneEnd::DesignLimit, TuneEnd::TimeLimit, TuneEnd::Cancelled, TuneEnd::EngineFailure})
        if (ended == tuneEndText(end))
            design.end = end;
    return design;
}

} // namespace

bool isTunedBandsText(std::string_view text)
{
    const Json root = Json::parse(text, nullptr, false);
    return root.is_object() && root.value("format", std::string()) == kFormat;
}

std::string tunedBandsText(const TunedBands &design, const design::NestedGeometry &tuned)
{
    std::string out;
    format::JsonWriter json(out);
    json.beginRecord().text("format", kFormat).whole("version", kVersion).beginList("bands");
    for (const design::Band &band : design.bands) {
        json.beginRecord()
            .text("name", band.name)
            .text("frequency", band.frequencyText)
            .beginRecord("match")
            .text("kind", design::matchKindName(band.match.kind));
        if (band.match.kind == design::MatchKind::QuarterWave) {
            json.number("z0", band.match.z0Ohms, format::Figure::Exact)
                .number("vf", band.match.velocityFactor, format::Figure::Exact);
            if (!band.match.line.empty())
                json.text("line", band.match.line);
        }
        json.endRecord().endRecord();
    }
    json.endList()
        .whole("elements", design.elements)
        .text("layout", layoutText(design.nested.layout))
        .text("shape", shapeText(design.nested.shape))
        .number("spacing_wavelengths", design.nested.spacingWavelengths, format::Figure::Exact);
    if (design.nested.spiderAngleDeg)
        json.number("spider_angle_deg", *design.nested.spiderAngleDeg, format::Figure::Exact);
    json.text("idle", design::idleEndSpec(design.idle))
        .number("wire_mm", design.check.wireDiameterMm, format::Figure::Exact)
        .flag("lossless", design.check.lossless)
        .number("z0", design.check.z0Ohms, format::Figure::Exact)
        .number("band_percent", design.tune.bandPercent, format::Figure::Exact)
        .number("goal_swr", design.tune.maxSwr, format::Figure::Exact)
        .number("goal_fb", design.tune.minFrontToBackDb, format::Figure::Exact)
        .text("ended", tuneEndText(design.end))
        .whole("rounds", design.rounds)
        .whole("designs", design.designs)
        .beginList("loops");
    for (std::size_t i = 0; i < tuned.loops.size(); ++i) {
        const design::NestedLoop &loop = tuned.loops[i];
        json.beginRecord()
            .text("band", tuned.bands[loop.band].name)
            .whole("element", static_cast<long long>(loop.element))
            .number("factor", i < design.factors.size() ? design.factors[i] : 1.0, format::Figure::Exact)
            .number("loop_mm", 4000.0 * loop.sideMetres, format::Figure::Exact)
            .number("station_mm", 1000.0 * loop.stationMetres, format::Figure::Exact)
            .number("attachment_mm", 1000.0 * loop.attachmentMetres, format::Figure::Exact)
            .endRecord();
    }
    json.endList().endRecord();
    json.endLine();
    return out;
}

std::variant<TunedBands, std::string> readTunedBands(std::string_view text)
{
    const Json root = Json::parse(text, nullptr, false);
    if (root.is_discarded())
        return std::string("The tuned design is not JSON");
    try {
        return read(root);
    } catch (const std::exception &problem) {
        return "The tuned design cannot be read: " + std::string(problem.what());
    }
}

std::variant<design::NestedGeometry, std::string> tunedBandsGeometry(const TunedBands &design)
{
    auto made = design::nestedGeometry(design.bands, design.elements, design.nested);
    if (const auto *refusal = std::get_if<std::string>(&made))
        return *refusal;
    return design::withPerimeterFactors(std::get<design::NestedGeometry>(made), design.factors);
}

} // namespace tarvelin::tune
