// The strip: every blinket side by side in one composed image, the window's place on the screen,
// its painting, and its shape, which follows the strip's opaque pixels.
#pragma once

#include "base/Handles.h"

#include <windows.h>

class Blinket;

// Where the window stands, and the horizontal centre that goes with it.
struct WindowPlacement {
    int x = 0;
    int y = 0;
    int centreX = -1;
};

// The window's enlargement for a screen of the given pixels per inch: 1 below 168, 2 from 168 to
// 263, 3 from 264 to 359, and so on, so that blinkets keep their size on the desk.
int DisplayScaleFor(int logPixels);
// The tallest a frame is shown, in its own pixels, on a screen of the given height with the
// window enlarged scale times: a third of the screen. A taller frame is scaled down to it, so
// that no picture takes over the desktop.
int MaxFrameHeight(int screenHeight, int scale);
// The window's size: the strip's, enlarged displayScale times.
SIZE WindowSize();
// A point of the window in the strip's own pixels.
POINT StripPoint(POINT windowPoint);
// The blinket's frame in window pixels: where it is seen, hovered, marked and reported.
RECT WindowRectOf(const Blinket& blinket);

// The window's top-left corner for a strip whose vertical middle lies menuBarHeight pixels above
// the screen's bottom edge and whose horizontal centre is centreX (-1: the screen's middle),
// moved in where it would stand out at the left or the right.
WindowPlacement PlaceWindow(int screenWidth, int screenHeight, int stripWidthValue, int stripHeight,
                            int menuBarHeightValue, int centreX);

// Whether the last layout gave the blinket room in the strip.
bool IsPlaced(const Blinket& blinket);

// Frees stripPicture, maskPicture and shownPicture.
void ReleaseStrip();
// Rebuilds stripPicture, maskPicture and shownPicture from the blinkets, writes their layout
// fields and windowCentreX, and returns the window's top-left corner in screen pixels.
void LayoutBlinkets(int& x, int& y);

// A memory device context holding the composed strip: the blinkets without pupils, which
// erasing a pupil copies back from.
class StripImageDC {
public:
    explicit StripImageDC(HDC compatibleWith);
    HDC get() const { return dc_.get(); }
    explicit operator bool() const { return static_cast<bool>(dc_); }

private:
    MemoryDC dc_;
    SelectedObject strip_;
};

// Draws on what the window shows. Pupils are drawn at the pictures' own size over shownPicture,
// erased from the strip, and what changed is copied to the window enlarged displayScale times,
// each pixel a block: pictures and pupils stay crisp at any enlargement.
class WindowCanvas {
public:
    explicit WindowCanvas(HWND window);
    explicit operator bool() const;
    // Where pupils are drawn, in the strip's pixels.
    HDC target() const { return shown_.get(); }
    // The strip without pupils, which erasing a pupil copies back from.
    HDC image() const { return image_.get(); }
    // Copies an area of the strip's pixels, as now drawn, to the window.
    void Show(const RECT& area) const;
    // The area of a blinket's frame.
    static RECT AreaOf(const Blinket& blinket);

private:
    WindowDC window_;
    HWND handle_;
    MemoryDC shown_;
    SelectedObject shownBitmap_;
    StripImageDC image_;
};

// Marks the blinket at the list index as the one the keyboard acts on (-1: none) and has the
// window painted again. The mark is drawn by painting alone, and the canvas never draws over it.
void MarkFocusedBlinket(int index);
// The blinket that bears the mark, or -1.
int MarkedBlinket();

// The whole of WM_PAINT: every blinket's pupils rolled once round to the centre, the window shown
// whole, and the focus mark.
void PaintMainWindow(HWND window);
// The whole of WM_ERASEBKGND.
void EraseMainBackground(HDC dc);
