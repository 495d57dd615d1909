// SPDX-License-Identifier: MIT
#include "core/shop/shopsheettext.h"

#include "core/format/fieldtext.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace tarvelin::shop {

namespace {

std::string fraction(const ShopSheet &sheet, HalfThousandths length)
{
    return feetInchesText(length, sheet.settings.step);
}

// {"key": "value"} pieces.
void appendKey(std::string &out, std::string_view key)
{
    appendJsonString(out, key);
    out += ": ";
}

// A length as a JSON string: the fraction text holds no character that needs escaping but its inch mark.
void appendJsonFraction(std::string &out, const ShopSheet &sheet, HalfThousandths length)
{
    out += '"';
    appendFeetInches(out, length, sheet.settings.step, true);
    out += '"';
}

void appendJsonMillimetres(std::string &out, HalfThousandths length)
{
    out += '"';
    appendMillimetres(out, length);
    out += '"';
}

// "key": "74' 3-9/16\"", "key_mm": "22645.3"
void appendLengthPair(std::string &out, const ShopSheet &sheet, std::string_view key, HalfThousandths length)
{
    out += '"';
    out += key;
    out += "\": ";
    appendJsonFraction(out, sheet, length);
    out += ", \"";
    out += key;
    out += "_mm\": ";
    appendJsonMillimetres(out, length);
}

// One element's object in a list of seven: its separator, brace and name, ready for its lengths.
void appendElementOpening(std::string &out, const ElementCuts &cuts)
{
    out += cuts.element == ElementRow::Reflector ? "{" : ", {";
    appendKey(out, "element");
    appendJsonString(out, elementRowName(cuts.element));
    out += ", ";
}

// A table whose first column names the element, headed by the table's title.
ResultTable elementTable(std::string_view heading)
{
    ResultTable table;
    table.columns.push_back({"element", std::string(heading), true, true});
    return table;
}

void addLengthColumns(ResultTable &table, const std::string &key, const std::string &heading)
{
    table.columns.push_back({key + "_in", heading, true, false, {}});
    table.columns.push_back({key + "_mm", heading + " (mm)", true, false, "mm"});
}

void addLength(std::vector<TableCell> &row, const ShopSheet &sheet, std::optional<HalfThousandths> length)
{
    row.push_back({length ? fraction(sheet, *length) : std::string(), std::nullopt});
    row.push_back({length ? millimetresText(*length) : std::string(), std::nullopt});
}

std::vector<TableCell> &addElementRow(ResultTable &table, const ElementCuts &cuts)
{
    table.rows.push_back({{std::string(elementRowName(cuts.element)), std::nullopt}});
    return table.rows.back();
}

std::string both(const ShopSheet &sheet, HalfThousandths length)
{
    return fraction(sheet, length) + " (" + millimetresText(length) + " mm)";
}

// , "corner_marks": [...], "corner_marks_mm": [...]
void appendCornerMarks(std::string &out, const ShopSheet &sheet, const std::array<HalfThousandths, 4> &marks)
{
    out += ", \"corner_marks\": [";
    for (std::size_t k = 0; k < marks.size(); ++k) {
        out += k == 0 ? "" : ", ";
        appendJsonFraction(out, sheet, marks[k]);
    }
    out += "], \"corner_marks_mm\": [";
    for (std::size_t k = 0; k < marks.size(); ++k) {
        out += k == 0 ? "" : ", ";
        appendJsonMillimetres(out, marks[k]);
    }
    out += ']';
}

} // namespace

std::string trimAction(HalfThousandths change, int step)
{
    // Each side takes a quarter of the change, so the loop stays square on its spreaders.
    if (inchesText(change, step) == inchesText(0, step))
        return "leave as cut";
    const HalfThousandths length = change < 0 ? -change : change;
    return std::string(change < 0 ? "shorten " : "lengthen ") + inchesText(length, step) + " (" +
           inchesText(length / 4, step) + " a side)";
}

std::string roundingNote(int step)
{
    // Half a step: 1/(2 x step) inch, in millimetres to one decimal.
    return "Fractions to 1/" + std::to_string(step) + " in (rounding at most 1/" + std::to_string(2 * step) + " in, " +
           millimetresText(2000 / (2 * step)) + " mm).";
}

std::string shopSheetJson(const ShopSheet &sheet)
{
    std::string out;
    out.reserve(4096);
    out += '{';
    appendKey(out, "frequency");
    appendJsonString(out, sheet.frequencyText);
    out += ", \"step\": " + std::to_string(sheet.settings.step);
    if (sheet.loopFactors) {
        out += ", \"tuned\": true, \"factors\": [";
        for (std::size_t i = 0; i < sheet.loopFactors->size(); ++i)
            out += (i == 0 ? "" : ", ") + fixedText((*sheet.loopFactors)[i], 4);
        out += ']';
    }
    out += ", \"loops\": [";
    for (const ElementCuts &cuts : sheet.elements) {
        appendElementOpening(out, cuts);
        appendLengthPair(out, sheet, "loop", cuts.loop);
        out += ", ";
        appendLengthPair(out, sheet, "cut", cuts.cut);
        out += ", ";
        appendLengthPair(out, sheet, "side", cuts.side);
        appendCornerMarks(out, sheet, cuts.cornerMarks);
        out += "}";
    }
    out += "], \"spreaders\": [";
    for (const ElementCuts &cuts : sheet.elements) {
        appendElementOpening(out, cuts);
        appendLengthPair(out, sheet, "arm", cuts.arm);
        out += ", \"count\": " + std::to_string(kArmsPerElement) + ", ";
        appendLengthPair(out, sheet, "spreader", cuts.spreader);
        out += "}";
    }
    out += "], \"boom\": {\"stations\": [";
    for (const ElementCuts &cuts : sheet.elements) {
        appendElementOpening(out, cuts);
        appendLengthPair(out, sheet, "station", cuts.station);
        out += "}";
    }
    out += "], ";
    appendLengthPair(out, sheet, "length", sheet.boomLength);
    out += ", ";
    appendKey(out, "window_total");
    appendJsonString(out, sheet.windowBoomInches);
    out += "}, \"materials\": {";
    appendKey(out, "wire");
    appendJsonFraction(out, sheet, sheet.wireTotal);
    out += ", ";
    appendKey(out, "wire_m");
    appendJsonString(out, metresText(sheet.wireTotal));
    out += ", \"spreader_arms\": " + std::to_string(kArmsPerElement * kElementRowCount) + ", \"arms_by_length\": [";
    bool first = true;
    for (auto it = sheet.armsByLength.rbegin(); it != sheet.armsByLength.rend(); ++it) {
        out += std::exchange(first, false) ? "{" : ", {";
        appendLengthPair(out, sheet, "arm", it->first);
        out += ", \"count\": " + std::to_string(it->second) + "}";
    }
    out += "]}";
    if (!sheet.correctedFrequencyText.empty()) {
        out += ", \"corrected_frequency\": ";
        appendJsonString(out, sheet.correctedFrequencyText);
        out += ", \"trims\": [";
        for (const ElementCuts &cuts : sheet.elements) {
            const Trim trim = cuts.trim.value_or(Trim{});
            appendElementOpening(out, cuts);
            appendKey(out, "action");
            appendJsonString(out, trimAction(trim.change, sheet.settings.step));
            out += ", ";
            appendLengthPair(out, sheet, "trim", trim.change);
            out += ", ";
            appendLengthPair(out, sheet, "side", trim.side);
            appendCornerMarks(out, sheet, trim.cornerMarks);
            out += ", ";
            appendLengthPair(out, sheet, "arm", trim.arm);
            out += "}";
        }
        out += "]";
    }
    out += "}\n";
    return out;
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
        std::vector<TableCell> &loop = addElementRow(tables.loops, cuts);
        for (const HalfThousandths length : {cuts.loop, cuts.cut, cuts.side})
            addLength(loop, sheet, length);
        std::vector<TableCell> &marks = addElementRow(tables.cornerMarks, cuts);
        for (const HalfThousandths mark : cuts.cornerMarks)
            addLength(marks, sheet, mark);
        std::vector<TableCell> &boom = addElementRow(tables.spreadersAndBoom, cuts);
        addLength(boom, sheet, cuts.arm);
        boom.push_back({arms, kArmsPerElement});
        addLength(boom, sheet, cuts.spreader);
        addLength(boom, sheet, cuts.station);
        std::vector<TableCell> &trim = addElementRow(tables.trims, cuts);
        std::vector<TableCell> &trimmedMarks = addElementRow(tables.trimmedMarks, cuts);
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
    return tables;
}

ResultTable shopCsvTable(const ShopSheet &sheet)
{
    const ShopTables tables = shopTables(sheet);
    ResultTable joined;
    joined.columns.push_back({"frequency", "Frequency (MHz)", false, false});
    joined.columns.push_back(tables.loops.columns.front());
    joined.rows.resize(tables.loops.rows.size());
    for (std::size_t r = 0; r < joined.rows.size(); ++r)
        joined.rows[r] = {{sheet.frequencyLabel, std::nullopt}, tables.loops.rows[r].front()};
    // Each table after its element column, which the joined table gives once.
    for (const ResultTable *table :
         {&tables.loops, &tables.cornerMarks, &tables.spreadersAndBoom, &tables.trims, &tables.trimmedMarks}) {
        joined.columns.insert(joined.columns.end(), table->columns.begin() + 1, table->columns.end());
        for (std::size_t r = 0; r < joined.rows.size(); ++r)
            joined.rows[r].insert(joined.rows[r].end(), table->rows[r].begin() + 1, table->rows[r].end());
    }
    return joined;
}

std::string shopSheetTabSeparated(const ShopSheet &sheet)
{
    const ShopTables tables = shopTables(sheet);
    std::string out;
    appendTabSeparatedTable(out, tables.loops);
    out += '\n';
    appendTabSeparatedTable(out, tables.cornerMarks);
    out += '\n';
    appendTabSeparatedTable(out, tables.spreadersAndBoom);
    if (!sheet.correctedFrequencyText.empty()) {
        out += "\nTrims: cut as for " + sheet.correctedFrequencyText + " MHz\n";
        appendTabSeparatedTable(out, tables.trims);
        out += '\n';
        appendTabSeparatedTable(out, tables.trimmedMarks);
    }
    out += "\nWire in all\t" + fraction(sheet, sheet.wireTotal) + '\t' + metresText(sheet.wireTotal) + " m\n";
    out += "Boom length\t" + fraction(sheet, sheet.boomLength) + '\t' + millimetresText(sheet.boomLength) + " mm\n";
    return out;
}

std::string shopSheetTable(const ShopSheet &sheet)
{
    std::string out = sheet.loopFactors ? "Tuned shop sheet for " + sheet.frequencyLabel +
                                              " MHz: the loops tuned with the model for the chosen wire and "
                                              "ground, the stations as designed. "
                                        : "Shop sheet for " + sheet.frequencyLabel + " MHz. ";
    out += roundingNote(sheet.settings.step) + "\n";
    out += "Wire allowance " + both(sheet, fromThousandths(sheet.settings.allowanceThousandths)) + ", hub offset " +
           both(sheet, fromThousandths(sheet.settings.hubOffsetThousandths)) + ".\n\n";

    const ShopTables tables = shopTables(sheet);
    appendTerminalTable(out, tables.loops);
    out += "\nCorner marks run along the wire from the cut end.\n";
    appendTerminalTable(out, tables.cornerMarks);
    out += '\n';
    appendTerminalTable(out, tables.spreadersAndBoom);
    if (!sheet.correctedFrequencyText.empty()) {
        out += "\nTrims: the array resonates at the measured frequency; cut it as for " + sheet.correctedFrequencyText +
               " MHz. The stations stay as built.\n";
        appendTerminalTable(out, tables.trims);
        out += "\nCorner marks after trimming, along the wire from the cut end.\n";
        appendTerminalTable(out, tables.trimmedMarks);
    }

    out += "\nWire in all: " + fraction(sheet, sheet.wireTotal) + " (" + metresText(sheet.wireTotal) + " m)\n";
    out += "Spreader arms: " + std::to_string(kArmsPerElement * kElementRowCount);
    for (auto it = sheet.armsByLength.rbegin(); it != sheet.armsByLength.rend(); ++it)
        out += (it == sheet.armsByLength.rbegin() ? ": " : ", ") + std::to_string(it->second) + " x " +
               fraction(sheet, it->first);
    out += "\nBoom: " + both(sheet, sheet.boomLength) + "; the window shows " + sheet.windowBoomInches + "\n";
    return out;
}

} // namespace tarvelin::shop
