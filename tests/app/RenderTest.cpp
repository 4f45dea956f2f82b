#include "app/Taps.h"
#include "app/Render.h"
#include "app/ShellFixture.h"
#include "app/WindowShape.h"
#include "base/Handles.h"
#include "base/Pixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using shelltest::ShellTest;
using testsupport::AddBlinket;
using testsupport::MakeBmp;
using testsupport::MakeDib;
using testsupport::Pixels;
using testsupport::ReadPixels;

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

WindowPlacement Layout() {
    WindowPlacement placement;
    LayoutBlinkets(placement.x, placement.y);
    placement.centreX = windowCentreX;
    return placement;
}

// The strip as the first version composed it, each blinket's frame drawn through an image list
// of its own, and the mask set pixel by pixel: what the composition in memory must reproduce.
struct Composition {
    Pixels strip;
    Pixels mask;
};

Composition ComposeAsBefore() {
    WindowDC screen(nullptr);
    MemoryDC dc(screen.get());
    GdiObject<HBITMAP> canvas(
        CreateCompatibleBitmap(screen.get(), stripPicture.width, stripPicture.height));
    {
        SelectedObject selected(dc.get(), canvas.get());
        GdiObject<HBRUSH> key(CreateSolidBrush(kKeyColour));
        const RECT all = {0, 0, stripPicture.width, stripPicture.height};
        FillRect(dc.get(), &all, key.get());
        for (int i = 0; i < blinkets.Count(); ++i) {
            const Blinket& blinket = *blinkets.At(i);
            Picture image;
            image.Load(nullptr, blinket.imageFile, nullptr, 0);
            if (!IsPlaced(blinket) || !image.IsLoaded()) {
                continue;
            }
            ImageListHandle frames(ImageList_Create(blinket.frameWidth, blinket.frameHeight,
                                                    ILC_COLORDDB | ILC_MASK, 1, 1));
            ImageList_AddMasked(frames.get(), image.bitmap, kKeyColour);
            ImageList_Draw(frames.get(), blinket.imagePos, dc.get(), blinket.xOffset, 0,
                           ILD_NORMAL);
        }
    }
    Composition before;
    before.strip = ReadPixels(canvas.get());
    before.mask = before.strip;
    for (COLORREF& pixel : before.mask.colours) {
        pixel = pixel == kKeyColour ? kBlack : kWhite;
    }
    return before;
}

}  // namespace

TEST(PlaceWindow, KeepsTheStripOnTheScreen) {
    struct Case {
        int stripWidth;
        int centreX;
        int menuBar;
        WindowPlacement expected;
    } cases[] = {
        {80, -1, 26, {80, 279, 120}}, {80, 20, 26, {0, 279, 40}}, {80, 230, 26, {160, 279, 200}},
        {81, -1, 26, {80, 279, 120}}, {80, 1, 52, {0, 253, 40}},  {80, 239, 26, {160, 279, 200}},
    };
    for (const Case& c : cases) {
        const WindowPlacement placed =
            PlaceWindow(240, 320, c.stripWidth, 30, c.menuBar, c.centreX);
        EXPECT_EQ(c.expected.x, placed.x) << c.stripWidth << " at " << c.centreX;
        EXPECT_EQ(c.expected.y, placed.y) << c.stripWidth << " at " << c.centreX;
        EXPECT_EQ(c.expected.centreX, placed.centreX) << c.stripWidth << " at " << c.centreX;
    }
}

TEST_F(ShellTest, ABlinketsWindowRectangleIsItsFrameEnlarged) {
    Blinket blinket;
    blinket.imageExists = true;
    blinket.xOffset = 45;
    blinket.frameWidth = 30;
    blinket.frameHeight = 25;
    PixelView pixels;
    stripPicture.Attach(CreatePixelBitmap(100, 25, pixels));
    const struct {
        int dpi;
        RECT rect;
    } cases[] = {{96, {45, 0, 75, 25}},
                 {192, {90, 0, 150, 50}},
                 {288, {135, 0, 225, 75}},
                 {144, {67, 0, 113, 38}}};
    for (const auto& c : cases) {
        displayDpi = c.dpi;
        EXPECT_EQ(testsupport::RectText(c.rect), testsupport::RectText(WindowRectOf(blinket)))
            << c.dpi;
    }
}

TEST_F(ShellTest, AnImageTwiceAsWideAsHighIsARowOfSquareFrames) {
    struct Case {
        int width, height, frameWidth;
    } cases[] = {{40, 20, 20}, {39, 20, 39}, {20, 20, 20}, {100, 20, 20}, {10, 30, 10}};
    for (const Case& c : cases) {
        blinkets.Clear();
        Blinket* blinket = AddBlinket(Image(L"frames.bmp", c.width, c.height, 0xFF0000));
        Layout();
        EXPECT_EQ(c.frameWidth, blinket->frameWidth) << c.width << "x" << c.height;
        EXPECT_EQ(c.height, blinket->frameHeight);
        EXPECT_EQ(c.frameWidth + blinketGap, stripPicture.width);
        EXPECT_EQ(c.height, stripPicture.height);
    }
}

TEST_F(ShellTest, BlinketsStandSideBySideTopAligned) {
    std::vector<unsigned> first(40 * 30, 0x0000FF);
    first[5 * 40 + 5] = testsupport::kKeyRgb;  // a transparent pixel inside the image
    AddBlinket(dir.WriteFile(L"first.bmp", MakeBmp(40, 30, first.data())));
    AddBlinket(Image(L"second.bmp", 30, 25, 0x00FF00));
    const WindowPlacement placed = Layout();

    EXPECT_EQ(0, blinkets.At(0)->xOffset);
    EXPECT_EQ(45, blinkets.At(1)->xOffset);
    EXPECT_EQ(80, stripWidth);
    const Pixels strip = ReadPixels(stripPicture.bitmap);
    ASSERT_EQ(80, strip.width);
    ASSERT_EQ(30, strip.height);
    EXPECT_EQ(RGB(0, 0, 255), strip.At(0, 0));
    EXPECT_EQ(RGB(0, 255, 0), strip.At(74, 24));
    const Pixels mask = ReadPixels(maskPicture.bitmap);
    ASSERT_EQ(80, mask.width);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 80; ++x) {
            const bool image = (x < 40 && !(x == 5 && y == 5)) || (x >= 45 && x < 75 && y < 25);
            ASSERT_EQ(image ? kWhite : kBlack, mask.At(x, y)) << x << "," << y;
        }
    }
    // Nothing was drawn there in the display copy either, and what the window shows starts
    // as the strip.
    for (POINT point : {POINT{5, 5}, POINT{60, 25}, POINT{42, 0}, POINT{79, 29}}) {
        EXPECT_EQ(kKeyColour, strip.At(point.x, point.y));
    }
    EXPECT_TRUE(strip.colours == ReadPixels(shownPicture.bitmap).colours);

    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_EQ(screenWidth / 2 - 40, placed.x);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) - 26 - 15, placed.y);
    EXPECT_EQ(screenWidth / 2, windowCentreX);
}

TEST_F(ShellTest, TheShownFrameIsDrawnAndOneTheImageLacksShowsTheFirst) {
    std::vector<unsigned> frames(50 * 20, 0xFF0000);  // two frames, and ten columns of none
    for (int y = 0; y < 20; ++y) {
        for (int x = 20; x < 50; ++x) {
            frames[y * 50 + x] = x < 40 ? 0x00FF00 : 0x0000FF;
        }
    }
    const std::wstring image = dir.WriteFile(L"frames.bmp", MakeBmp(50, 20, frames.data()));
    for (int frame : {1, 2, -1}) {
        AddBlinket(image, kActionNone, L"", frame);
    }
    Layout();
    const Pixels strip = ReadPixels(stripPicture.bitmap);
    ASSERT_EQ(75, strip.width);
    const struct {
        int x;
        COLORREF colour;
    } expected[] = {{0, RGB(0, 255, 0)},  {19, RGB(0, 255, 0)}, {25, RGB(255, 0, 0)},
                    {44, RGB(255, 0, 0)}, {50, RGB(255, 0, 0)}, {69, RGB(255, 0, 0)}};
    for (const auto& e : expected) {
        EXPECT_EQ(e.colour, strip.At(e.x, 10)) << e.x;
    }
    EXPECT_EQ(2, blinkets.At(1)->imagePos);  // kept as stored
}

TEST_F(ShellTest, TheStripAndItsMaskAreThoseOfTheFirstComposition) {
    const std::wstring shipped = testsupport::ExeDirectory() + L"..\\..\\bin\\Blinkets\\";
    AddBlinket(shipped + L"eyesbig.gif");
    for (int frame = 0; frame < 4; ++frame) {
        AddBlinket(shipped + L"critters.gif", kActionNone, L"", frame);
    }
    AddBlinket(dir.path() + L"missing.gif");
    for (const wchar_t* name : {L"globe.gif", L"terminal.gif", L"gear.gif"}) {
        AddBlinket(shipped + name);
    }
    Layout();
    int placed = 0;
    for (int i = 0; i < blinkets.Count(); ++i) {
        placed += IsPlaced(*blinkets.At(i)) ? 1 : 0;
    }
    ASSERT_EQ(8, placed);
    const Composition before = ComposeAsBefore();
    ASSERT_GT(before.strip.width, 8 * 32);
    EXPECT_TRUE(before.strip.colours == ReadPixels(stripPicture.bitmap).colours);
    EXPECT_TRUE(before.mask.colours == ReadPixels(maskPicture.bitmap).colours);
}

TEST_F(ShellTest, NoPictureMakesTheWindowTallerThanAThirdOfTheScreen) {
    const int limit = GetSystemMetrics(SM_CYSCREEN) / 3;
    ASSERT_EQ(limit, MaxFrameHeight(GetSystemMetrics(SM_CYSCREEN), 96));
    dir.WriteFile(L"tall.bmp.eye", "0,0,30,600\r\n30,600,60,1200\r\n");
    Blinket* tall = AddBlinket(Image(L"tall.bmp", 60, 1200, 0x0000FF));
    Blinket* wide = AddBlinket(Image(L"wide.bmp", 2 * 1200, 1200, 0x00FF00));
    Blinket* small = AddBlinket(Image(L"small.bmp", 20, 20, 0xFF0000));
    Layout();
    EXPECT_EQ(limit, stripPicture.height);
    EXPECT_EQ(limit, tall->frameHeight);
    EXPECT_EQ(60 * limit / 1200, tall->frameWidth);
    EXPECT_EQ(limit, wide->frameWidth);
    EXPECT_EQ(tall->frameWidth + blinketGap, wide->xOffset);
    EXPECT_EQ(20, small->frameHeight);
    const Pixels strip = ReadPixels(stripPicture.bitmap);
    EXPECT_EQ(RGB(0, 0, 255), strip.At(tall->frameWidth - 1, limit - 1));
    EXPECT_EQ(RGB(0, 255, 0), strip.At(wide->xOffset + limit - 1, limit - 1));
    ASSERT_TRUE(tall->EnsureEyes());
    EXPECT_EQ(limit / 2, tall->eyes->geometry.leftEye.bottom);
    EXPECT_EQ(limit, tall->eyes->geometry.rightEye.bottom);
}

TEST_F(ShellTest, BlinketsPastTheWidestWindowAreKeptButNotShown) {
    const std::wstring image = Image(L"a.bmp", 100, 60, 0x0000FF);
    for (int i = 0; i < 400; ++i) {
        AddBlinket(image);
    }
    Layout();
    const int shown = 32767 / (100 + blinketGap);
    EXPECT_EQ(shown * (100 + blinketGap), stripPicture.width);
    EXPECT_EQ(400, blinkets.Count());
    EXPECT_TRUE(IsPlaced(*blinkets.At(shown - 1)));
    EXPECT_FALSE(IsPlaced(*blinkets.At(shown)));
    EXPECT_TRUE(blinkets.At(shown)->imageExists);
    EXPECT_FALSE(TapHits(*blinkets.At(shown), POINT{0, 0}));
}

TEST_F(ShellTest, ABlinketWhoseImageDoesNotLoadTakesNoRoom) {
    Blinket* missing = AddBlinket(dir.path() + L"missing.bmp");
    Blinket* broken = AddBlinket(dir.WriteFile(L"broken.gif", "GIF89a"));
    Blinket* shown = AddBlinket(Image(L"shown.bmp", 20, 20, 0xFF0000));
    for (Blinket* blinket : {missing, broken, shown}) {
        blinket->frameWidth = 99;
        blinket->frameHeight = 99;
    }
    Layout();
    EXPECT_FALSE(missing->imageExists);
    EXPECT_FALSE(broken->imageExists);
    EXPECT_FALSE(IsPlaced(*missing));
    EXPECT_FALSE(IsPlaced(*broken));
    EXPECT_TRUE(IsPlaced(*shown));
    EXPECT_EQ(0, shown->xOffset);
    EXPECT_EQ(25, stripPicture.width);
}

TEST_F(ShellTest, WithNothingToShowTheWindowIsEmptyAndNothingFails) {
    AddBlinket(dir.WriteFile(L"broken.gif", "GIF89a"));
    ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(L"OcellixEmptyTest"));
    EXPECT_FALSE(stripPicture.IsLoaded());
    EXPECT_FALSE(maskPicture.IsLoaded());
    EXPECT_FALSE(shownPicture.IsLoaded());
    RECT rect = {};
    GetWindowRect(mainWindow, &rect);
    EXPECT_EQ(0, rect.right - rect.left);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) - 26, rect.top);
    RedrawWindow(mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(nullptr, RegionFromBitmap(nullptr, kMaskKeyColour, kMaskTolerance));
}

TEST_F(ShellTest, PaintingLeavesThePupilsAtTheCentreWhereTheBlinketNowStands) {
    AddBlinket(Image(L"plain.bmp", 20, 30, 0x00FF00));
    Blinket* eyed = AddFace();
    // Left of the centre, where tests running alongside put their windows: the pixels read back
    // are only the window's own where no other window lies over it.
    windowCentreX = 100;
    ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(L"OcellixPaintTest"));
    ASSERT_TRUE(eyed->eyes);
    const RECT firstLeftEye = eyed->eyes->geometry.leftEye;
    EXPECT_EQ(29, firstLeftEye.left);
    const int size = eyed->eyes->pupilSize;
    const RECT firstCentre = PupilBox(firstLeftEye, Gaze::Centre, size);
    EXPECT_TRUE(EqualRect(&eyed->eyes->previousLeftPupil, &firstCentre));

    // The eyes go with the blinket when the one before it is deleted.
    blinkets.RemoveAt(0);
    int x = 0;
    int y = 0;
    LayoutBlinkets(x, y);
    RedrawWindow(mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ASSERT_TRUE(eyed->eyes);
    EXPECT_EQ(4, eyed->eyes->geometry.leftEye.left);
    const RECT centre = PupilBox(eyed->eyes->geometry.rightEye, Gaze::Centre, size);
    EXPECT_TRUE(EqualRect(&eyed->eyes->previousRightPupil, &centre));
    WindowDC window(mainWindow);
    EXPECT_EQ(kBlack, GetPixel(window.get(), (centre.left + centre.right) / 2,
                               (centre.top + centre.bottom) / 2));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(window.get(), 1, 1));
}

// At 144 dpi the window is the strip enlarged one and a half times: a pixel is in its shape when
// at least half of it shows the picture, every pixel in the shape shows a colour of the pictures
// and none blended with the key colour, and taps and the blinkets' rectangles follow.
TEST_F(ShellTest, OnADenseScreenOfFractionalScaleTheWindowIsAveragedWithoutFringe) {
    // A red disc of radius 9.5 on a transparent square, and a green bar.
    std::vector<unsigned> disc(20 * 20, testsupport::kKeyRgb);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            if ((x - 9.5) * (x - 9.5) + (y - 9.5) * (y - 9.5) <= 9.5 * 9.5) {
                disc[y * 20 + x] = 0xFF0000;
            }
        }
    }
    Blinket* red = AddBlinket(dir.WriteFile(L"disc.bmp", MakeBmp(20, 20, disc.data())));
    Blinket* green = AddBlinket(Image(L"bar.bmp", 10, 30, 0x00FF00));
    windowCentreX = 100;
    ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(L"OcellixFractionalTest"));
    RECT suggested = {};
    SendMessageW(mainWindow, WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    ASSERT_EQ(144, displayDpi);
    RECT rect = {};
    GetWindowRect(mainWindow, &rect);
    ASSERT_EQ(60, rect.right - rect.left);  // (20 + 5 + 10 + 5) x 1.5
    ASSERT_EQ(45, rect.bottom - rect.top);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) - 39 - 22, rect.top);
    EXPECT_EQ(100 - 30, rect.left);

    GdiObject<HRGN> shape(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(ERROR, GetWindowRgn(mainWindow, shape.get()));
    const Pixels mask = ReadPixels(maskPicture.bitmap);
    RedrawWindow(mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    WindowDC dc(mainWindow);
    int inside = 0;
    for (int y = 0; y < 45; ++y) {
        for (int x = 0; x < 60; ++x) {
            // The part of window pixel (x, y) that shows the picture: strip pixels are 1.5 wide.
            double cover = 0;
            for (int sy = y * 2 / 3; sy <= (y + 1) * 2 / 3 && sy < 30; ++sy) {
                for (int sx = x * 2 / 3; sx <= (x + 1) * 2 / 3 && sx < 40; ++sx) {
                    const double w =
                        std::min((sx + 1) * 1.5, x + 1.0) - std::max(sx * 1.5, 1.0 * x);
                    const double h =
                        std::min((sy + 1) * 1.5, y + 1.0) - std::max(sy * 1.5, 1.0 * y);
                    cover += mask.At(sx, sy) == kWhite && w > 0 && h > 0 ? w * h : 0;
                }
            }
            ASSERT_EQ(cover >= 0.5, PtInRegion(shape.get(), x, y) != FALSE) << x << "," << y;
            if (cover >= 0.5) {
                const COLORREF seen = GetPixel(dc.get(), x, y);
                ASSERT_TRUE(seen == RGB(255, 0, 0) || seen == RGB(0, 255, 0))
                    << x << "," << y << ": " << std::hex << seen;
                ++inside;
            }
        }
    }
    EXPECT_GT(inside, 600);

    const RECT redRect = WindowRectOf(*red);
    const RECT greenRect = WindowRectOf(*green);
    const RECT redExpected = {0, 0, 30, 30};
    const RECT greenExpected = {37, 0, 53, 45};
    EXPECT_TRUE(EqualRect(&redExpected, &redRect));
    EXPECT_TRUE(EqualRect(&greenExpected, &greenRect));
    EXPECT_TRUE(TapHits(*red, StripPoint({29, 5})));
    EXPECT_TRUE(TapHits(*green, StripPoint({40, 40})));
    EXPECT_FALSE(TapHits(*green, StripPoint({59, 5})));
}

// A density or a display change the window is already laid out for lays out nothing again; a new
// one lays out once.
TEST_F(ShellTest, TheWindowIsLaidOutAgainOnlyForAChange) {
    AddBlinket(Image(L"plain.bmp", 30, 20, 0x00FF00));
    windowCentreX = 100;
    ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(L"OcellixChangeTest"));
    const HBITMAP first = stripPicture.bitmap;
    RECT suggested = {};
    SendMessageW(mainWindow, WM_DPICHANGED, MAKEWPARAM(96, 96),
                 reinterpret_cast<LPARAM>(&suggested));
    SendMessageW(mainWindow, WM_DISPLAYCHANGE, 32,
                 MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    EXPECT_EQ(first, stripPicture.bitmap);
    EXPECT_EQ(100, windowCentreX);

    SendMessageW(mainWindow, WM_DPICHANGED, MAKEWPARAM(120, 120),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_NE(first, stripPicture.bitmap);
    EXPECT_EQ(120, displayDpi);
    RECT rect = {};
    GetWindowRect(mainWindow, &rect);
    EXPECT_EQ(44, rect.right - rect.left);  // 35 x 1.25
    EXPECT_EQ(25, rect.bottom - rect.top);
    EXPECT_EQ(100 - 22, rect.left);
    // The display as the system reports it is the monitor's own density again.
    SendMessageW(mainWindow, WM_DISPLAYCHANGE, 32, 0);
    EXPECT_EQ(GetDeviceCaps(WindowDC(nullptr).get(), LOGPIXELSX), displayDpi);
    EXPECT_EQ(100, windowCentreX);
}
