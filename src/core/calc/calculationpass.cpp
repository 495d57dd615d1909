// SPDX-License-Identifier: MIT
#include "core/calc/calculationpass.h"

#include "core/calc/memorygrid.h"
#include "core/runtime/arithmetic.h"
#include "core/text/numbertext.h"
#include "core/runtime/runtimeerror.h"

#include <array>
#include <optional>
#include <string>

namespace tarvelin::calc {

namespace {

using arith::add;
using arith::divide;
using arith::multiply;
using arith::subtract;

// Loop lengths in feet times megahertz: a full wavelength of wire, lengthened for the reflector and
// shortened for the first director.
constexpr double kReflectorFeetMHz = 1055;
constexpr double kDrivenFeetMHz = 1030;
constexpr double kDirector1FeetMHz = 1000;
// Each director after the first is 3 % shorter than the one in front of it.
constexpr double kDirectorTaper = 0.03;
// Spacing terms in feet times megahertz, taken a quarter at a time.
constexpr double kReflectorToDrivenSpacing = 747.8;
constexpr double kDirectorSpacing = 614.7;
constexpr double kQuarter = 0.25;

constexpr double kInchesPerFoot = 12;
constexpr double kCentimetresPerInch = 2.54;
constexpr double kSidesPerLoop = 4;
constexpr int kDirectorSpacingsOnBoom = 5;

// The spreaders meet the loop corners at 45 degrees. Pi is the ten-digit value the dimensions have always
// been computed with, not the full double, so the spreader lengths keep their last digit.
constexpr double kPi = 3.141592654;
constexpr double kDegreesPerPiRadians = 180;
constexpr double kSpreaderAngleDegrees = 45;

constexpr std::array<ElementRow, 5> kDirectors{ElementRow::Director1, ElementRow::Director2, ElementRow::Director3,
                                               ElementRow::Director4, ElementRow::Director5};

class Steps
{
public:
    explicit Steps(MemoryGrid &grid) : m_grid(grid) {}

    void run()
    {
        using enum ElementRow;

        // Loop lengths: the first three from the frequency, the further directors as a chain, each 3 % below
        // the displayed length of the one in front (a subtraction of the product, as it was always done).
        put(Reflector, column::kTotalLengthInches, multiply(divide(kReflectorFeetMHz, frequency()), kInchesPerFoot));
        put(Driven, column::kTotalLengthInches, multiply(divide(kDrivenFeetMHz, frequency()), kInchesPerFoot));
        put(Director1, column::kTotalLengthInches, multiply(divide(kDirector1FeetMHz, frequency()), kInchesPerFoot));
        for (std::size_t i = 1; i < kDirectors.size(); ++i) {
            const double front = value(kDirectors[i - 1], column::kTotalLengthInches);
            put(kDirectors[i], column::kTotalLengthInches, subtract(front, multiply(front, kDirectorTaper)));
        }

        for (const ElementRow row : kElementRows)
            put(row, column::kTotalLengthCentimetres,
                multiply(value(row, column::kTotalLengthInches), kCentimetresPerInch));
        for (const ElementRow row : kElementRows)
            put(row, column::kSideInches, divide(value(row, column::kTotalLengthInches), kSidesPerLoop));
        // The side in centimetres comes from the loop length, not from the rounded side in inches.
        for (const ElementRow row : kElementRows)
            put(row, column::kSideCentimetres,
                multiply(divide(value(row, column::kTotalLengthInches), kSidesPerLoop), kCentimetresPerInch));

        // Centre to corner of the square is one side times the sine of 45 degrees.
        const double spreaderFactor = arith::sine(multiply(divide(kPi, kDegreesPerPiRadians), kSpreaderAngleDegrees));
        for (const ElementRow row : kElementRows)
            put(row, column::kSpreaderHalfInches, multiply(value(row, column::kSideInches), spreaderFactor));
        for (const ElementRow row : kElementRows)
            put(row, column::kSpreaderHalfCentimetres,
                multiply(value(row, column::kSpreaderHalfInches), kCentimetresPerInch));
        for (const ElementRow row : kElementRows) {
            const double half = value(row, column::kSpreaderHalfInches);
            put(row, column::kSpreaderTotalInches, add(half, half));
        }
        for (const ElementRow row : kElementRows)
            put(row, column::kSpreaderTotalCentimetres,
                multiply(value(row, column::kSpreaderTotalInches), kCentimetresPerInch));

        // Spacing: reflector to driven, then one equal spacing for every director.
        put(Driven, column::kSpacingInches,
            multiply(multiply(divide(kReflectorToDrivenSpacing, frequency()), kQuarter), kInchesPerFoot));
        put(Director1, column::kSpacingInches,
            multiply(multiply(divide(kDirectorSpacing, frequency()), kQuarter), kInchesPerFoot));
        for (std::size_t i = 1; i < kDirectors.size(); ++i)
            copyCell(Director1, kDirectors[i], column::kSpacingInches);
        put(Driven, column::kSpacingCentimetres, multiply(value(Driven, column::kSpacingInches), kCentimetresPerInch));
        for (const ElementRow row : kDirectors)
            put(row, column::kSpacingCentimetres,
                multiply(value(Director1, column::kSpacingInches), kCentimetresPerInch));

        // The boom carries the driven spacing and five director spacings. The feet come from the inches
        // total as displayed; the centimetres add up the displayed centimetre cells.
        const double boomInches = putBoom(
            BoomTotal::Inches, add(value(Driven, column::kSpacingInches),
                                   multiply(value(Director1, column::kSpacingInches), kDirectorSpacingsOnBoom)));
        putBoom(BoomTotal::Feet, divide(boomInches, kInchesPerFoot));
        putBoom(BoomTotal::Centimetres,
                add(value(Driven, column::kSpacingCentimetres),
                    multiply(value(Director1, column::kSpacingCentimetres), kDirectorSpacingsOnBoom)));

        m_grid.setBoomCaptionVisible(true);
    }

private:
    // Every step reads the frequency text. It cannot change during the pass, so it is read once, on the
    // first step, and that number serves the others. Zero fails in the first division; a negative frequency
    // would give negative lengths that look like a result, so it is refused the same way.
    [[nodiscard]] double frequency()
    {
        if (!m_frequency) {
            const double f = ParseNumber(m_grid.frequencyText());
            if (f < 0)
                throw RuntimeError(ErrorNumber::InvalidArgument);
            m_frequency = f;
        }
        return *m_frequency;
    }

    // A cell's value as its text reads back: the number kept when the cell was written, which is exactly
    // what reading the text would give, or the text read if this pass did not write it.
    [[nodiscard]] double value(ElementRow row, int gridColumn) const
    {
        const auto r = static_cast<std::size_t>(rowIndex(row));
        const auto c = static_cast<std::size_t>(gridColumn);
        if (m_written[r][c])
            return m_values[r][c];
        return ParseNumber(m_grid.cell(row, gridColumn));
    }

    void put(ElementRow row, int gridColumn, double v)
    {
        const auto r = static_cast<std::size_t>(rowIndex(row));
        const auto c = static_cast<std::size_t>(gridColumn);
        m_values[r][c] = FormatCellInto(v, m_grid.cell(row, gridColumn));
        m_written[r][c] = true;
    }

    void copyCell(ElementRow from, ElementRow to, int gridColumn)
    {
        m_grid.cell(to, gridColumn) = m_grid.cell(from, gridColumn);
        const auto c = static_cast<std::size_t>(gridColumn);
        m_values[static_cast<std::size_t>(rowIndex(to))][c] = m_values[static_cast<std::size_t>(rowIndex(from))][c];
        m_written[static_cast<std::size_t>(rowIndex(to))][c] = m_written[static_cast<std::size_t>(rowIndex(from))][c];
    }

    // The boom totals keep their number too: the feet are worked out from the inches total.
    double putBoom(BoomTotal total, double v)
    {
        CellValue cell = FormatCell(v);
        cell.text += boomSuffix(total);
        m_grid.setBoomText(total, cell.text);
        return cell.readBack;
    }

    MemoryGrid &m_grid;
    std::optional<double> m_frequency;
    std::array<std::array<double, kGridColumnCount>, kElementRowCount> m_values{};
    std::array<std::array<bool, kGridColumnCount>, kElementRowCount> m_written{};
};

// Hands a finished pass to the display in the order the steps wrote it: column by column, top row first, then
// the boom totals (inches, feet, centimetres) and finally the boom caption. A grid in memory shows nothing
// while it is written, so it simply takes the finished texts over.
void commit(MemoryGrid &scratch, ResultGrid &grid)
{
    if (auto *memory = dynamic_cast<MemoryGrid *>(&grid)) {
        memory->takeResults(scratch);
        return;
    }
    for (int c = 0; c < kGridColumnCount; ++c)
        for (const ElementRow row : kElementRows)
            if (c < columnCount(row))
                grid.setCellText(row, c, scratch.cell(row, c));
    for (const BoomTotal total : {BoomTotal::Inches, BoomTotal::Feet, BoomTotal::Centimetres})
        grid.setBoomText(total, scratch.boom(total));
    grid.setBoomCaptionVisible(true);
}

} // namespace

void calculateInto(MemoryGrid &scratch)
{
    Steps(scratch).run();
}

bool runCalculationPass(ResultGrid &grid)
{
    MemoryGrid scratch(grid.frequencyText());
    try {
        calculateInto(scratch);
    } catch (const RuntimeError &) {
        return false;
    }
    commit(scratch, grid);
    return true;
}

std::array<double, 7> unroundedLoopInches(double mhz)
{
    std::array<double, 7> loops{kReflectorFeetMHz / mhz * kInchesPerFoot, kDrivenFeetMHz / mhz * kInchesPerFoot,
                                kDirector1FeetMHz / mhz * kInchesPerFoot};
    for (std::size_t i = 3; i < loops.size(); ++i)
        loops[i] = loops[i - 1] * (1.0 - kDirectorTaper);
    return loops;
}

} // namespace tarvelin::calc
