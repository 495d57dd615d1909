// SPDX-License-Identifier: MIT
#include "gui/windows/styling/flagicon.h"

namespace tarvelin {

namespace {

struct FlagGeometry
{
    int size;        // the square icon
    int height;      // of the flag, frame included; the flag is as wide as the icon
    int top;         // first pixel row of the flag
    int cantonWidth; // inside the frame
    int cantonHeight;
};

constexpr FlagGeometry kLarge{32, 20, 6, 13, 9};
constexpr FlagGeometry kSmall{16, 11, 3, 7, 5};

} // namespace

QImage flagImage(int size)
{
    const FlagGeometry &g = size == kSmall.size ? kSmall : kLarge;
    QImage image(g.size, g.size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);

    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    const QRgb red = qRgb(255, 0, 0);
    const QRgb blue = qRgb(0, 0, 255);
    const int bottom = g.top + g.height - 1;
    for (int y = g.top; y <= bottom; ++y) {
        for (int x = 0; x < g.size; ++x) {
            const bool frame = y == g.top || y == bottom || x == 0 || x == g.size - 1;
            const int innerX = x - 1;
            const int innerY = y - g.top - 1;
            QRgb colour = innerY % 2 == 0 ? white : red; // stripes, white in the first inner row
            if (innerX < g.cantonWidth && innerY < g.cantonHeight)
                colour = (innerX + innerY) % 2 == 0 ? blue : white; // chequer, blue in its top left pixel
            image.setPixel(x, y, frame ? black : colour);
        }
    }
    return image;
}

QIcon flagIcon()
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(flagImage(kLarge.size)));
    icon.addPixmap(QPixmap::fromImage(flagImage(kSmall.size)));
    return icon;
}

} // namespace tarvelin
