// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include <locale.h>

namespace tarvelin::nec {

// The engine reads a point as the decimal separator, whatever the user's locale: a window's toolkit takes
// the locale from the environment, and a comma there would move every wire. Each card is written in the C
// locale, on this thread alone, while its deck is written.
class CNumbers
{
public:
    CNumbers() : m_c(newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr)))
    {
        if (m_c)
            m_previous = uselocale(m_c);
    }
    ~CNumbers()
    {
        if (m_c) {
            uselocale(m_previous);
            freelocale(m_c);
        }
    }
    CNumbers(const CNumbers &) = delete;
    CNumbers &operator=(const CNumbers &) = delete;

private:
    locale_t m_c;
    locale_t m_previous = static_cast<locale_t>(nullptr);
};

// Copper's conductivity, S/m, as the decks load every wire with it.
inline constexpr double kCopperConductivity = 5.8e7;

// One card of a deck, written with printf's pattern; in the C locale while a CNumbers is alive.
std::string card(const char *pattern, auto... values)
{
    std::array<char, 256> line{};
    const int length = std::snprintf(line.data(), line.size(), pattern, values...);
    return std::string(line.data(), static_cast<std::size_t>(std::max(length, 0)));
}

} // namespace tarvelin::nec
