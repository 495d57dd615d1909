// SPDX-License-Identifier: MIT
#include "core/nec/necoutput.h"

#include "core/design/designlengths.h"
#include "core/format/fieldtext.h"
#include "core/nec/outputtext.h"

#include <charconv>
#include <cmath>

namespace tarvelin::nec {

namespace {

OutputProblem problem(std::string what)
{
    return OutputProblem{"The engine's output " + what};
}

} // namespace

std::variant<std::vector<FrequencyResult>, OutputProblem> parseNecOutput(std::string_view output)
{
    std::vector<FrequencyResult> results;
    Lines lines(output);
    std::string_view line;
    bool haveImpedance = false;
    const auto finishBlock = [&]() -> std::optional<OutputProblem> {
        if (results.empty())
            return std::nullopt;
        if (!haveImpedance)
            return problem("has no feed impedance at " + design::frequencyLabel(results.back().mhz) + " MHz.");
        if (results.back().pattern.empty())
            return problem("has no radiation pattern at " + design::frequencyLabel(results.back().mhz) + " MHz.");
        return std::nullopt;
    };

    while (lines.next(line)) {
        if (line.find("FREQUENCY :") != std::string_view::npos || line.find("FREQUENCY=") != std::string_view::npos) {
            if (auto failed = finishBlock())
                return *failed;
            const std::size_t colon = line.find_first_of(":=");
            const auto fields = fieldsOf(line.substr(colon + 1));
            const std::optional<double> mhz = fields.empty() ? std::nullopt : numberOf(fields[0]);
            if (!mhz)
                return problem("has a frequency that does not read as a number.");
            results.push_back(FrequencyResult{*mhz, 0.0, 0.0, std::nullopt, {}});
            haveImpedance = false;
        } else if (line.find("ANTENNA INPUT PARAMETERS") != std::string_view::npos) {
            if (results.empty())
                return problem("has input parameters before any frequency.");
            // Two heading lines, then the source: tag, segment, voltage, current, impedance, ...
            std::string_view data;
            if (!lines.next(data) || !lines.next(data) || !lines.next(data))
                return problem("ends inside the input parameters.");
            const auto fields = fieldsOf(data);
            const std::optional<double> r = fields.size() >= 8 ? numberOf(fields[6]) : std::nullopt;
            const std::optional<double> x = fields.size() >= 8 ? numberOf(fields[7]) : std::nullopt;
            if (!r || !x)
                return problem("has a feed impedance that does not read as numbers.");
            results.back().resistanceOhms = *r;
            results.back().reactanceOhms = *x;
            haveImpedance = true;
        } else if (line.find("EFFICIENCY") != std::string_view::npos && line.find('=') != std::string_view::npos) {
            const auto fields = fieldsOf(line.substr(line.find('=') + 1));
            if (!results.empty() && !fields.empty())
                results.back().efficiencyPercent = numberOf(fields[0]);
        } else if (line.find("RADIATION PATTERNS") != std::string_view::npos) {
            if (results.empty())
                return problem("has a radiation pattern before any frequency.");
            // Without a source the engine still prints a pattern, of nothing: the missing feed is the fault.
            if (!haveImpedance)
                return problem("has no feed impedance at " + design::frequencyLabel(results.back().mhz) + " MHz.");
            // Headings until the DEGREES line, then one line per direction until a blank one.
            std::string_view row;
            bool headed = false;
            while (lines.next(row)) {
                if (!headed) {
                    headed = row.find("DEGREES") != std::string_view::npos;
                    continue;
                }
                const auto fields = fieldsOf(row);
                // The pattern ends at a blank line, or where the engine echoes its next card.
                if (fields.empty() || !numberOf(fields[0]))
                    break;
                const std::optional<double> theta = fields.size() >= 5 ? numberOf(fields[0]) : std::nullopt;
                const std::optional<double> phi = fields.size() >= 5 ? numberOf(fields[1]) : std::nullopt;
                const std::optional<double> total = fields.size() >= 5 ? numberOf(fields[4]) : std::nullopt;
                if (!theta || !phi || !total)
                    return problem("has a pattern line that does not read as numbers.");
                results.back().pattern.push_back({*theta, *phi, *total});
            }
            if (!headed)
                return problem("ends inside a radiation pattern.");
        }
    }
    if (auto failed = finishBlock())
        return *failed;
    if (results.empty())
        return problem("holds no frequency at all.");
    return results;
}

std::variant<std::vector<std::string_view>, OutputProblem> splitNecOutput(std::string_view output,
                                                                          std::size_t structures)
{
    std::vector<std::string_view> parts;
    Lines lines(output);
    std::string_view line;
    const char *start = output.data();
    while (lines.next(line)) {
        // "  DATA CARD No:   8 NX   0     0 ..."
        const std::vector<std::string_view> fields = fieldsOf(line);
        if (fields.size() < 5 || fields[0] != "DATA" || fields[1] != "CARD" || fields[2] != "No:" || fields[4] != "NX")
            continue;
        const char *end = line.data() + line.size();
        parts.emplace_back(start, static_cast<std::size_t>(end - start));
        start = end;
    }
    parts.emplace_back(start, static_cast<std::size_t>(output.data() + output.size() - start));
    if (parts.size() != structures)
        return problem("holds " + std::to_string(parts.size()) + " structures where " + std::to_string(structures) +
                       " were asked for.");
    return parts;
}

} // namespace tarvelin::nec
