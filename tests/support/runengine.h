// SPDX-License-Identifier: MIT
#pragma once

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <string>

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
