#include "app/WindowShape.h"

#include "base/Handles.h"
#include "state/ShellState.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// The rectangles of one region-creation call, with their bounding rectangle.
class RegionBatch {
public:
    int Count() const { return static_cast<int>(rects_.size()); }
    void Add(const RECT& rect) {
        rects_.push_back(rect);
        bounds_.left = std::min(bounds_.left, rect.left);
        bounds_.top = std::min(bounds_.top, rect.top);
        bounds_.right = std::max(bounds_.right, rect.right);
        bounds_.bottom = std::max(bounds_.bottom, rect.bottom);
    }
    HRGN Create() const {
        std::vector<BYTE> data(sizeof(RGNDATAHEADER) + rects_.size() * sizeof(RECT));
        auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
        header->dwSize = sizeof(RGNDATAHEADER);
        header->iType = RDH_RECTANGLES;
        header->nCount = static_cast<DWORD>(rects_.size());
        header->nRgnSize = 0;
        header->rcBound = bounds_;
        std::copy(rects_.begin(), rects_.end(),
                  reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER)));
        return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                               reinterpret_cast<const RGNDATA*>(data.data()));
    }
    void Clear() {
        rects_.clear();
        bounds_ = kEmptyBounds;
    }

private:
    static constexpr RECT kEmptyBounds = {0x7FFFFFFF, 0x7FFFFFFF, 0, 0};
    std::vector<RECT> rects_;
    RECT bounds_ = kEmptyBounds;
};

// ORs the batch into the result and empties it. A batch that cannot be made spoils the result:
// a shape with rows missing is worse than the old one.
bool FlushBatch(RegionBatch& batch, GdiObject<HRGN>& result) {
    GdiObject<HRGN> region(batch.Create());
    batch.Clear();
    if (!region) {
        return false;
    }
    if (!result) {
        result = std::move(region);
        return true;
    }
    return CombineRgn(result.get(), result.get(), region.get(), RGN_OR) != ERROR;
}

// Whether a 32-bit DIB pixel (blue, green, red) lies within the bounds of every colour byte.
struct ColourRange {
    BYTE low[3];  // red, green, blue, as in a COLORREF
    BYTE high[3];

    ColourRange(COLORREF key, COLORREF tolerance) {
        for (int i = 0; i < 3; ++i) {
            const int keyByte = (key >> (8 * i)) & 0xFF;
            const int leeway = (tolerance >> (8 * i)) & 0xFF;
            low[i] = static_cast<BYTE>(keyByte);
            high[i] = static_cast<BYTE>(std::min(255, keyByte + leeway));
        }
    }
    bool Contains(const BYTE* pixel) const {
        for (int i = 0; i < 3; ++i) {
            const BYTE value = pixel[2 - i];
            if (value < low[i] || value > high[i]) {
                return false;
            }
        }
        return true;
    }
};

bool CopyBitmap(HDC target, HBITMAP targetBitmap, HBITMAP source, int width, int height) {
    MemoryDC sourceDC(target);
    if (!sourceDC) {
        return false;
    }
    SelectedObject targetCanvas(target, targetBitmap);
    SelectedObject sourceCanvas(sourceDC.get(), source);
    return BitBlt(target, 0, 0, width, height, sourceDC.get(), 0, 0, SRCCOPY) != FALSE;
}

// A 32-bit top-down-addressed copy of a bitmap in memory.
class PixelCopy {
public:
    explicit PixelCopy(HBITMAP source) {
        BITMAP info = {};
        if (!GetObjectW(source, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight == 0) {
            return;
        }
        width_ = info.bmWidth;
        height_ = std::abs(info.bmHeight);
        MemoryDC copyDC(nullptr);
        if (!copyDC) {
            return;
        }
        BITMAPINFO format = {};
        format.bmiHeader.biSize = sizeof(format.bmiHeader);
        format.bmiHeader.biWidth = width_;
        format.bmiHeader.biHeight = height_;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        format.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        dib_.Reset(CreateDIBSection(copyDC.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
        DIBSECTION section = {};
        if (!dib_ || !bits || !GetObjectW(dib_.get(), sizeof(section), &section)) {
            dib_.Reset();
            return;
        }
        if (!CopyBitmap(copyDC.get(), dib_.get(), source, width_, height_)) {
            dib_.Reset();
            return;
        }
        GdiFlush();
        bits_ = static_cast<const BYTE*>(bits);
        stride_ = (section.dsBm.bmWidthBytes + 3) & ~3;
    }
    explicit operator bool() const { return bits_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Image row y (0 at the top): the DIB stores its rows bottom up.
    const BYTE* Row(int y) const { return bits_ + static_cast<size_t>(height_ - 1 - y) * stride_; }

private:
    GdiObject<HBITMAP> dib_;
    const BYTE* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
};

}  // namespace

HRGN RegionFromBitmap(HBITMAP bitmap, COLORREF key, COLORREF tolerance, int batchRects) {
    if (!bitmap) {
        return nullptr;
    }
    PixelCopy pixels(bitmap);
    if (!pixels) {
        return nullptr;
    }
    const ColourRange transparent(key, tolerance);
    const int batchLimit = std::max(1, batchRects);
    RegionBatch batch;
    GdiObject<HRGN> result;
    for (int y = 0; y < pixels.height(); ++y) {
        const BYTE* row = pixels.Row(y);
        int x = 0;
        while (x < pixels.width()) {
            const int start = x;
            while (x < pixels.width() && !transparent.Contains(row + 4 * x)) {
                ++x;
            }
            if (x > start) {
                batch.Add({start, y, x, y + 1});
                if (batch.Count() >= batchLimit && !FlushBatch(batch, result)) {
                    return nullptr;
                }
            }
            ++x;
        }
    }
    if (!FlushBatch(batch, result)) {
        return nullptr;
    }
    return result.Release();
}

void ApplyWindowRegion(HWND window, HRGN region) {
    // A region the window did not take is still the caller's, and nobody else would free it.
    if (!SetWindowRgn(window, region, TRUE)) {
        DeleteObject(region);
    }
}

void ShapeMainWindow(HWND window) {
    if (!maskPicture.IsLoaded()) {
        return;
    }
    if (HRGN region = RegionFromBitmap(maskPicture.bitmap, kMaskKeyColour, kMaskTolerance)) {
        ApplyWindowRegion(window, region);
    }
}
