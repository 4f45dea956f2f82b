// An icon's pixels on their way to a blinket picture: read with their transparency, reduced to
// the picture's height, and flattened onto the key colour.
#pragma once

#include "base/Pixels.h"

#include <windows.h>

#include <vector>

// The height of a picture made from an icon: the shipped pictures' height, which dense screens
// enlarge as they enlarge every picture.
constexpr int kMadePictureHeight = 40;

// Pixels with premultiplied alpha, 0xAARRGGBB (each colour at most its alpha), rows top first.
struct AlphaImage {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;
    Pixel At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The icon drawn at width x height, its transparency read by drawing it once over black and once
// over white: the one way every kind of icon (masked, alpha, PNG) comes out alike. False when it
// cannot be drawn.
bool ReadIconPixels(HICON icon, int width, int height, AlphaImage& image);

// The image scaled to the height by area averaging, each target pixel the mean of the source
// area it covers; averaging premultiplied colours keeps transparent pixels from darkening or
// tinting the edge. The width keeps the proportions, at least one pixel.
AlphaImage ScaleToHeight(const AlphaImage& source, int height);

// Opaque pixels (0x00RRGGBB) with the transparency turned into the key colour. A pixel at least
// half covered is part of the shape; where it is only partly covered it is laid over a mid grey,
// which reads on a light desktop and on a dark one alike, where the icon's own border colour or
// white would halo on one of them. No pixel of the shape is left equal to the key colour.
std::vector<Pixel> KeyedPixels(const AlphaImage& image);
