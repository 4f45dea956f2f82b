#include "app/FocusRing.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr COLORREF kPicture = RGB(10, 200, 30);
constexpr COLORREF kDesktop = RGB(58, 110, 165);

// A region of the rectangles; the caller owns it.
HRGN RegionOf(std::initializer_list<RECT> rects) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (const RECT& rect : rects) {
        GdiObject<HRGN> part(CreateRectRgnIndirect(&rect));
        CombineRgn(region, region, part.get(), RGN_OR);
    }
    return region;
}

// The region's pixels along a row, from x to x + count: '#' inside, '.' outside.
std::string Row(HRGN region, int y, int x, int count) {
    std::string row;
    for (int i = 0; i < count; ++i) {
        row += PtInRegion(region, x + i, y) ? '#' : '.';
    }
    return row;
}

}  // namespace

TEST(FocusRing, ShrinkingKeepsWhatLiesFarEnoughInsideEveryEdge) {
    const struct {
        std::initializer_list<RECT> shape;
        int by;
        int y;
        const char* row;  // x 0 to 11 at y
    } cases[] = {
        {{{0, 0, 12, 8}}, 2, 4, "..########.."},
        {{{0, 0, 12, 8}}, 2, 1, "............"},
        {{{0, 0, 12, 8}}, 0, 0, "############"},
        {{{0, 0, 12, 8}}, 4, 4, "............"},
        // A hole of one pixel at (5, 3) has an edge of its own; so has a gap.
        {{{0, 0, 12, 3}, {0, 4, 12, 8}, {0, 3, 5, 4}, {6, 3, 12, 4}}, 1, 2, ".####.#####."},
        {{{0, 0, 5, 8}, {6, 0, 12, 8}}, 1, 4, ".###...####."},
        // An L: its arm keeps its own inside.
        {{{0, 0, 4, 8}, {0, 5, 12, 8}}, 1, 6, ".##########."},
    };
    for (const auto& c : cases) {
        GdiObject<HRGN> shape(RegionOf(c.shape));
        GdiObject<HRGN> shrunk(ShrunkRegion(shape.get(), c.by));
        ASSERT_TRUE(shrunk);
        EXPECT_EQ(c.row, Row(shrunk.get(), c.y, 0, 12)) << c.by << " at y " << c.y;
    }
}

TEST(FocusRing, TwoRingsInsideTheItemsPartOfTheShapeInTheHighlightColours) {
    const COLORREF outer = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF inner = GetSysColor(COLOR_HIGHLIGHTTEXT);
    for (int scale : {1, 2, 3}) {
        SCOPED_TRACE(scale);
        // Two items side by side, the first with a notch cut from its top-left corner; the
        // second must stay as it is.
        const RECT item = {0, 0, 20 * scale, 16 * scale};
        GdiObject<HRGN> shape(RegionOf({{0, 4 * scale, 20 * scale, 16 * scale},
                                        {4 * scale, 0, 20 * scale, 4 * scale},
                                        {24 * scale, 0, 40 * scale, 16 * scale}}));
        const FocusRings rings = MakeFocusRings(shape.get(), item, scale);
        ASSERT_TRUE(rings);
        testsupport::Canvas canvas(40 * scale, 16 * scale, kDesktop);
        FillRgn(canvas.dc(), shape.get(), GdiObject<HBRUSH>(CreateSolidBrush(kPicture)).get());
        DrawFocusRings(canvas.dc(), rings);

        const int middle = 10 * scale;
        // From the left edge inwards, and from the notch's edge down.
        for (int x = 0; x < 2 * scale; ++x) {
            EXPECT_EQ(outer, canvas.Pixel(x, middle)) << x;
            EXPECT_EQ(outer, canvas.Pixel(2 * scale, 4 * scale + x)) << x;
        }
        for (int x = 2 * scale; x < 3 * scale; ++x) {
            EXPECT_EQ(inner, canvas.Pixel(x, middle)) << x;
            EXPECT_EQ(inner, canvas.Pixel(middle, x)) << x;
        }
        EXPECT_EQ(kPicture, canvas.Pixel(3 * scale, middle));
        EXPECT_EQ(kPicture, canvas.Pixel(middle, middle));
        EXPECT_EQ(outer, canvas.Pixel(20 * scale - 1, middle));
        EXPECT_EQ(kDesktop, canvas.Pixel(1, 1)) << "the notch is outside the shape";
        EXPECT_EQ(kDesktop, canvas.Pixel(22 * scale, middle)) << "the gap";
        EXPECT_EQ(kPicture, canvas.Pixel(24 * scale, middle)) << "the other item";
        // The area is both rings and nothing else.
        EXPECT_TRUE(PtInRegion(rings.area.get(), 0, middle));
        EXPECT_TRUE(PtInRegion(rings.area.get(), 3 * scale - 1, middle));
        EXPECT_FALSE(PtInRegion(rings.area.get(), 3 * scale, middle));
    }
}

TEST(FocusRing, NothingToMarkWhereTheShapeMissesTheItem) {
    GdiObject<HRGN> shape(RegionOf({{30, 0, 40, 10}}));
    const FocusRings rings = MakeFocusRings(shape.get(), {0, 0, 20, 10}, 1);
    ASSERT_TRUE(rings);
    RECT box = {};
    EXPECT_EQ(NULLREGION, GetRgnBox(rings.area.get(), &box));
}
