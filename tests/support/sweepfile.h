// SPDX-License-Identifier: MIT
#pragma once

#include <QFile>
#include <QString>

#include <cmath>

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

// An analyser's one-port file of a lossless piece of cable `metres` long, of impedance `z0Ohms` and velocity
// factor `vf`, open at its far end: Z = -j Z0 cot(beta L), with a little resistance, from `fromMHz` to `toMHz` in
// 100 steps. Its first series resonance, where it is a quarter wavelength, lies at vf c / (4 L).
inline bool writeOpenStubSweep(const QString &path, double metres, double z0Ohms, double vf, double fromMHz,
                               double toMHz)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("# MHz Z RI R 1\n");
    for (int i = 0; i <= 100; ++i) {
        const double mhz = fromMHz + (toMHz - fromMHz) * i / 100.0;
        const double cot = 1.0 / std::tan(2.0 * M_PI * mhz * 1e6 * metres / (vf * 299792458.0));
        file.write(QStringLiteral("%1 0.5 %2\n").arg(mhz, 0, 'g', 12).arg(-z0Ohms * cot, 0, 'g', 12).toLatin1());
    }
    return file.error() == QFile::NoError;
}
