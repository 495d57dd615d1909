// SPDX-License-Identifier: MIT
#include "core/design/bands.h"

#include "core/design/designlengths.h"
#include "core/format/fieldtext.h"
#include "core/text/typedtext.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace tarvelin::design {

namespace {

// "20m", "20 M", "20M": the band's name, compared without blanks and case.
std::optional<AmateurBand> namedBand(std::string_view text)
{
    std::string name;
    for (const char c : text)
        if (c != ' ')
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const AmateurBand &band : kAmateurBands)
        if (band.name == name)
            return band;
    return std::nullopt;
}

std::optional<AmateurBand> bandHolding(double mhz)
{
    for (const AmateurBand &band : kAmateurBands)
        if (mhz >= band.lowestMHz && mhz <= band.highestMHz)
            return band;
    return std::nullopt;
}

std::variant<Band, std::string> readBand(std::string_view entry)
{
    if (const std::optional<AmateurBand> named = namedBand(entry))
        return Band{std::string(named->name), std::string(named->designText), *decimalText(named->designText)};
    const std::optional<double> mhz = megahertzText(entry);
    if (!mhz)
        return "'" + format::terminalSafe(std::string(entry)) + "' is neither a band (" + amateurBandNames() +
               ") nor a frequency in MHz";
    const std::optional<AmateurBand> holding = bandHolding(*mhz);
    if (!holding)
        return shortestText(*mhz) +
               " MHz is in none of the bands a quad of several bands is built for: " + amateurBandNames();
    return Band{std::string(holding->name), std::string(entry), *mhz};
}

} // namespace

std::string amateurBandNames()
{
    std::string names;
    for (std::size_t i = 0; i < kAmateurBands.size(); ++i)
        names += (i == 0 ? "" : i + 1 == kAmateurBands.size() ? " or " : ", ") + std::string(kAmateurBands[i].name);
    return names;
}

std::variant<std::vector<Band>, std::string> readBands(std::string_view text)
{
    std::vector<Band> bands;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view entry = trimmedText(text.substr(start, comma - start));
        start = comma + 1;
        if (entry.empty())
            return std::string("Give the bands as names or frequencies separated by commas, such as 20m,15m,10m");
        auto read = readBand(entry);
        if (const auto *refusal = std::get_if<std::string>(&read))
            return *refusal;
        Band band = std::get<Band>(std::move(read));
        if (std::any_of(bands.begin(), bands.end(), [&band](const Band &b) { return b.name == band.name; }))
            return band.name + " is given twice: each band has one set of loops";
        bands.push_back(std::move(band));
    }
    if (bands.size() > kMostBands)
        return "Give at most " + std::to_string(kMostBands) + " bands, not " + std::to_string(bands.size());
    std::sort(bands.begin(), bands.end(), [](const Band &a, const Band &b) { return a.designMHz < b.designMHz; });
    return bands;
}

} // namespace tarvelin::design
