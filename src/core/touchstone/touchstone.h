// SPDX-License-Identifier: MIT
#pragma once

#include <complex>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarvelin::touchstone {

// One frequency of a sweep: the impedance at the first port, whatever form the file gave it in.
struct Sample
{
    double mhz = 0.0;
    std::complex<double> impedanceOhms;
};

// An analyser's sweep as read from its file.
struct Sweep
{
    std::vector<Sample> samples; // two or more, frequencies rising
    double referenceOhms = 50.0; // the first port's, as the file gives it
    int ports = 1;
};

// Reads the text of a Touchstone file, version 1 or 2, of any number of ports; of a two-port file only S11
// (Z11, Y11) is kept, and a noise block is skipped. A file that cannot be read whole is refused with a
// sentence naming `name`, the line and what is wrong with it: "sweep.s1p, line 12: ...". `name` also tells
// the port count of a version 1 file by its ending (.s1p, .s2p). A sweep that reflects everything at every
// point is no antenna's, and is refused too.
[[nodiscard]] std::variant<Sweep, std::string> readSweep(std::string_view text, std::string_view name);

// The text of a one-port file of `samples`: each of `comments` as a "!" line, the option line
// "# MHz S RI R <z0>", then one line per sample with the reflection against z0 ohms. Numbers are written
// the same whatever the user's locale, with every digit needed to read them back as they were.
[[nodiscard]] std::string writeSweep(std::span<const std::string> comments, std::span<const Sample> samples,
                                     double z0Ohms);

} // namespace tarvelin::touchstone
