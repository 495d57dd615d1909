// SPDX-License-Identifier: MIT
#pragma once

#include "core/nec/necoutput.h"
#include "core/nec/nesteddeck.h"

#include <complex>
#include <optional>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

namespace tarvelin::nec {

// The far field in one direction, times the distance, as the engine prints it: volts, theta and phi parts.
struct FarField
{
    std::complex<double> theta;
    std::complex<double> phi;
};

// A nested quad's drivers as the engine sees them at one frequency, each excited in turn at 1 V with the
// others' feeds closed: the currents at every driver's feed (the ports' admittance matrix), and the far
// field of each excitation around the azimuth, forward first.
struct NPort
{
    double mhz = 0.0;
    std::vector<std::vector<std::complex<double>>> admittance; // [i][j]: the current at port i for 1 V at port j
    std::vector<PatternPoint> directions;                      // their angles; the gains are the fields' to give
    std::vector<std::vector<FarField>> fields;                 // [j][direction]: for 1 V at port j
};

// Reads the output of a nested deck: for each frequency, one excitation a port in the deck's order. An
// excitation missing, a port's current missing or a figure that does not read is a problem.
[[nodiscard]] std::variant<std::vector<NPort>, OutputProblem> parseNPortOutput(std::string_view output,
                                                                               std::span<const DeckPort> ports);

// How an idle driver's feed is ended at one frequency: the impedance across it, none for an open end.
// A closed (shorted) feed is 0 ohms.
using PortEnd = std::optional<std::complex<double>>;

// One driver fed, every other ended as `ends` says (the fed port's own entry is ignored): its feed impedance
// and its gain in every direction of the N-port's, from the N-port alone.
struct PortFigures
{
    std::complex<double> feedOhms;
    std::vector<PatternPoint> pattern;
    double forwardGainDbi = 0.0; // phi 0
    double backGainDbi = 0.0;    // phi 180
    [[nodiscard]] double frontToBackDb() const { return forwardGainDbi - backGainDbi; }
};
[[nodiscard]] PortFigures fedWith(const NPort &nport, std::size_t fed, std::span<const PortEnd> ends);

} // namespace tarvelin::nec
