// SPDX-License-Identifier: MIT
#include "core/calc/resultstable.h"

#include "core/calc/resultgrid.h"

#include <array>
#include <string_view>

namespace tarvelin {

namespace {

constexpr std::string_view kHeading = "Element\tTotal Length (in)\tTotal Length (cm)\tWire One Side (in)\t"
                                      "Wire One Side (cm)\tSpreader Half Length (in)\tSpreader Half Length (cm)\t"
                                      "Spreader Total Length (in)\tSpreader Total Length (cm)\t"
                                      "Element Spacing (in)\tElement Spacing (cm)\n";

struct BoomLine
{
    BoomTotal total;
    std::string_view heading;
};

constexpr std::array<BoomLine, 3> kBoomLines{{
    {BoomTotal::Feet, "Total Boom Length (ft)"},
    {BoomTotal::Inches, "Total Boom Length (in)"},
    {BoomTotal::Centimetres, "Total Boom Length (cm)"},
}};

} // namespace

std::string resultsAsTabSeparated(const ResultGrid &grid)
{
    std::string text(kHeading);
    for (const ElementRow row : kElementRows) {
        text += elementRowName(row);
        for (int c = 0; c < kGridColumnCount; ++c) {
            text += '\t';
            if (c < columnCount(row))
                text += grid.cellText(row, c);
        }
        text += '\n';
    }
    // The totals carry their unit in the window (" FT."); a spreadsheet wants the number alone.
    for (const BoomLine &line : kBoomLines) {
        const std::string shown = grid.boomText(line.total);
        text += line.heading;
        text += '\t';
        text += shown.substr(0, shown.find(' '));
        text += '\n';
    }
    return text;
}

} // namespace tarvelin
