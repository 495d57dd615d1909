// SPDX-License-Identifier: MIT
#include "core/nec/nport.h"

#include "core/design/designlengths.h"
#include "core/nec/outputtext.h"

#include <cmath>
#include <numbers>

namespace tarvelin::nec {

namespace {

using Complex = std::complex<double>;

// The impedance of free space the engine works with, ohms.
constexpr double kFreeSpaceOhms = 376.73;

OutputProblem problem(std::string what)
{
    return OutputProblem{"The engine's output " + what};
}

Complex polar(double magnitude, double degrees)
{
    return std::polar(magnitude, degrees * std::numbers::pi / 180.0);
}

// One excitation's currents table: the current of the `segment`-th segment of each port's tag.
std::optional<std::vector<Complex>> portCurrents(Lines &lines, std::span<const DeckPort> ports)
{
    std::vector<std::optional<Complex>> found(ports.size());
    std::string_view row;
    bool headed = false;
    int tagNow = -1;
    int inTag = 0;
    while (lines.next(row)) {
        const auto fields = fieldsOf(row);
        if (!headed) {
            headed = !fields.empty() && fields[0] == "No:";
            continue;
        }
        if (fields.size() < 10 || !numberOf(fields[0]))
            break;
        const std::optional<double> tag = numberOf(fields[1]);
        const std::optional<double> re = numberOf(fields[6]);
        const std::optional<double> im = numberOf(fields[7]);
        if (!tag || !re || !im)
            return std::nullopt;
        inTag = static_cast<int>(*tag) == tagNow ? inTag + 1 : 1;
        tagNow = static_cast<int>(*tag);
        for (std::size_t p = 0; p < ports.size(); ++p)
            if (ports[p].tag == tagNow && ports[p].segment == inTag)
                found[p] = Complex(*re, *im);
    }
    std::vector<Complex> currents;
    for (const std::optional<Complex> &current : found) {
        if (!current)
            return std::nullopt;
        currents.push_back(*current);
    }
    return currents;
}

// A pattern's directions and the field in each, as theta and phi parts.
std::optional<std::pair<std::vector<PatternPoint>, std::vector<FarField>>> patternFields(Lines &lines)
{
    std::string_view row;
    std::vector<PatternPoint> directions;
    std::vector<FarField> fields;
    bool headed = false;
    while (lines.next(row)) {
        const auto columns = fieldsOf(row);
        if (!headed) {
            headed = row.find("DEGREES") != std::string_view::npos;
            continue;
        }
        if (columns.size() < 12 || !numberOf(columns[0]))
            break;
        const auto value = [&columns](std::size_t i) { return numberOf(columns[i]); };
        if (!value(1) || !value(8) || !value(9) || !value(10) || !value(11))
            return std::nullopt;
        directions.push_back({*value(0), *value(1), 0.0});
        fields.push_back({polar(*value(8), *value(9)), polar(*value(10), *value(11))});
    }
    if (fields.empty())
        return std::nullopt;
    return std::pair{std::move(directions), std::move(fields)};
}

// Solves a small dense complex system in place by Gaussian elimination with partial pivoting.
std::vector<Complex> solve(std::vector<std::vector<Complex>> a, std::vector<Complex> b)
{
    const std::size_t n = b.size();
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t row = col + 1; row < n; ++row)
            if (std::abs(a[row][col]) > std::abs(a[pivot][col]))
                pivot = row;
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        for (std::size_t row = col + 1; row < n; ++row) {
            const Complex factor = a[row][col] / a[col][col];
            for (std::size_t k = col; k < n; ++k)
                a[row][k] -= factor * a[col][k];
            b[row] -= factor * b[col];
        }
    }
    std::vector<Complex> x(n);
    for (std::size_t row = n; row-- > 0;) {
        Complex sum = b[row];
        for (std::size_t k = row + 1; k < n; ++k)
            sum -= a[row][k] * x[k];
        x[row] = sum / a[row][row];
    }
    return x;
}

double gainDbi(const FarField &field, double inputWatts)
{
    const double squared = std::norm(field.theta) + std::norm(field.phi);
    return 10.0 * std::log10(4.0 * std::numbers::pi * squared / (2.0 * kFreeSpaceOhms * inputWatts));
}

} // namespace

std::variant<std::vector<NPort>, OutputProblem> parseNPortOutput(std::string_view output,
                                                                 std::span<const DeckPort> ports)
{
    std::vector<NPort> nports;
    std::size_t excited = 0;
    Lines lines(output);
    std::string_view line;
    const auto complete = [&]() {
        return nports.empty() || (excited == ports.size() && nports.back().fields.size() == ports.size());
    };
    while (lines.next(line)) {
        if (line.find("FREQUENCY :") != std::string_view::npos) {
            if (!complete())
                return problem("has fewer excitations than drivers at " + design::frequencyLabel(nports.back().mhz) +
                               " MHz.");
            const auto fields = fieldsOf(line.substr(line.find(':') + 1));
            const std::optional<double> mhz = fields.empty() ? std::nullopt : numberOf(fields[0]);
            if (!mhz)
                return problem("has a frequency that does not read as a number.");
            NPort next;
            next.mhz = *mhz;
            next.admittance.assign(ports.size(), std::vector<Complex>(ports.size()));
            nports.push_back(std::move(next));
            excited = 0;
        } else if (line.find("CURRENTS AND LOCATION") != std::string_view::npos) {
            if (nports.empty() || excited >= ports.size())
                return problem("has more excitations than drivers.");
            const std::optional<std::vector<Complex>> currents = portCurrents(lines, ports);
            if (!currents)
                return problem("lacks a driver's feed current at " + design::frequencyLabel(nports.back().mhz) +
                               " MHz.");
            for (std::size_t i = 0; i < ports.size(); ++i)
                nports.back().admittance[i][excited] = (*currents)[i]; // for 1 V at the excited port
            ++excited;
        } else if (line.find("RADIATION PATTERNS") != std::string_view::npos) {
            auto pattern = patternFields(lines);
            if (!pattern || nports.empty() || nports.back().fields.size() + 1 != excited ||
                (!nports.back().directions.empty() && nports.back().directions.size() != pattern->first.size()))
                return problem("has a radiation pattern that does not read as the deck asked for it.");
            nports.back().directions = std::move(pattern->first);
            nports.back().fields.push_back(std::move(pattern->second));
        }
    }
    if (nports.empty())
        return problem("holds no frequency at all.");
    if (!complete())
        return problem("ends before every driver was excited.");
    return nports;
}

PortFigures fedWith(const NPort &nport, std::size_t fed, std::span<const PortEnd> ends)
{
    // The fed port at 1 V; a closed end at 0 V; every other end's voltage from its current through its load,
    // sum over j of Y_kj V_j + V_k / Z_k = 0, an open end's load taking no current.
    const std::size_t n = nport.admittance.size();
    std::vector<std::size_t> free;
    for (std::size_t k = 0; k < n; ++k)
        if (k != fed && !(ends[k] && std::abs(*ends[k]) == 0.0))
            free.push_back(k);
    std::vector<std::vector<Complex>> a(free.size(), std::vector<Complex>(free.size()));
    std::vector<Complex> b(free.size());
    for (std::size_t r = 0; r < free.size(); ++r) {
        const std::size_t k = free[r];
        for (std::size_t c = 0; c < free.size(); ++c)
            a[r][c] = nport.admittance[k][free[c]];
        if (ends[k])
            a[r][r] += 1.0 / *ends[k];
        b[r] = -nport.admittance[k][fed];
    }
    std::vector<Complex> voltages(n);
    voltages[fed] = 1.0;
    const std::vector<Complex> solved = solve(std::move(a), std::move(b));
    for (std::size_t r = 0; r < free.size(); ++r)
        voltages[free[r]] = solved[r];

    Complex current = 0.0;
    for (std::size_t j = 0; j < n; ++j)
        current += nport.admittance[fed][j] * voltages[j];
    const double inputWatts = 0.5 * current.real(); // 1 V across the feed
    PortFigures figures{1.0 / current, {}, 0.0, 0.0};
    for (std::size_t d = 0; d < nport.directions.size(); ++d) {
        FarField field;
        for (std::size_t j = 0; j < n; ++j) {
            field.theta += voltages[j] * nport.fields[j][d].theta;
            field.phi += voltages[j] * nport.fields[j][d].phi;
        }
        PatternPoint point = nport.directions[d];
        point.totalGainDbi = gainDbi(field, inputWatts);
        figures.pattern.push_back(point);
        if (point.phiDegrees == 0.0)
            figures.forwardGainDbi = point.totalGainDbi;
        else if (point.phiDegrees == 180.0)
            figures.backGainDbi = point.totalGainDbi;
    }
    return figures;
}

} // namespace tarvelin::nec
