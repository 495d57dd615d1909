// SPDX-License-Identifier: MIT
#include "core/shop/shopsheettext.h"

#include "core/design/designlengths.h"
#include "core/format/fieldtext.h"
#include "core/format/jsonwriter.h"

#include <algorithm>
#include <cmath>
#include <array>
#include <utility>
#include <vector>

namespace tarvelin::shop {

namespace {

std::string fraction(const ShopSheet &sheet, HalfThousandths length)
{
    return feetInchesText(length, sheet.settings.step);
}

// A length's fraction and its millimetres as JSON texts, written straight into the output: a sheet has a
// few hundred of them.
void writeFraction(format::JsonWriter &json, const ShopSheet &sheet, std::string_view key, HalfThousandths length)
{
    std::string &out = json.rawValue(key);
    out += '"';
    appendFeetInches(out, length, sheet.settings.step, true);
    out += '"';
}

// Millimetres are a number, to the tenth the sheet shows.
void writeMillimetres(format::JsonWriter &json, std::string_view key, HalfThousandths length)
{
    appendMillimetres(json.rawValue(key), length);
}

// "key": "74' 3-9/16\"", "key_mm": 22645.3: a length as the fraction, and the millimetres it reads.
void writeLength(format::JsonWriter &json, const ShopSheet &sheet, std::string_view key,
                 std::string_view millimetresKey, HalfThousandths length)
{
    writeFraction(json, sheet, key, length);
    writeMillimetres(json, millimetresKey, length);
}

// "corner_marks": [...], "corner_marks_mm": [...]
void writeCornerMarks(format::JsonWriter &json, const ShopSheet &sheet, const std::array<HalfThousandths, 4> &marks)
{
    json.beginList("corner_marks");
    for (const HalfThousandths mark : marks)
        writeFraction(json, sheet, {}, mark);
    json.endList().beginList("corner_marks_mm");
    for (const HalfThousandths mark : marks)
        writeMillimetres(json, {}, mark);
    json.endList();
}

// One element's record in a list of the array's, opened with its name.
format::JsonWriter &beginElement(format::JsonWriter &json, const ElementCuts &cuts)
{
    return json.beginRecord().text("element", calc::elementRowName(cuts.element));
}

// A table whose first column names the element, headed by the table's title.
format::ResultTable elementTable(std::string_view heading)
{
    format::ResultTable table;
    table.columns.push_back({"element", std::string(heading), true, true});
    return table;
}

// The text as the sheet shows it, rounded to its step and to 0.1 mm; the number exact, for files that keep
// numbers: decimal inches, and millimetres to the 0.0127 mm a half thousandth is.
void addLength(std::vector<format::TableCell> &row, const ShopSheet &sheet, std::optional<HalfThousandths> length)
{
    if (!length) {
        row.resize(row.size() + 2);
        return;
    }
    addLengthCells(row, *length, sheet.settings.step);
}

std::vector<format::TableCell> &addElementRow(format::ResultTable &table, const ElementCuts &cuts)
{
    table.rows.push_back({{std::string(calc::elementRowName(cuts.element)), std::nullopt}});
    return table.rows.back();
}

std::string both(const ShopSheet &sheet, HalfThousandths length)
{
    return fraction(sheet, length) + " (" + millimetresText(length) + " mm)";
}

} // namespace

void addLengthColumns(format::ResultTable &table, const std::string &key, const std::string &heading)
{
    table.columns.push_back({key + "_in", heading, true, false, {}});
    table.columns.push_back({key + "_mm", heading + " (mm)", true, false, "mm"});
}

void addLengthCells(std::vector<format::TableCell> &row, HalfThousandths length, int step)
{
    row.push_back({feetInchesText(length, step), inchesOf(length)});
    row.push_back({millimetresText(length), millimetresOf(length)});
}

std::string trimAction(HalfThousandths change, int step)
{
    // The loop is trimmed a side at a time, so it stays square on its spreaders: a quarter of the change from
    // each side, to the step, and the loop by four times that, so what is cut by sides is what the loop says.
    constexpr std::int64_t kHalfThousandthsPerInch = 2000;
    const HalfThousandths magnitude = change < 0 ? -change : change;
    const std::int64_t sideSteps = (2 * magnitude * step + 4 * kHalfThousandthsPerInch) / (8 * kHalfThousandthsPerInch);
    if (sideSteps == 0)
        return "leave as cut";
    const auto ofSteps = [step](std::int64_t steps) {
        return (2 * steps * kHalfThousandthsPerInch + step) / (2 * step); // the nearest half-thousandth
    };
    return std::string(change < 0 ? "shorten " : "lengthen ") + inchesText(ofSteps(4 * sideSteps), step) + " (" +
           inchesText(ofSteps(sideSteps), step) + " a side)";
}

namespace {

// Sweeps in turn: what was cut since the sweep before, and how much of what that cut should move showed up.
std::string inTurnText(const ShopSheet &sheet)
{
    const EarlierTrim &earlier = *sheet.settings.earlierTrim;
    if (earlier.how == EarlierTrim::Cut::None)
        return ", as the sweep before did (taken as swept again without a cut)";
    const HalfThousandths cut = std::llround(std::fabs(earlier.cutInches) * 2000.0);
    std::string text = ", after " + both(sheet, cut) + (earlier.cutInches < 0 ? " was added to" : " was cut from") +
                       " the driven loop since the sweep before read " + design::frequencyLabel(earlier.measuredMHz) +
                       " MHz";
    if (earlier.how == EarlierTrim::Cut::Advised)
        text += ", if the whole trim advised then was cut: give what was cut where it was not";
    if (sheet.lastTrimShowedPercent) {
        const double moved = (*sheet.settings.measuredMHz - earlier.measuredMHz) * 1000.0;
        text += " (the resonance moved " + std::string(moved < 0 ? "-" : "+") + format::fixedText(std::fabs(moved), 0) +
                " kHz: " + format::fixedText(*sheet.lastTrimShowedPercent, 0) +
                " % of what that cut should have moved it)";
    }
    return text + "; the loops are trimmed from their lengths now, as the design for " +
           design::frequencyLabel(earlier.cutForMHz) + " MHz has them";
}

} // namespace

std::string trimsNote(const ShopSheet &sheet)
{
    if (!sheet.settings.measuredMHz || sheet.correctedFrequencyText.empty())
        return {};
    const std::string resonance = design::frequencyLabel(*sheet.settings.measuredMHz);
    return (sheet.settings.predicted
                ? "Trims: the antenna check predicts a resonance at " + resonance +
                      " MHz (a prediction, not a measurement)"
                : "Trims: the array was measured to resonate at " + resonance + " MHz" +
                      (sheet.settings.sweepFile.empty()
                           ? std::string()
                           : " (where the reactance of " + sheet.settings.sweepFile + " passes zero at the feed point" +
                                 (sheet.settings.sweepThrough.empty()
                                      ? std::string()
                                      : ", measured through " + sheet.settings.sweepThrough + " and read there") +
                                 ")")) +
           (sheet.settings.earlierTrim ? inTurnText(sheet) : std::string()) +
           ", so each loop takes its length in the design for " + sheet.correctedFrequencyText +
           " MHz. The stations stay as built." +
           (sheet.settings.predicted && !sheet.settings.modelNote.empty() ? " " + sheet.settings.modelNote
                                                                          : std::string());
}

std::string feedAdviceText(const design::Match &match)
{
    switch (match.kind) {
    case design::MatchKind::Balun4:
        return "Feed at the centre of the driven loop's bottom side, through a 4:1 balun at the feed point; the "
               "other loops stay closed. Measure on the line at the balun with the array at its working height: "
               "the ground moves the resonance.";
    case design::MatchKind::Direct:
    case design::MatchKind::QuarterWave:
        break;
    }
    const std::string advice =
        "Feed at the centre of the driven loop's bottom side, through a 1:1 current (choke) balun at the feed "
        "point; the other loops stay closed. Measure at the feed point with the array at its working height: the "
        "ground moves the resonance.";
    return match.kind == design::MatchKind::QuarterWave
               ? advice + " The quarter-wave section runs from the balun to the "
                          "feed line."
               : advice;
}

std::string matchNote(const ShopSheet &sheet)
{
    const design::Match &match = sheet.settings.match;
    switch (match.kind) {
    case design::MatchKind::Direct:
        return {};
    case design::MatchKind::Balun4:
        return "The 4:1 balun gives the line a quarter of the loop's feed impedance.";
    case design::MatchKind::QuarterWave:
        break;
    }
    const std::string vf = design::shortestText(match.velocityFactor);
    const std::string line =
        match.line.empty() ? format::fixedText(match.z0Ohms, 0) + " \u03a9 line (velocity factor " + vf + ")"
        : design::nominalVelocityFactor(match)
            ? match.line + " (" + format::fixedText(match.z0Ohms, 0) + " \u03a9, velocity factor " + vf + " nominal)"
            : match.line + " (" + format::fixedText(match.z0Ohms, 0) + " \u03a9, velocity factor " + vf +
                  " as measured)";
    std::string note = "Matching section: a quarter wave of " + line + " from the feed point to the feed line, cut " +
                       both(sheet, sheet.section.value_or(0)) +
                       ": a quarter wavelength at the design frequency times the velocity factor. The length runs "
                       "from where the section's braid and centre conductor leave it at the feed point to where they "
                       "leave it at the feed line, connectors and balun leads included.";
    if (design::nominalVelocityFactor(match))
        note += " The velocity factor is the maker's nominal one, and a batch's may differ by a few per cent: sweep "
                "a cut piece of the cable, open at its far end, and cut by the factor it gives.";
    return note;
}

std::string roundingNote(int step)
{
    // Half a step: 1/(2 x step) inch, in millimetres to one decimal.
    return "Fractions to 1/" + std::to_string(step) + " in (rounding at most 1/" + std::to_string(2 * step) + " in, " +
           millimetresText(2000 / (2 * step)) + " mm).";
}

namespace {

// The match, with a section's line and cut length, and the materials: the wire, the section and the arms.
void writeMatchAndMaterials(format::JsonWriter &json, const ShopSheet &sheet)
{
    json.beginRecord("match").text("kind", design::matchKindName(sheet.settings.match.kind));
    if (sheet.section) {
        const design::Match &match = sheet.settings.match;
        json.number("z0", match.z0Ohms, format::Figure::Exact)
            .number("vf", match.velocityFactor, format::Figure::Exact);
        if (!match.line.empty())
            json.text("line", match.line);
        const double inches = inchesOf(*sheet.section);
        json.number("length_in", inches, format::Figure::Exact)
            .number("length_mm", std::round(inches * 254.0) / 10.0, format::Figure::Exact)
            .text("length_text", feetInchesText(*sheet.section, sheet.settings.step));
    }
    json.endRecord();
    const ShopFooter footer = shopFooter(sheet);
    json.beginRecord("materials")
        .text("wire", fraction(sheet, sheet.wireTotal))
        .text("wire_m", metresText(sheet.wireTotal));
    if (sheet.section)
        writeLength(json, sheet, "section", "section_mm", *sheet.section);
    else
        json.null("section");
    json.whole("spreader_arms", footer.arms).beginList("arms_by_length");
    for (const auto &[length, count] : footer.armsByLength) {
        json.beginRecord();
        writeLength(json, sheet, "arm", "arm_mm", length);
        json.whole("count", count).endRecord();
    }
    json.endList().endRecord();
}

// With a measured or predicted resonance: where it came from, the trim before in turn, and each loop's trim.
void writeTrims(format::JsonWriter &json, const ShopSheet &sheet)
{
    json.number(sheet.settings.predicted ? "predicted_mhz" : "measured_mhz", *sheet.settings.measuredMHz,
                format::Figure::Megahertz)
        .text("corrected_frequency", sheet.correctedFrequencyText);
    // Where a measured resonance came from: the sweep's file and what it was read through, if anything.
    if (sheet.settings.sweepFile.empty())
        json.null("sweep");
    else
        json.text("sweep", sheet.settings.sweepFile);
    if (sheet.settings.sweepThrough.empty())
        json.null("through");
    else
        json.text("through", sheet.settings.sweepThrough);
    // Sweeps in turn: the trim before, which these loops took.
    if (const std::optional<EarlierTrim> &earlier = sheet.settings.earlierTrim) {
        const char *how = earlier->how == EarlierTrim::Cut::Given     ? "given"
                          : earlier->how == EarlierTrim::Cut::Advised ? "advised"
                                                                      : "none";
        json.beginRecord("earlier_trim")
            .number("cut_for_mhz", earlier->cutForMHz, format::Figure::Megahertz)
            .number("measured_mhz", earlier->measuredMHz, format::Figure::Megahertz)
            .number("cut_in", std::round(earlier->cutInches * 1000.0) / 1000.0, format::Figure::Exact)
            .text("cut", how)
            .number("expected_mhz", earlier->expectedMHz, format::Figure::Megahertz)
            .number("showed_percent", sheet.lastTrimShowedPercent, format::Figure::Percent)
            .endRecord();
    }
    json.beginList("trims");
    for (const ElementCuts &cuts : sheet.elements) {
        const Trim trim = cuts.trim.value_or(Trim{});
        beginElement(json, cuts).text("action", trimAction(trim.change, sheet.settings.step));
        writeLength(json, sheet, "trim", "trim_mm", trim.change);
        writeLength(json, sheet, "side", "side_mm", trim.side);
        writeCornerMarks(json, sheet, trim.cornerMarks);
        writeLength(json, sheet, "arm", "arm_mm", trim.arm);
        json.endRecord();
    }
    json.endList();
}

} // namespace

void writeShopSheetJson(format::JsonWriter &json, const ShopSheet &sheet)
{
    json.reserve(4096); // a sheet with its trims is about 3 kB
    json.beginRecord()
        .text("frequency", sheet.frequencyText)
        .whole("elements", static_cast<long long>(sheet.elements.size()))
        .whole("step", sheet.settings.step);
    if (sheet.loopFactors) {
        json.flag("tuned", true).beginList("factors");
        for (const double factor : *sheet.loopFactors)
            json.number({}, factor, format::Figure::Exact);
        json.endList();
    }
    if (sheet.tuning) {
        // The tune's figures by name, as its table keys them, specified and tuned.
        json.beginRecord("tuning").beginList("figures");
        for (const std::vector<format::TableCell> &row : sheet.tuning->figures.rows) {
            json.beginRecord().text("figure", row[0].text);
            for (std::size_t c = 1; c < row.size(); ++c)
                json.number(sheet.tuning->figures.columns[c].key, row[c].number, format::Figure::Decibels);
            json.endRecord();
        }
        json.endList().text("outcome", sheet.tuning->outcome).endRecord();
    }
    json.beginList("loops");
    for (const ElementCuts &cuts : sheet.elements) {
        beginElement(json, cuts);
        writeLength(json, sheet, "loop", "loop_mm", cuts.loop);
        writeLength(json, sheet, "cut", "cut_mm", cuts.cut);
        writeLength(json, sheet, "side", "side_mm", cuts.side);
        writeCornerMarks(json, sheet, cuts.cornerMarks);
        json.endRecord();
    }
    json.endList().beginList("spreaders");
    for (const ElementCuts &cuts : sheet.elements) {
        beginElement(json, cuts);
        writeLength(json, sheet, "arm", "arm_mm", cuts.arm);
        json.whole("count", kArmsPerElement);
        writeLength(json, sheet, "spreader", "spreader_mm", cuts.spreader);
        json.endRecord();
    }
    json.endList().beginRecord("boom").beginList("stations");
    for (const ElementCuts &cuts : sheet.elements) {
        beginElement(json, cuts);
        writeLength(json, sheet, "station", "station_mm", cuts.station);
        json.endRecord();
    }
    json.endList();
    writeLength(json, sheet, "length", "length_mm", sheet.boomLength);
    if (sheet.windowBoomInches.empty())
        json.null("window_total"); // the main window shows the seven-element boom only
    else
        json.text("window_total", sheet.windowBoomInches);
    json.endRecord();
    writeMatchAndMaterials(json, sheet);
    if (!sheet.correctedFrequencyText.empty())
        writeTrims(json, sheet);
    json.endRecord();
}

ShopFooter shopFooter(const ShopSheet &sheet)
{
    ShopFooter footer;
    footer.wire = fraction(sheet, sheet.wireTotal) + " (" + metresText(sheet.wireTotal) + " m)";
    footer.arms = kArmsPerElement * static_cast<int>(sheet.elements.size());
    // The longest arms first, as they are cut from the stock.
    footer.armsByLength.assign(sheet.armsByLength.rbegin(), sheet.armsByLength.rend());
    footer.armsText = std::to_string(footer.arms);
    for (std::size_t i = 0; i < footer.armsByLength.size(); ++i)
        footer.armsText += (i == 0 ? ": " : ", ") + std::to_string(footer.armsByLength[i].second) + " x " +
                           fraction(sheet, footer.armsByLength[i].first);
    footer.boom = both(sheet, sheet.boomLength);
    if (sheet.section) {
        const design::Match &match = sheet.settings.match;
        footer.section = both(sheet, *sheet.section) + " of " +
                         (match.line.empty() ? format::fixedText(match.z0Ohms, 0) + " \u03a9 line" : match.line);
    }
    footer.feed = feedAdviceText(sheet.settings.match);
    return footer;
}

ShopTables shopTables(const ShopSheet &sheet)
{
    ShopTables tables{elementTable("Loops"), elementTable("Corner marks"), elementTable("Spreaders and boom"),
                      elementTable("Trims"), elementTable("Corner marks after trimming")};
    addLengthColumns(tables.loops, "loop", "Loop");
    addLengthColumns(tables.loops, "cut", "Cut");
    addLengthColumns(tables.loops, "side", "Side");
    for (int mark = 1; mark <= 4; ++mark)
        addLengthColumns(tables.cornerMarks, "mark_" + std::to_string(mark), "Mark " + std::to_string(mark));
    addLengthColumns(tables.spreadersAndBoom, "arm", "Arm");
    tables.spreadersAndBoom.columns.push_back({"arms", "Arms", true, false});
    addLengthColumns(tables.spreadersAndBoom, "spreader", "Spreader");
    addLengthColumns(tables.spreadersAndBoom, "station", "Station");
    tables.trims.columns.push_back({"action", "Trim", true, false, {}, true});
    tables.trims.columns.push_back({"trim_in", "Trim (in)", false, false});
    tables.trims.columns.push_back({"trim_mm", "Trim (mm)", true, false});
    addLengthColumns(tables.trims, "new_side", "New side");
    addLengthColumns(tables.trims, "attach", "Arm attachment");
    for (int mark = 1; mark <= 4; ++mark)
        addLengthColumns(tables.trimmedMarks, "new_mark_" + std::to_string(mark), "Mark " + std::to_string(mark));

    const std::string arms = std::to_string(kArmsPerElement);
    for (const ElementCuts &cuts : sheet.elements) {
        std::vector<format::TableCell> &loop = addElementRow(tables.loops, cuts);
        for (const HalfThousandths length : {cuts.loop, cuts.cut, cuts.side})
            addLength(loop, sheet, length);
        std::vector<format::TableCell> &marks = addElementRow(tables.cornerMarks, cuts);
        for (const HalfThousandths mark : cuts.cornerMarks)
            addLength(marks, sheet, mark);
        std::vector<format::TableCell> &boom = addElementRow(tables.spreadersAndBoom, cuts);
        addLength(boom, sheet, cuts.arm);
        boom.push_back({arms, kArmsPerElement});
        addLength(boom, sheet, cuts.spreader);
        addLength(boom, sheet, cuts.station);
        std::vector<format::TableCell> &trim = addElementRow(tables.trims, cuts);
        std::vector<format::TableCell> &trimmedMarks = addElementRow(tables.trimmedMarks, cuts);
        if (cuts.trim) {
            trim.push_back({trimAction(cuts.trim->change, sheet.settings.step), std::nullopt});
            addLength(trim, sheet, cuts.trim->change);
            addLength(trim, sheet, cuts.trim->side);
            addLength(trim, sheet, cuts.trim->arm);
            for (const HalfThousandths mark : cuts.trim->cornerMarks)
                addLength(trimmedMarks, sheet, mark);
        } else {
            trim.resize(tables.trims.columns.size());
            trimmedMarks.resize(tables.trimmedMarks.columns.size());
        }
    }
    // The matching section is cut from the cable as a loop is from the wire: its length on the loops' table,
    // which has no side.
    if (sheet.section) {
        tables.loops.rows.push_back({{std::string(kSectionRowName), std::nullopt}});
        addLength(tables.loops.rows.back(), sheet, *sheet.section);
        addLength(tables.loops.rows.back(), sheet, *sheet.section);
        tables.loops.rows.back().resize(tables.loops.columns.size());
    }
    return tables;
}

format::ResultTable shopCsvTable(const ShopSheet &sheet)
{
    const ShopTables tables = shopTables(sheet);
    format::ResultTable joined;
    joined.columns.push_back({"frequency", "Frequency (MHz)", false, false});
    joined.columns.push_back(tables.loops.columns.front());
    joined.rows.resize(sheet.elements.size());
    for (std::size_t r = 0; r < joined.rows.size(); ++r)
        joined.rows[r] = {{sheet.frequencyText, std::nullopt}, tables.loops.rows[r].front()};
    // Each table after its element column, which the joined table gives once. A length's columns hold
    // numbers, inches and millimetres; the feet and inches the sheet shows follow in a column of their own.
    for (const format::ResultTable *table :
         {&tables.loops, &tables.cornerMarks, &tables.spreadersAndBoom, &tables.trims, &tables.trimmedMarks}) {
        for (std::size_t c = 1; c < table->columns.size(); ++c) {
            const format::TableColumn &column = table->columns[c];
            joined.columns.push_back(column);
            for (std::size_t r = 0; r < joined.rows.size(); ++r)
                joined.rows[r].push_back(table->rows[r][c]);
            if (!column.key.ends_with("_mm") || c < 2 || !table->columns[c - 1].key.ends_with("_in"))
                continue;
            const std::string &inches = table->columns[c - 1].key;
            joined.columns.push_back(
                {inches.substr(0, inches.size() - 3) + "_text", table->columns[c - 1].heading, false, false, {}, true});
            for (std::size_t r = 0; r < joined.rows.size(); ++r)
                joined.rows[r].push_back({table->rows[r][c - 1].text, std::nullopt});
        }
    }
    if (sheet.tuning) {
        joined.columns.push_back({"tuning", "Tuning", false, false, {}, true});
        for (std::vector<format::TableCell> &row : joined.rows)
            row.push_back({sheet.tuning->outcome, std::nullopt});
    }
    // The section, after the loops: its length where a loop's is, the rest of its row empty.
    if (sheet.section) {
        const std::vector<format::TableCell> &section = tables.loops.rows.back();
        std::vector<format::TableCell> row{{sheet.frequencyText, std::nullopt}, section.front()};
        row.resize(joined.columns.size());
        for (std::size_t c = 2; c < joined.columns.size(); ++c) {
            const std::string &key = joined.columns[c].key;
            if (key == "loop_in" || key == "cut_in")
                row[c] = section[key == "loop_in" ? 1 : 3];
            else if (key == "loop_mm" || key == "cut_mm")
                row[c] = section[key == "loop_mm" ? 2 : 4];
            else if (key == "loop_text" || key == "cut_text")
                row[c] = {section[key == "loop_text" ? 1 : 3].text, std::nullopt};
        }
        joined.rows.push_back(std::move(row));
    }
    return joined;
}

std::string tunedNote(const ShopSheet &sheet)
{
    if (!sheet.loopFactors)
        return {};
    return sheet.stationsTuned ? "The loops and the stations are tuned with the model for the chosen wire and ground."
                               : "The loops are tuned with the model for the chosen wire and ground; the stations "
                                 "are as designed.";
}

namespace {

format::Section tableSection(std::string heading, format::ResultTable table, std::string intro = {})
{
    format::Section section;
    section.heading = std::move(heading);
    if (!intro.empty())
        section.before.push_back({std::move(intro)});
    section.table = std::move(table);
    return section;
}

} // namespace

format::Document shopSheetDocument(const ShopSheet &sheet)
{
    format::Document document;
    const std::string design = design::designTitle(sheet.frequencyLabel, sheet.elements.size());
    document.title = (sheet.loopFactors ? "Tuned shop sheet for " : "Shop sheet for ") + design;
    document.titleRunsIn = true;
    document.preface.push_back(
        {(sheet.loopFactors ? tunedNote(sheet) + " " : std::string()) + roundingNote(sheet.settings.step)});
    document.preface.push_back({"Wire allowance " + both(sheet, fromThousandths(sheet.settings.allowanceThousandths)) +
                                ", hub offset " + both(sheet, fromThousandths(sheet.settings.hubOffsetThousandths)) +
                                "."});

    ShopTables tables = shopTables(sheet);
    const bool trimmed = !sheet.correctedFrequencyText.empty();
    std::vector<format::Section> &sections = document.sections;
    sections.push_back(tableSection("Loops", std::move(tables.loops)));
    sections.push_back(tableSection("Corner marks", std::move(tables.cornerMarks),
                                    "Corner marks run along the wire from the cut end."));
    sections.push_back(tableSection("Spreaders and boom", std::move(tables.spreadersAndBoom)));
    if (trimmed) {
        sections.push_back(tableSection("Trims", std::move(tables.trims), trimsNote(sheet)));
        sections.push_back(tableSection("Corner marks after trimming", std::move(tables.trimmedMarks),
                                        "Corner marks after trimming, along the wire from the cut end."));
    }
    if (sheet.tuning) {
        sections.push_back(tableSection("Before and after tuning", sheet.tuning->figures));
        sections.back().after.push_back({sheet.tuning->outcome});
    }
    // The last table starts the page that the materials close.
    sections.back().keepWithEnd = true;

    const ShopFooter footer = shopFooter(sheet);
    format::Section materials;
    materials.heading = "Materials";
    materials.facts = {{"Wire in all", footer.wire},
                       {"Spreader arms", footer.armsText},
                       {"Boom", footer.boom + (sheet.windowBoomInches.empty()
                                                   ? std::string() // the window shows the seven-element boom only
                                                   : "; the window shows " + sheet.windowBoomInches)}};
    if (!footer.section.empty())
        materials.facts.push_back({std::string(kSectionRowName), footer.section});
    sections.push_back(std::move(materials));
    format::Section feed;
    feed.before.push_back({footer.feed});
    if (const std::string match = matchNote(sheet); !match.empty())
        feed.before.push_back({match});
    sections.push_back(std::move(feed));
    return document;
}

} // namespace tarvelin::shop
