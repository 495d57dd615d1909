// SPDX-License-Identifier: MIT
#include "core/document/nestedsheet.h"

#include "core/calc/resultgrid.h"
#include "core/design/designlengths.h"
#include "core/document/bandscheck.h"
#include "core/format/fieldtext.h"
#include "core/format/jsonwriter.h"
#include "core/shop/shopsheettext.h"

#include <cmath>

namespace tarvelin::document {

namespace {

std::string elementName(std::size_t element)
{
    return std::string(calc::elementRowName(static_cast<calc::ElementRow>(element)));
}

std::string both(const shop::NestedSheet &sheet, shop::HalfThousandths length)
{
    return shop::feetInchesText(length, sheet.settings.step) + " (" + shop::millimetresText(length) + " mm)";
}

void addLength(std::vector<format::TableCell> &row, const shop::NestedSheet &sheet, shop::HalfThousandths length)
{
    shop::addLengthCells(row, length, sheet.settings.step);
}

// "key": the fraction, "key_in": decimal inches, "key_mm": millimetres.
void writeLength(format::JsonWriter &json, const shop::NestedSheet &sheet, const std::string &key,
                 shop::HalfThousandths length)
{
    json.text(key, shop::feetInchesText(length, sheet.settings.step))
        .number(key + "_in", shop::inchesOf(length), format::Figure::Exact)
        .number(key + "_mm", shop::millimetresOf(length), format::Figure::Exact);
}

std::string feedText(const shop::NestedSheet &sheet, std::size_t band)
{
    const shop::NestedBandFeed &feed = sheet.feeds[band];
    switch (feed.match.kind) {
    case design::MatchKind::Direct:
        return "direct";
    case design::MatchKind::Balun4:
        return "4:1 balun";
    case design::MatchKind::QuarterWave:
        break;
    }
    return "quarter-wave section of " +
           (feed.match.line.empty() ? design::shortestText(feed.match.z0Ohms) + " ohm line" : feed.match.line) +
           ", cut " + both(sheet, *feed.section);
}

format::Section loopsSection(const shop::NestedSheet &sheet)
{
    format::Section section;
    section.heading = "Loops";
    format::ResultTable table;
    table.columns.push_back({"loop", "Loop", true, true});
    shop::addLengthColumns(table, "wire", "Wire");
    shop::addLengthColumns(table, "side", "Side");
    table.columns.push_back({"corner_marks", "Corner marks", true, false, {}, true});
    shop::addLengthColumns(table, "attachment", "On the arm");
    shop::addLengthColumns(table, "station", "Station");
    for (const shop::NestedLoopCut &loop : sheet.loops) {
        std::vector<format::TableCell> row{
            {sheet.geometry.bands[loop.band].name + " " + elementName(loop.element), std::nullopt}};
        addLength(row, sheet, loop.cut);
        addLength(row, sheet, loop.side);
        std::string marks;
        for (const shop::HalfThousandths mark : loop.cornerMarks)
            marks += (marks.empty() ? "" : ", ") + shop::feetInchesText(mark, sheet.settings.step);
        row.push_back({marks, std::nullopt});
        addLength(row, sheet, loop.attachment);
        addLength(row, sheet, loop.station);
        table.rows.push_back(std::move(row));
    }
    section.table = std::move(table);
    const bool square = sheet.geometry.settings.shape == design::LoopShape::Square;
    section.after.push_back(
        {std::string("Each wire includes its join allowance. Corner marks run from one cut end: ") +
         (square ? "the feed is in the middle of the bottom side, the first corner half a side on."
                 : "the feed is at the bottom corner, the three others a side apart.") +
         " On the arm: from the hub's centre along the arm to where the corner is tied. Stations: along the boom "
         "from the rearmost loop."});
    return section;
}

format::Section armsSection(const shop::NestedSheet &sheet)
{
    format::Section section;
    section.heading = "Spreader arms";
    format::ResultTable table;
    table.columns.push_back({"element", "Arms", true, true});
    table.columns.push_back({"angle_to_boom_deg", "To the boom (°)"});
    shop::addLengthColumns(table, "length", "Each arm");
    for (const shop::NestedArm &arm : sheet.arms) {
        const double toBoom = 90.0 - std::abs(arm.leanDeg);
        std::vector<format::TableCell> row{{elementName(arm.element), std::nullopt},
                                           {format::fixedText(toBoom, 1) +
                                                (arm.leanDeg > 0.05    ? " forward"
                                                 : arm.leanDeg < -0.05 ? " back"
                                                                       : ""),
                                            toBoom}};
        addLength(row, sheet, arm.length);
        table.rows.push_back(std::move(row));
    }
    section.table = std::move(table);
    const bool spider = sheet.geometry.settings.layout == design::NestedLayout::Spider;
    section.after.push_back(
        {"Four arms an element, each " + std::string(sheet.settings.hubOffsetThousandths > 0 ? "less the hub, " : "") +
         "reaching " + shop::inchesText(shop::fromThousandths(shop::kArmSpareThousandths), sheet.settings.step) +
         " past its outermost mark." +
         (spider ? " Each element's arms lean from the one hub, at the angle to the boom given." : "")});
    if (spider)
        section.facts.push_back({"Hub", both(sheet, sheet.arms.front().hubStation) + " from the rearmost loop"});
    else
        for (const shop::NestedArm &arm : sheet.arms)
            section.facts.push_back({elementName(arm.element) + "'s station", both(sheet, arm.hubStation)});
    return section;
}

format::Section bandsSection(const shop::NestedSheet &sheet, std::span<const check::IdleLineWindow> avoid)
{
    format::Section section;
    section.heading = "Bands";
    format::ResultTable table;
    table.columns = {{"band", "Band", true, true},
                     {"frequency_mhz", "MHz"},
                     {"spacing_wavelengths", "Spacing (λ)"}};
    shop::addLengthColumns(table, "spacing", "Spacing");
    table.columns.push_back({"feed", "Feed", true, false, {}, true});
    for (std::size_t b = 0; b < sheet.geometry.bands.size(); ++b) {
        const shop::NestedBandFeed &feed = sheet.feeds[b];
        std::vector<format::TableCell> row{
            {sheet.geometry.bands[b].name, std::nullopt},
            {design::frequencyLabel(sheet.geometry.bands[b].designMHz), sheet.geometry.bands[b].designMHz},
            {format::fixedText(feed.spacingWavelengths, 3), feed.spacingWavelengths}};
        addLength(row, sheet, feed.spacing);
        row.push_back({feedText(sheet, b), std::nullopt});
        table.rows.push_back(std::move(row));
    }
    section.table = std::move(table);
    section.after.push_back({"Each band's driver has its own feed line to the switch; the switch closes the idle "
                             "drivers' lines."});
    if (!avoid.empty()) {
        std::string lengths;
        for (const check::IdleLineWindow &window : avoid)
            lengths += (lengths.empty() ? "" : ", ") + format::fixedText(window.fromMetres * 100, 1) + " to " +
                       format::fixedText(window.toMetres * 100, 1) + " cm (" + sheet.geometry.bands[window.band].name +
                       ")";
        section.after.push_back({"Idle-line lengths to avoid: " + lengths + ".", true});
    }
    return section;
}

} // namespace

format::ResultTable nestedLoopsTable(const shop::NestedSheet &sheet)
{
    format::ResultTable table;
    table.columns = {{"band", "Band", true, true}, {"element", "Element"}, {"factor", "Factor"}};
    for (const char *key : {"loop", "cut", "side", "attachment", "station"})
        shop::addLengthColumns(table, key, key);
    for (const shop::NestedLoopCut &loop : sheet.loops) {
        std::vector<format::TableCell> row{{sheet.geometry.bands[loop.band].name, std::nullopt},
                                           {elementName(loop.element), std::nullopt},
                                           {format::fixedText(loop.factor, 6), loop.factor}};
        for (const shop::HalfThousandths length : {loop.loop, loop.cut, loop.side, loop.attachment, loop.station})
            addLength(row, sheet, length);
        table.rows.push_back(std::move(row));
    }
    return table;
}

format::Document nestedSheetDocument(const shop::NestedSheet &sheet, std::span<const check::IdleLineWindow> avoid,
                                     const std::string &tuning)
{
    format::Document document;
    document.title = std::string("Shop sheet for ") + (sheet.tuned ? "the tuned " : "") +
                     (sheet.tuned ? quadTitle(sheet.geometry).substr(2) : quadTitle(sheet.geometry)) + ", " +
                     shapeName(sheet.geometry) + " loops";
    document.preface.push_back({"Fractions to 1/" + std::to_string(sheet.settings.step) +
                                " in. Each band's loops are the window's design at its frequency" +
                                (sheet.tuned ? ", each scaled as the tune left it." : ".")});
    if (!tuning.empty())
        document.preface.push_back({tuning});
    document.sections.push_back(loopsSection(sheet));
    document.sections.push_back(armsSection(sheet));
    format::Section bands = bandsSection(sheet, avoid);
    bands.facts.push_back({"Wire in all", both(sheet, sheet.wireTotal)});
    bands.keepWithEnd = true;
    document.sections.push_back(std::move(bands));
    return document;
}

void writeNestedSheetJson(format::JsonWriter &json, const shop::NestedSheet &sheet)
{
    const design::NestedGeometry &geometry = sheet.geometry;
    json.beginRecord()
        .text("layout", layoutName(geometry))
        .text("shape", shapeName(geometry))
        .whole("elements", static_cast<long long>(geometry.elements))
        .flag("tuned", sheet.tuned)
        .whole("step", sheet.settings.step);
    if (geometry.settings.layout == design::NestedLayout::Spider)
        writeLength(json, sheet, "hub", sheet.arms.front().hubStation);
    json.beginList("arms");
    for (const shop::NestedArm &arm : sheet.arms) {
        json.beginRecord()
            .text("element", elementName(arm.element))
            .number("lean_deg", arm.leanDeg, format::Figure::Degrees)
            .number("angle_to_boom_deg", 90.0 - std::abs(arm.leanDeg), format::Figure::Degrees);
        writeLength(json, sheet, "length", arm.length);
        writeLength(json, sheet, "station", arm.hubStation);
        json.endRecord();
    }
    json.endList().beginList("bands");
    for (std::size_t b = 0; b < geometry.bands.size(); ++b) {
        const shop::NestedBandFeed &feed = sheet.feeds[b];
        json.beginRecord()
            .text("name", geometry.bands[b].name)
            .number("frequency_mhz", geometry.bands[b].designMHz, format::Figure::Megahertz)
            .number("spacing_wavelengths", feed.spacingWavelengths, format::Figure::Exact);
        writeLength(json, sheet, "spacing", feed.spacing);
        json.text("match", design::matchKindName(feed.match.kind));
        if (feed.section)
            writeLength(json, sheet, "section", *feed.section);
        json.beginList("loops");
        for (const shop::NestedLoopCut &loop : sheet.loops) {
            if (loop.band != b)
                continue;
            json.beginRecord().text("element", elementName(loop.element)).number("factor", loop.factor,
                                                                                 format::Figure::Exact);
            writeLength(json, sheet, "loop", loop.loop);
            writeLength(json, sheet, "cut", loop.cut);
            writeLength(json, sheet, "side", loop.side);
            json.beginList("corner_marks_mm");
            for (const shop::HalfThousandths mark : loop.cornerMarks)
                json.number({}, shop::millimetresOf(mark), format::Figure::Exact);
            json.endList();
            writeLength(json, sheet, "station", loop.station);
            writeLength(json, sheet, "attachment", loop.attachment);
            json.endRecord();
        }
        json.endList().endRecord();
    }
    json.endList();
    writeLength(json, sheet, "wire_total", sheet.wireTotal);
    json.endRecord();
}

} // namespace tarvelin::document
