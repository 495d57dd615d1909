// SPDX-License-Identifier: MIT
#include "core/design/coaxtable.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

namespace tarvelin::design {

namespace {

// The figures of resources/data/coax-lines.csv, as the makers' sheets print them (dB per 100 ft). They were
// gathered from those sheets by the TA3HX Coax Cable Database (https://github.com/TA3HRJ/coax-cable-database),
// whose data is licensed CC BY 4.0.
constexpr CoaxPoint kRg213[] = {{1, 0.17},  {10, 0.55}, {50, 1.3},  {100, 1.9}, {200, 2.7},
                                {400, 4.1}, {700, 6.5}, {900, 7.6}, {1000, 8},  {4000, 21.5}};
constexpr CoaxPoint kRg8x[] = {{1, 0.3},   {10, 0.9},  {50, 2.1},   {100, 3.1},  {200, 4.5},
                               {400, 6.6}, {700, 9.1}, {900, 10.7}, {1000, 11.2}};
constexpr CoaxPoint kRg58[] = {{1, 0.4},    {10, 1.5},   {50, 3.7},   {100, 5.4},  {200, 8.1},
                               {400, 12.4}, {700, 17.7}, {900, 21.1}, {1000, 22.8}};
constexpr CoaxPoint kLmr400[] = {{30, 0.7},  {50, 0.9},   {150, 1.5},  {220, 1.9}, {450, 2.7},  {700, 3.42},
                                 {900, 3.9}, {1500, 5.1}, {1800, 5.7}, {2000, 6},  {2500, 6.8}, {5800, 10.8}};
constexpr CoaxPoint kRg6[] = {{1, 0.24},    {3.58, 0.44}, {5, 0.52},    {6, 0.57},    {7, 0.61},    {10, 0.71},
                              {12, 0.78},   {25, 1.08},   {67.5, 1.65}, {71.5, 1.69}, {88.5, 1.86}, {100, 1.95},
                              {135, 2.24},  {143, 2.3},   {180, 2.57},  {270, 3.17},  {360, 3.69},  {540, 4.5},
                              {720, 5.3},   {750, 5.4},   {1000, 6.3},  {1500, 7.8},  {2000, 9.2},  {2250, 9.8},
                              {3000, 11.5}, {4500, 14.5}, {6000, 17.7}};
constexpr CoaxPoint kRg11[] = {{1, 0.2},   {10, 0.7},  {50, 1.3},  {100, 2},   {200, 2.9},
                               {400, 4.2}, {700, 5.8}, {900, 6.8}, {1000, 7.1}};
constexpr CoaxPoint kRg11Foam[] = {{1, 0.2},   {10, 0.5},  {50, 0.9}, {100, 1.3}, {200, 1.6},
                                   {400, 2.3}, {700, 3.3}, {900, 4},  {1000, 4.3}};
constexpr CoaxPoint kRg59[] = {{1, 0.6}, {10, 1.1},  {50, 2.4},   {100, 3.4}, {200, 4.9},
                               {400, 7}, {700, 9.7}, {900, 11.1}, {1000, 12}};
constexpr CoaxPoint kRg62[] = {{1, 0.3},   {10, 0.9},  {50, 1.9},  {100, 2.7}, {200, 3.8},
                               {400, 5.3}, {700, 7.3}, {900, 8.2}, {1000, 8.7}};

constexpr std::array kCables{
    CoaxCable{"RG-213", 50, 0.66, "Belden 8267", kRg213},
    CoaxCable{"RG-8X", 50, 0.82, "Belden 9258", kRg8x},
    CoaxCable{"RG-58", 50, 0.66, "Belden 8259", kRg58},
    CoaxCable{"LMR-400", 50, 0.85, "Times Microwave LMR-400", kLmr400},
    CoaxCable{"RG-6", 75, 0.82, "Belden 1694A", kRg6},
    CoaxCable{"RG-11", 75, 0.66, "Belden 8261 (solid PE)", kRg11},
    CoaxCable{"RG-11 foam", 75, 0.84, "Belden 9292 (foam PE)", kRg11Foam},
    CoaxCable{"RG-59", 75, 0.66, "Belden 8263 (RG-59B/U)", kRg59},
    CoaxCable{"RG-62", 93, 0.84, "Belden 9269 (RG-62A/U)", kRg62},
};

constexpr double kFeetPerMetre = 1.0 / 0.3048;

// The name without blanks around it and without a trailing "/U", for comparing in any case.
std::string_view bareName(std::string_view name)
{
    while (!name.empty() && name.front() == ' ')
        name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    if (name.size() > 2 && name[name.size() - 2] == '/' && (name.back() == 'U' || name.back() == 'u'))
        name.remove_suffix(2);
    return name;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::span<const CoaxCable> coaxCables()
{
    return kCables;
}

const CoaxCable *findCoaxCable(std::string_view name)
{
    const std::string_view bare = bareName(name);
    for (const CoaxCable &cable : kCables)
        if (sameName(bare, cable.name))
            return &cable;
    return nullptr;
}

std::string coaxNamesText()
{
    std::string text;
    for (std::size_t i = 0; i < kCables.size(); ++i) {
        if (i > 0)
            text += i + 1 == kCables.size() ? " or " : ", ";
        text += kCables[i].name;
    }
    return text;
}

CoaxLossFit coaxLossFit(const CoaxCable &cable)
{
    // Least squares of (k1·√f + k2·f) / L − 1 over the points: the normal equations of a two-term fit, each
    // term divided by the printed loss L.
    double a11 = 0, a12 = 0, a22 = 0, b1 = 0, b2 = 0;
    for (const CoaxPoint &point : cable.points) {
        const double x1 = std::sqrt(point.mhz) / point.lossDbPer100ft;
        const double x2 = point.mhz / point.lossDbPer100ft;
        a11 += x1 * x1;
        a12 += x1 * x2;
        a22 += x2 * x2;
        b1 += x1;
        b2 += x2;
    }
    CoaxLossFit fit;
    const double det = a11 * a22 - a12 * a12;
    fit.k1 = (b1 * a22 - b2 * a12) / det;
    fit.k2 = (a11 * b2 - a12 * b1) / det;
    // A dielectric loss below zero is no cable's: where the points ask for one, the conductor's term alone.
    if (fit.k2 < 0.0)
        fit = {b1 / a11, 0.0};
    if (fit.k1 < 0.0)
        fit = {0.0, b2 / a22};
    return {fit.k1 * kFeetPerMetre, fit.k2 * kFeetPerMetre};
}

double coaxLossDbPer100m(const CoaxCable &cable, double mhz)
{
    for (const CoaxPoint &point : cable.points)
        if (point.mhz == mhz)
            return point.lossDbPer100ft * kFeetPerMetre;
    const CoaxLossFit fit = coaxLossFit(cable);
    return fit.k1 * std::sqrt(mhz) + fit.k2 * mhz;
}

} // namespace tarvelin::design
