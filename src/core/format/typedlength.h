// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvelin::format {

// A length the user typed, for the shop sheet's lengths and the check's boom height alike: in the sheet's own
// notation ("1' 2-1/2\"", "2-1/2\"", "2 1/2", "3/4", "2 ft 3 in"), in decimal inches ("2.5", "2.5 in",
// "2.5\""), or in mm, cm, m or ft ("60 mm", "15 m", "50 ft"); rounded to whole thousandths of an inch, halves
// away from zero, so a length that rounds to nothing is zero. None when it is not a length.
[[nodiscard]] std::optional<std::int64_t> typedLengthThousandths(std::string_view text);

// A length asked for in metres or feet (a boom, a height, a run of line): read as above, in metres to the
// tenth of a millimetre, so "7.5 m" is 7.5 m and not the thousandth of an inch nearest it. Its unit must be
// written, since a bare number could be either: none for "7", and for anything that is not a length.
[[nodiscard]] std::optional<double> typedMetres(std::string_view text);
// Whether the text is a number with no unit after it, which typedMetres refuses.
[[nodiscard]] bool lacksUnit(std::string_view text);

} // namespace tarvelin::format
