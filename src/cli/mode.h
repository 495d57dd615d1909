// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tarvelin::cli {

class Session;
struct Options;

enum class Mode
{
    Grid,
    Fractions,
    Shop,
    Deck,
    Analyse,
    Tune,
    Stub,
};

// What the command line asks beside its mode, for an option a mode takes only in some of its uses.
struct Uses
{
    bool measuredByModel = false; // --shop --measured model
    bool tuneForSheet = false;    // --shop --tune
    bool tunedFile = false;       // --shop --tuned FILE
    bool measuredSweep = false;   // --shop --measured-sweep FILE
    bool sweep = false;           // --analyse --sweep FILE
};

// An option a mode takes: always, or only in the uses `when` says; `as` is how a refusal of it elsewhere
// names this mode for it: the mode's own name where empty, none where "-" (a use no one reaches for first).
struct OptionUse
{
    std::string_view name;
    bool (*when)(const Uses &) = nullptr;
    std::string_view as = {};
};

// What a mode's own rules are held against: the command line as read, and whether an option was given.
struct ModeCheck
{
    const Options &options;
    std::function<bool(std::string_view option)> given;
};

// A command line refused, naming the option: "tarvelin-calc: --save: Give one FREQUENCY ...".
struct Refusal
{
    std::string_view option;
    std::string message;
};

// One mode of tarvelin-calc, as it declares itself: its flag, its line of the usage, its part of the help,
// the options it takes, and what it does with each input.
struct ModeDeclaration
{
    Mode mode;
    std::string_view flag;  // "--shop"; none for the grid
    std::string_view name;  // how refusals name it: "--shop", "the grid"
    std::string_view usage; // its usage line, after the program's name
    std::string_view help;  // its part of --help
    std::span<const OptionUse> options;
    void (*process)(Session &session, std::string_view input);
    // Its own rules beyond each option's reader, such as options that exclude each other in it; none for a
    // mode with no rules of its own.
    std::optional<Refusal> (*validate)(const ModeCheck &check);
};

// Every mode, in the order the usage, the help and the refusals give them.
[[nodiscard]] std::span<const ModeDeclaration *const> modeDeclarations();
[[nodiscard]] const ModeDeclaration &declarationOf(Mode mode);

// Whether `mode` takes `option` in these uses; none when it does, or else the refusal: "Belongs to --nec,
// --analyse, --tune or --measured model", naming every mode that takes it always, then the uses that take it
// only so.
[[nodiscard]] std::optional<std::string> optionRefusal(std::string_view option, Mode mode, const Uses &uses);

// The usage, and the whole help, assembled from every mode's own.
[[nodiscard]] std::string usageText();
[[nodiscard]] std::string helpText();

// Each mode's declaration, in its own file.
extern const ModeDeclaration kGridMode;
extern const ModeDeclaration kFractionsMode;
extern const ModeDeclaration kShopMode;
extern const ModeDeclaration kDeckMode;
extern const ModeDeclaration kAnalyseMode;
extern const ModeDeclaration kTuneMode;
extern const ModeDeclaration kStubMode;

// The options several modes share, as their declarations list them.
namespace options {
inline constexpr std::string_view kFormat = "--format";
inline constexpr std::string_view kElements = "--elements";
// What a measured sweep was taken through, for the check's sweeps and the sheet's.
inline constexpr std::string_view kThrough[] = {"--through", "--through-match"};
// The model's settings: the check's, the deck's and the tune's.
inline constexpr std::string_view kCheck[] = {
    "--wire-mm",       "--awg",        "--segments",     "--span",  "--points",   "--z0",       "--lossless",
    "--ground-height", "--insulation", "--permittivity", "--match", "--match-z0", "--match-vf", "--match-line"};
// A quad of several bands: the bands, and how the loops are held.
inline constexpr std::string_view kBands[] = {"--bands", "--layout", "--spacing", "--spider-angle", "--shape"};
// What a tune aims for and how long it may take.
inline constexpr std::string_view kTune[] = {"--band",       "--goal-swr",    "--goal-fb",  "--boom",
                                             "--time-limit", "--max-designs", "--processes"};
} // namespace options

// The rules every mode that takes --bands follows: the bands are the design, with no FREQUENCY beside them;
// one band is that band's own design; several are modelled in free space, with bare wire, each loop
// segmented for the highest band.
[[nodiscard]] std::optional<Refusal> bandsRules(const ModeCheck &check);

// The uses of every option named, alike.
template <std::size_t N>
constexpr std::array<OptionUse, N> usesOf(const std::string_view (&names)[N], bool (*when)(const Uses &) = nullptr,
                                          std::string_view as = {})
{
    std::array<OptionUse, N> uses{};
    for (std::size_t i = 0; i < N; ++i)
        uses[i] = OptionUse{names[i], when, as};
    return uses;
}

// A mode's options, from its parts.
template <std::size_t... N> constexpr auto joinedUses(const std::array<OptionUse, N> &...parts)
{
    std::array<OptionUse, (N + ...)> all{};
    std::size_t at = 0;
    ((std::copy(parts.begin(), parts.end(), all.begin() + static_cast<std::ptrdiff_t>(at)), at += N), ...);
    return all;
}

} // namespace tarvelin::cli
