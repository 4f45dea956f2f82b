#include "app/IdleAnimation.h"
#include "app/PointerFollow.h"
#include "app/Pupils.h"
#include "app/Render.h"
#include "app/ShellFixture.h"
#include "app/Startup.h"
#include "app/Taps.h"
#include "app/Timers.h"
#include "app/WindowShape.h"
#include "model/PointerGaze.h"
#include "store/Settings.h"

#include <gtest/gtest.h>

#include <vector>

using shelltest::AdvancedBy;
using shelltest::ShellTest;
using testsupport::AddBlinket;

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);

// A plain blinket and a face with eyes in a real main window, the pointer watched.
class FollowTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        AddBlinket(Image(L"plain.bmp", 20, 30, 0xFF0000));
        face = AddFace();
        followPointer = true;
        ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(L"OcellixFollowTest"));
        GetWindowRect(mainWindow, &window);
        ASSERT_TRUE(face->EnsureEyes());
    }
    // A point of the screen in the direction of the gaze from the face's eyes, near the window.
    POINT Towards(int dx, int dy) const {
        const RECT& left = face->eyes->geometry.leftEye;
        const RECT& right = face->eyes->geometry.rightEye;
        return {window.left + (left.left + right.right) / 2 + dx,
                window.top + (left.top + right.bottom) / 2 + dy};
    }
    bool Looks(Gaze gaze) const { return face->eyes->LooksAt(gaze); }
    COLORREF WindowPixel(POINT point) const {
        WindowDC dc(mainWindow);
        return GetPixel(dc.get(), point.x, point.y);
    }
    POINT LeftPupilCentre() const {
        const RECT& box = face->eyes->previousLeftPupil;
        return {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    }

    Blinket* face = nullptr;
    RECT window = {};
};

}  // namespace

TEST(PointerFollow, ScaleAndNearnessFollowTheirRules) {
    const int scales[][2] = {{0, 1},   {96, 1},  {144, 0}, {167, 0}, {168, 0},
                             {192, 2}, {263, 0}, {288, 3}, {359, 0}, {384, 4}};
    for (const auto& s : scales) {
        EXPECT_EQ(s[1], WholeScaleOf(s[0])) << s[0] << " dpi";
    }
    const RECT window = {100, 500, 200, 530};  // 30 high: within 90 pixels is near
    const struct {
        POINT point;
        bool close;
    } points[] = {{{150, 515}, true},  {{10, 515}, true},   {{9, 515}, false},
                  {{289, 619}, true},  {{290, 515}, false}, {{150, 410}, true},
                  {{150, 409}, false}, {{150, 620}, false}};
    for (const auto& p : points) {
        EXPECT_EQ(p.close, PointerIsNear(window, p.point)) << p.point.x << "," << p.point.y;
    }
    // Beyond the reach, the distance along the farther axis.
    const struct {
        POINT point;
        int distance;
    } distances[] = {{{150, 515}, 0}, {{289, 619}, 0}, {{9, 515}, 1},     {{0, 515}, 10},
                     {{150, 409}, 1}, {{150, 0}, 410}, {{500, 700}, 211}, {{-90, 720}, 101}};
    for (const auto& d : distances) {
        EXPECT_EQ(d.distance, DistanceToReach(window, d.point)) << d.point.x << "," << d.point.y;
    }
}

TEST_F(FollowTest, TheEyesLookAtThePointerRedrawOnlyWhenTheGazeChangesAndReturnWhenItLeaves) {
    FollowPointerAt(mainWindow, Towards(60, 0));
    EXPECT_TRUE(FollowingPointer());
    EXPECT_TRUE(Looks(Gaze::Right));
    const POINT pupil = LeftPupilCentre();
    EXPECT_EQ(kBlack, WindowPixel(pupil));

    // The same gaze from elsewhere draws nothing: a mark on the pupil stays.
    {
        WindowDC dc(mainWindow);
        SetPixel(dc.get(), pupil.x, pupil.y, RGB(255, 0, 0));
    }
    FollowPointerAt(mainWindow, Towards(80, 2));
    EXPECT_EQ(RGB(255, 0, 0), WindowPixel(pupil));
    FollowPointerAt(mainWindow, Towards(-60, -60));
    EXPECT_TRUE(Looks(Gaze::UpLeft));
    EXPECT_NE(RGB(255, 0, 0), WindowPixel(pupil));

    // While they follow, the idle count passes without an animation.
    const MtRandom before = rng;
    IdleStep();
    EXPECT_TRUE(AdvancedBy(before, 0));
    EXPECT_FALSE(IdleAnimationPlaying());

    // Far away: back to the centre, and the next idle step animates again.
    FollowPointerAt(mainWindow, {window.left - 2000, window.top - 2000});
    EXPECT_FALSE(FollowingPointer());
    EXPECT_TRUE(Looks(Gaze::Centre));
    EXPECT_EQ(kBlack, WindowPixel(LeftPupilCentre()));
    IdleStep();
    EXPECT_TRUE(AdvancedBy(before, 1));
}

TEST_F(FollowTest, TurnedOffOrBehindADialogTheEyesDoNotFollow) {
    followPointer = false;
    FollowPointerAt(mainWindow, Towards(60, 0));
    EXPECT_FALSE(FollowingPointer());
    EXPECT_TRUE(Looks(Gaze::Centre));

    followPointer = true;
    dialogActive = true;
    FollowPointerAt(mainWindow, Towards(60, 0));
    EXPECT_FALSE(FollowingPointer());
    dialogActive = false;

    // "FollowPointer" = 0, read at a reload request, ends following at once.
    FollowPointerAt(mainWindow, Towards(0, 60));
    EXPECT_TRUE(Looks(Gaze::Down));
    ASSERT_TRUE(rawreg::SetDword(rawreg::kSettingsKey, L"FollowPointer", 0));
    WriteReloadFlag(kMakerName, kProgramName, true);
    IdleStep();
    EXPECT_FALSE(followPointer);
    EXPECT_FALSE(FollowingPointer());
    ASSERT_TRUE(face->EnsureEyes());
    EXPECT_FALSE(KillTimer(mainWindow, kPointerTimerId));  // no longer watching
}

// At 192 dpi every image pixel, pupils included, is a 2 x 2 block of the window, and everything
// measured on the screen follows: size, place, shape and taps. The strip is composed as at 96.
TEST_F(ShellTest, OnADenseScreenTheWindowShowsEveryPixelAsABlock) {
    ApplyScreenDensity(192);
    AddBlinket(Image(L"plain.bmp", 20, 30, 0xFF0000));
    Blinket* face = AddFace();
    ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(L"OcellixDenseTest"));
    // The monitor the test runs on has its own density: the window is told of 192 as a move onto
    // a denser monitor would tell it.
    RECT suggested = {};
    SendMessageW(mainWindow, WM_DPICHANGED, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));
    ASSERT_EQ(192, displayDpi);
    ASSERT_EQ(70, stripPicture.width);
    ASSERT_EQ(30, stripPicture.height);
    RECT rect = {};
    GetWindowRect(mainWindow, &rect);
    EXPECT_EQ(140, rect.right - rect.left);
    EXPECT_EQ(60, rect.bottom - rect.top);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) - 52 - 30, rect.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) / 2 - 70, rect.left);

    // The shape: the 96 dpi one enlarged twice by a transform of the platform's own.
    GdiObject<HRGN> shape(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(ERROR, GetWindowRgn(mainWindow, shape.get()));
    GdiObject<HRGN> single(MaskRegion(maskPicture.bitmap, 1));
    std::vector<BYTE> data(GetRegionData(single.get(), 0, nullptr));
    GetRegionData(single.get(), static_cast<DWORD>(data.size()),
                  reinterpret_cast<RGNDATA*>(data.data()));
    const XFORM twice = {2, 0, 0, 2, 0, 0};
    GdiObject<HRGN> enlarged(ExtCreateRegion(&twice, static_cast<DWORD>(data.size()),
                                             reinterpret_cast<RGNDATA*>(data.data())));
    EXPECT_TRUE(EqualRgn(shape.get(), enlarged.get()));

    // The window's pixels are those of what it shows, each a block; the pupils sit at the centre.
    RedrawWindow(mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const testsupport::Pixels shown = testsupport::ReadPixels(shownPicture.bitmap);
    const testsupport::Pixels mask = testsupport::ReadPixels(maskPicture.bitmap);
    WindowDC dc(mainWindow);
    int compared = 0;
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) {
            if (mask.At(x, y) == kBlack) {
                continue;
            }
            for (int block = 0; block < 4; ++block) {
                ASSERT_EQ(shown.At(x, y), GetPixel(dc.get(), 2 * x + block % 2, 2 * y + block / 2))
                    << x << "," << y;
            }
            ++compared;
        }
    }
    EXPECT_GT(compared, 40 * 30);
    ASSERT_TRUE(face->eyes && face->eyes->LooksAt(Gaze::Centre));
    const RECT& pupil = face->eyes->previousLeftPupil;
    EXPECT_EQ(kBlack, shown.At(pupil.left + 1, pupil.top + 1));

    // A tap on the second blinket's enlarged range hits it; the point is stored as tapped.
    for (const auto& [x, second] :
         {std::pair{40, false}, std::pair{50, true}, {134, true}, {140, false}}) {
        EXPECT_EQ(second, TapHits(*face, StripPoint({x, 10}))) << x;
    }
    HandleTap({100, 20});
    EXPECT_EQ(100u, rawreg::Dword(rawreg::kSettingsKey, L"xTap"));
    EXPECT_EQ(20u, rawreg::Dword(rawreg::kSettingsKey, L"yTap"));
}
