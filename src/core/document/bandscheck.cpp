// SPDX-License-Identifier: MIT
#include "core/document/bandscheck.h"

#include "core/design/checksettings.h"
#include "core/design/designlengths.h"
#include "core/document/checktable.h"
#include "core/format/jsonwriter.h"

namespace tarvelin::document {

namespace {

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

} // namespace

format::Document bandsCheckDocument(const design::NestedGeometry &geometry, std::span<const check::BandCheck> bands,
                                    const design::CheckSettings &settings, const design::IdleEnd &idle,
                                    const check::Goals &goals)
{
    format::Document document;
    document.title = "Antenna check for a quad of " + bandNames(geometry) + ", " +
                     design::countWord(geometry.elements) + " elements on a " + layoutName(geometry);
    document.preface.push_back({"Every band's loops are modelled together; each band is fed with the other bands' "
                                "drivers " +
                                (idle.kind == design::IdleEnd::Kind::Line ? "ended through " : std::string()) +
                                design::idleEndText(idle) + "."});
    document.colophon.push_back({design::modelledText(settings) + " Each loop is segmented for the highest band."});
    for (const check::BandCheck &band : bands) {
        format::Section section;
        section.heading = band.band.name + ", " + design::frequencyLabel(band.band.designMHz) + " MHz";
        section.before.push_back({section.heading + ": " + verdictHeadline(band.summary, nullptr, goals), true});
        section.table = verdictTable(band.summary, settings.z0Ohms, nullptr, goals);
        document.sections.push_back(std::move(section));
    }
    return document;
}

void writeBandsCheckJson(format::JsonWriter &json, const design::NestedGeometry &geometry,
                         std::span<const check::BandCheck> bands, const design::IdleEnd &idle)
{
    json.beginRecord()
        .text("layout", layoutName(geometry))
        .text("shape", geometry.settings.shape == design::LoopShape::Square ? "square" : "diamond")
        .whole("elements", static_cast<long long>(geometry.elements))
        .text("idle", design::idleEndText(idle))
        .beginList("bands");
    for (const check::BandCheck &band : bands) {
        json.beginRecord()
            .text("name", band.band.name)
            .number("frequency_mhz", band.band.designMHz, format::Figure::Megahertz);
        writeCheckJson(json, band.band.frequencyText, band.summary, {}, {}, "check");
        json.endRecord();
    }
    json.endList().endRecord();
}

} // namespace tarvelin::document
