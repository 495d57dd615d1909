// SPDX-License-Identifier: MIT
#pragma once

#include <QFile>
#include <QString>

// An analyser's one-port file of a loop fed at 50 ohms and resonant at `resonanceMHz`, its reactance that of a
// Q of 8, from `fromMHz` in steps of 10 kHz: what a builder's sweep looks like, and where its lowest SWR lies.
inline bool writeResonantSweep(const QString &path, double resonanceMHz, double fromMHz, int steps)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("# MHZ Z RI R 50\n");
    for (int i = 0; i <= steps; ++i) {
        const double mhz = fromMHz + 0.01 * i;
        file.write(QStringLiteral("%1 1 %2\n")
                       .arg(mhz, 0, 'f', 2)
                       .arg(8.0 * (mhz / resonanceMHz - resonanceMHz / mhz), 0, 'g', 12)
                       .toLatin1());
    }
    return file.error() == QFile::NoError;
}
