// SPDX-License-Identifier: MIT
#pragma once

#include "core/runtime/runtimeerror.h"

#include <vector>

namespace tarvelin {

// Controls that share a name and are told apart by index, such as one row of the result grid. An index with
// no member is a run-time error, never an empty control.
template <typename Control> class ControlArray
{
public:
    void append(Control *control) { m_members.push_back(control); }

    [[nodiscard]] Control *member(int index) const
    {
        if (index < 0 || index >= static_cast<int>(m_members.size()))
            throw RuntimeError(ErrorNumber::NoSuchMember);
        return m_members[static_cast<std::size_t>(index)];
    }

    [[nodiscard]] int size() const { return static_cast<int>(m_members.size()); }

private:
    std::vector<Control *> m_members;
};

} // namespace tarvelin
