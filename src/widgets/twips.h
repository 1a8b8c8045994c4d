#pragma once

#include <QRect>

// The windows are laid out in twips (1440 to the inch); on screen 15 twips make
// one pixel.
constexpr int twipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return (twips * 2 + twipsPerPixel) / (twipsPerPixel * 2);
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}
