// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>
#include <QSize>

namespace tarvelin {

// Every position and size of the two windows is kept in twips (1/1440 inch), exactly as the layouts were
// drawn. This is the one place where twips become device-independent pixels: 15 twips to a pixel at 96 dpi.
// Qt scales device-independent pixels to the screen, so the windows stay exact and scale on high-dpi screens.
inline constexpr int kTwipsPerPixel = 15;

[[nodiscard]] constexpr int twipsToPixels(int twips)
{
    // Round to the nearest pixel; every layout value is a whole number of pixels, so this never moves one.
    return (twips + (twips >= 0 ? kTwipsPerPixel / 2 : -kTwipsPerPixel / 2)) / kTwipsPerPixel;
}

struct TwipsRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

[[nodiscard]] constexpr QRect toPixels(const TwipsRect &r)
{
    return {twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width), twipsToPixels(r.height)};
}

[[nodiscard]] constexpr QSize toPixels(int widthTwips, int heightTwips)
{
    return {twipsToPixels(widthTwips), twipsToPixels(heightTwips)};
}

// The window frames of the layouts: 330 twips of title bar and border above the client area, 45 below.
// Heights are given as outer heights; the platform draws its own frame, so only the client height is set.
inline constexpr int kFrameAboveTwips = 330;
inline constexpr int kFrameBelowTwips = 45;

[[nodiscard]] constexpr int clientHeightForOuterTwips(int outerHeightTwips)
{
    return outerHeightTwips - kFrameAboveTwips - kFrameBelowTwips;
}

} // namespace tarvelin
