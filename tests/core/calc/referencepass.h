// SPDX-License-Identifier: MIT
#pragma once
// The calculation as it first stood: every step reads its sources back from their texts and the frequency
// text anew. The program's pass carries the shown numbers on instead; this one stays here as the reference
// it must match, text for text.
#include "core/calc/calculationpass.h"
#include "core/calc/memorygrid.h"
#include "core/runtime/arithmetic.h"
#include "core/text/numbertext.h"
#include "core/runtime/runtimeerror.h"

#include <array>
#include <optional>
#include <string>

namespace tarvelin::reference {

using arith::add;
using arith::divide;
using arith::multiply;
using arith::subtract;

// Loop lengths in feet times megahertz: a full wavelength of wire, lengthened for the reflector and
// shortened for the first director.
inline constexpr double kReflectorFeetMHz = 1055;
inline constexpr double kDrivenFeetMHz = 1030;
inline constexpr double kDirector1FeetMHz = 1000;
// Each director after the first is 3 % shorter than the one in front of it.
inline constexpr double kDirectorTaper = 0.03;
// Spacing terms in feet times megahertz, taken a quarter at a time.
inline constexpr double kReflectorToDrivenSpacing = 747.8;
inline constexpr double kDirectorSpacing = 614.7;
inline constexpr double kQuarter = 0.25;

inline constexpr double kInchesPerFoot = 12;
inline constexpr double kCentimetresPerInch = 2.54;
inline constexpr double kSidesPerLoop = 4;
inline constexpr int kDirectorSpacingsOnBoom = 5;

// The spreaders meet the loop corners at 45 degrees. Pi is the ten-digit value the dimensions have always
// been computed with, not the full double, so the spreader lengths keep their last digit.
inline constexpr double kPi = 3.141592654;
inline constexpr double kDegreesPerPiRadians = 180;
inline constexpr double kSpreaderAngleDegrees = 45;

inline constexpr std::array<calc::ElementRow, 5> kDirectors{calc::ElementRow::Director1, calc::ElementRow::Director2,
                                                            calc::ElementRow::Director3, calc::ElementRow::Director4,
                                                            calc::ElementRow::Director5};

class ReferenceSteps
{
public:
    explicit ReferenceSteps(calc::MemoryGrid &grid) : m_grid(grid) {}

    void run()
    {
        using enum calc::ElementRow;

        // Loop lengths: the first three from the frequency, the further directors as a chain, each 3 % below
        // the displayed length of the one in front (a subtraction of the product, as it was always done).
        put(Reflector, calc::column::kTotalLengthInches,
            multiply(divide(kReflectorFeetMHz, frequency()), kInchesPerFoot));
        put(Driven, calc::column::kTotalLengthInches, multiply(divide(kDrivenFeetMHz, frequency()), kInchesPerFoot));
        put(Director1, calc::column::kTotalLengthInches,
            multiply(divide(kDirector1FeetMHz, frequency()), kInchesPerFoot));
        for (std::size_t i = 1; i < kDirectors.size(); ++i) {
            const double front = value(kDirectors[i - 1], calc::column::kTotalLengthInches);
            put(kDirectors[i], calc::column::kTotalLengthInches, subtract(front, multiply(front, kDirectorTaper)));
        }

        for (const calc::ElementRow row : calc::kElementRows)
            put(row, calc::column::kTotalLengthCentimetres,
                multiply(value(row, calc::column::kTotalLengthInches), kCentimetresPerInch));
        for (const calc::ElementRow row : calc::kElementRows)
            put(row, calc::column::kSideInches, divide(value(row, calc::column::kTotalLengthInches), kSidesPerLoop));
        // The side in centimetres comes from the loop length, not from the rounded side in inches.
        for (const calc::ElementRow row : calc::kElementRows)
            put(row, calc::column::kSideCentimetres,
                multiply(divide(value(row, calc::column::kTotalLengthInches), kSidesPerLoop), kCentimetresPerInch));

        // Centre to corner of the square is one side times the sine of 45 degrees.
        const double spreaderFactor = arith::sine(multiply(divide(kPi, kDegreesPerPiRadians), kSpreaderAngleDegrees));
        for (const calc::ElementRow row : calc::kElementRows)
            put(row, calc::column::kSpreaderHalfInches,
                multiply(value(row, calc::column::kSideInches), spreaderFactor));
        for (const calc::ElementRow row : calc::kElementRows)
            put(row, calc::column::kSpreaderHalfCentimetres,
                multiply(value(row, calc::column::kSpreaderHalfInches), kCentimetresPerInch));
        for (const calc::ElementRow row : calc::kElementRows) {
            const double half = value(row, calc::column::kSpreaderHalfInches);
            put(row, calc::column::kSpreaderTotalInches, add(half, half));
        }
        for (const calc::ElementRow row : calc::kElementRows)
            put(row, calc::column::kSpreaderTotalCentimetres,
                multiply(value(row, calc::column::kSpreaderTotalInches), kCentimetresPerInch));

        // Spacing: reflector to driven, then one equal spacing for every director.
        put(Driven, calc::column::kSpacingInches,
            multiply(multiply(divide(kReflectorToDrivenSpacing, frequency()), kQuarter), kInchesPerFoot));
        put(Director1, calc::column::kSpacingInches,
            multiply(multiply(divide(kDirectorSpacing, frequency()), kQuarter), kInchesPerFoot));
        const std::string directorSpacing = m_grid.cell(Director1, calc::column::kSpacingInches);
        for (std::size_t i = 1; i < kDirectors.size(); ++i)
            m_grid.cell(kDirectors[i], calc::column::kSpacingInches) = directorSpacing;
        put(Driven, calc::column::kSpacingCentimetres,
            multiply(value(Driven, calc::column::kSpacingInches), kCentimetresPerInch));
        for (const calc::ElementRow row : kDirectors)
            put(row, calc::column::kSpacingCentimetres,
                multiply(value(Director1, calc::column::kSpacingInches), kCentimetresPerInch));

        // The boom carries the driven spacing and five director spacings. The feet come from the inches
        // total as displayed; the centimetres add up the displayed centimetre cells.
        putBoom(calc::BoomTotal::Inches,
                add(value(Driven, calc::column::kSpacingInches),
                    multiply(value(Director1, calc::column::kSpacingInches), kDirectorSpacingsOnBoom)));
        putBoom(calc::BoomTotal::Feet, divide(ParseNumber(m_grid.boom(calc::BoomTotal::Inches)), kInchesPerFoot));
        putBoom(calc::BoomTotal::Centimetres,
                add(value(Driven, calc::column::kSpacingCentimetres),
                    multiply(value(Director1, calc::column::kSpacingCentimetres), kDirectorSpacingsOnBoom)));

        m_grid.setBoomCaptionVisible(true);
    }

private:
    // The frequency is read afresh by every step that uses it. Zero fails in the first division; a negative
    // frequency would give negative lengths that look like a result, so it is refused the same way.
    [[nodiscard]] double frequency() const
    {
        const double f = ParseNumber(m_grid.frequencyText());
        if (f < 0)
            throw RuntimeError(ErrorNumber::InvalidArgument);
        return f;
    }

    [[nodiscard]] double value(calc::ElementRow row, int gridColumn) const
    {
        return ParseNumber(m_grid.cell(row, gridColumn));
    }

    void put(calc::ElementRow row, int gridColumn, double v)
    {
        m_grid.cell(row, gridColumn) = FormatNumber(v, kCellFormat);
    }

    void putBoom(calc::BoomTotal total, double v)
    {
        std::string text = FormatNumber(v, kCellFormat);
        text += calc::boomSuffix(total);
        m_grid.setBoomText(total, text);
    }

    calc::MemoryGrid &m_grid;
};

inline void calculateInto(calc::MemoryGrid &scratch)
{
    ReferenceSteps(scratch).run();
}

// Empty when the program's pass gives exactly the reference's texts for `frequency`, and fails where and as
// it fails; otherwise what differs.
inline std::string disagreement(const std::string &frequency)
{
    calc::MemoryGrid fast(frequency);
    calc::MemoryGrid reference(frequency);
    std::optional<ErrorNumber> fastError;
    std::optional<ErrorNumber> referenceError;
    try {
        tarvelin::calc::calculateInto(fast);
    } catch (const RuntimeError &error) {
        fastError = error.number();
    }
    try {
        reference::calculateInto(reference);
    } catch (const RuntimeError &error) {
        referenceError = error.number();
    }
    const std::string quoted = "'" + frequency + "': ";
    if (fastError != referenceError)
        return quoted + "the passes fail differently";
    if (fastError)
        return {};
    for (const calc::ElementRow row : calc::kElementRows)
        for (int c = 0; c < calc::columnCount(row); ++c)
            if (fast.cell(row, c) != reference.cell(row, c))
                return quoted + fast.cell(row, c) + " against " + reference.cell(row, c);
    for (const calc::BoomTotal total : {calc::BoomTotal::Feet, calc::BoomTotal::Inches, calc::BoomTotal::Centimetres})
        if (fast.boom(total) != reference.boom(total))
            return quoted + "boom " + fast.boom(total) + " against " + reference.boom(total);
    return {};
}

} // namespace tarvelin::reference
