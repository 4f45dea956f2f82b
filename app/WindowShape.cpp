#include "app/WindowShape.h"

#include "base/Handles.h"
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

// The pixels of a bitmap as 32-bit values (0x00RRGGBB), rows top first.
class PixelCopy {
public:
    explicit PixelCopy(HBITMAP source) {
        BITMAP info = {};
        if (!GetObjectW(source, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight == 0) {
            return;
        }
        const int width = info.bmWidth;
        const int height = std::abs(info.bmHeight);
        BITMAPINFO format = {};
        format.bmiHeader.biSize = sizeof(format.bmiHeader);
        format.bmiHeader.biWidth = width;
        format.bmiHeader.biHeight = -height;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        format.bmiHeader.biCompression = BI_RGB;
        // Every pixel is written by the copy: no need to clear them first.
        auto pixels = std::make_unique_for_overwrite<DWORD[]>(static_cast<size_t>(width) * height);
        WindowDC screen(nullptr);
        if (!screen || GetDIBits(screen.get(), source, 0, static_cast<UINT>(height), pixels.get(),
                                 &format, DIB_RGB_COLORS) != height) {
            return;
        }
        width_ = width;
        height_ = height;
        pixels_ = std::move(pixels);
    }
    explicit operator bool() const { return pixels_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    const DWORD* Row(int y) const { return pixels_.get() + static_cast<size_t>(y) * width_; }

private:
    std::unique_ptr<DWORD[]> pixels_;
    int width_ = 0;
    int height_ = 0;
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
    ColourRange transparent(key, tolerance);
    RegionBatch batch(std::clamp(batchRects, 1, kRegionMaxBatchRects));
    RegionMerger merger;
    for (int y = 0; y < pixels.height(); ++y) {
        const DWORD* row = pixels.Row(y);
        int x = 0;
        while (x < pixels.width()) {
            const int start = x;
            while (x < pixels.width() && !transparent.Contains(row[x])) {
                ++x;
            }
            if (x > start) {
                batch.Add({start, y, x, y + 1});
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
