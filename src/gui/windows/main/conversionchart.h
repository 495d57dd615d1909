// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QString>

#include <vector>

namespace tarvelin {

// The conversion chart: common inch fractions beside their decimal values, cut off (never rounded) after
// three decimals, so that a builder can read the grid's decimal inches as fractions on a rule. The picture is
// drawn here pixel by pixel in a small bitmap face of the program's own, so it is identical on every machine.
namespace chart {
inline constexpr int kWidth = 176;
inline constexpr int kHeight = 489;
inline constexpr QRgb kGround = 0xFFFCFEFC;
inline constexpr QRgb kText = 0xFF0402FC;
inline constexpr QRgb kFrame = 0xFF840204;
inline constexpr int kDividerColumn = 85;
inline constexpr int kGlyphHeight = 9;
inline constexpr int kLineSpacing = 13;
} // namespace chart

struct ChartLine
{
    int left = 0; // pixel column where the text starts
    int top = 0;  // pixel row of the top of the text
    QString text;
};

// Every text line of the chart, headings and entries, where it stands.
[[nodiscard]] std::vector<ChartLine> conversionChartLines();

// One entry, such as ".062 = 1/16\"" for 1/16.
[[nodiscard]] QString chartEntry(int numerator, int denominator);

// The picture: 176 by 489 pixels, indexed, with a colour table of the three colours and an unused black.
[[nodiscard]] QImage conversionChart();

} // namespace tarvelin
