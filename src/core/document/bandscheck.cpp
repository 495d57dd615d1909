// SPDX-License-Identifier: MIT
#include "core/document/bandscheck.h"

#include "core/design/checksettings.h"
#include "core/design/designlengths.h"
#include "core/document/checktable.h"
#include "core/format/fieldtext.h"
#include "core/format/jsonwriter.h"

namespace tarvelin::document {

std::string bandNames(const design::NestedGeometry &geometry)
{
    std::string names;
    for (std::size_t i = 0; i < geometry.bands.size(); ++i)
        names += (i == 0 ? "" : i + 1 == geometry.bands.size() ? " and " : ", ") + geometry.bands[i].name;
    return names;
}

std::string layoutName(const design::NestedGeometry &geometry)
{
    return geometry.settings.layout == design::NestedLayout::Spider ? "spider" : "boom";
}

std::string shapeName(const design::NestedGeometry &geometry)
{
    return geometry.settings.shape == design::LoopShape::Square ? "square" : "diamond";
}

std::string quadTitle(const design::NestedGeometry &geometry)
{
    return "a quad of " + bandNames(geometry) + ", " + design::countWord(geometry.elements) + " elements on a " +
           layoutName(geometry);
}

namespace {

// The lengths of idle line that harm a band, as a table, and what the rest are.
format::Section windowsSection(const design::NestedGeometry &geometry, const design::IdleEnd &idle,
                               std::span<const check::IdleLineWindow> windows)
{
    format::Section section;
    section.heading = "Idle feed lines";
    const std::string line = design::feedRunText(idle.line);
    const std::string kind =
        line.substr(line.find(" of ") + 4) + (idle.switchOpen ? ", open" : ", closed") + " at the switch";
    const std::string limits = "from 0 to " + format::fixedText(check::kLongestIdleLineMetres, 0) + " m";
    if (windows.empty()) {
        section.before.push_back({"Idle feed lines of " + kind + ", " + limits + ", harm no band by more than " +
                                  format::fixedText(check::kIdleLineHarmDb, 0) + " dB of gain or F/B within " +
                                  design::shortestText(check::kIdleLineBandPercent) + " % of its design frequency."});
        return section;
    }
    section.before.push_back({"Idle feed lines of " + kind + ": avoid these lengths, " + limits +
                                  "; every other length "
                                  "harms no band by more than " +
                                  format::fixedText(check::kIdleLineHarmDb, 0) + " dB of gain or F/B within " +
                                  design::shortestText(check::kIdleLineBandPercent) +
                                  " % of its design frequency.",
                              true});
    format::ResultTable table;
    table.columns = {{"from_cm", "From (cm)"},
                     {"to_cm", "To (cm)"},
                     {"band", "Band harmed", true, false, {}, true},
                     {"lowest_gain_dbi", "Lowest gain (dBi)"},
                     {"lowest_fb_db", "Lowest F/B (dB)"}};
    for (const check::IdleLineWindow &window : windows)
        table.rows.push_back({{format::fixedText(window.fromMetres * 100, 1), window.fromMetres * 100},
                              {format::fixedText(window.toMetres * 100, 1), window.toMetres * 100},
                              {geometry.bands[window.band].name, std::nullopt},
                              {format::fixedText(window.lowestGainDbi, 2), window.lowestGainDbi},
                              {format::fixedText(window.lowestFrontToBackDb, 2), window.lowestFrontToBackDb}});
    section.table = std::move(table);
    return section;
}

// What nesting did to the band: "Nesting moves its resonance from 13.765 MHz, its own design alone, to
// 13.693 MHz (-0.51 %)."
std::string nestingText(const check::BandCheck &band)
{
    const std::optional<check::NestingShift> shift = check::nestingShift(band);
    if (!shift)
        return band.monoband ? "What nesting did lies beyond the sweep: widen it to see the band beside its own "
                               "design alone."
                             : std::string();
    const double percent = shift->percentOf(band.band.designMHz);
    return std::string("Nesting moves its ") + (shift->resonance ? "resonance" : "lowest SWR") + " from " +
           design::frequencyLabel(shift->fromMHz) + " MHz, its own design alone, to " +
           design::frequencyLabel(shift->toMHz) + " MHz (" + (percent >= 0 ? "+" : "") + format::fixedText(percent, 2) +
           " %).";
}

} // namespace

format::Document bandsCheckDocument(const design::NestedGeometry &geometry, std::span<const check::BandCheck> bands,
                                    const design::CheckSettings &settings, const design::IdleEnd &idle,
                                    std::span<const check::IdleLineWindow> windows, const check::Goals &goals,
                                    std::span<const measure::BandSweeps> measured)
{
    format::Document document;
    document.title = "Antenna check for " + quadTitle(geometry);
    document.preface.push_back({"Every band's loops are modelled together; each band is fed with the other bands' "
                                "drivers " +
                                (idle.kind == design::IdleEnd::Kind::Line ? "ended through " : std::string()) +
                                design::idleEndText(idle) + "."});
    document.colophon.push_back({design::modelledText(settings) + " Each loop is segmented for the highest band."});
    for (std::size_t b = 0; b < bands.size(); ++b) {
        const check::BandCheck &band = bands[b];
        const MeasuredSweep *latest =
            b < measured.size() && !measured[b].sweeps.empty() ? &measured[b].sweeps.back() : nullptr;
        if (b < measured.size() && measured[b].warning)
            document.warnings.push_back(*measured[b].warning);
        format::Section section;
        section.heading = band.band.name + ", " + design::frequencyLabel(band.band.designMHz) + " MHz";
        section.before.push_back({section.heading + ": " + verdictHeadline(band.summary, latest, goals), true});
        if (const std::string moved = nestingText(band); !moved.empty())
            section.before.push_back({moved});
        section.table = verdictTable(band.summary, settings.z0Ohms, latest, goals);
        document.sections.push_back(std::move(section));
    }
    if (idle.kind == design::IdleEnd::Kind::Line)
        document.sections.push_back(windowsSection(geometry, idle, windows));
    return document;
}

void writeBandsCheckJson(format::JsonWriter &json, const design::NestedGeometry &geometry,
                         std::span<const check::BandCheck> bands, const design::IdleEnd &idle,
                         std::span<const check::IdleLineWindow> windows, std::span<const measure::BandSweeps> measured)
{
    json.beginRecord()
        .text("layout", layoutName(geometry))
        .text("shape", shapeName(geometry))
        .whole("elements", static_cast<long long>(geometry.elements))
        .text("idle", design::idleEndText(idle))
        .beginList("bands");
    for (std::size_t b = 0; b < bands.size(); ++b) {
        const check::BandCheck &band = bands[b];
        json.beginRecord()
            .text("name", band.band.name)
            .number("frequency_mhz", band.band.designMHz, format::Figure::Megahertz);
        // What nesting did: the band's monoband design, and how far its resonance (or its dip) moved.
        if (const std::optional<check::NestingShift> shift = check::nestingShift(band))
            json.number("monoband_mhz", shift->fromMHz, format::Figure::Megahertz)
                .text("monoband_by", shift->resonance ? "resonance" : "lowest SWR")
                .number("nesting_shift_percent", shift->percentOf(band.band.designMHz), format::Figure::Exact);
        const std::span<const MeasuredSweep> sweeps =
            b < measured.size() ? std::span<const MeasuredSweep>(measured[b].sweeps) : std::span<const MeasuredSweep>();
        if (b < measured.size() && measured[b].warning)
            json.text("sweep_warning", *measured[b].warning);
        writeCheckJson(json, band.band.frequencyText, band.summary, band.band.match, sweeps, "check");
        json.endRecord();
    }
    json.endList();
    if (idle.kind == design::IdleEnd::Kind::Line) {
        json.beginList("idle_line_windows");
        for (const check::IdleLineWindow &window : windows)
            json.beginRecord()
                .number("from_cm", window.fromMetres * 100, format::Figure::Exact)
                .number("to_cm", window.toMetres * 100, format::Figure::Exact)
                .text("band", geometry.bands[window.band].name)
                .number("lowest_gain_dbi", window.lowestGainDbi, format::Figure::Exact)
                .number("lowest_fb_db", window.lowestFrontToBackDb, format::Figure::Exact)
                .endRecord();
        json.endList();
    }
    json.endRecord();
}

} // namespace tarvelin::document
