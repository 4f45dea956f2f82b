#include "app/Render.h"

#include "app/Handles.h"
#include "app/ShellHelpers.h"
#include "app/ShellState.h"
#include "model/Blinket.h"
#include "model/EyeAnimator.h"

#include <algorithm>
#include <vector>

namespace {

// Image lists of the strip: colour bitmaps of the display's kind, masked by the key colour.
constexpr UINT kImageListFlags = ILC_COLORDDB | ILC_MASK;

// ---------------------------------------------------------------------------------------------
// Layout

// Measures the blinket's image and gives it its room at total. A blinket whose image does not
// load takes no room; its frame width is cleared so that nothing of it is hit or drawn.
void MeasureBlinket(Blinket& blinket, int& total, int& maxHeight) {
    blinket.imageExists = FileExists(blinket.imageFile);
    Picture image;
    if (blinket.imageExists) {
        image.Load(nullptr, blinket.imageFile, nullptr, 0);
    }
    if (!image.IsLoaded() || image.width <= 0 || image.height <= 0) {
        blinket.frameWidth = 0;
        blinket.frameHeight = 0;
        return;
    }
    blinket.frameHeight = image.height;
    blinket.frameWidth = FrameWidthOf(image.width, image.height);
    blinket.xOffset = total;
    total += blinket.frameWidth + blinketGap;
    maxHeight = std::max(maxHeight, blinket.frameHeight);
}

// Draws the blinket's shown frame at its offset into both canvases; the image's key-coloured
// pixels leave the canvas as it was.
void DrawBlinket(const Blinket& blinket, HDC display, HDC shape) {
    Picture image;
    image.Load(nullptr, blinket.imageFile, nullptr, 0);
    if (!image.IsLoaded()) {
        return;
    }
    ImageListHandle frames(
        ImageList_Create(blinket.frameWidth, blinket.frameHeight, kImageListFlags, 1, 1));
    if (!frames || ImageList_AddMasked(frames.get(), image.bitmap, kKeyColour) < 0) {
        return;
    }
    // A frame index past the last frame draws nothing: its room stays transparent.
    ImageList_Draw(frames.get(), blinket.imagePos, display, blinket.xOffset, 0, ILD_NORMAL);
    ImageList_Draw(frames.get(), blinket.imagePos, shape, blinket.xOffset, 0, ILD_NORMAL);
}

GdiObject<HBITMAP> CreateKeyCanvas(HDC compatibleWith, int width, int height) {
    return GdiObject<HBITMAP>(CreateCompatibleBitmap(compatibleWith, width, height));
}

void FillWithKey(HDC dc, int width, int height) {
    GdiObject<HBRUSH> key(CreateSolidBrush(kKeyColour));
    const RECT all = {0, 0, width, height};
    FillRect(dc, &all, key.get());
}

// Composes the placed blinkets twice, into a display copy and a copy the mask is made from,
// and returns the key colour as the canvas holds it. Both are null when there is nothing to
// compose or a canvas cannot be made.
COLORREF ComposeStrip(int width, int height, GdiObject<HBITMAP>& display,
                      GdiObject<HBITMAP>& shape) {
    WindowDC window(mainWindow);
    MemoryDC displayDC(window.get());
    MemoryDC shapeDC(window.get());
    if (width <= 0 || height <= 0 || !window || !displayDC || !shapeDC) {
        return CLR_INVALID;
    }
    display = CreateKeyCanvas(window.get(), width, height);
    shape = CreateKeyCanvas(window.get(), width, height);
    if (!display || !shape) {
        display.Reset();
        shape.Reset();
        return CLR_INVALID;
    }
    SelectedObject displayCanvas(displayDC.get(), display.get());
    SelectedObject shapeCanvas(shapeDC.get(), shape.get());
    FillWithKey(displayDC.get(), width, height);
    FillWithKey(shapeDC.get(), width, height);
    // Read back, since a display of few colours stores the key as its nearest colour.
    const COLORREF key = GetPixel(shapeDC.get(), 0, 0);
    for (int index = 0; index < blinkets.Count(); ++index) {
        const Blinket* blinket = blinkets.At(index);
        if (blinket && IsPlaced(*blinket)) {
            DrawBlinket(*blinket, displayDC.get(), shapeDC.get());
        }
    }
    return key;
}

// ---------------------------------------------------------------------------------------------
// Painting

void RollEyes(HDC target) {
    if (!stripPicture.IsLoaded()) {
        return;
    }
    StripImageDC image(target);
    if (!image) {
        return;
    }
    for (int index = 0; index < blinkets.Count(); ++index) {
        Blinket* blinket = blinkets.At(index);
        if (blinket && IsPlaced(*blinket) && blinket->EnsureEyes()) {
            blinket->eyes->Roll(target, image.get(), false);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Region

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

StripImageDC::StripImageDC(HDC compatibleWith)
    : dc_(compatibleWith), strip_(dc_.get(), stripPicture.bitmap) {}

int FrameWidthOf(int imageWidth, int imageHeight) {
    return imageWidth < 2 * imageHeight ? imageWidth : imageHeight;
}

WindowPlacement PlaceWindow(int screenWidth, int screenHeight, int stripWidthValue, int stripHeight,
                            int menuBarHeightValue, int centreX) {
    const int half = stripWidthValue / 2;
    WindowPlacement placement;
    placement.y = screenHeight - menuBarHeightValue - stripHeight / 2;
    if (centreX == -1) {
        placement.centreX = screenWidth / 2;
        placement.x = screenWidth / 2 - half;
    } else {
        placement.centreX = centreX;
        placement.x = centreX - half;
    }
    if (placement.centreX - half < 0) {
        placement.x = 0;
        placement.centreX = half;
    }
    if (placement.centreX + half > screenWidth) {
        placement.x = screenWidth - stripWidthValue;
        placement.centreX = screenWidth - half;
    }
    return placement;
}

bool IsPlaced(const Blinket& blinket) {
    return blinket.imageExists && blinket.frameWidth > 0 && blinket.frameHeight > 0;
}

void ReleaseStrip() {
    if (stripImageList) {
        ImageList_RemoveAll(stripImageList);
        ImageList_Destroy(stripImageList);
        stripImageList = nullptr;
    }
    stripPicture.Release();
    maskPicture.Release();
}

void LayoutBlinkets(int& x, int& y) {
    ReleaseStrip();
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);

    int total = 0;
    int maxHeight = 0;
    for (int index = 0; index < blinkets.Count(); ++index) {
        if (Blinket* blinket = blinkets.At(index)) {
            MeasureBlinket(*blinket, total, maxHeight);
            // Eye rectangles are read with the offset of their time: read them again.
            blinket->DropEyes();
        }
    }
    GdiObject<HBITMAP> display;
    GdiObject<HBITMAP> shape;
    const COLORREF key = ComposeStrip(total, maxHeight, display, shape);

    stripPicture.Attach(display.Release());
    Picture shapeSource;
    shapeSource.Attach(shape.Release());
    // Keyed on the key colour itself rather than on the strip's top-left pixel, which belongs
    // to the first blinket's image where that is opaque.
    maskPicture.Attach(shapeSource.IsLoaded() ? shapeSource.MakeMask(key) : nullptr);
    if (stripPicture.IsLoaded()) {
        stripImageList =
            ImageList_Create(stripPicture.width, stripPicture.height, kImageListFlags, 1, 1);
        if (stripImageList) {
            ImageList_AddMasked(stripImageList, stripPicture.bitmap, kKeyColour);
        }
        stripWidth = stripPicture.width;
    }

    const WindowPlacement placement = PlaceWindow(
        screenWidth, screenHeight, stripWidth, stripPicture.height, menuBarHeight, windowCentreX);
    windowCentreX = placement.centreX;
    x = placement.x;
    y = placement.y;
}

void PaintMainWindow(HWND window) {
    if (!IsWindow(window)) {
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc) {
        if (stripImageList) {
            ImageList_Draw(stripImageList, 0, dc, 0, 0, ILD_TRANSPARENT);
        }
        RollEyes(dc);
    }
    EndPaint(window, &paint);
}

void EraseMainBackground(HDC dc) {
    RECT client = {};
    GetClientRect(mainWindow, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

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
