// SPDX-License-Identifier: MIT
// A cable's velocity factor from an analyser's sweep of a cut piece of it, open at its far end.
#include "cli/mode.h"
#include "cli/session.h"

namespace tarvelin::cli {

namespace {

void measureStub(Session &session, std::string_view file)
{
    const double metres = session.options().stubLengthMetres;
    auto read = measure::stubVelocityFactor(session.sweeps().stub->sweep, metres);
    if (const auto *refusal = std::get_if<std::string>(&read)) {
        session.fail(file, *refusal, ResultKind::Stub);
        return;
    }
    session.writer().appendStub(session.buffer(), file, metres, std::get<measure::StubReading>(read));
}

// The sweep is the one input: it is read once and measured once, for a piece of a length given.
std::optional<Refusal> stubRules(const ModeCheck &check)
{
    if (!check.options.inputs.empty())
        return Refusal{"--stub-sweep", "Takes no FREQUENCY: the piece's sweep is its input"};
    if (!check.given("--stub-length"))
        return Refusal{"--stub-sweep", "Give the piece's length: --stub-length LEN, such as 1m"};
    return std::nullopt;
}

constexpr std::string_view kStubOptions[] = {options::kFormat, "--stub-length"};
constexpr auto kStubUses = usesOf(kStubOptions);

} // namespace

const ModeDeclaration kStubMode{
    Mode::Stub,          "--stub-sweep",
    "--stub-sweep",      "[--format table|csv|json] --stub-sweep FILE --stub-length LEN",
    R"(Velocity factor:
  --stub-sweep FILE  a cable's velocity factor from an analyser's sweep
                   (Touchstone .s1p or .s2p) of a cut piece of it, open at
                   its far end: where its reactance turns from capacitive
                   to inductive through its lowest impedance, the first
                   series resonance, the piece is a quarter wavelength, so
                   VF = 4 x length x f / c, given to three decimals. A
                   sweep with no such resonance is refused, naming the file
  --stub-length LEN  the piece's length with its unit, from the connector's
                   reference plane to the open end: 1m, 100cm, 39-3/8in
)", kStubUses,
    measureStub,         stubRules,
};

} // namespace tarvelin::cli
