#include "app/WindowShape.h"

#include "base/Handles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using testsupport::MakeDib;

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

HRGN RegionOf(const std::vector<RECT>& rects) {
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(rects.size());
    std::copy(rects.begin(), rects.end(), reinterpret_cast<RECT*>(header + 1));
    return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                           reinterpret_cast<RGNDATA*>(data.data()));
}

bool SameRegion(HRGN region, const std::vector<RECT>& rects) {
    GdiObject<HRGN> expected(RegionOf(rects));
    return region && expected && EqualRgn(region, expected.get());
}

}  // namespace

TEST(RegionFromBitmap, OneRectanglePerOpaqueRun) {
    const COLORREF o = RGB(200, 10, 10);
    const COLORREF t = RGB(16, 16, 16);  // within the tolerance of black
    const COLORREF e = RGB(17, 0, 0);    // one step beyond it
    GdiObject<HBITMAP> bitmap(MakeDib(6, 3,
                                      {o, o, t, o, t, t,  //
                                       t, t, t, t, t, t,  //
                                       e, t, o, o, o, o}));
    GdiObject<HRGN> region(RegionFromBitmap(bitmap.get(), kMaskKeyColour, kMaskTolerance));
    EXPECT_TRUE(SameRegion(region.get(), {{0, 0, 2, 1}, {3, 0, 4, 1}, {0, 2, 1, 3}, {2, 2, 6, 3}}));

    // Each colour byte has its own range: red 100 to 110 here, green and blue exactly 0.
    GdiObject<HBITMAP> coloured(
        MakeDib(4, 1, {RGB(105, 0, 0), RGB(0, 0, 105), RGB(111, 0, 0), RGB(110, 0, 0)}));
    GdiObject<HRGN> keyed(RegionFromBitmap(coloured.get(), RGB(100, 0, 0), RGB(10, 0, 0)));
    EXPECT_TRUE(SameRegion(keyed.get(), {{1, 0, 3, 1}}));

    GdiObject<HBITMAP> clear(MakeDib(3, 2, std::vector<COLORREF>(6, kBlack)));
    GdiObject<HRGN> empty(RegionFromBitmap(clear.get(), kMaskKeyColour, kMaskTolerance));
    RECT box = {1, 1, 1, 1};
    ASSERT_TRUE(empty);
    EXPECT_EQ(NULLREGION, GetRgnBox(empty.get(), &box));
}

TEST(RegionFromBitmap, BatchesMakeTheSameRegionAsOne) {
    // Every other pixel opaque: 50 runs in each of 50 rows.
    std::vector<COLORREF> pixels(100 * 50, kBlack);
    std::vector<RECT> runs;
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 100; x += 2) {
            pixels[static_cast<size_t>(y) * 100 + x] = kWhite;
            runs.push_back({x, y, x + 1, y + 1});
        }
    }
    ASSERT_EQ(2500u, runs.size());
    GdiObject<HBITMAP> bitmap(MakeDib(100, 50, pixels));
    for (int batch : {kRegionBatchRects, 2500, 7, 1}) {
        GdiObject<HRGN> region(
            RegionFromBitmap(bitmap.get(), kMaskKeyColour, kMaskTolerance, batch));
        EXPECT_TRUE(SameRegion(region.get(), runs)) << "batches of " << batch;
    }
}
