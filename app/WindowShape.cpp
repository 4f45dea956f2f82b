#include "app/WindowShape.h"

#include "app/Render.h"
#include "base/Handles.h"
#include "base/Pixels.h"
#include "state/ShellState.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// The rectangles of one region-creation call with their bounding rectangle, laid out as the
// call takes them.
class RegionBatch {
public:
    explicit RegionBatch(int capacity)
        : data_(sizeof(RGNDATAHEADER) + static_cast<size_t>(capacity) * sizeof(RECT)),
          capacity_(static_cast<DWORD>(capacity)) {
        Clear();
    }
    bool Empty() const { return Header().nCount == 0; }
    bool Full() const { return Header().nCount >= capacity_; }
    void Add(const RECT& rect) {
        RGNDATAHEADER& header = Header();
        reinterpret_cast<RECT*>(data_.data() + sizeof(RGNDATAHEADER))[header.nCount++] = rect;
        header.rcBound.left = std::min(header.rcBound.left, rect.left);
        header.rcBound.top = std::min(header.rcBound.top, rect.top);
        header.rcBound.right = std::max(header.rcBound.right, rect.right);
        header.rcBound.bottom = std::max(header.rcBound.bottom, rect.bottom);
    }
    // Makes the region and empties the batch.
    GdiObject<HRGN> Flush() {
        const DWORD size = sizeof(RGNDATAHEADER) + Header().nCount * sizeof(RECT);
        GdiObject<HRGN> region(
            ExtCreateRegion(nullptr, size, reinterpret_cast<const RGNDATA*>(data_.data())));
        Clear();
        return region;
    }

private:
    RGNDATAHEADER& Header() { return *reinterpret_cast<RGNDATAHEADER*>(data_.data()); }
    const RGNDATAHEADER& Header() const {
        return *reinterpret_cast<const RGNDATAHEADER*>(data_.data());
    }
    void Clear() {
        Header() = {sizeof(RGNDATAHEADER), RDH_RECTANGLES, 0, 0, {0x7FFFFFFF, 0x7FFFFFFF, 0, 0}};
    }

    std::vector<BYTE> data_;
    DWORD capacity_;
};

// ORs regions together pairwise in a balanced order, as a binary counter carries: a region waits
// for one of its own merge level, so every rectangle is copied once per level. One growing region
// would copy all it holds at every merge.
class RegionMerger {
public:
    bool Empty() const { return pending_.empty(); }
    // False when the region or a merge failed: a shape with rows missing is worse than the old one.
    bool Add(GdiObject<HRGN> region) {
        if (!region) {
            return false;
        }
        int level = 0;
        while (!pending_.empty() && pending_.back().level == level) {
            GdiObject<HRGN> merged = std::move(pending_.back().region);
            pending_.pop_back();
            if (!Or(merged, region)) {
                return false;
            }
            region = std::move(merged);
            ++level;
        }
        pending_.push_back({std::move(region), level});
        return true;
    }
    // The union of every region added; null when there is none or a merge fails.
    HRGN Finish() {
        while (pending_.size() > 1) {
            GdiObject<HRGN> last = std::move(pending_.back().region);
            pending_.pop_back();
            if (!Or(pending_.back().region, last)) {
                return nullptr;
            }
        }
        return pending_.empty() ? nullptr : pending_.back().region.Release();
    }

private:
    static bool Or(GdiObject<HRGN>& into, const GdiObject<HRGN>& other) {
        return CombineRgn(into.get(), into.get(), other.get(), RGN_OR) != ERROR;
    }

    struct Pending {
        GdiObject<HRGN> region;
        int level;
    };
    std::vector<Pending> pending_;
};

// Whether a pixel (0x00RRGGBB) lies within the bounds of every colour byte. A mask holds few
// colours, so the verdict on the colour asked last answers most pixels at once.
class ColourRange {
public:
    ColourRange(COLORREF key, COLORREF tolerance) {
        for (int i = 0; i < 3; ++i) {  // red, green, blue, as in a COLORREF
            const int low = (key >> (8 * i)) & 0xFF;
            const int high = std::min(255, low + static_cast<int>((tolerance >> (8 * i)) & 0xFF));
            for (int value = low; value <= high; ++value) {
                inRange_[i][value] = true;
            }
        }
    }
    bool Contains(DWORD pixel) {
        pixel &= 0x00FFFFFF;
        if (pixel != last_) {
            last_ = pixel;
            lastContained_ = inRange_[0][(pixel >> 16) & 0xFF] &&
                             inRange_[1][(pixel >> 8) & 0xFF] && inRange_[2][pixel & 0xFF];
        }
        return lastContained_;
    }

private:
    bool inRange_[3][256] = {};
    DWORD last_ = 0xFFFFFFFF;  // no colour
    bool lastContained_ = false;
};

// The pixels of a bitmap as 32-bit values (0x00RRGGBB), read a band of rows at a time into one
// buffer small enough to stay in the processor's cache while the band is scanned.
class PixelRows {
public:
    explicit PixelRows(HBITMAP source) : source_(source) {
        BITMAP info = {};
        if (!GetObjectW(source, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight == 0 ||
            !screen_) {
            return;
        }
        width_ = info.bmWidth;
        height_ = std::abs(info.bmHeight);
        bandRows_ = std::clamp(kBandPixels / width_, 1, height_);
        // Every pixel is written by the copy: no need to clear them first.
        band_ = std::make_unique_for_overwrite<DWORD[]>(static_cast<size_t>(width_) * bandRows_);
        format_.bmiHeader.biSize = sizeof(format_.bmiHeader);
        format_.bmiHeader.biWidth = width_;
        format_.bmiHeader.biHeight = height_;  // bottom up: bands are counted from the last row
        format_.bmiHeader.biPlanes = 1;
        format_.bmiHeader.biBitCount = 32;
        format_.bmiHeader.biCompression = BI_RGB;
    }
    int width() const { return width_; }
    int height() const { return height_; }
    // Image row y, 0 at the top, reading the band it lies in when it is not the band at hand;
    // null when the bitmap cannot be read.
    const DWORD* Row(int y) {
        if (y < first_ || y >= first_ + rows_) {
            first_ = y;
            rows_ = std::min(bandRows_, height_ - y);
            const int lastLine = height_ - y - rows_;
            if (!band_ || GetDIBits(screen_.get(), source_, static_cast<UINT>(lastLine),
                                    static_cast<UINT>(rows_), band_.get(), &format_,
                                    DIB_RGB_COLORS) != rows_) {
                rows_ = 0;
                return nullptr;
            }
        }
        return band_.get() + static_cast<size_t>(first_ + rows_ - 1 - y) * width_;
    }

private:
    static constexpr int kBandPixels = 16384;  // 64 KB

    HBITMAP source_;
    WindowDC screen_{nullptr};
    BITMAPINFO format_ = {};
    std::unique_ptr<DWORD[]> band_;
    int width_ = 0;
    int height_ = 0;
    int bandRows_ = 0;
    int first_ = 0;
    int rows_ = 0;
};

// The rows of a bitmap already in memory, read in place.
struct ViewRows {
    const PixelView& view;
    int width() const { return view.width(); }
    int height() const { return view.height(); }
    const Pixel* Row(int y) const { return view.Row(y); }
};

// One rectangle per run of pixels outside the key's range, each scale pixels square per pixel,
// batched and merged; null when a row cannot be read or a region cannot be made.
template <class Rows>
HRGN RegionFromRows(Rows& pixels, COLORREF key, COLORREF tolerance, int scale, int batchRects) {
    ColourRange transparent(key, tolerance);
    RegionBatch batch(std::clamp(batchRects, 1, kRegionMaxBatchRects));
    RegionMerger merger;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = pixels.Row(y);
        if (!row) {
            return nullptr;
        }
        int x = 0;
        while (x < pixels.width()) {
            const int start = x;
            while (x < pixels.width() && !transparent.Contains(row[x])) {
                ++x;
            }
            if (x > start) {
                batch.Add({start * scale, y * scale, x * scale, (y + 1) * scale});
                if (batch.Full() && !merger.Add(batch.Flush())) {
                    return nullptr;
                }
            }
            ++x;
        }
    }
    // The last batch, empty or not: a mask without opaque pixels still gives a region.
    if ((!batch.Empty() || merger.Empty()) && !merger.Add(batch.Flush())) {
        return nullptr;
    }
    return merger.Finish();
}

}  // namespace

HRGN RegionFromBitmap(HBITMAP bitmap, COLORREF key, COLORREF tolerance, int batchRects, int scale) {
    if (!bitmap || scale < 1) {
        return nullptr;
    }
    PixelRows pixels(bitmap);
    return pixels.height() > 0 ? RegionFromRows(pixels, key, tolerance, scale, batchRects)
                               : nullptr;
}

HRGN MaskRegion(HBITMAP mask, int scale) {
    const PixelView view = ViewPixels(mask);
    if (!view || scale < 1) {
        return RegionFromBitmap(mask, kMaskKeyColour, kMaskTolerance, kRegionBatchRects, scale);
    }
    ViewRows rows{view};
    return RegionFromRows(rows, kMaskKeyColour, kMaskTolerance, scale, kRegionBatchRects);
}

void ApplyWindowRegion(HWND window, HRGN region) {
    // A region the window did not take is still the caller's, and nobody else would free it.
    if (!SetWindowRgn(window, region, TRUE)) {
        DeleteObject(region);
    }
}

HRGN WindowRegion() {
    if (const int scale = WholeScaleOf(displayDpi)) {
        return MaskRegion(maskPicture.bitmap, scale);
    }
    // The shape of the picture as the window shows it: a pixel is inside when at least half of
    // it is.
    const SIZE size = WindowSize();
    PixelView shape;
    GdiObject<HBITMAP> enlarged(CreatePixelBitmap(size.cx, size.cy, shape));
    const PixelView mask = ViewPixels(maskPicture.bitmap);
    if (!enlarged || !mask) {
        return nullptr;
    }
    AverageByArea(PixelView(), mask, size.cx, size.cy, {0, 0, size.cx, size.cy}, PixelView(), shape,
                  0);
    return MaskRegion(enlarged.get(), 1);
}

void ShapeMainWindow(HWND window) {
    if (!maskPicture.IsLoaded()) {
        return;
    }
    if (HRGN region = WindowRegion()) {
        ApplyWindowRegion(window, region);
    }
}
