#include "app/FocusRing.h"

#include <algorithm>

namespace {

HRGN EmptyRegion() {
    return CreateRectRgn(0, 0, 0, 0);
}

// A new region of a and b combined; null when it cannot be made.
HRGN Combined(HRGN a, HRGN b, int mode) {
    HRGN result = EmptyRegion();
    if (result && CombineRgn(result, a, b, mode) == ERROR) {
        DeleteObject(result);
        return nullptr;
    }
    return result;
}

}  // namespace

HRGN ShrunkRegion(HRGN region, int by) {
    GdiObject<HRGN> result(Combined(region, nullptr, RGN_COPY));
    GdiObject<HRGN> moved(EmptyRegion());
    if (!result || !moved) {
        return nullptr;
    }
    // A pixel stays when every pixel up to `by` away from it, in each of the four directions,
    // lies in the region too.
    const POINT steps[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (int distance = 1; distance <= by; ++distance) {
        for (const POINT& step : steps) {
            if (CombineRgn(moved.get(), region, nullptr, RGN_COPY) == ERROR ||
                OffsetRgn(moved.get(), step.x * distance, step.y * distance) == ERROR ||
                CombineRgn(result.get(), result.get(), moved.get(), RGN_AND) == ERROR) {
                return nullptr;
            }
        }
    }
    return result.Release();
}

FocusRings MakeFocusRings(HRGN shape, const RECT& item, int scale) {
    scale = std::max(1, scale);
    GdiObject<HRGN> box(CreateRectRgnIndirect(&item));
    GdiObject<HRGN> part(box ? Combined(shape, box.get(), RGN_AND) : nullptr);
    if (!part) {
        return {};
    }
    GdiObject<HRGN> inside(ShrunkRegion(part.get(), kFocusOuterWidth * scale));
    GdiObject<HRGN> core(
        inside ? ShrunkRegion(part.get(), (kFocusOuterWidth + kFocusInnerWidth) * scale) : nullptr);
    if (!core) {
        return {};
    }
    FocusRings rings;
    rings.outer.Reset(Combined(part.get(), inside.get(), RGN_DIFF));
    rings.inner.Reset(Combined(inside.get(), core.get(), RGN_DIFF));
    rings.area.Reset(Combined(part.get(), core.get(), RGN_DIFF));
    if (!rings.outer || !rings.inner || !rings.area) {
        return {};
    }
    return rings;
}

void DrawFocusRings(HDC dc, const FocusRings& rings) {
    if (rings) {
        FillRgn(dc, rings.outer.get(), GetSysColorBrush(COLOR_HIGHLIGHT));
        FillRgn(dc, rings.inner.get(), GetSysColorBrush(COLOR_HIGHLIGHTTEXT));
    }
}
