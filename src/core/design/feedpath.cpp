// SPDX-License-Identifier: MIT
#include "core/design/feedpath.h"

namespace tarvelin::design {

std::complex<double> FeedPath::onLine(std::complex<double> loopOhms, double mhz) const
{
    return throughMatch(match, loopOhms, mhz, designMHz);
}

double FeedPath::swr(std::complex<double> loopOhms, double mhz) const
{
    const std::complex<double> line = onLine(loopOhms, mhz);
    return swrOf(line.real(), line.imag(), z0Ohms);
}

std::complex<double> FeedPath::atLoop(std::complex<double> analyserOhms, double mhz) const
{
    std::complex<double> z = analyserOhms;
    if (through.run)
        z = design::atFarEnd(*through.run, z, mhz, designMHz);
    if (through.match)
        z = behindMatch(match, z, mhz, designMHz);
    return z;
}

std::complex<double> FeedPath::behindModelledSection(std::complex<double> engineOhms, double mhz) const
{
    return behindSection(match, engineOhms, mhz, designMHz);
}

} // namespace tarvelin::design
