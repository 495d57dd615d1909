// SPDX-License-Identifier: MIT
#include "core/measure/stubsweep.h"

#include "core/design/designlengths.h"
#include "core/design/arraydesign.h"
#include "core/format/fieldtext.h"
#include "core/format/jsonwriter.h"
#include "core/format/typedlength.h"

#include <algorithm>
#include <cmath>

namespace tarvelin::measure {

std::variant<double, std::string> readStubLength(const std::string &text)
{
    if (format::lacksUnit(text))
        return "The piece's length needs its unit, such as 1 m, 100 cm, 39-3/8 in or 3.28 ft.";
    const double metres = format::typedMetres(text).value_or(0.0);
    if (!(metres >= limits::kShortestStubMetres && metres <= limits::kLongestStubMetres))
        return "The piece's length must be " + format::fixedText(limits::kShortestStubMetres * 100.0, 0) + " cm to " +
               format::fixedText(limits::kLongestStubMetres, 0) + " m, such as 1 m or 39-3/8 in.";
    return metres;
}

std::variant<StubReading, std::string> stubVelocityFactor(const touchstone::Sweep &sweep, double lengthMetres)
{
    const std::vector<touchstone::Sample> &samples = sweep.samples;
    const auto reactance = [&samples](std::size_t i) { return samples[i].impedanceOhms.imag(); };
    if (samples.empty() || !(reactance(0) < 0.0))
        return "The piece looks inductive from the sweep's first frequency on, so its first series "
               "resonance lies below the sweep, or its far end is shorted: sweep from lower, with the far "
               "end open.";
    double largest = 0.0;
    for (const touchstone::Sample &sample : samples)
        if (std::isfinite(std::abs(sample.impedanceOhms)))
            largest = std::max(largest, std::abs(sample.impedanceOhms));
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (!(reactance(i - 1) < 0.0 && reactance(i) >= 0.0))
            continue;
        // Where the reactance passes zero, between the two points; a series resonance is a dip of |Z|, where a
        // parallel one is a peak.
        const double share = reactance(i - 1) / (reactance(i - 1) - reactance(i));
        const double mhz = samples[i - 1].mhz + share * (samples[i].mhz - samples[i - 1].mhz);
        const double dip = std::min(std::abs(samples[i - 1].impedanceOhms), std::abs(samples[i].impedanceOhms));
        if (!(dip < largest / 3.0))
            break;
        const double vf = 4.0 * lengthMetres * mhz / design::kSpeedOfLightMetresPerMicrosecond;
        if (!(vf > 0.0 && vf <= 1.0))
            return "Its series resonance at " + design::frequencyLabel(mhz) + " MHz gives a velocity factor of " +
                   format::fixedText(vf, 3) + " for " + format::fixedText(lengthMetres, 3) +
                   " m, which no cable has: check the piece's length.";
        return StubReading{mhz, vf};
    }
    return "The piece's impedance never dips where its reactance turns from capacitive to inductive, so "
           "the sweep holds no series resonance: sweep across the frequency where the piece is a quarter "
           "wavelength, with its far end open.";
}

std::string stubReadingText(const StubReading &reading, double lengthMetres)
{
    return "Velocity factor " + format::fixedText(reading.velocityFactor, 3) +
           ": the piece's first series resonance lies at " + design::frequencyLabel(reading.resonanceMHz) +
           " MHz, where " + format::fixedText(lengthMetres, 3) + " m is a quarter wavelength.";
}

format::ResultTable stubTable(std::string_view file, double lengthMetres, const StubReading &reading)
{
    format::ResultTable table;
    table.columns = {{"file", "Sweep", true, true, {}, true},
                     {"length_m", "Piece (m)"},
                     {"resonance_mhz", "Series resonance (MHz)", true, false, {}, false, format::Figure::Megahertz},
                     {"velocity_factor", "Velocity factor"}};
    table.rows.push_back({{std::string(file), std::nullopt},
                          {format::fixedText(lengthMetres, 3), lengthMetres},
                          {design::frequencyLabel(reading.resonanceMHz), reading.resonanceMHz},
                          {format::fixedText(reading.velocityFactor, 3), reading.velocityFactor}});
    return table;
}

void writeStubJson(format::JsonWriter &json, std::string_view file, double lengthMetres, const StubReading &reading)
{
    json.beginRecord()
        .text("file", file)
        .number("length_m", lengthMetres, format::Figure::Exact)
        .number("resonance_mhz", reading.resonanceMHz, format::Figure::Megahertz)
        .number("velocity_factor", std::round(reading.velocityFactor * 1000.0) / 1000.0, format::Figure::Exact)
        .endRecord();
}

} // namespace tarvelin::measure
