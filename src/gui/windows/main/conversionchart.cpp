// SPDX-License-Identifier: MIT
#include "gui/windows/main/conversionchart.h"

#include <array>
#include <numeric>
#include <string_view>

namespace tarvelin {

namespace {

// The chart's face: one glyph per character, nine rows of '#' (ink) and '.' (ground), each glyph as wide as
// its rows, followed by one column of ground. Digits fill all nine rows; lower-case letters without an
// ascender start at the fourth.
struct Glyph
{
    char character;
    std::array<std::string_view, chart::kGlyphHeight> rows;
};

constexpr std::array<Glyph, 20> kFace{{
    {'0', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "#.#..", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}},
    {'2', {".###.", "#...#", "....#", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'3', {".###.", "#...#", "....#", "....#", "..##.", "....#", "....#", "#...#", ".###."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#..#.", "#####", "...#.", "...#.", "...#."}},
    {'5', {"#####", "#....", "#....", "####.", "....#", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "#....", "####.", "#...#", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "....#", "...#.", "...#.", "..#..", "..#..", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", "#...#", ".###.", "#...#", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", "#...#", ".####", "....#", "....#", "...#.", ".##.."}},
    {'.', {"..", "..", "..", "..", "..", "..", "..", "##", "##"}},
    {' ', {"...", "...", "...", "...", "...", "...", "...", "...", "..."}},
    {'=', {".....", ".....", ".....", "#####", ".....", "#####", ".....", ".....", "....."}},
    {'/', {"....#", "....#", "...#.", "...#.", "..#..", ".#...", ".#...", "#....", "#...."}},
    {'"', {"#.#", "#.#", "#.#", "...", "...", "...", "...", "...", "..."}},
    {'t', {".#..", ".#..", "####", ".#..", ".#..", ".#..", ".#..", ".#..", "..##"}},
    {'h', {"#....", "#....", "#....", "#.##.", "##..#", "#...#", "#...#", "#...#", "#...#"}},
    {'s', {".....", ".....", ".....", ".####", "#....", ".###.", "....#", "....#", "####."}},
    {'n', {".....", ".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#", "#...#"}},
    {'d', {"....#", "....#", "....#", ".##.#", "#..##", "#...#", "#...#", "#...#", ".####"}},
}};

const Glyph *glyphFor(QChar c)
{
    for (const Glyph &glyph : kFace)
        if (QChar(glyph.character) == c)
            return &glyph;
    return nullptr;
}

constexpr int kGlyphGap = 1;

// Colour table indices of the picture.
enum Index : uchar
{
    Ground,
    Text,
    Frame,
    UnusedBlack,
};

void drawText(QImage &image, const ChartLine &line)
{
    int x = line.left;
    for (const QChar c : line.text) {
        const Glyph *glyph = glyphFor(c);
        if (!glyph)
            continue;
        for (int row = 0; row < chart::kGlyphHeight; ++row) {
            uchar *scan = image.scanLine(line.top + row);
            const std::string_view bits = glyph->rows[static_cast<std::size_t>(row)];
            for (std::size_t col = 0; col < bits.size(); ++col)
                if (bits[col] == '#')
                    scan[x + static_cast<int>(col)] = Text;
        }
        x += static_cast<int>(glyph->rows[0].size()) + kGlyphGap;
    }
}

// The left panel's lines start 15 pixels down and its headings are indented; the right panel starts two
// pixels higher, as the chart has always been drawn.
constexpr int kLeftEntryColumn = 11;
constexpr int kLeftHeadingColumn = 26;
constexpr int kLeftFirstRow = 15;
constexpr int kRightColumn = 97;
constexpr int kRightFirstRow = 13;

} // namespace

QString chartEntry(int numerator, int denominator)
{
    // Cut off after the third decimal: whole thousandths, rounded down.
    const int thousandths = numerator * 1000 / denominator;
    const int common = std::gcd(numerator, denominator);
    return QStringLiteral(".%1 = %2/%3\"")
        .arg(thousandths, 3, 10, QLatin1Char('0'))
        .arg(numerator / common)
        .arg(denominator / common);
}

std::vector<ChartLine> conversionChartLines()
{
    std::vector<ChartLine> lines;
    const auto left = [&](int line, int column, const QString &text) {
        lines.push_back({column, kLeftFirstRow + chart::kLineSpacing * line, text});
    };
    const auto right = [&](int line, const QString &text) {
        lines.push_back({kRightColumn, kRightFirstRow + chart::kLineSpacing * line, text});
    };

    left(0, kLeftHeadingColumn, QStringLiteral("8ths"));
    for (int k = 1; k <= 7; ++k)
        left(k, kLeftEntryColumn, chartEntry(k, 8)); // every eighth, in lowest terms
    left(9, kLeftHeadingColumn, QStringLiteral("16ths"));
    for (int k = 1, line = 10; k < 16; k += 2, ++line)
        left(line, kLeftEntryColumn, chartEntry(k, 16)); // only those that do not reduce
    left(19, kLeftHeadingColumn, QStringLiteral("32nds"));
    for (int k = 1, line = 20; k < 32; k += 2, ++line)
        left(line, kLeftEntryColumn, chartEntry(k, 32));
    right(0, QStringLiteral("64ths"));
    for (int k = 1, line = 1; k < 64; k += 2, ++line)
        right(line, chartEntry(k, 64));
    return lines;
}

QImage conversionChart()
{
    QImage image(chart::kWidth, chart::kHeight, QImage::Format_Indexed8);
    image.setColorTable({chart::kGround, chart::kText, chart::kFrame, qRgb(0, 0, 0)});
    image.fill(Ground);

    constexpr int kFrameWidth = 6; // top, bottom and left
    constexpr int kRightFrameWidth = 7;
    for (int y = 0; y < chart::kHeight; ++y) {
        uchar *scan = image.scanLine(y);
        const bool frameRow = y < kFrameWidth || y >= chart::kHeight - kFrameWidth;
        for (int x = 0; x < chart::kWidth; ++x) {
            const bool frameColumn = x < kFrameWidth || x >= chart::kWidth - kRightFrameWidth;
            if (frameRow || frameColumn || x == chart::kDividerColumn)
                scan[x] = Frame;
        }
    }
    for (const ChartLine &line : conversionChartLines())
        drawText(image, line);
    return image;
}

} // namespace tarvelin
