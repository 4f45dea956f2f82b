#include "base/Picture.h"

#include "base/Handles.h"
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
    int maskWidth = 0;
    int maskHeight = 0;
    if (!bitmap || !ReadBitmapSize(bitmap, maskWidth, maskHeight)) {
        return nullptr;
    }
    WindowDC screen(nullptr);
    MemoryDC source(screen.get());
    MemoryDC target(screen.get());
    if (!screen || !source || !target) {
        return nullptr;
    }
    HBITMAP mask = CreateCompatibleBitmap(screen.get(), maskWidth, maskHeight);
    if (!mask) {
        return nullptr;
    }
    SelectedObject sourceBitmap(source.get(), bitmap);
    SelectedObject targetBitmap(target.get(), mask);
    if (key == CLR_INVALID) {
        key = GetPixel(source.get(), 0, 0);
    }
    for (int x = 0; x < maskWidth; ++x) {
        for (int y = 0; y < maskHeight; ++y) {
            const bool transparent = GetPixel(source.get(), x, y) == key;
            SetPixel(target.get(), x, y, transparent ? RGB(0, 0, 0) : RGB(255, 255, 255));
        }
    }
    return mask;
}
