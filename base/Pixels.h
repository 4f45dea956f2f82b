// 32-bit bitmaps whose pixels the program reads and writes in memory, rather than with one GDI
// call per pixel.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// A DIB pixel: 0x00RRGGBB, blue in the lowest byte, the reverse of a COLORREF.
using Pixel = uint32_t;

constexpr Pixel PixelOf(COLORREF colour) {
    return (static_cast<Pixel>(colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

// The pixels of a 32-bit DIB section, addressed from the top row down whichever way the bitmap
// stores its rows. Valid while the bitmap lives; call GdiFlush before reading what GDI drew.
class PixelView {
public:
    PixelView() = default;
    PixelView(void* bits, int width, int height, ptrdiff_t rowPixels, bool bottomUp);

    explicit operator bool() const { return first_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    Pixel* Row(int y) const { return first_ + y * step_; }

private:
    Pixel* first_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    ptrdiff_t step_ = 0;
};

// A new 32-bit bottom-up DIB section, all zero, and a view of its pixels; null (and an empty view)
// when the size is not positive or the bitmap cannot be made.
HBITMAP CreatePixelBitmap(int width, int height, PixelView& view);
// The view of a bitmap that is a bottom-up 32-bit DIB section, as the program's own and the image
// loader's are; an empty view for any other bitmap on Windows. Wine cannot tell a top-down DIB
// section apart: pass only bitmaps known to be bottom-up, and copy any other.
PixelView ViewPixels(HBITMAP bitmap);
// A new 32-bit DIB section holding a copy of any bitmap, with a view of it; null when the bitmap
// cannot be read.
HBITMAP CopyToPixelBitmap(HBITMAP source, PixelView& view);

// The pixels of a picture resized by area, as a picture enlarged n times pixel for pixel (each
// pixel split into n x n equal parts) and then reduced comes out: every pixel of the new size
// (width x height) takes the mean of the source pixels under it, each weighted by the part of it
// that lies under. Only the pixels the mask marks opaque (not black, as the layout's masks mark
// them) are counted, so that no transparent colour blends into an edge; a new pixel is opaque
// when at least half of it is. For the new pixels of `area` (new coordinates), colours gets the
// mean, or `clear` where the pixel is not opaque, and shape white or black; each of them, when
// not empty, holds the area's pixels from its top-left corner. The mask is the source's size,
// and the new size no smaller; the source may be empty when only the shape is wanted.
void AverageByArea(const PixelView& source, const PixelView& mask, int width, int height,
                   const RECT& area, const PixelView& colours, const PixelView& shape, Pixel clear);
