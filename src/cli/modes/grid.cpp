// SPDX-License-Identifier: MIT
// The grid, as the window shows it; and Dec2Frac's fractions of values.
#include "cli/mode.h"
#include "cli/session.h"

#include "core/calc/calculationpass.h"
#include "core/calc/dec2frac.h"
#include "core/runtime/runtimeerror.h"

#include <cstdlib>

namespace tarvelin::cli {

namespace {

// The steps straight into the grid the output is written from: nothing is on display here, so there is no
// need for the pass's scratch copy; a refused frequency is reported with the window's message.
void calculate(Session &session, std::string_view frequencyText)
{
    calc::MemoryGrid &grid = session.grid();
    grid.setFrequencyText(std::string(frequencyText));
    try {
        calc::calculateInto(grid);
    } catch (const RuntimeError &) {
        session.fail(frequencyText, calc::kRefusedFrequencyMessage, ResultKind::Grid);
        return;
    }
    session.writer().appendGrid(session.buffer(), frequencyText, grid);
}

// A fraction value is read as the nearest double, in decimal or exponent form, and must be the whole text
// but for surrounding blanks. Beyond the double range it reads as an infinity or a zero, as strtod rounds;
// this program never changes the C locale, so strtod's point is ".".
std::optional<double> readValue(std::string_view text)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (text.empty() || text.find_first_of("xX") != std::string_view::npos)
        return std::nullopt;
    const std::string copy(text);
    char *end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size())
        return std::nullopt;
    return value;
}

void fraction(Session &session, std::string_view valueText)
{
    const std::optional<double> value = readValue(valueText);
    if (!value) {
        session.fail(valueText, "Not a number", ResultKind::Fraction);
        return;
    }
    try {
        session.writer().appendFraction(session.buffer(), valueText, calc::Dec2Frac(*value));
    } catch (const RuntimeError &error) {
        session.fail(valueText,
                     error.number() == ErrorNumber::Overflow
                         ? std::string(error.description()) + ": " + calc::overflowMeaning(*value)
                         : std::string(error.description()),
                     ResultKind::Fraction);
    }
}

constexpr std::array<OptionUse, 1> kFormatOnly{{{options::kFormat}}};

} // namespace

const ModeDeclaration kGridMode{
    Mode::Grid,
    {},
    "the grid",
    "[--format table|csv|json] [FREQUENCY ...]",
    R"(Calculates a seven-element cubical quad (reflector, driven element, five
directors) for each centre FREQUENCY in megahertz, with exactly the texts the
Tarvelin window shows: loop length, one side, spreader half and total length,
and element spacing, in inches and centimetres, and the total boom length.
The shop sheet, the deck, the check and the tune take an array of two to
seven of those elements.

A FREQUENCY is read as the window reads it: the number at its start, so
"14.2 MHz" is 14.2. With no FREQUENCY, one frequency is read from each line
of standard input and each result is written as soon as its line is read.
The modes below exclude each other, and an option of one mode is refused in
another.
)",
    kFormatOnly,
    calculate,
    nullptr,
};

const ModeDeclaration kFractionsMode{
    Mode::Fractions, "--fraction", "--fraction", "[--format table|csv|json] --fraction [VALUE ...]",
    R"(Fractions:
  --fraction       instead of calculating, print the fraction of each VALUE
                   (decimal or exponent form, read as the nearest double),
                   such as 3/8 for 0.375. A positive VALUE gets the fraction
                   with the smallest denominator that equals it as a double
                   (whole numbers over 1). Zero and negative values never take
                   the denominator 1: 0 gives 0/2, -3 gives -6/2, -0.75 -3/4.
)",   kFormatOnly,  fraction,     nullptr,
};

} // namespace tarvelin::cli
