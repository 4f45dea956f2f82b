#include "base/Handles.h"
#include "base/Pixels.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::MakeDib;

namespace {

constexpr COLORREF kTop = RGB(10, 20, 30);
constexpr COLORREF kBottom = RGB(200, 100, 50);

// A bitmap whose top row is kTop and bottom row kBottom, made the way the case says.
HBITMAP TwoRows(int how) {
    switch (how) {
    case 0: return MakeDib(3, 2, {kTop, kTop, kTop, kBottom, kBottom, kBottom});  // top-down
    case 1: {  // bottom-up, as the image loader makes them
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(info.bmiHeader), 3, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        auto* pixels = static_cast<Pixel*>(bits);
        for (int x = 0; dib && x < 3; ++x) {
            pixels[x] = PixelOf(kBottom);
            pixels[3 + x] = PixelOf(kTop);
        }
        return dib;
    }
    default: {  // a bitmap of the screen's kind
        WindowDC screen(nullptr);
        HBITMAP ddb = CreateCompatibleBitmap(screen.get(), 3, 2);
        MemoryDC dc(screen.get());
        SelectedObject selected(dc.get(), ddb);
        for (int x = 0; x < 3; ++x) {
            SetPixel(dc.get(), x, 0, kTop);
            SetPixel(dc.get(), x, 1, kBottom);
        }
        return ddb;
    }
    }
}

}  // namespace

TEST(Pixels, RowsAreAddressedFromTheTopWhateverTheBitmapsKind) {
    for (int how = 0; how < 3; ++how) {
        SCOPED_TRACE(how);
        GdiObject<HBITMAP> bitmap(TwoRows(how));
        ASSERT_TRUE(bitmap);
        PixelView view = ViewPixels(bitmap.get());
        GdiObject<HBITMAP> copy;
        if (how != 1) {  // not known to be bottom-up: read through a copy
            copy.Reset(CopyToPixelBitmap(bitmap.get(), view));
        }
        ASSERT_TRUE(view);
        EXPECT_EQ(3, view.width());
        EXPECT_EQ(2, view.height());
        EXPECT_EQ(PixelOf(kTop), view.Row(0)[2] & 0xFFFFFF);
        EXPECT_EQ(PixelOf(kBottom), view.Row(1)[0] & 0xFFFFFF);
    }
}

TEST(Pixels, ANewBitmapIsBlackAndWhatIsWrittenIsWhatGdiReads) {
    PixelView view;
    GdiObject<HBITMAP> bitmap(CreatePixelBitmap(4, 3, view));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(0u, view.Row(2)[3]);
    view.Row(2)[3] = PixelOf(RGB(1, 2, 3));
    EXPECT_EQ(RGB(1, 2, 3), testsupport::ReadPixels(bitmap.get()).At(3, 2));
    for (SIZE refused : {SIZE{0, 3}, SIZE{4, 0}, SIZE{-1, -1}}) {
        EXPECT_EQ(nullptr, CreatePixelBitmap(refused.cx, refused.cy, view));
        EXPECT_FALSE(view);
    }
    EXPECT_FALSE(ViewPixels(nullptr));
    EXPECT_EQ(nullptr, CopyToPixelBitmap(nullptr, view));
}
