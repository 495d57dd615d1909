// SPDX-License-Identifier: MIT
#pragma once

#include "core/nec/nesteddeck.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <string>

// A nested deck's structure alone, for a direct run to add its own loads, sources and frequencies to.
inline std::string structureOf(const tarvelin::nec::NestedDeck &deck)
{
    return deck.text.substr(0, deck.text.find("PT 0 0 0 0\n"));
}

// A load of R + jX ohms across a driver's feed, and a 1 V source on it.
inline std::string loadCard(const tarvelin::nec::DeckPort &port, double r, double x)
{
    return "LD 4 " + std::to_string(port.tag) + " " + std::to_string(port.segment) + " " +
           std::to_string(port.segment) + " " + std::to_string(r) + " " + std::to_string(x) + "\n";
}
inline std::string sourceCard(const tarvelin::nec::DeckPort &port)
{
    return "EX 0 " + std::to_string(port.tag) + " " + std::to_string(port.segment) + " 0 1.0 0.0\n";
}

// Runs nec2c on a deck in a folder of its own and gives what it printed; a deck it cannot run ends the test
// program, as a broken fixture does.
inline std::string runEngine(const std::string &deck)
{
    QTemporaryDir folder;
    QFile input(folder.filePath(QStringLiteral("deck.nec")));
    if (!input.open(QIODevice::WriteOnly) || input.write(deck.data(), static_cast<qint64>(deck.size())) < 0)
        qFatal("cannot write the deck");
    input.close();
    QProcess engine;
    engine.start(QStringLiteral("nec2c"), {QStringLiteral("-i"), input.fileName(), QStringLiteral("-o"),
                                           folder.filePath(QStringLiteral("deck.out"))});
    if (!engine.waitForFinished(60000) || engine.exitCode() != 0)
        qFatal("nec2c did not run");
    QFile output(folder.filePath(QStringLiteral("deck.out")));
    if (!output.open(QIODevice::ReadOnly))
        qFatal("no output");
    return output.readAll().toStdString();
}
