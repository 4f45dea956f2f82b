#include "app/IdleTap.h"

#include "app/Render.h"
#include "app/ShellFixture.h"
#include "store/Settings.h"

#include <gtest/gtest.h>

#include <vector>

using shelltest::AdvancedBy;
using shelltest::ShellTest;
using testsupport::AddBlinket;

namespace {

class IdleTest : public ShellTest {
protected:
    // Three blinkets of which only the middle one has eyes, in a real main window.
    void SetUp() override {
        ShellTest::SetUp();
        AddBlinket(Image(L"left.bmp", 20, 30, 0xFF0000));
        eyed = AddFace();
        AddBlinket(Image(L"right.bmp", 20, 30, 0x0000FF));
        ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(L"OcellixIdleTest"));
    }

    Blinket* eyed = nullptr;
};

}  // namespace

TEST_F(IdleTest, EachBlinketWithEyesTakesOneDraw) {
    const MtRandom before = rng;
    IdleStep();
    EXPECT_TRUE(AdvancedBy(before, 1));
    ASSERT_TRUE(eyed->eyes);
    // Every animation ends with the pupils inside the blinket's own room.
    EXPECT_GE(eyed->eyes->previousLeftPupil.left, eyed->xOffset - 3);
    EXPECT_LE(eyed->eyes->previousRightPupil.right, eyed->xOffset + eyed->frameWidth);
}

TEST_F(IdleTest, AReloadRequestRebuildsOnceInsteadOfAnimating) {
    WriteReloadFlag(kMakerName, kProgramName, true);
    eyed->frameWidth = 1;  // the next layout writes it again
    const MtRandom before = rng;
    IdleStep();
    EXPECT_EQ(0u, rawreg::Dword(rawreg::kSettingsKey, L"reload"));
    EXPECT_EQ(40, eyed->frameWidth);
    EXPECT_TRUE(AdvancedBy(before, 0));

    eyed->frameWidth = 1;
    IdleStep();
    EXPECT_EQ(1, eyed->frameWidth);
    EXPECT_TRUE(AdvancedBy(before, 1));
}

TEST_F(IdleTest, NoDrawWithoutAWindow) {
    DestroyWindow(mainWindow);
    const MtRandom before = rng;
    IdleStep();
    EXPECT_TRUE(AdvancedBy(before, 0));
}

TEST(IdleAnimation, EachDrawPlaysItsAnimation) {
    struct Case {
        Gaze first;
        int pauses;
        Gaze last;
    } cases[kIdleDrawMax + 1] = {
        {Gaze::Centre, 0, Gaze::Centre},     {Gaze::Up, 0, Gaze::Up},
        {Gaze::Centre, 0, Gaze::Centre},     {Gaze::Down, 0, Gaze::Down},
        {Gaze::Right, 3, Gaze::Centre},      {Gaze::Left, 0, Gaze::Left},
        {Gaze::Centre, 0, Gaze::Centre},     {Gaze::UpLeft, 0, Gaze::UpLeft},
        {Gaze::DownLeft, 0, Gaze::DownLeft}, {Gaze::Right, 0, Gaze::Right},
        {Gaze::Centre, 0, Gaze::Centre},     {Gaze::UpRight, 0, Gaze::UpRight},
        {Gaze::Centre, 0, Gaze::Centre},     {Gaze::DownRight, 0, Gaze::DownRight},
        {Gaze::Right, 5, Gaze::Centre},      {Gaze::Left, 5, Gaze::Centre},
    };
    static std::vector<RECT> atPauses;
    static EyeAnimator* playing = nullptr;
    EyeAnimator::pause = [](DWORD) { atPauses.push_back(playing->previousLeftPupil); };
    const RECT eye = {12, 8, 30, 22};
    testsupport::Canvas target(64, 32, RGB(0, 0, 0));
    for (uint32_t draw = 0; draw <= kIdleDrawMax; ++draw) {
        const Case& c = cases[draw];
        EyeAnimator eyes;
        eyes.SetEyes(eye, {40, 8, 58, 22});
        playing = &eyes;
        atPauses.clear();
        PlayIdleAnimation(eyes, draw, target.dc(), nullptr);
        const RECT last = PupilBox(eye, c.last, eyes.pupilSize);
        const RECT first = atPauses.empty() ? eyes.previousLeftPupil : atPauses.front();
        const RECT expectedFirst = PupilBox(eye, c.first, eyes.pupilSize);
        EXPECT_EQ(static_cast<size_t>(c.pauses), atPauses.size()) << "draw " << draw;
        EXPECT_TRUE(EqualRect(&expectedFirst, &first)) << "draw " << draw;
        EXPECT_TRUE(EqualRect(&last, &eyes.previousLeftPupil)) << "draw " << draw;
    }
    EyeAnimator eyes;
    eyes.SetEyes(eye, eye);
    PlayIdleAnimation(eyes, kIdleDrawMax + 1, target.dc(), nullptr);
    EXPECT_TRUE(IsRectEmpty(&eyes.previousLeftPupil));
}

TEST(TapHits, OnlyXCountsWithTwoPixelsOfLeewayEachSide) {
    Blinket first;
    Blinket second;
    Blinket unplaced;
    for (Blinket* blinket : {&first, &second, &unplaced}) {
        blinket->imageExists = true;
        blinket->frameHeight = 30;
    }
    first.frameWidth = 40;
    second.xOffset = 45;
    second.frameWidth = 30;
    unplaced.xOffset = 0;  // as a blinket whose image did not load keeps it
    struct Case {
        int x;
        int hit;  // 0 none, 1 first, 2 second
    } cases[] = {{-3, 0}, {-2, 1}, {0, 1}, {42, 1}, {43, 2}, {77, 2}, {78, 0}, {500, 0}};
    for (const Case& c : cases) {
        for (int y : {-40, 0, 15, 1000}) {
            EXPECT_EQ(c.hit == 1, TapHits(first, {c.x, y})) << c.x << "," << y;
            EXPECT_EQ(c.hit == 2, TapHits(second, {c.x, y})) << c.x << "," << y;
            EXPECT_FALSE(TapHits(unplaced, {c.x, y}));
        }
    }
}

TEST_F(ShellTest, ATapOnNothingToRunOnlyRecordsThePoint) {
    const std::wstring image = Image(L"image.bmp", 20, 20, 0xFF0000);
    for (int action : {kActionNone, kActionNoneEnd, kActionWebPage, kActionProgram}) {
        AddBlinket(image, action);
    }
    int x = 0;
    int y = 0;
    LayoutBlinkets(x, y);
    for (POINT tap : {POINT{10, 7}, POINT{30, 0}, POINT{55, 19}, POINT{80, 3}, POINT{500, 9}}) {
        HandleTap(tap);
        EXPECT_EQ(static_cast<DWORD>(tap.x), rawreg::Dword(rawreg::kSettingsKey, L"xTap"));
        EXPECT_EQ(static_cast<DWORD>(tap.y), rawreg::Dword(rawreg::kSettingsKey, L"yTap"));
    }
    // Nothing else was written: no list saved, as no Options ran.
    DWORD subkeys = 99;
    DWORD values = 99;
    ASSERT_TRUE(rawreg::CountEntries(rawreg::kSettingsKey, &subkeys, &values));
    EXPECT_EQ(0u, subkeys);
    EXPECT_EQ(2u, values);
    EXPECT_FALSE(dialogActive);
}

// The dialog deletes the tapped blinket's image, so that after the new layout another Show
// Options blinket stands under the tap point; it must not open the dialog a second time.
TEST_F(ShellTest, TheTapEndsWithTheOptionsDialog) {
    const std::wstring tapped = Image(L"tapped.bmp", 20, 20, 0xFF0000);
    AddBlinket(tapped, kActionShowOptions);
    AddBlinket(Image(L"next.bmp", 20, 20, 0x00FF00), kActionShowOptions);
    ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(L"OcellixTapTest"));
    int dialogs = 0;
    bool activeDuringDialog = false;
    // A second dialog would be one the driver does not expect: it fails the test and closes it.
    testsupport::ModalDriver driver;
    driver.OnDialog(L"Options", [&](HWND dialog) {
        ++dialogs;
        activeDuringDialog = dialogActive;
        DeleteFileW(tapped.c_str());
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    HandleTap({10, 10});
    EXPECT_EQ(1, dialogs);
    EXPECT_TRUE(activeDuringDialog);
    EXPECT_FALSE(dialogActive);
    EXPECT_EQ(0, blinkets.At(1)->xOffset);
    EXPECT_TRUE(rawreg::KeyExists(rawreg::BlinketKey(0)));
}
