#include "app/Render.h"

#include "base/Handles.h"
#include "base/ShellHelpers.h"
#include "model/Blinket.h"
#include "model/EyeAnimator.h"
#include "state/ShellState.h"

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

// Drawn through the window's own context rather than the paint context, which clips to what
// needs repainting: an old pupil outside that must be erased too, or it would stay behind when
// the pupils go to the centre.
void RollEyes(HWND window) {
    if (!stripPicture.IsLoaded()) {
        return;
    }
    WindowDC target(window);
    StripImageDC image(target.get());
    if (!target || !image) {
        return;
    }
    for (int index = 0; index < blinkets.Count(); ++index) {
        Blinket* blinket = blinkets.At(index);
        if (blinket && IsPlaced(*blinket) && blinket->EnsureEyes()) {
            blinket->eyes->Roll(target.get(), image.get());
        }
    }
}

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
        RollEyes(window);
    }
    EndPaint(window, &paint);
}

void EraseMainBackground(HDC dc) {
    RECT client = {};
    GetClientRect(mainWindow, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}
