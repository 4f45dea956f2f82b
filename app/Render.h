// The strip: every blinket side by side in one composed image, the window's place on the screen,
// its painting, and its shape, which follows the strip's opaque pixels.
#pragma once

#include "app/Monitors.h"
#include "base/Handles.h"

#include <windows.h>

class Blinket;

// Where the window stands, and the horizontal centre that goes with it.
struct WindowPlacement {
    int x = 0;
    int y = 0;
    int centreX = -1;
};

// Pixels per inch the window is laid out for at the least: a sparser screen (which Windows never
// reports) keeps the pictures' own pixels rather than lose some of them.
constexpr int kBaseDpi = 96;
// The distance of the window's middle above the screen's bottom at 96 dpi.
constexpr int kMenuBarHeight = 26;

// A length of the pictures' own pixels on a screen of the given pixels per inch: enlarged
// dpi / 96 times, rounded.
int ScaledLength(int length, int dpi);
SIZE ScaledSize(SIZE size, int dpi);
// The enlargement of a screen of the given pixels per inch when it is a whole number (2 at 192,
// 3 at 288), else 0: whole enlargements copy every pixel as a block, others average by area.
int WholeScaleOf(int dpi);
// The window's middle stands this far above the screen's bottom: 26 pixels enlarged as the
// pictures are (52 at 192 dpi).
int MenuBarHeightFor(int dpi);
// The tallest a frame is shown, in its own pixels, on a screen of the given height and pixels per
// inch: a third of the screen once enlarged. A taller frame is scaled down to it, so that no
// picture takes over the desktop.
int MaxFrameHeight(int screenHeight, int dpi);

// The window's size: the strip's, enlarged for displayDpi. Every conversion between the strip's
// pixels and the window's goes through this size and the three routines below.
SIZE WindowSize();
// A point of the window in the strip's own pixels.
POINT StripPoint(POINT windowPoint);
// The window pixels that show an area of the strip, every one that shows any part of it.
RECT WindowArea(const RECT& stripArea);
// The blinket's frame in window pixels: where it is seen, hovered, marked and reported.
RECT WindowRectOf(const Blinket& blinket);

// The window's top-left corner for a window whose vertical middle lies menuBarHeight pixels above
// the screen's bottom edge (or, for a window taller than twice that, whose bottom rests on that
// edge, so that all of it shows) and whose horizontal centre is centreX (-1: the screen's middle),
// moved in where it would stand out at the left or the right. Sizes are the window's.
WindowPlacement PlaceWindow(int screenWidth, int screenHeight, int stripWidthValue, int stripHeight,
                            int menuBarHeightValue, int centreX);

// Where the window stands: a monitor, and a horizontal centre counted from its left edge (-1: its
// middle). A stand the user chose keeps the centre the layout settles on in windowCentreX.
struct WindowStand {
    MonitorArea monitor;
    int centreX = -1;
    bool chosen = true;
};
// The stand the settings ask for among the monitors: the monitor named (the primary when the name
// is empty) at the centre; when the named one is missing, the primary, centred, for the centre
// belongs to the missing monitor and waits for its return.
WindowStand ChooseStand(const MonitorList& monitors, const wchar_t* monitorName, int centreX);
// The same for the monitors as they are now and windowMonitor at windowCentreX.
WindowStand ChosenStand();
// The stand of the last layout, with the centre it settled on.
const WindowStand& ShownStand();
// The window's top-left corner in screen pixels and its centre on the monitor, for a window of
// the size on the stand, placed on the monitor by PlaceWindow at the monitor's density.
WindowPlacement PlaceOnStand(const WindowStand& stand, SIZE window);

// Whether the last layout gave the blinket room in the strip.
bool IsPlaced(const Blinket& blinket);

// Frees stripPicture, maskPicture and shownPicture.
void ReleaseStrip();
// Rebuilds stripPicture, maskPicture and shownPicture from the blinkets for the stand's monitor
// and density (displayDpi, menuBarHeight), writes their layout fields and, for a stand the user
// chose, windowCentreX, and returns the window's top-left corner in screen pixels.
void LayoutBlinketsOn(const WindowStand& stand, int& x, int& y);
// The same on the chosen stand.
void LayoutBlinkets(int& x, int& y);
// The top-left corner in screen pixels of the window as last laid out, standing on the stand (of
// the layout's monitor and density), which becomes the shown stand; for a stand the user chose,
// the centre it settles on goes to windowCentreX.
WindowPlacement StandWindowOn(const WindowStand& stand);

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
// erased from the strip, and what changed is copied to the window enlarged for displayDpi: by a
// whole number each pixel a block, so that pictures and pupils stay crisp; by any other, averaged
// by area from the picture enlarged by the next whole number.
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
    // The copy itself, enlarged for displayDpi.
    void CopyToWindow(const RECT& area) const;

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
