#include "model/EyeAnimator.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

using testsupport::RectText;

namespace {

constexpr RECT kLeftEye = {12, 8, 30, 22};
constexpr RECT kRightEye = {40, 8, 58, 22};
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

bool Inside(const RECT& rect, int x, int y) {
    return PtInRect(&rect, {x, y}) != FALSE;
}

// The blinkets without pupils: neither black, white nor the target's green.
COLORREF Pattern(int x, int y) {
    return RGB(40 + x, 80 + y, 200);
}

constexpr int kWidth = 64;
constexpr int kHeight = 32;

template <class F> void ForEachPixel(F f) {
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            f(x, y);
        }
    }
}

// A 64 by 32 canvas painted with the colour function.
testsupport::Canvas Painted(COLORREF (*colour)(int, int)) {
    std::vector<COLORREF> colours;
    ForEachPixel([&](int x, int y) { colours.push_back(colour(x, y)); });
    return testsupport::Canvas(kWidth, kHeight, colours);
}

}  // namespace

TEST(EyeGeometry, PupilSizeByEyeWidth) {
    const int table[][2] = {{9, 3},  {10, 4}, {19, 4}, {20, 5},  {29, 5},
                            {30, 6}, {39, 6}, {40, 3}, {100, 3}, {0, 3}};
    for (const auto& row : table) {
        EXPECT_EQ(row[1], PupilSizeForWidth(row[0])) << "width " << row[0];
    }
}

TEST(EyeGeometry, NinePupilBoxes) {
    const char* boxes[kGazeCount] = {"19,8,23,12",  "12,8,16,12",  "12,13,16,17",
                                     "10,18,14,22", "19,18,23,22", "26,18,30,22",
                                     "26,13,30,17", "26,6,30,10",  "19,13,23,17"};
    for (int gaze = 0; gaze < kGazeCount; ++gaze) {
        EXPECT_EQ(boxes[gaze], RectText(PupilBox(kLeftEye, static_cast<Gaze>(gaze), 4))) << gaze;
    }
    EXPECT_EQ("15,9,23,17", RectText(RestoreSquare(PupilBox(kLeftEye, Gaze::Centre, 4), 4)));
}

TEST(EyeAnimator, FirstEyesAndTheLeftWidthRule) {
    EyeAnimator animator;
    animator.SetEyes(kLeftEye, {40, 8, 80, 30});
    animator.SetEyes({0, 0, 35, 35}, {40, 0, 75, 35});
    EXPECT_EQ(4, animator.pupilSize);  // from the left eye's width 18; the right is 40 wide
    EXPECT_EQ(RectText(kLeftEye), RectText(animator.geometry.leftEye));
    const POINT centre = animator.geometry.rightAnchors[static_cast<int>(Gaze::Centre)];
    EXPECT_EQ(60, centre.x);
    EXPECT_EQ(19, centre.y);
}

// After a Centre draw the next draw copies exactly the 8 by 8 square at (15, 9) (and the right
// eye's) back from the image, and draws the new pupils black.
TEST(EyeAnimator, RestoresTheSquareUnderTheOldPupil) {
    const testsupport::Canvas image = Painted(Pattern);
    testsupport::Canvas target(kWidth, kHeight, kGreen);
    EyeAnimator animator;
    animator.SetEyes(kLeftEye, kRightEye);
    animator.Look(target.dc(), image.dc(), Gaze::Centre);
    EXPECT_EQ(kBlack, target.Pixel(21, 15));
    EXPECT_EQ(kBlack, target.Pixel(49, 15));
    animator.Look(target.dc(), image.dc(), Gaze::Right);
    EXPECT_EQ(kBlack, target.Pixel(28, 15));
    EXPECT_EQ(kBlack, target.Pixel(56, 15));
    const RECT restored[] = {{15, 9, 23, 17}, {43, 9, 51, 17}};
    const RECT pupils[] = {animator.previousLeftPupil, animator.previousRightPupil};
    ForEachPixel([&](int x, int y) {
        const COLORREF pixel = target.Pixel(x, y);
        if (Inside(pupils[0], x, y) || Inside(pupils[1], x, y)) {
            EXPECT_TRUE(pixel == kBlack || pixel == kGreen) << x << "," << y;
        } else {
            const bool copied = Inside(restored[0], x, y) || Inside(restored[1], x, y);
            EXPECT_EQ(copied ? Pattern(x, y) : kGreen, pixel) << x << "," << y;
        }
    });
}

TEST(EyeAnimator, WithoutAnImagePaintsTheOldPupilsWhite) {
    testsupport::Canvas target(kWidth, kHeight, kGreen);
    EyeAnimator animator;
    animator.Look(target.dc(), nullptr, Gaze::Centre);  // no eyes yet: draws nothing
    animator.SetEyes(kLeftEye, kRightEye);
    animator.Look(target.dc(), nullptr, Gaze::Centre);
    const RECT old[] = {animator.previousLeftPupil, animator.previousRightPupil};
    animator.Look(target.dc(), nullptr, Gaze::Down);
    const RECT pupils[] = {animator.previousLeftPupil, animator.previousRightPupil};
    EXPECT_EQ(kWhite, target.Pixel(21, 15));
    EXPECT_EQ(kBlack, target.Pixel(21, 20));
    ForEachPixel([&](int x, int y) {
        const COLORREF pixel = target.Pixel(x, y);
        const COLORREF drawn = Inside(pupils[0], x, y) || Inside(pupils[1], x, y) ? kBlack
                               : Inside(old[0], x, y) || Inside(old[1], x, y)     ? kWhite
                                                                                  : kGreen;
        EXPECT_TRUE(pixel == drawn || pixel == kGreen) << x << "," << y;
    });
}

TEST(EyeAnimator, AnimationsAndTheirSteps) {
    using G = Gaze;
    using A = Animation;
    const struct {
        Animation animation;
        std::vector<Gaze> steps;
    } table[] = {
        {A::LookCentre, {G::Centre}},
        {A::LookUp, {G::Up}},
        {A::LookDown, {G::Down}},
        {A::LookLeft, {G::Left}},
        {A::LookRight, {G::Right}},
        {A::LookUpLeft, {G::UpLeft}},
        {A::LookUpRight, {G::UpRight}},
        {A::LookDownLeft, {G::DownLeft}},
        {A::LookDownRight, {G::DownRight}},
        {A::Glance, {G::Right, G::Centre, G::Left, G::Centre}},
        {A::SweepFromRight, {G::Right, G::UpRight, G::Up, G::UpLeft, G::Left, G::Centre}},
        {A::SweepFromLeft, {G::Left, G::UpLeft, G::Up, G::UpRight, G::Right, G::Centre}},
        {A::Roll,
         {G::Left, G::UpLeft, G::Up, G::UpRight, G::Right, G::DownRight, G::Down, G::DownLeft,
          G::Centre}},
    };
    for (const auto& row : table) {
        const std::span<const Gaze> steps = AnimationSteps(row.animation);
        EXPECT_EQ(row.steps, std::vector<Gaze>(steps.begin(), steps.end()))
            << static_cast<int>(row.animation);
    }
    EXPECT_TRUE(AnimationSteps(static_cast<Animation>(13)).empty());
    EXPECT_EQ(200u, kAnimationPauseMilliseconds);
}

// Painting's roll draws every step of Roll in turn, the last at the centre: each step erases the
// one before, so only the centre pupils are left.
TEST(EyeAnimator, RollEndsAtTheCentreWithNothingLeftBehind) {
    const testsupport::Canvas image = Painted(Pattern);
    testsupport::Canvas target(kWidth, kHeight, kGreen);
    EyeAnimator animator;
    animator.SetEyes(kLeftEye, kRightEye);
    animator.Roll(target.dc(), image.dc());
    const RECT centres[] = {PupilBox(kLeftEye, Gaze::Centre, 4),
                            PupilBox(kRightEye, Gaze::Centre, 4)};
    EXPECT_EQ(RectText(centres[0]), RectText(animator.previousLeftPupil));
    EXPECT_EQ(RectText(centres[1]), RectText(animator.previousRightPupil));
    ForEachPixel([&](int x, int y) {
        if (!Inside(centres[0], x, y) && !Inside(centres[1], x, y)) {
            EXPECT_NE(kBlack, target.Pixel(x, y)) << x << "," << y;
        }
    });
}
