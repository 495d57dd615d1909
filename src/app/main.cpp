// SPDX-License-Identifier: MIT
// Tarvelin: a calculator for seven-element cubical quad antennas.
#include "ui/application.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    tarvelin::Application tarvelin;
    return QApplication::exec();
}
