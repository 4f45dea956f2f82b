#include "base/Handles.h"
#include "base/Pixels.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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

namespace {

constexpr Pixel kClear = 0x800080;

// A picture and its mask from rows of letters: R red, K black, W white, each opaque; "." is
// transparent (key colour, black in the mask).
struct Drawn {
    GdiObject<HBITMAP> pixels;
    GdiObject<HBITMAP> mask;
    PixelView pixelView;
    PixelView maskView;
};

Drawn Draw(const std::vector<std::string>& rows) {
    Drawn drawn;
    const int width = static_cast<int>(rows[0].size());
    const int height = static_cast<int>(rows.size());
    drawn.pixels.Reset(CreatePixelBitmap(width, height, drawn.pixelView));
    drawn.mask.Reset(CreatePixelBitmap(width, height, drawn.maskView));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const char c = rows[y][x];
            drawn.pixelView.Row(y)[x] = c == 'R'   ? 0xFF0000
                                        : c == 'W' ? 0xFFFFFF
                                        : c == 'K' ? 0
                                                   : kClear;
            drawn.maskView.Row(y)[x] = c == '.' ? 0 : 0xFFFFFF;
        }
    }
    return drawn;
}

struct Averaged {
    std::vector<Pixel> colours;
    std::vector<bool> shape;
};

Averaged Average(const Drawn& drawn, int width, int height, RECT area) {
    PixelView colours;
    PixelView shape;
    GdiObject<HBITMAP> colourBitmap(
        CreatePixelBitmap(area.right - area.left, area.bottom - area.top, colours));
    GdiObject<HBITMAP> shapeBitmap(
        CreatePixelBitmap(area.right - area.left, area.bottom - area.top, shape));
    AverageByArea(drawn.pixelView, drawn.maskView, width, height, area, colours, shape, kClear);
    Averaged result;
    for (int y = 0; y < colours.height(); ++y) {
        for (int x = 0; x < colours.width(); ++x) {
            result.colours.push_back(colours.Row(y)[x]);
            result.shape.push_back(shape.Row(y)[x] == 0xFFFFFF);
        }
    }
    return result;
}

}  // namespace

// Each new pixel averages the opaque pixels under it, by the part of each that lies under; it is
// opaque when at least half of it is, and no transparent colour ever blends in.
TEST(Pixels, AveragedByAreaOverTheOpaquePixelsOnly) {
    constexpr Pixel R = 0xFF0000, W = 0xFFFFFF, G = 0x808080, C = kClear;
    const struct {
        const char* what;
        std::vector<std::string> rows;
        int width, height;
        RECT area;
        std::vector<Pixel> colours;
        const char* shape;  // # opaque
    } cases[] = {
        {"half of the middle pixel is red", {"R."}, 3, 1, {0, 0, 3, 1}, {R, R, C}, "##."},
        {"black and white meet in grey", {"KW"}, 3, 1, {0, 0, 3, 1}, {0, G, W}, "###"},
        {"a part of the row", {"KW"}, 3, 1, {1, 0, 3, 1}, {G, W}, "##"},
        {"twice: blocks", {"R."}, 4, 1, {0, 0, 4, 1}, {R, R, C, C}, "##.."},
        {"two thirds and a third", {".R."}, 4, 1, {0, 0, 4, 1}, {C, R, R, C}, ".##."},
        {"down the column", {"R", "."}, 1, 3, {0, 0, 1, 3}, {R, R, C}, "##."},
        {"a corner: half, and a quarter",
         {"R.", ".."},
         3,
         3,
         {0, 0, 3, 3},
         {R, R, C, R, C, C, C, C, C},
         "##.#....."},
        // Pixels past the new size are left as they were.
        {"an area reaching out is cut", {"KW"}, 3, 1, {2, 0, 5, 1}, {W, 0, 0}, "#.."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Drawn drawn = Draw(c.rows);
        const Averaged averaged = Average(drawn, c.width, c.height, c.area);
        EXPECT_EQ(c.colours, averaged.colours);
        for (size_t i = 0; i < c.colours.size(); ++i) {
            EXPECT_EQ(c.shape[i] == '#', averaged.shape[i]) << i;
        }
    }
}

// The same as enlarging the picture by the next whole number pixel for pixel and then averaging
// every new pixel by the area of the enlarged pixels under it, worked here with fractions.
TEST(Pixels, AveragedByAreaAsFromTheNextWholeEnlargement) {
    std::vector<std::string> rows;
    for (int y = 0; y < 9; ++y) {
        std::string row;
        for (int x = 0; x < 13; ++x) {
            const unsigned hash = (x * 2654435761u) ^ (y * 40503u);
            row += (hash & 0x300) == 0 ? '.' : (hash & 0x10) ? 'W' : 'K';
        }
        rows.push_back(row);
    }
    const Drawn drawn = Draw(rows);
    for (int dpi : {100, 120, 144, 168, 192, 216, 240}) {
        SCOPED_TRACE(dpi);
        const int width = MulDiv(13, dpi, 96);
        const int height = MulDiv(9, dpi, 96);
        const int n = (dpi + 95) / 96;
        const Averaged averaged = Average(drawn, width, height, {0, 0, width, height});
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                // The new pixel's span over the enlarged picture, and what each enlarged pixel
                // under it contributes.
                const double left = 13.0 * n * x / width, right = 13.0 * n * (x + 1) / width;
                const double top = 9.0 * n * y / height, bottom = 9.0 * n * (y + 1) / height;
                double cover = 0;
                double white = 0;
                for (int ey = static_cast<int>(top); ey < bottom; ++ey) {
                    for (int ex = static_cast<int>(left); ex < right; ++ex) {
                        const double part =
                            (std::min<double>(ex + 1, right) - std::max<double>(ex, left)) *
                            (std::min<double>(ey + 1, bottom) - std::max<double>(ey, top));
                        const char c = rows[ey / n][ex / n];
                        cover += c == '.' ? 0 : part;
                        white += c == 'W' ? part : 0;
                    }
                }
                const double whole = (right - left) * (bottom - top);
                const bool opaque = cover >= whole / 2 - 1e-9;
                const size_t at = static_cast<size_t>(y) * width + x;
                ASSERT_EQ(opaque, averaged.shape[at]) << x << "," << y;
                if (opaque) {
                    const int grey = static_cast<int>(averaged.colours[at] & 0xFF);
                    ASSERT_NEAR(255.0 * white / cover, grey, 0.51) << x << "," << y;
                    ASSERT_EQ(averaged.colours[at], grey * 0x010101u) << x << "," << y;
                }
            }
        }
    }
}
