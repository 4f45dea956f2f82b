#include "app/IdleAnimation.h"

#include "app/Render.h"
#include "app/ShellFixture.h"
#include "app/Taps.h"
#include "app/Timers.h"
#include "platform/PocketShell.h"
#include "store/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
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

// Three faces with eyes after a blinket without, in a real main window away from those of tests
// running alongside, with the next idle step's draws chosen: an animation of several steps, a
// single look, and again several steps. The test paces the steps itself instead of the timer.
class SteppingTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        AddBlinket(Image(L"plain.bmp", 20, 30, 0x00FF00));
        for (Blinket*& face : faces) {
            face = AddFace();
        }
        windowCentreX = 850;
        ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(L"OcellixSteppingTest"));
        for (uint32_t seed = 1;; ++seed) {
            rng.SeedFromValue(seed);
            for (uint32_t& draw : draws) {
                draw = rng.NextUpTo(kIdleDrawMax);
            }
            if (Steps(0) > 1 && Steps(1) == 1 && Steps(2) > 1) {
                rng.SeedFromValue(seed);
                break;
            }
        }
    }
    size_t Steps(int face) const { return IdleSteps(draws[face]).size(); }
    RECT Box(int face, Gaze gaze) const {
        return PupilBox(faces[face]->eyes->geometry.leftEye, gaze, faces[face]->eyes->pupilSize);
    }
    std::vector<std::string> Pupils() const {
        std::vector<std::string> pupils;
        for (const Blinket* face : faces) {
            pupils.push_back(testsupport::RectText(face->eyes->previousLeftPupil));
        }
        return pupils;
    }
    // The idle step shows the first steps and leaves the rest to the step timer, which the test
    // stops so as to send its ticks itself.
    void Start() {
        IdleStep();
        ASSERT_TRUE(IdleAnimationPlaying());
        EXPECT_TRUE(KillTimer(mainWindow, kIdleStepTimerId));
    }
    void Tick() { SendMessageW(mainWindow, WM_TIMER, kIdleStepTimerId, 0); }

    Blinket* faces[3] = {};
    uint32_t draws[3] = {};
};

// The same steps as when the pauses blocked: one face's animation after another, each pause
// waiting for a tick, the single look and the next animation's first step shown at once.
TEST_F(SteppingTest, EachTickShowsTheStepsThatFollowAPause) {
    std::vector<std::vector<std::string>> expected;
    std::vector<std::string> pupils = Pupils();
    for (int face = 0; face < 3; ++face) {
        const std::span<const Gaze> steps = IdleSteps(draws[face]);
        for (size_t step = 0; step < steps.size(); ++step) {
            pupils[face] = testsupport::RectText(Box(face, steps[step]));
            if (step + 1 < steps.size()) {
                expected.push_back(pupils);
            }
        }
    }
    expected.push_back(pupils);
    const MtRandom before = rng;
    Start();
    std::vector<std::vector<std::string>> seen = {Pupils()};
    while (IdleAnimationPlaying() && seen.size() <= expected.size()) {
        Tick();
        seen.push_back(Pupils());
    }
    EXPECT_EQ(expected, seen);
    EXPECT_TRUE(AdvancedBy(before, 3));
    EXPECT_FALSE(KillTimer(mainWindow, kIdleStepTimerId)) << "no timer runs after the animation";
}

TEST_F(SteppingTest, TapsPaintsAndIdleStepsAreServedMidAnimation) {
    Start();
    const MtRandom before = rng;
    PostMessageW(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 9));
    PostMessageW(mainWindow, WM_LBUTTONUP, 0, MAKELPARAM(7, 9));
    testsupport::PumpMessages();
    EXPECT_EQ(7u, rawreg::Dword(rawreg::kSettingsKey, L"xTap"));
    IdleStep();  // the animation under way plays on, without new draws

    // A paint of the blinket without eyes alone brings the pupils to the centre, the old ones
    // erased outside the painted part too.
    const RECT first = faces[0]->eyes->previousLeftPupil;
    const RECT centre = Box(0, Gaze::Centre);
    ASSERT_FALSE(EqualRect(&first, &centre));
    const RECT plain = {0, 0, 20, 30};
    RedrawWindow(mainWindow, &plain, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    WindowDC window(mainWindow);
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(window.get(), first.left + 2, first.top + 2));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(window.get(), centre.left + 2, centre.top + 2));

    Tick();
    EXPECT_EQ(testsupport::RectText(Box(0, IdleSteps(draws[0])[1])), Pupils()[0]);
    EXPECT_TRUE(IdleAnimationPlaying());
    EXPECT_TRUE(AdvancedBy(before, 0));
}

// What replaces or frees the blinkets ends the animation; a late tick then draws nothing.
struct Interruption {
    const char* name;
    void (*interrupt)();
};

void PrintTo(const Interruption& interruption, std::ostream* out) {
    *out << interruption.name;
}

class SteppingEndTest : public SteppingTest, public testing::WithParamInterface<Interruption> {};

TEST_P(SteppingEndTest, EndsTheAnimation) {
    Start();
    const MtRandom before = rng;
    GetParam().interrupt();
    StepIdleAnimation();
    EXPECT_FALSE(IdleAnimationPlaying());
    EXPECT_TRUE(AdvancedBy(before, 0));
    if (IsWindow(mainWindow)) {
        EXPECT_FALSE(KillTimer(mainWindow, kIdleStepTimerId));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Idle, SteppingEndTest,
    testing::Values(Interruption{"ScreenReset",
                                 [] {
                                     SendMessageW(mainWindow, WM_SETTINGCHANGE, SETTINGCHANGE_RESET,
                                                  0);
                                 }},
                    Interruption{"Reload",
                                 [] {
                                     WriteReloadFlag(kMakerName, kProgramName, true);
                                     IdleStep();
                                 }},
                    Interruption{"Dialog",
                                 [] {
                                     dialogActive = true;
                                     blinkets.RemoveAt(1);
                                 }},
                    Interruption{"WindowsEnd", [] { DestroyWindow(mainWindow); }}),
    [](const testing::TestParamInfo<Interruption>& info) { return info.param.name; });

TEST(IdleAnimation, EachDrawPlaysItsAnimation) {
    using A = Animation;
    const A table[kIdleDrawMax + 1] = {
        A::LookCentre,   A::LookUp,        A::LookCentre,     A::LookDown,
        A::Glance,       A::LookLeft,      A::LookCentre,     A::LookUpLeft,
        A::LookDownLeft, A::LookRight,     A::LookCentre,     A::LookUpRight,
        A::LookCentre,   A::LookDownRight, A::SweepFromRight, A::SweepFromLeft,
    };
    for (uint32_t draw = 0; draw <= kIdleDrawMax; ++draw) {
        const std::span<const Gaze> steps = IdleSteps(draw);
        const std::span<const Gaze> expected = AnimationSteps(table[draw]);
        EXPECT_TRUE(std::equal(steps.begin(), steps.end(), expected.begin(), expected.end()))
            << "draw " << draw;
    }
    EXPECT_TRUE(IdleSteps(kIdleDrawMax + 1).empty());
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
