#include "base/IconPixels.h"

#include "base/Handles.h"
#include "base/Picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

AlphaImage Filled(int width, int height, Pixel pixel) {
    return {width, height, std::vector<Pixel>(static_cast<size_t>(width) * height, pixel)};
}

// Premultiplied: the colour scaled by the alpha.
constexpr Pixel Premultiplied(int alpha, Pixel rgb) {
    return (Pixel(alpha) << 24) | ((((rgb >> 16) & 0xFF) * alpha / 255) << 16) |
           ((((rgb >> 8) & 0xFF) * alpha / 255) << 8) | ((rgb & 0xFF) * alpha / 255);
}

}  // namespace

// Area averaging of premultiplied pixels: an opaque colour stays that colour at any scale, a
// half-covered area gives half coverage of the same colour (no darkening from the transparent
// pixels' black), and the width keeps the proportions.
TEST(IconPixels, AreasAreAveragedOnPremultipliedColours) {
    const Pixel red = Premultiplied(255, 0xFF0000);
    // Left half opaque red, right half fully transparent: 256 wide, reduced to 40.
    AlphaImage half = Filled(256, 256, 0);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 128; ++x) {
            half.pixels[static_cast<size_t>(y) * 256 + x] = red;
        }
    }
    const struct {
        AlphaImage source;
        int height;
        int width;
        POINT at;
        Pixel expected;
    } cases[] = {
        {Filled(256, 256, red), 40, 40, {20, 20}, red},
        {Filled(32, 32, red), 40, 40, {39, 39}, red},  // enlarged too
        {Filled(64, 32, red), 40, 80, {79, 0}, red},
        {half, 40, 40, {10, 10}, red},
        {half, 40, 40, {30, 10}, 0},
        // 40 pixels from 256: pixel 20 covers source 128 to 134.4, all transparent; pixel 19
        // covers 121.6 to 128, all red.
        {half, 40, 40, {19, 0}, red},
        // One transparent and one red pixel into one: half-covered red, not dark red.
        {{2, 1, {0, red}}, 1, 2, {0, 0}, 0},
        {{2, 2, {0, red, red, 0}}, 1, 1, {0, 0}, Premultiplied(128, 0xFF0000)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.source.width << "x" << c.source.height << " at "
                                        << c.at.x << "," << c.at.y);
        const AlphaImage scaled = ScaleToHeight(c.source, c.height);
        ASSERT_EQ(c.height, scaled.height);
        ASSERT_EQ(c.width, scaled.width);
        EXPECT_EQ(c.expected, scaled.At(c.at.x, c.at.y)) << std::hex << scaled.At(c.at.x, c.at.y);
    }
    EXPECT_EQ(0, ScaleToHeight(AlphaImage{}, 40).width);
}

// Less than half covered is the key colour; more is the shape, an edge pixel laid over mid grey;
// a pixel of the shape that would equal the key colour is moved off it.
TEST(IconPixels, TransparencyBecomesTheKeyColourWithoutFringe) {
    const Pixel key = PixelOf(kKeyColour);
    const struct {
        Pixel pixel;
        Pixel keyed;
    } cases[] = {
        {0, key},
        {Premultiplied(127, 0xFFFFFF), key},
        {Premultiplied(128, 0xFFFFFF), 0xC0C0C0},  // white at half over grey
        {Premultiplied(128, 0x000000), 0x404040},  // black at half over grey
        {Premultiplied(255, 0x123456), 0x123456},
        {Premultiplied(255, 0x800080), 0x800180},  // the key colour itself, opaque
        {Premultiplied(192, 0xFF0000), 0xE02020},
    };
    for (const auto& c : cases) {
        const std::vector<Pixel> keyed = KeyedPixels(AlphaImage{1, 1, {c.pixel}});
        EXPECT_EQ(c.keyed, keyed[0]) << std::hex << c.pixel;
    }
}

// Read from a real icon: the alpha of each pixel comes back from drawing over black and white.
TEST(IconPixels, AnIconIsReadWithItsTransparency) {
    const Pixel halfGreen = Premultiplied(128, 0x00FF00);
    // An icon's bitmap holds straight colours; drawn, they are blended by their alpha.
    const std::vector<Pixel> straight = {0xFF0000FF, 0x8000FF00, 0x00000000, 0xFFFFFFFF};
    BITMAPV5HEADER info = {};
    info.bV5Size = sizeof(info);
    info.bV5Width = 2;
    info.bV5Height = -2;
    info.bV5Planes = 1;
    info.bV5BitCount = 32;
    info.bV5Compression = BI_BITFIELDS;
    info.bV5RedMask = 0x00FF0000;
    info.bV5GreenMask = 0x0000FF00;
    info.bV5BlueMask = 0x000000FF;
    info.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    WindowDC screen(nullptr);
    GdiObject<HBITMAP> colour(CreateDIBSection(screen.get(), reinterpret_cast<BITMAPINFO*>(&info),
                                               DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(colour);
    std::copy(straight.begin(), straight.end(), static_cast<Pixel*>(bits));
    GdiObject<HBITMAP> mask(CreateBitmap(2, 2, 1, 1, nullptr));
    ICONINFO parts = {TRUE, 0, 0, mask.get(), colour.get()};
    IconHandle icon(CreateIconIndirect(&parts));
    ASSERT_TRUE(icon);
    AlphaImage image;
    ASSERT_TRUE(ReadIconPixels(icon.get(), 2, 2, image));
    const std::vector<Pixel> expected = {0xFF0000FF, halfGreen, 0, 0xFFFFFFFF};
    for (size_t i = 0; i < expected.size(); ++i) {
        const Pixel got = image.pixels[i];
        EXPECT_NEAR(int(expected[i] >> 24), int(got >> 24), 2) << i;
        EXPECT_NEAR(int((expected[i] >> 8) & 0xFF), int((got >> 8) & 0xFF), 2) << i;
    }
    EXPECT_FALSE(ReadIconPixels(nullptr, 2, 2, image));
}
