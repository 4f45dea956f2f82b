#include "base/Pixels.h"

#include "base/Handles.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

PixelView::PixelView(void* bits, int width, int height, ptrdiff_t rowPixels, bool bottomUp)
    : width_(width), height_(height) {
    if (!bits || width <= 0 || height <= 0) {
        width_ = 0;
        height_ = 0;
        return;
    }
    Pixel* all = static_cast<Pixel*>(bits);
    first_ = bottomUp ? all + (height - 1) * rowPixels : all;
    step_ = bottomUp ? -rowPixels : rowPixels;
}

HBITMAP CreatePixelBitmap(int width, int height, PixelView& view) {
    view = PixelView();
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up: see ViewPixels
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) {
            DeleteObject(bitmap);
        }
        return nullptr;
    }
    view = PixelView(bits, width, height, width, true);
    return bitmap;
}

PixelView ViewPixels(HBITMAP bitmap) {
    DIBSECTION section = {};
    if (!bitmap || GetObjectW(bitmap, sizeof(section), &section) != sizeof(section) ||
        section.dsBm.bmBitsPixel != 32 || !section.dsBm.bmBits ||
        section.dsBmih.biCompression != BI_RGB) {
        return PixelView();
    }
    // Wine reports a top-down bitmap's height positive, as it does a bottom-up one's, so a top-down
    // bitmap cannot be told apart there: only bottom-up ones are viewed in place.
    if (section.dsBmih.biHeight < 0) {
        return PixelView();
    }
    return PixelView(section.dsBm.bmBits, section.dsBm.bmWidth, section.dsBm.bmHeight,
                     section.dsBm.bmWidthBytes / 4, true);
}

HBITMAP CopyToPixelBitmap(HBITMAP source, PixelView& view) {
    view = PixelView();
    BITMAP info = {};
    if (!source || !GetObjectW(source, sizeof(info), &info)) {
        return nullptr;
    }
    PixelView copy;
    GdiObject<HBITMAP> bitmap(CreatePixelBitmap(info.bmWidth, std::abs(info.bmHeight), copy));
    MemoryDC sourceDC(nullptr);
    MemoryDC targetDC(nullptr);
    if (!bitmap || !sourceDC || !targetDC) {
        return nullptr;
    }
    {
        SelectedObject from(sourceDC.get(), source);
        SelectedObject to(targetDC.get(), bitmap.get());
        if (!BitBlt(targetDC.get(), 0, 0, copy.width(), copy.height(), sourceDC.get(), 0, 0,
                    SRCCOPY)) {
            return nullptr;
        }
    }
    GdiFlush();
    view = copy;
    return bitmap.Release();
}

namespace {

// The source pixels under one new pixel along one axis, with their weights. Counted in units of
// 1/(source length x new length) of a source pixel: new pixel t spans [t x source, (t + 1) x
// source) of them and source pixel i spans [i x new, (i + 1) x new), so every weight is whole and
// the weights of a new pixel add up to the source length.
struct AxisSpan {
    int first = 0;
    int count = 0;
    // The new length is never below the source's, so a new pixel lies over two at most.
    long long weights[2] = {};
};

AxisSpan SpanOf(int target, int sourceLength, int newLength) {
    AxisSpan span;
    const long long begin = 1LL * target * sourceLength;
    const long long end = begin + sourceLength;
    span.first = static_cast<int>(begin / newLength);
    const int last = static_cast<int>((end - 1) / newLength);
    for (int i = span.first; i <= last && span.count < 2; ++i) {
        span.weights[span.count++] =
            std::min(end, 1LL * (i + 1) * newLength) - std::max(begin, 1LL * i * newLength);
    }
    return span;
}

}  // namespace

void AverageByArea(const PixelView& source, const PixelView& mask, int width, int height,
                   const RECT& area, const PixelView& colours, const PixelView& shape,
                   Pixel clear) {
    const int sourceWidth = mask.width();
    const int sourceHeight = mask.height();
    if (!mask || width <= 0 || height <= 0 || width < sourceWidth || height < sourceHeight ||
        (source && (source.width() != sourceWidth || source.height() != sourceHeight))) {
        return;
    }
    const RECT inside = {std::max(0L, area.left), std::max(0L, area.top),
                         std::min(static_cast<LONG>(width), area.right),
                         std::min(static_cast<LONG>(height), area.bottom)};
    std::vector<AxisSpan> columns;
    for (int x = inside.left; x < inside.right; ++x) {
        columns.push_back(SpanOf(x, sourceWidth, width));
    }
    const unsigned long long whole = 1ULL * sourceWidth * sourceHeight;
    for (int y = inside.top; y < inside.bottom; ++y) {
        const AxisSpan row = SpanOf(y, sourceHeight, height);
        Pixel* colourRow = colours ? colours.Row(y - area.top) - area.left : nullptr;
        Pixel* shapeRow = shape ? shape.Row(y - area.top) - area.left : nullptr;
        for (int x = inside.left; x < inside.right; ++x) {
            const AxisSpan& column = columns[x - inside.left];
            unsigned long long cover = 0;
            unsigned long long sum[3] = {};
            for (int j = 0; j < row.count; ++j) {
                const Pixel* maskRow = mask.Row(row.first + j);
                const Pixel* pixelRow = source ? source.Row(row.first + j) : nullptr;
                for (int i = 0; i < column.count; ++i) {
                    if ((maskRow[column.first + i] & 0x00FFFFFF) == 0) {
                        continue;
                    }
                    const unsigned long long weight = row.weights[j] * column.weights[i];
                    cover += weight;
                    if (pixelRow) {
                        const Pixel pixel = pixelRow[column.first + i];
                        for (int byte = 0; byte < 3; ++byte) {
                            sum[byte] += weight * ((pixel >> (8 * byte)) & 0xFF);
                        }
                    }
                }
            }
            const bool opaque = 2 * cover >= whole;
            if (shapeRow) {
                shapeRow[x] = opaque ? 0xFFFFFF : 0x000000;
            }
            if (colourRow) {
                Pixel mean = 0;
                for (int byte = 0; opaque && byte < 3; ++byte) {
                    mean |= static_cast<Pixel>((sum[byte] + cover / 2) / cover) << (8 * byte);
                }
                colourRow[x] = opaque ? mean : clear;
            }
        }
    }
}
