// SPDX-License-Identifier: MIT
#pragma once

#include "cli/options.h"

#include <CLI/CLI.hpp>

#include <array>
#include <iosfwd>
#include <string>
#include <vector>

// What the option reading shares between its files: the options as given, and the readers of those of a
// single value.
namespace tarvelin::cli {

// The options as given, their values still texts, and the parser that took them.
struct Given
{
    CLI::App app;
    std::string format;
    std::array<bool, 6> modes{};
    std::string band;
    std::string timeLimit;
    std::string designLimit;
    std::string elements;
    std::string processes;
    std::string goalSwr;
    std::string goalFb;
    std::string boom;
    design::MatchTexts matchTexts;
    std::vector<std::string> matches; // --match as given, once or once a band
    shop::ShopSettingTexts shopTexts;
    design::CheckSettingTexts checkTexts;
    std::string groundHeight;
    std::vector<std::string> cuts;
    std::string through;
    std::string stubLength;
    std::string bands;
    std::string layout;
    std::string spacing;
    std::string spiderAngle;
    std::string shape;
    std::string idle;
    design::Match match; // once read
};

// Every option of a single value given, through its reader into `options`; a refusal is reported on `err`,
// naming the option.
[[nodiscard]] bool readValues(Given &g, Options &options, std::ostream &err);

} // namespace tarvelin::cli
