// SPDX-License-Identifier: MIT
#pragma once

#include "core/format/resulttable.h"
#include "core/touchstone/touchstone.h"

#include <string>
#include <string_view>
#include <variant>

namespace tarvelin::format {
class JsonWriter;
}

namespace tarvelin::measure {

// A cable's velocity factor from an analyser's sweep of a cut piece of it, open at its far end. Below a
// quarter wavelength the piece looks capacitive; at a quarter wavelength it turns inductive through its
// lowest impedance, its first series resonance, so VF = 4 · length · f / c there.
struct StubReading
{
    double resonanceMHz = 0.0; // where the reactance turns from capacitive to inductive
    double velocityFactor = 0.0;
};

namespace limits {
inline constexpr double kShortestStubMetres = 0.01;
inline constexpr double kLongestStubMetres = 100.0;
} // namespace limits

// Reads the piece's length as typed, with its unit, since a bare number could be any ("1 m", "39-3/8 in",
// "3.28 ft"), in metres; a refusal names the limits.
[[nodiscard]] std::variant<double, std::string> readStubLength(const std::string &text);

// The velocity factor of a piece `lengthMetres` long from its sweep; where the sweep shows no series resonance
// of an open piece (it starts inductive, or never turns so), a refusal saying what to sweep instead, which the
// caller gives with the file's name.
[[nodiscard]] std::variant<StubReading, std::string> stubVelocityFactor(const touchstone::Sweep &sweep,
                                                                        double lengthMetres);

// "Velocity factor 0.660: the piece's first series resonance lies at 49.466 MHz, where 1.000 m is a quarter
// wavelength."
[[nodiscard]] std::string stubReadingText(const StubReading &reading, double lengthMetres);

// The reading as one row for the files: the sweep's file, the piece's length, the resonance and the factor.
[[nodiscard]] format::ResultTable stubTable(std::string_view file, double lengthMetres, const StubReading &reading);
void writeStubJson(format::JsonWriter &json, std::string_view file, double lengthMetres, const StubReading &reading);

} // namespace tarvelin::measure
