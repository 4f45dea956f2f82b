// The window's shape: a region that follows the opaque pixels of the strip's mask.
#pragma once

#include "base/Pixels.h"

#include <windows.h>

// What the callers pass to RegionFromBitmap for the mask: black, with 16 steps of leeway.
constexpr COLORREF kMaskKeyColour = RGB(0, 0, 0);
constexpr COLORREF kMaskTolerance = 0x101010;
// No single region-creation call receives more rectangles than this.
constexpr int kRegionMaxBatchRects = 2000;
// Rectangles per region-creation call. A call costs the square of its rectangles (Wine adds them
// one by one to the region made so far); merging the small regions costs a copy of their
// rectangles per merge level. 16 measured cheapest (tools/bench.sh runs).
constexpr int kRegionBatchRects = 16;

// A region of one rectangle per horizontal run of pixels outside the key colour's range (key to
// key + tolerance, per colour byte), each pixel scale x scale pixels of it, made in batches of
// batchRects rectangles (at most kRegionMaxBatchRects) merged pairwise; null when the bitmap is
// null or cannot be read. The caller owns the region.
HRGN RegionFromBitmap(HBITMAP bitmap, COLORREF key, COLORREF tolerance,
                      int batchRects = kRegionBatchRects, int scale = 1);
// The same for a mask as the layout makes it (black where transparent), enlarged scale times:
// read in place when it is a bottom-up DIB section, as the layout's is, else through a copy.
HRGN MaskRegion(HBITMAP mask, int scale);
// Sets the region as the window's, with redraw; the window owns it afterwards.
void ApplyWindowRegion(HWND window, HRGN region);
// The window's region: maskPicture's shape enlarged as the window shows the strip; null when
// there is no mask or the region cannot be made.
HRGN WindowRegion();
// Shapes the window after maskPicture; without a mask or a region the old shape stays.
void ShapeMainWindow(HWND window);
