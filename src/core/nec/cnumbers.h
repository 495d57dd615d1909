// SPDX-License-Identifier: MIT
#pragma once

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

} // namespace tarvelin::nec
