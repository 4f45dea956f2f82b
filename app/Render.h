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

// The tallest a blinket is shown on a screen of the given height: a third of it. A taller frame
// is scaled down to it, so that no picture takes over the desktop.
int MaxFrameHeight(int screenHeight);

// The window's top-left corner for a strip whose vertical middle lies menuBarHeight pixels above
// the screen's bottom edge and whose horizontal centre is centreX (-1: the screen's middle),
// moved in where it would stand out at the left or the right.
WindowPlacement PlaceWindow(int screenWidth, int screenHeight, int stripWidthValue, int stripHeight,
                            int menuBarHeightValue, int centreX);

// Whether the last layout gave the blinket room in the strip.
bool IsPlaced(const Blinket& blinket);

// Frees stripPicture, maskPicture and stripImageList.
void ReleaseStrip();
// Rebuilds stripPicture, maskPicture and stripImageList from the blinkets, writes their layout
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

// The whole of WM_PAINT: the strip, then every blinket's pupils rolled once round to the centre.
void PaintMainWindow(HWND window);
// The whole of WM_ERASEBKGND.
void EraseMainBackground(HDC dc);
