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

// The region stays the one of one rectangle per run, whatever the batches and their merging.
TEST(RegionFromBitmap, TheSameRegionFromAnyBatchSize) {
    const struct {
        const char* name;
        int width;
        int height;
        bool (*opaque)(int x, int y);
    } masks[] = {
        {"holes", 40, 20,
         [](int x, int y) { return (x < 10 || x > 15 || y < 5 || y > 8) && x != y; }},
        {"single pixels", 31, 17, [](int x, int y) { return (7 * x + 3 * y) % 11 == 0; }},
        {"full rows", 50, 12, [](int, int y) { return y % 3 != 1; }},
        {"every other pixel", 100, 50, [](int x, int) { return x % 2 == 0; }},
        {"noise", 64, 40,
         [](int x, int y) { return (((x * 2654435761u) ^ (y * 40503u)) & 0x100) != 0; }},
        {"rows read in bands", 3000, 12, [](int x, int y) { return x % 50 < 30 && x % 12 != y; }},
        {"all", 9, 4, [](int, int) { return true; }},
        {"none", 9, 4, [](int, int) { return false; }},
    };
    for (const auto& mask : masks) {
        std::vector<COLORREF> pixels;
        std::vector<RECT> runs;
        for (int y = 0; y < mask.height; ++y) {
            for (int x = 0; x < mask.width; ++x) {
                pixels.push_back(mask.opaque(x, y) ? kWhite : kBlack);
                if (mask.opaque(x, y) && (x == 0 || !mask.opaque(x - 1, y))) {
                    runs.push_back({x, y, x + 1, y + 1});
                } else if (mask.opaque(x, y)) {
                    runs.back().right = x + 1;
                }
            }
        }
        GdiObject<HBITMAP> bitmap(MakeDib(mask.width, mask.height, pixels));
        for (int batch : {kRegionBatchRects, 1, 3, kRegionMaxBatchRects, 5000}) {
            GdiObject<HRGN> region(
                RegionFromBitmap(bitmap.get(), kMaskKeyColour, kMaskTolerance, batch));
            EXPECT_TRUE(SameRegion(region.get(), runs)) << mask.name << ", batches of " << batch;
        }
    }
}
