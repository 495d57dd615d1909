// SPDX-License-Identifier: MIT
#include "core/calc/resultgrid.h"

namespace tarvelin::calc {

std::string_view elementRowName(ElementRow row)
{
    static constexpr std::array<std::string_view, kElementRowCount> kNames{
        "Reflector", "Driven", "Director 1", "Director 2", "Director 3", "Director 4", "Director 5",
    };
    return kNames[static_cast<std::size_t>(rowIndex(row))];
}

std::string_view boomSuffix(BoomTotal total)
{
    switch (total) {
    case BoomTotal::Feet:
        return " FT.";
    case BoomTotal::Inches:
        return " IN.";
    case BoomTotal::Centimetres:
        return " CM.";
    }
    return {};
}

} // namespace tarvelin::calc
