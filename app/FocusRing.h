// The keyboard focus mark: two rings just inside the outline of a blinket's part of the window's
// shape, in the system's highlight colours, so that the pair shows on any desktop, over any
// picture and in high contrast.
#pragma once

#include "base/Handles.h"

#include <windows.h>

// Ring widths in window pixels per unit of the window's enlargement.
constexpr int kFocusOuterWidth = 2;
constexpr int kFocusInnerWidth = 1;

// The mark's regions in window pixels; all empty (null) when there is nothing to mark.
struct FocusRings {
    GdiObject<HRGN> outer;  // along the outline, in COLOR_HIGHLIGHT
    GdiObject<HRGN> inner;  // just inside it, in COLOR_HIGHLIGHTTEXT
    GdiObject<HRGN> area;   // both rings: what the mark covers
    explicit operator bool() const { return static_cast<bool>(area); }
};

// What stays of a region shrunk by `by` pixels from each of its edges, holes included; null when
// a region cannot be made. The caller owns it.
HRGN ShrunkRegion(HRGN region, int by);
// The rings inside the part of the shape that lies in the item's rectangle, the outer ring
// kFocusOuterWidth * scale pixels wide and the inner kFocusInnerWidth * scale.
FocusRings MakeFocusRings(HRGN shape, const RECT& item, int scale);
// Fills the rings in their colours.
void DrawFocusRings(HDC dc, const FocusRings& rings);
