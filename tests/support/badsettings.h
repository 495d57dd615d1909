// SPDX-License-Identifier: MIT
#pragma once

// Settings that are refused, with the one text both tarvelin-calc and the windows give for each: the tests
// of each run the same table, so the two cannot drift apart. The frequency is 14.2 MHz throughout.
struct BadSetting
{
    const char *option; // tarvelin-calc's option; its mode comes first among the arguments
    const char *mode;
    const char *field; // the window's field of the same setting
    const char *text;
    const char *refusal;
};

inline constexpr BadSetting kBadSettings[] = {
    {"--allowance", "--shop", "allowance", "-2",
     "The wire allowance must be a length from 0 to 1000 in, such as 2.5 in, 2-1/2\" or 60 mm."},
    {"--allowance", "--shop", "allowance", "lots",
     "The wire allowance must be a length from 0 to 1000 in, such as 2.5 in, 2-1/2\" or 60 mm."},
    {"--hub-offset", "--shop", "hubOffset", "-1 in",
     "The hub offset must be a length of 0 or more, such as 1 in or 25 mm, and shorter than the shortest spreader "
     "half."},
    {"--hub-offset", "--shop", "hubOffset", "132.253",
     "The hub offset must be a length of 0 or more and shorter than the shortest spreader half (132.253 in)."},
    {"--measured", "--shop", "measured", "12.7",
     "The measured resonance must be a frequency in MHz within 10 % of the design frequency."},
    {"--ground-height", "--analyse", "height", "0 m",
     "The boom height must be a length above the ground and below 1000 m, such as 15 m or 50 ft."},
    {"--ground-height", "--analyse", "height", "2 km",
     "The boom height must be a length above the ground and below 1000 m, such as 15 m or 50 ft."},
    {"--boom", "--tune", "boom", "0 m",
     "The boom length must be a length above 0 and below 1000 m, such as 7.5 m or 25 ft."},
    {"--boom", "--tune", "boom", "long",
     "The boom length must be a length above 0 and below 1000 m, such as 7.5 m or 25 ft."},
    {"--ground-height", "--analyse", "height", "1 m",
     "The boom height must be more than half the reflector's side (2.83 m), so every loop stays above the ground."},
};
