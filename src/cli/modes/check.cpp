// SPDX-License-Identifier: MIT
// The NEC-2 deck of the design, and its check with the engine.
#include "cli/mode.h"
#include "cli/session.h"

#include "core/check/checktable.h"
#include "core/nec/deck.h"

namespace tarvelin::cli {

namespace {

void necDeck(Session &session, std::string_view frequencyText)
{
    if (const std::optional<nec::Design> design = session.modelledDesign(frequencyText))
        session.buffer() += nec::checkDeck(*design);
}

void analyse(Session &session, std::string_view frequencyText)
{
    const std::optional<nec::CheckSummary> summary = session.runCheck(frequencyText);
    if (!summary)
        return;
    std::vector<nec::MeasuredSweep> sweeps = session.sweeps();
    for (nec::MeasuredSweep &sweep : sweeps)
        nec::compareWithModel(sweep, *summary, frequencyText);
    session.writer().appendCheck(session.buffer(), frequencyText, *summary, session.options().checkSettings, sweeps);
}

constexpr std::string_view kDeckOptions[] = {options::kElements};
constexpr auto kDeckUses = joinedUses(usesOf(kDeckOptions), usesOf(options::kCheck));
constexpr std::string_view kAnalyseOptions[] = {options::kFormat, options::kElements, "--sweep"};
constexpr auto kAnalyseUses = joinedUses(usesOf(kAnalyseOptions), usesOf(options::kCheck));

} // namespace

const ModeDeclaration kDeckMode{
    Mode::Deck, "--nec",   "--nec", "--nec [CHECK OPTION ...] [FREQUENCY ...]",
    R"(Deck:
  --nec            instead of the grid, print the NEC-2 deck of the design at
                   each FREQUENCY, with the model settings below
)",   kDeckUses, necDeck,
};

const ModeDeclaration kAnalyseMode{
    Mode::Analyse,     "--analyse",
    "--analyse",       "[--format table|csv|json] --analyse [CHECK OPTION ...] [FREQUENCY ...]",
    R"(Antenna check:
  --analyse        check each FREQUENCY's design with the NEC-2 engine nec2c:
                   feed impedance, SWR, forward gain, F/B and F/R across the
                   band, and the verdict: the figures at FREQUENCY, the
                   resonance and the cut it calls for, the lowest SWR, the
                   2:1 and F/B 20 dB bands, the cutting sensitivity and the
                   wire efficiency; where the resonance or a 2:1 edge lies
                   outside the sweep, one wider sweep finds it
  --sweep FILE     with --analyse: an analyser's sweep of the built antenna
                   (Touchstone .s1p or .s2p) beside the model: its lowest
                   SWR, 2:1 band, what to do to the loops against the design
                   frequency and how far the model was off; not with
                   --format csv or s1p. Given again for each sweep after a
                   trim, oldest first (up to 8): the latest is compared,
                   and each one's move since the one before is given
  --format s1p     with --analyse and one FREQUENCY: the model's sweep as a
                   Touchstone file (# MHz S RI R <z0>), for an analyser's
                   reference trace
)", kAnalyseUses,
    analyse,
};

} // namespace tarvelin::cli
