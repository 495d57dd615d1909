// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarvelin::nec {

// What nec2c writes for a direction with no field: its floor, -999.99 dBi. A gain at or below this is none.
inline constexpr double kPatternFloorDbi = -999.0;

// One direction of a radiation pattern: the angles in degrees and the total gain in dBi.
struct PatternPoint
{
    double thetaDegrees = 0.0;
    double phiDegrees = 0.0;
    double totalGainDbi = 0.0;
};

// What the engine computed at one frequency.
struct FrequencyResult
{
    double mhz = 0.0;
    double resistanceOhms = 0.0;
    double reactanceOhms = 0.0;
    std::optional<double> efficiencyPercent;
    std::vector<PatternPoint> pattern;
};

struct OutputProblem
{
    std::string message;
};

// Reads the engine's printed output: for every frequency block, the feed impedance, the efficiency and the
// radiation pattern. A block without its impedance or its pattern, or a value that does not read as a
// number, is a problem, never a zero.
[[nodiscard]] std::variant<std::vector<FrequencyResult>, OutputProblem> parseNecOutput(std::string_view output);

// The output of a joined deck, one text per structure in deck order: the engine echoes each next-structure
// card where one structure's output ends and the next begins. A different count of structures is a problem.
[[nodiscard]] std::variant<std::vector<std::string_view>, OutputProblem> splitNecOutput(std::string_view output,
                                                                                        std::size_t structures);

} // namespace tarvelin::nec
