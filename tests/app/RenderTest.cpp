#include "app/Render.h"
#include "app/ShellFixture.h"
#include "app/WindowShape.h"
#include "base/Handles.h"

#include <gtest/gtest.h>

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

TEST_F(ShellTest, AnImageTwiceAsWideAsHighIsARowOfSquareFrames) {
    struct Case {
        int width, height, frameWidth;
    } cases[] = {{40, 20, 20}, {39, 20, 39}, {20, 20, 20}, {100, 20, 20}, {10, 30, 10}};
    for (const Case& c : cases) {
        blinkets.Clear();
        Blinket* blinket = AddBlinket(Image(L"frames.bmp", c.width, c.height, 0xFF0000));
        Layout();
        EXPECT_EQ(c.frameWidth, FrameWidthOf(c.width, c.height));
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
    // Nothing was drawn there in the display copy either (the image list, given the strip,
    // may have turned its key colour black).
    for (POINT point : {POINT{5, 5}, POINT{60, 25}, POINT{42, 0}, POINT{79, 29}}) {
        EXPECT_NE(RGB(0, 0, 255), strip.At(point.x, point.y));
        EXPECT_NE(RGB(0, 255, 0), strip.At(point.x, point.y));
    }
    int iconWidth = 0;
    int iconHeight = 0;
    ASSERT_NE(nullptr, stripImageList);
    EXPECT_EQ(1, ImageList_GetImageCount(stripImageList));
    EXPECT_TRUE(ImageList_GetIconSize(stripImageList, &iconWidth, &iconHeight));
    EXPECT_EQ(80, iconWidth);
    EXPECT_EQ(30, iconHeight);

    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_EQ(screenWidth / 2 - 40, placed.x);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) - 26 - 15, placed.y);
    EXPECT_EQ(screenWidth / 2, windowCentreX);
}

TEST_F(ShellTest, TheShownFrameIsDrawnAndOnePastTheLastLeavesItsRoomTransparent) {
    std::vector<unsigned> frames(40 * 20, 0xFF0000);
    for (int y = 0; y < 20; ++y) {
        for (int x = 20; x < 40; ++x) {
            frames[y * 40 + x] = 0x00FF00;
        }
    }
    const std::wstring image = dir.WriteFile(L"frames.bmp", MakeBmp(40, 20, frames.data()));
    for (int frame : {1, 2, -1}) {
        AddBlinket(image, kActionNone, L"", frame);
    }
    AddBlinket(Image(L"after.bmp", 10, 10, 0x0000FF));
    Layout();
    EXPECT_EQ(75, blinkets.At(3)->xOffset);
    const Pixels strip = ReadPixels(stripPicture.bitmap);
    ASSERT_EQ(90, strip.width);
    EXPECT_EQ(RGB(0, 255, 0), strip.At(0, 0));
    EXPECT_EQ(RGB(0, 255, 0), strip.At(19, 19));
    const Pixels mask = ReadPixels(maskPicture.bitmap);
    for (int x = 20; x < 75; ++x) {
        for (int y = 0; y < 20; ++y) {
            ASSERT_EQ(kBlack, mask.At(x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(kWhite, mask.At(75, 0));
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
    EXPECT_TRUE(broken->imageExists);
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
    EXPECT_EQ(nullptr, stripImageList);
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
