#include "base/Pixels.h"

#include "base/Handles.h"

#include <cstdlib>

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
