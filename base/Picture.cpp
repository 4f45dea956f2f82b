#include "base/Picture.h"

#include "base/Handles.h"
#include "base/Pixels.h"
#include "platform/PocketShell.h"

#include <cstdlib>

namespace {

bool ReadBitmapSize(HBITMAP bitmap, int& width, int& height) {
    BITMAP info = {};
    if (!GetObjectW(bitmap, sizeof(info), &info)) {
        return false;
    }
    width = info.bmWidth;
    height = std::abs(info.bmHeight);
    return true;
}

}  // namespace

void Picture::Load(HWND, const wchar_t* path, HINSTANCE module, UINT id) {
    Release();
    width = 0;
    height = 0;
    if (!module && id == 0) {
        bitmap = SHLoadImageFile(path);
    } else if (module) {
        bitmap = SHLoadImageResource(module, id);
    }
    if (bitmap) {
        ReadBitmapSize(bitmap, width, height);
    }
}

void Picture::Attach(HBITMAP newBitmap) {
    // Attaching the bitmap already held must not delete it.
    if (newBitmap != bitmap) {
        Release();
        bitmap = newBitmap;
    }
    width = 0;
    height = 0;
    if (bitmap) {
        ReadBitmapSize(bitmap, width, height);
    }
}

void Picture::Release() {
    if (bitmap) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
}

HBITMAP Picture::MakeMask() const {
    return MakeMask(CLR_INVALID);
}

HBITMAP Picture::MakeMask(COLORREF key) const {
    PixelView source;
    GdiObject<HBITMAP> copy(bitmap ? CopyToPixelBitmap(bitmap, source) : nullptr);
    PixelView mask;
    GdiObject<HBITMAP> result(copy ? CreatePixelBitmap(source.width(), source.height(), mask)
                                   : nullptr);
    if (!result) {
        return nullptr;
    }
    // Without a key colour the top-left pixel's colour is the transparent one.
    const Pixel transparent = key == CLR_INVALID ? source.Row(0)[0] & 0x00FFFFFF : PixelOf(key);
    for (int y = 0; y < source.height(); ++y) {
        const Pixel* from = source.Row(y);
        Pixel* to = mask.Row(y);
        for (int x = 0; x < source.width(); ++x) {
            to[x] = (from[x] & 0x00FFFFFF) == transparent ? 0x000000 : 0xFFFFFF;
        }
    }
    return result.Release();
}
