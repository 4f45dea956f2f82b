#include "app/Render.h"

#include "app/FocusRing.h"
#include "base/Handles.h"
#include "base/Pixels.h"
#include "model/Blinket.h"
#include "model/EyeAnimator.h"
#include "model/Frames.h"
#include "state/ShellState.h"

#include <algorithm>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// The widest window the platform shows, in window pixels.
constexpr int kMaxStripWidth = 32767;
// Decoded pixels a layout keeps for the blinkets that share a file; past this a picture is
// decoded again when it is drawn.
constexpr long long kCachedPixelBudget = 32LL * 1024 * 1024;

WindowStand shownStand;
int markedBlinket = -1;

// ---------------------------------------------------------------------------------------------
// Layout

// The pictures of one layout, each file decoded once however many blinkets show it.
class LayoutPictures {
public:
    // The picture at the path, or null when it cannot be opened or has no pixels.
    const Picture* Of(const wchar_t* path) {
        if (!path || !*path) {
            return nullptr;
        }
        const auto found = cached_.find(path);
        if (found != cached_.end()) {
            return found->second.get();
        }
        auto picture = std::make_unique<Picture>();
        picture->Load(nullptr, path, nullptr, 0);
        if (!picture->IsLoaded() || picture->width <= 0 || picture->height <= 0) {
            picture.reset();
        }
        const long long pixels = picture ? 1LL * picture->width * picture->height : 0;
        if (cachedPixels_ + pixels > kCachedPixelBudget) {
            uncached_ = std::move(picture);
            return uncached_.get();
        }
        cachedPixels_ += pixels;
        return (cached_[path] = std::move(picture)).get();
    }

private:
    std::unordered_map<std::wstring, std::unique_ptr<Picture>> cached_;  // null: did not load
    std::unique_ptr<Picture> uncached_;
    long long cachedPixels_ = 0;
};

// What the measuring pass found for one blinket: its picture and the frame it shows.
struct Placed {
    Blinket* blinket = nullptr;
    wchar_t path[MAX_PATH] = {};
    FrameGrid grid;
    int frame = 0;
};

// Measures the blinket's picture and gives it room at total when it fits the widest window. A
// blinket whose picture does not load takes no room, and neither does one past that width; its
// frame width is cleared so that nothing of it is hit or drawn.
bool MeasureBlinket(Blinket& blinket, LayoutPictures& pictures, int maxFrameHeight,
                    int maxStripWidth, int& total, int& maxHeight, Placed& placed) {
    blinket.frameWidth = 0;
    blinket.frameHeight = 0;
    blinket.imageFrameHeight = 0;
    const Picture* picture = blinket.ImagePath(placed.path) ? pictures.Of(placed.path) : nullptr;
    blinket.imageExists = picture != nullptr;
    if (!picture) {
        return false;
    }
    placed.grid = FramesOf(picture->width, picture->height);
    placed.frame = ShownFrame(placed.grid.count, blinket.imagePos);
    const SIZE shown = ShownFrameSize(placed.grid, maxFrameHeight);
    if (total + shown.cx + blinketGap > maxStripWidth) {
        return false;
    }
    placed.blinket = &blinket;
    blinket.frameWidth = shown.cx;
    blinket.frameHeight = shown.cy;
    blinket.imageFrameHeight = placed.grid.height;
    blinket.xOffset = total;
    total += blinket.frameWidth + blinketGap;
    maxHeight = std::max(maxHeight, blinket.frameHeight);
    return true;
}

// Copies the blinket's frame into the strip at its offset, scaled to its room with the nearest
// pixel so that the key colour stays exact.
void DrawFrame(const Placed& placed, const PixelView& source, const PixelView& strip) {
    const Blinket& blinket = *placed.blinket;
    const int left = placed.frame * placed.grid.width;
    for (int y = 0; y < blinket.frameHeight; ++y) {
        const int sourceY = static_cast<int>(1LL * y * placed.grid.height / blinket.frameHeight);
        const Pixel* from = source.Row(sourceY) + left;
        Pixel* to = strip.Row(y) + blinket.xOffset;
        for (int x = 0; x < blinket.frameWidth; ++x) {
            to[x] = from[1LL * x * placed.grid.width / blinket.frameWidth] & 0x00FFFFFF;
        }
    }
}

// The strip of the placed blinkets on a key-coloured canvas; null when there is nothing to
// compose or a canvas cannot be made.
HBITMAP ComposeStrip(int width, int height, const std::vector<Placed>& placed,
                     LayoutPictures& pictures) {
    PixelView strip;
    GdiObject<HBITMAP> canvas(CreatePixelBitmap(width, height, strip));
    if (!canvas) {
        return nullptr;
    }
    const Pixel key = PixelOf(kKeyColour);
    for (int y = 0; y < height; ++y) {
        std::fill(strip.Row(y), strip.Row(y) + width, key);
    }
    for (const Placed& one : placed) {
        const Picture* picture = pictures.Of(one.path);
        if (!picture) {
            continue;
        }
        PixelView source = ViewPixels(picture->bitmap);
        GdiObject<HBITMAP> copy;
        if (!source) {
            copy.Reset(CopyToPixelBitmap(picture->bitmap, source));
        }
        if (source && source.width() >= (one.frame + 1) * one.grid.width &&
            source.height() >= one.grid.height) {
            DrawFrame(one, source, strip);
        }
    }
    return canvas.Release();
}

// ---------------------------------------------------------------------------------------------
// Painting

// The focus mark as the window's shape and the marked blinket's place now give it; empty when no
// shown blinket bears it.
FocusRings MarkRings(HWND window) {
    const Blinket* blinket = blinkets.At(markedBlinket);
    if (!blinket || !IsPlaced(*blinket)) {
        return {};
    }
    const RECT item = WindowRectOf(*blinket);
    GdiObject<HRGN> shape(CreateRectRgn(0, 0, 0, 0));
    if (shape && GetWindowRgn(window, shape.get()) == ERROR) {
        shape.Reset(CreateRectRgnIndirect(&item));
    }
    // Rings as wide as the pictures' pixels are enlarged, rounded: the mark keeps its weight.
    return shape ? MakeFocusRings(shape.get(), item, ScaledLength(1, displayDpi)) : FocusRings();
}

// Rolls every pupil round to the centre and shows the whole window. Through the window's own
// context rather than the clipped paint context: a pupil erased outside the part being painted
// would stay on the screen.
void RollEyes(HWND window) {
    WindowCanvas canvas(window);
    if (!canvas) {
        return;
    }
    for (int index = 0; index < blinkets.Count(); ++index) {
        Blinket* blinket = blinkets.At(index);
        if (blinket && IsPlaced(*blinket) && blinket->EnsureEyes()) {
            blinket->eyes->Roll(canvas.target(), canvas.image());
        }
    }
    canvas.Show({0, 0, shownPicture.width, shownPicture.height});
    WindowDC dc(window);
    if (dc) {
        DrawFocusRings(dc.get(), MarkRings(window));
    }
}

}  // namespace

StripImageDC::StripImageDC(HDC compatibleWith)
    : dc_(compatibleWith), strip_(dc_.get(), stripPicture.bitmap) {}

int ScaledLength(int length, int dpi) {
    return MulDiv(length, std::max(kBaseDpi, dpi), kBaseDpi);
}

SIZE ScaledSize(SIZE size, int dpi) {
    return {ScaledLength(size.cx, dpi), ScaledLength(size.cy, dpi)};
}

int WholeScaleOf(int dpi) {
    dpi = std::max(kBaseDpi, dpi);
    return dpi % kBaseDpi == 0 ? dpi / kBaseDpi : 0;
}

int MenuBarHeightFor(int dpi) {
    return ScaledLength(kMenuBarHeight, dpi);
}

int MaxFrameHeight(int screenHeight, int dpi) {
    return std::max(
        1, static_cast<int>(1LL * screenHeight * kBaseDpi / (3LL * std::max(kBaseDpi, dpi))));
}

SIZE WindowSize() {
    return ScaledSize({stripPicture.width, stripPicture.height}, displayDpi);
}

POINT StripPoint(POINT windowPoint) {
    const SIZE window = WindowSize();
    // Without a strip the window has no pixels, and the density alone tells the ratio.
    const bool shown = window.cx > 0 && window.cy > 0;
    const SIZE from = shown ? window : SIZE{displayDpi, displayDpi};
    const SIZE to =
        shown ? SIZE{stripPicture.width, stripPicture.height} : SIZE{kBaseDpi, kBaseDpi};
    return {static_cast<LONG>(1LL * windowPoint.x * to.cx / from.cx),
            static_cast<LONG>(1LL * windowPoint.y * to.cy / from.cy)};
}

RECT WindowArea(const RECT& stripArea) {
    if (stripPicture.width <= 0 || stripPicture.height <= 0) {
        return {};
    }
    const SIZE window = WindowSize();
    const auto down = [](long long value, long long by, long long of) {
        return static_cast<LONG>(value * by / of);
    };
    const auto up = [](long long value, long long by, long long of) {
        return static_cast<LONG>((value * by + of - 1) / of);
    };
    return {down(stripArea.left, window.cx, stripPicture.width),
            down(stripArea.top, window.cy, stripPicture.height),
            up(stripArea.right, window.cx, stripPicture.width),
            up(stripArea.bottom, window.cy, stripPicture.height)};
}

RECT WindowRectOf(const Blinket& blinket) {
    return IsPlaced(blinket) ? WindowArea(WindowCanvas::AreaOf(blinket)) : RECT{};
}

WindowCanvas::WindowCanvas(HWND window)
    : window_(window), handle_(window), shown_(window_.get()),
      shownBitmap_(shown_.get(), shownPicture.bitmap), image_(window_.get()) {}

WindowCanvas::operator bool() const {
    return window_ && shown_ && image_ && shownPicture.IsLoaded() && stripPicture.IsLoaded();
}

void WindowCanvas::Show(const RECT& area) const {
    // Pupils move while the focus mark stands: they are shown around it.
    const FocusRings mark = MarkRings(handle_);
    if (mark) {
        RECT client = {};
        GetClientRect(handle_, &client);
        GdiObject<HRGN> open(CreateRectRgnIndirect(&client));
        if (open && CombineRgn(open.get(), open.get(), mark.area.get(), RGN_DIFF) != ERROR) {
            SelectClipRgn(window_.get(), open.get());
        }
    }
    CopyToWindow(area);
    if (mark) {
        SelectClipRgn(window_.get(), nullptr);
    }
}

void WindowCanvas::CopyToWindow(const RECT& area) const {
    if (const int scale = WholeScaleOf(displayDpi)) {
        // Every pixel a block of scale x scale, never blended; at scale 1 a plain copy.
        SetStretchBltMode(window_.get(), COLORONCOLOR);
        StretchBlt(window_.get(), area.left * scale, area.top * scale,
                   (area.right - area.left) * scale, (area.bottom - area.top) * scale, shown_.get(),
                   area.left, area.top, area.right - area.left, area.bottom - area.top, SRCCOPY);
        return;
    }
    const SIZE size = WindowSize();
    RECT target = WindowArea(area);
    const RECT whole = {0, 0, size.cx, size.cy};
    IntersectRect(&target, &target, &whole);
    PixelView colours;
    GdiObject<HBITMAP> block(
        CreatePixelBitmap(target.right - target.left, target.bottom - target.top, colours));
    MemoryDC blockDC(window_.get());
    if (!block || !blockDC) {
        return;
    }
    GdiFlush();  // the pupils drawn on shownPicture
    AverageByArea(ViewPixels(shownPicture.bitmap), ViewPixels(maskPicture.bitmap), size.cx, size.cy,
                  target, colours, PixelView(), PixelOf(kKeyColour));
    SelectedObject selected(blockDC.get(), block.get());
    BitBlt(window_.get(), target.left, target.top, colours.width(), colours.height(), blockDC.get(),
           0, 0, SRCCOPY);
}

RECT WindowCanvas::AreaOf(const Blinket& blinket) {
    return {blinket.xOffset, 0, blinket.xOffset + blinket.frameWidth, blinket.frameHeight};
}

WindowPlacement PlaceWindow(int screenWidth, int screenHeight, int stripWidthValue, int stripHeight,
                            int menuBarHeightValue, int centreX) {
    const int half = stripWidthValue / 2;
    WindowPlacement placement;
    // A window taller than twice the distance would hang below the screen's edge.
    placement.y = stripHeight > 2 * menuBarHeightValue
                      ? screenHeight - stripHeight
                      : screenHeight - menuBarHeightValue - stripHeight / 2;
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

WindowStand ChooseStand(const MonitorList& monitors, const wchar_t* monitorName, int centreX) {
    WindowStand stand;
    const MonitorArea* named = NamedMonitor(monitors, monitorName);
    const MonitorArea* primary = PrimaryMonitor(monitors);
    stand.chosen = named || !monitorName || !*monitorName;
    if (const MonitorArea* on = named ? named : primary) {
        stand.monitor = *on;
    }
    stand.centreX = stand.chosen ? centreX : -1;
    return stand;
}

WindowStand ChosenStand() {
    return ChooseStand(CurrentMonitors(), windowMonitor, windowCentreX);
}

const WindowStand& ShownStand() {
    return shownStand;
}

WindowPlacement PlaceOnStand(const WindowStand& stand, SIZE window) {
    const RECT& monitor = stand.monitor.rect;
    WindowPlacement placement =
        PlaceWindow(monitor.right - monitor.left, monitor.bottom - monitor.top, window.cx,
                    window.cy, MenuBarHeightFor(stand.monitor.dpi), stand.centreX);
    placement.x += monitor.left;
    placement.y += monitor.top;
    return placement;
}

bool IsPlaced(const Blinket& blinket) {
    return blinket.imageExists && blinket.frameWidth > 0 && blinket.frameHeight > 0;
}

void ReleaseStrip() {
    stripPicture.Release();
    maskPicture.Release();
    shownPicture.Release();
}

void LayoutBlinketsOn(const WindowStand& stand, int& x, int& y) {
    ReleaseStrip();
    displayDpi = std::max(kBaseDpi, stand.monitor.dpi);
    menuBarHeight = MenuBarHeightFor(displayDpi);
    const int screenHeight = stand.monitor.rect.bottom - stand.monitor.rect.top;

    const int maxFrameHeight = MaxFrameHeight(screenHeight, displayDpi);
    const int maxStripWidth = static_cast<int>(1LL * kMaxStripWidth * kBaseDpi / displayDpi);
    LayoutPictures pictures;
    std::vector<Placed> placed;
    int total = 0;
    int maxHeight = 0;
    for (int index = 0; index < blinkets.Count(); ++index) {
        Blinket* blinket = blinkets.At(index);
        if (!blinket) {
            continue;
        }
        Placed one;
        if (MeasureBlinket(*blinket, pictures, maxFrameHeight, maxStripWidth, total, maxHeight,
                           one)) {
            placed.push_back(one);
        }
        // Eye rectangles are read with the offset of their time: read them again.
        blinket->DropEyes();
    }
    stripPicture.Attach(ComposeStrip(total, maxHeight, placed, pictures));
    // Keyed on the key colour itself rather than on the strip's top-left pixel, which belongs
    // to the first blinket's image where that is opaque.
    maskPicture.Attach(stripPicture.IsLoaded() ? stripPicture.MakeMask(kKeyColour) : nullptr);
    if (stripPicture.IsLoaded()) {
        PixelView copy;
        shownPicture.Attach(CopyToPixelBitmap(stripPicture.bitmap, copy));
        stripWidth = stripPicture.width;
    }

    const WindowPlacement placement = StandWindowOn(stand);
    x = placement.x;
    y = placement.y;
}

WindowPlacement StandWindowOn(const WindowStand& stand) {
    // Everything on the screen follows the enlarged size.
    const WindowPlacement placement = PlaceOnStand(stand, WindowSize());
    shownStand = stand;
    if (stand.chosen) {
        windowCentreX = placement.centreX;
        shownStand.centreX = placement.centreX;
    }
    return placement;
}

void LayoutBlinkets(int& x, int& y) {
    LayoutBlinketsOn(ChosenStand(), x, y);
}

void MarkFocusedBlinket(int index) {
    if (index != markedBlinket) {
        markedBlinket = index;
        if (IsWindow(mainWindow)) {
            InvalidateRect(mainWindow, nullptr, FALSE);
        }
    }
}

int MarkedBlinket() {
    return markedBlinket;
}

void PaintMainWindow(HWND window) {
    if (!IsWindow(window)) {
        return;
    }
    PAINTSTRUCT paint;
    if (BeginPaint(window, &paint) && shownPicture.IsLoaded()) {
        RollEyes(window);
    }
    EndPaint(window, &paint);
}

void EraseMainBackground(HDC dc) {
    RECT client = {};
    GetClientRect(mainWindow, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}
