// SPDX-License-Identifier: MIT
// Build helper: writes the flag icon as PNG files for the desktop's icon theme.
// Usage: tarvelin-icon-writer SIZE FILE
#include "ui/flagicon.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fputs("usage: tarvelin-icon-writer SIZE FILE\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "minimal");
    QGuiApplication app(argc, argv);
    const int size = std::atoi(argv[1]);
    return tarvelin::flagImage(size).save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
