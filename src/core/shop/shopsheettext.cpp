// SPDX-License-Identifier: MIT
#include "core/shop/shopsheettext.h"

#include "core/format/fieldtext.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace tarvelin::shop {

namespace {

using Row = std::vector<std::string>;

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

constexpr std::array<std::string_view, 4> kMarkNames{"mark_1", "mark_2", "mark_3", "mark_4"};

Row csvHeadings()
{
    Row row{"frequency", "element", "loop_in", "loop_mm", "cut_in", "cut_mm", "side_in", "side_mm"};
    for (const std::string_view mark : kMarkNames) {
        row.push_back(std::string(mark) + "_in");
        row.push_back(std::string(mark) + "_mm");
    }
    for (const char *name : {"arm_in", "arm_mm", "arms", "spreader_in", "spreader_mm", "station_in", "station_mm",
                             "trim_in", "trim_mm", "corrected_station_in", "corrected_station_mm"})
        row.emplace_back(name);
    return row;
}

void appendCsvRow(std::string &out, const Row &row)
{
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0)
            out += ',';
        appendCsvField(out, row[i]);
    }
    out += "\r\n";
}

void appendTabRow(std::string &out, const Row &row)
{
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0)
            out += '\t';
        out += row[i];
    }
    out += '\n';
}

// A terminal table: columns as wide as their widest text, two blanks apart.
void appendAligned(std::string &out, const std::vector<Row> &rows)
{
    std::vector<std::size_t> widths;
    for (const Row &row : rows)
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths.resize(std::max(widths.size(), row.size()));
            widths[i] = std::max(widths[i], row[i].size());
        }
    for (const Row &row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size())
                line.append(widths[i] - row[i].size() + 2, ' ');
        }
        out += line + "\n";
    }
}

std::string both(const ShopSheet &sheet, HalfThousandths length)
{
    return fraction(sheet, length) + " (" + millimetresText(length) + " mm)";
}

} // namespace

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
    out += ", \"step\": " + std::to_string(sheet.settings.step) + ", \"loops\": [";
    for (const ElementCuts &cuts : sheet.elements) {
        appendElementOpening(out, cuts);
        appendLengthPair(out, sheet, "loop", cuts.loop);
        out += ", ";
        appendLengthPair(out, sheet, "cut", cuts.cut);
        out += ", ";
        appendLengthPair(out, sheet, "side", cuts.side);
        out += ", \"corner_marks\": [";
        for (std::size_t k = 0; k < cuts.cornerMarks.size(); ++k) {
            out += k == 0 ? "" : ", ";
            appendJsonFraction(out, sheet, cuts.cornerMarks[k]);
        }
        out += "], \"corner_marks_mm\": [";
        for (std::size_t k = 0; k < cuts.cornerMarks.size(); ++k) {
            out += k == 0 ? "" : ", ";
            appendJsonMillimetres(out, cuts.cornerMarks[k]);
        }
        out += "]}";
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
            appendElementOpening(out, cuts);
            appendLengthPair(out, sheet, "trim", cuts.trim.value_or(0));
            out += ", ";
            appendLengthPair(out, sheet, "corrected_station", cuts.correctedStation.value_or(0));
            out += "}";
        }
        out += "]";
    }
    out += "}\n";
    return out;
}

std::string shopSheetCsvHeader()
{
    std::string out;
    appendCsvRow(out, csvHeadings());
    return out;
}

std::string shopSheetCsvRows(const ShopSheet &sheet)
{
    std::string out;
    for (const ElementCuts &cuts : sheet.elements) {
        Row row{sheet.frequencyLabel, std::string(elementRowName(cuts.element))};
        const auto add = [&](HalfThousandths length) {
            row.push_back(fraction(sheet, length));
            row.push_back(millimetresText(length));
        };
        add(cuts.loop);
        add(cuts.cut);
        add(cuts.side);
        for (const HalfThousandths mark : cuts.cornerMarks)
            add(mark);
        add(cuts.arm);
        row.push_back(std::to_string(kArmsPerElement));
        add(cuts.spreader);
        add(cuts.station);
        if (cuts.trim) {
            add(*cuts.trim);
            add(cuts.correctedStation.value_or(0));
        } else {
            row.insert(row.end(), 4, std::string());
        }
        appendCsvRow(out, row);
    }
    return out;
}

std::string shopSheetTabSeparated(const ShopSheet &sheet)
{
    std::string out;
    appendTabRow(out,
                 {"Loops", "Loop", "Loop (mm)", "Cut", "Cut (mm)", "Side", "Side (mm)", "Corner 1", "Corner 1 (mm)",
                  "Corner 2", "Corner 2 (mm)", "Corner 3", "Corner 3 (mm)", "Corner 4", "Corner 4 (mm)"});
    for (const ElementCuts &cuts : sheet.elements) {
        Row row{std::string(elementRowName(cuts.element)),
                fraction(sheet, cuts.loop),
                millimetresText(cuts.loop),
                fraction(sheet, cuts.cut),
                millimetresText(cuts.cut),
                fraction(sheet, cuts.side),
                millimetresText(cuts.side)};
        for (const HalfThousandths mark : cuts.cornerMarks) {
            row.push_back(fraction(sheet, mark));
            row.push_back(millimetresText(mark));
        }
        appendTabRow(out, row);
    }
    out += '\n';
    appendTabRow(
        out, {"Spreaders and boom", "Arm", "Arm (mm)", "Arms", "Spreader", "Spreader (mm)", "Station", "Station (mm)"});
    for (const ElementCuts &cuts : sheet.elements)
        appendTabRow(out,
                     {std::string(elementRowName(cuts.element)), fraction(sheet, cuts.arm), millimetresText(cuts.arm),
                      std::to_string(kArmsPerElement), fraction(sheet, cuts.spreader), millimetresText(cuts.spreader),
                      fraction(sheet, cuts.station), millimetresText(cuts.station)});
    if (!sheet.correctedFrequencyText.empty()) {
        out += '\n';
        appendTabRow(out, {"Trims for " + sheet.correctedFrequencyText + " MHz", "Trim", "Trim (mm)",
                           "Corrected station", "Corrected station (mm)"});
        for (const ElementCuts &cuts : sheet.elements)
            appendTabRow(out,
                         {std::string(elementRowName(cuts.element)), fraction(sheet, cuts.trim.value_or(0)),
                          millimetresText(cuts.trim.value_or(0)), fraction(sheet, cuts.correctedStation.value_or(0)),
                          millimetresText(cuts.correctedStation.value_or(0))});
    }
    out += '\n';
    appendTabRow(out, {"Wire in all", fraction(sheet, sheet.wireTotal), metresText(sheet.wireTotal) + " m"});
    appendTabRow(out, {"Boom length", fraction(sheet, sheet.boomLength), millimetresText(sheet.boomLength) + " mm"});
    return out;
}

std::string shopSheetTable(const ShopSheet &sheet)
{
    std::string out = "Shop sheet for " + sheet.frequencyLabel + " MHz. " + roundingNote(sheet.settings.step) + "\n";
    out += "Wire allowance " + both(sheet, fromThousandths(sheet.settings.allowanceThousandths)) + ", hub offset " +
           both(sheet, fromThousandths(sheet.settings.hubOffsetThousandths)) + ".\n\n";

    std::vector<Row> loops{{"Loops", "Loop", "Cut", "Side"}};
    for (const ElementCuts &cuts : sheet.elements)
        loops.push_back({std::string(elementRowName(cuts.element)), both(sheet, cuts.loop), both(sheet, cuts.cut),
                         both(sheet, cuts.side)});
    appendAligned(out, loops);
    out += '\n';

    std::vector<Row> marks{{"Corner marks", "1", "2", "3", "4"}};
    for (const ElementCuts &cuts : sheet.elements) {
        Row row{std::string(elementRowName(cuts.element))};
        for (const HalfThousandths mark : cuts.cornerMarks)
            row.push_back(both(sheet, mark));
        marks.push_back(std::move(row));
    }
    appendAligned(out, marks);
    out += '\n';

    std::vector<Row> boom{{"Spreaders and boom", "Arm (x4)", "Spreader", "Station"}};
    for (const ElementCuts &cuts : sheet.elements)
        boom.push_back({std::string(elementRowName(cuts.element)), both(sheet, cuts.arm), both(sheet, cuts.spreader),
                        both(sheet, cuts.station)});
    appendAligned(out, boom);

    if (!sheet.correctedFrequencyText.empty()) {
        out += "\nTrims: the array resonates at the measured frequency; cut it as for " + sheet.correctedFrequencyText +
               " MHz (+ lengthen, - shorten).\n";
        std::vector<Row> trims{{"Trims", "Trim", "Corrected station"}};
        for (const ElementCuts &cuts : sheet.elements)
            trims.push_back({std::string(elementRowName(cuts.element)), both(sheet, cuts.trim.value_or(0)),
                             both(sheet, cuts.correctedStation.value_or(0))});
        appendAligned(out, trims);
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
