// SPDX-License-Identifier: MIT
// Build helper: writes the flag icon for the desktop's icon theme, as PNG at any size or as SVG.
// Usage: tarvelin-icon-writer SIZE FILE.png | tarvelin-icon-writer scalable FILE.svg
#include "gui/windows/styling/flagicon.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// The flag is pixel art: larger sizes are the 16 or 32 pixel drawing blown up by a whole factor, each pixel a
// square block, so it stays as crisp as the window icon.
QImage pixelArt(int size)
{
    if (size == 16 || size == 32)
        return tarvelin::flagImage(size);
    const int base = size % 32 == 0 ? 32 : 16;
    return tarvelin::flagImage(base).scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// The 32 pixel drawing as squares, one run of equal pixels in a row to a rectangle.
QByteArray svgOf(const QImage &image)
{
    QByteArray svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" viewBox=\"0 0 32 32\" "
                     "shape-rendering=\"crispEdges\">\n";
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width();) {
            const QRgb colour = image.pixel(x, y);
            int run = 1;
            while (x + run < image.width() && image.pixel(x + run, y) == colour)
                ++run;
            if (qAlpha(colour) != 0)
                svg += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"1\" fill=\"#%4\"/>\n")
                           .arg(x)
                           .arg(y)
                           .arg(run)
                           .arg(colour & 0xFFFFFF, 6, 16, QLatin1Char('0'))
                           .toUtf8();
            x += run;
        }
    }
    return svg + "</svg>\n";
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fputs("usage: tarvelin-icon-writer SIZE|scalable FILE\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "minimal");
    QGuiApplication app(argc, argv);
    const QString file = QString::fromLocal8Bit(argv[2]);
    if (qstrcmp(argv[1], "scalable") == 0) {
        QFile svg(file);
        return svg.open(QIODevice::WriteOnly) && svg.write(svgOf(tarvelin::flagImage(32))) > 0 ? 0 : 1;
    }
    const int size = std::atoi(argv[1]);
    if (size < 16)
        return 2;
    return pixelArt(size).save(file, "PNG") ? 0 : 1;
}
