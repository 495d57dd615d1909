// SPDX-License-Identifier: MIT
#pragma once
// A stand-in for nec2c, for the studies' tests: it reads a deck's loops, frequencies and pattern cards and
// prints the blocks the engine would print, from a smooth made-up quad. The driven loop sets the resonance
// (2 % below the frequency its side was cut for, as the real model has it); the reflector's and the first
// director's sides against the driven loop's set the gain and the F/B, each best at one ratio. Its launcher
// answers at once, records every round, and can fail a chosen round.
#include "core/study/study.h"

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace tarvelin::standin {

struct Deck
{
    std::vector<double> sidesMetres; // each loop's side, reflector first
    int segments = 0;                // a side's
    struct Sweep
    {
        std::vector<double> mhz;
        std::vector<double> phiDegrees; // the pattern asked for at each of them
    };
    std::vector<Sweep> sweeps;
};

inline Deck readDeck(const std::string &text)
{
    Deck deck;
    std::istringstream lines(text);
    std::string card;
    int wire = 0;
    while (std::getline(lines, card)) {
        std::istringstream fields(card);
        std::string name;
        fields >> name;
        if (name == "GW") {
            int tag = 0;
            int segments = 0;
            double x1 = 0, y1 = 0, z1 = 0, x2 = 0, y2 = 0;
            fields >> tag >> segments >> x1 >> y1 >> z1 >> x2 >> y2;
            deck.segments = segments;
            if (wire++ % 4 == 0) // each loop's bottom side runs from -side/2 to +side/2
                deck.sidesMetres.push_back(std::fabs(y2 - y1));
        } else if (name == "FR") {
            int type = 0, count = 0, i3 = 0, i4 = 0;
            double start = 0, step = 0;
            fields >> type >> count >> i3 >> i4 >> start >> step;
            Deck::Sweep sweep;
            for (int k = 0; k < count; ++k)
                sweep.mhz.push_back(start + step * k);
            deck.sweeps.push_back(sweep);
        } else if (name == "RP" && !deck.sweeps.empty()) {
            int mode = 0, thetas = 0, phis = 0, xnda = 0;
            double theta0 = 0, phi0 = 0, thetaStep = 0, phiStep = 0;
            fields >> mode >> thetas >> phis >> xnda >> theta0 >> phi0 >> thetaStep >> phiStep;
            for (int k = 0; k < phis; ++k)
                deck.sweeps.back().phiDegrees.push_back(phi0 + phiStep * k);
        }
    }
    return deck;
}

// The made-up quad's figures at one frequency.
struct Figures
{
    double r = 0, x = 0, gainDbi = 0, frontToBackDb = 0;
};

inline Figures figuresAt(const Deck &deck, double mhz, double resonanceShare = 0.98)
{
    const std::vector<double> &s = deck.sidesMetres;
    // A driven side of 78.486 / f metres is the one the window gives for f MHz.
    const double resonance = resonanceShare * 78.486 / s[1];
    const double off = (mhz - resonance) / resonance;
    const double reflector = s[0] / s[1] - 1.065;
    const double director = s[2] / s[1] - 0.95;
    Figures f;
    f.r = 50.0 + 400.0 * off * off;
    f.x = 2000.0 * off;
    f.gainDbi = 11.0 - 200.0 * director * director - 50.0 * reflector * reflector - 20.0 * off * off;
    f.frontToBackDb = 26.0 - 3000.0 * reflector * reflector - 2000.0 * off * off;
    return f;
}

// `ohmsPerSegment` makes the feed resistance hang on the segments, as a ground solution that does not hold.
inline std::string structureOutput(const std::string &deckText, double ohmsPerSegment, double resonanceShare)
{
    const Deck deck = readDeck(deckText);
    std::string out;
    char line[200];
    for (const Deck::Sweep &sweep : deck.sweeps)
        for (const double mhz : sweep.mhz) {
            Figures f = figuresAt(deck, mhz, resonanceShare);
            f.r += ohmsPerSegment * deck.segments;
            std::snprintf(line, sizeof line, "\n FREQUENCY : %11.4E MHZ\n", mhz);
            out += line;
            out += " ANTENNA INPUT PARAMETERS\n  TAG   SEG\n  NO.   NO.\n";
            std::snprintf(line, sizeof line, "    5     6 1.0000E+00 0.0000E+00 1.0E-02 0.0E+00 %11.4E %11.4E\n", f.r,
                          f.x);
            out += line;
            out += " EFFICIENCY = 92.00 PERCENT\n RADIATION PATTERNS\n ---- ANGLES ----\n  DEGREES\n";
            for (const double phi : sweep.phiDegrees) {
                // Forward at 0, the F/B straight back, the rear half between.
                const double away = std::fabs(std::remainder(phi, 360.0)) / 180.0;
                const double gain = f.gainDbi - f.frontToBackDb * away * away;
                std::snprintf(line, sizeof line, "  90.00 %8.2f  0.00  0.00 %8.2f\n", phi, gain);
                out += line;
            }
            out += "\n";
        }
    return out;
}

// A deck's structures: one, or several, each after the next-structure card that ends the one before.
inline std::vector<std::string> structuresOf(const std::string &deckText)
{
    std::vector<std::string> structures;
    std::size_t start = 0;
    for (;;) {
        const std::size_t next = deckText.find("\nNX\n", start);
        structures.push_back(deckText.substr(start, next == std::string::npos ? next : next + 1 - start));
        if (next == std::string::npos)
            return structures;
        start = next + 4;
    }
}

// A deck of several structures is modelled structure by structure, the card echoed between their outputs,
// as the engine does.
inline std::string output(const std::string &deckText, double ohmsPerSegment = 0.0, double resonanceShare = 0.98)
{
    const std::vector<std::string> structures = structuresOf(deckText);
    std::string out;
    for (std::size_t k = 0; k < structures.size(); ++k) {
        if (k > 0)
            out += "  DATA CARD No:   9 NX   0     0     0     0  0.00000E+00\n";
        out += structureOutput(structures[k], ohmsPerSegment, resonanceShare);
    }
    return out;
}

// Answers every round at once with the stand-in's outputs, or with a failure at round `failAt` (from 1).
class Launcher final : public study::EngineLauncher
{
public:
    void start(const study::EngineRound &round, std::function<void(study::EngineOutputs)> done) override
    {
        rounds.push_back(round);
        if (failAt > 0 && static_cast<int>(rounds.size()) == failAt) {
            done(study::EngineFailure{failure, failWithTimeLimit});
            return;
        }
        std::vector<std::string> outputs;
        for (const std::string &deck : round.decks)
            outputs.push_back(output(deck, ohmsPerSegment, resonanceShare));
        done(std::move(outputs));
    }
    void cancel() override {}

    std::vector<study::EngineRound> rounds;
    int failAt = 0;
    std::string failure = "nec2c failed: it exited with status 1";
    bool failWithTimeLimit = false;
    double ohmsPerSegment = 0.0;
    double resonanceShare = 0.98; // of the frequency the driven loop was cut for
};

} // namespace tarvelin::standin
