#include "model/EyeAnimator.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

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
    animator.LookCentre(target.dc(), image.dc());
    EXPECT_EQ(kBlack, target.Pixel(21, 15));
    EXPECT_EQ(kBlack, target.Pixel(49, 15));
    animator.LookRight(target.dc(), image.dc());
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
    animator.LookCentre(target.dc(), nullptr);  // no eyes yet: draws nothing
    animator.SetEyes(kLeftEye, kRightEye);
    animator.LookCentre(target.dc(), nullptr);
    const RECT old[] = {animator.previousLeftPupil, animator.previousRightPupil};
    animator.LookDown(target.dc(), nullptr);
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

namespace {

// Instead of waiting, the pause records where the left pupil stands.
EyeAnimator* watched = nullptr;
std::vector<std::string> seen;
void RecordPause(DWORD milliseconds) {
    EXPECT_EQ(200u, milliseconds);
    seen.push_back(RectText(watched->previousLeftPupil));
}

}  // namespace

TEST(EyeAnimator, AnimationsStepAndPause) {
    using G = Gaze;
    const struct {
        void (EyeAnimator::*play)(HDC, HDC);
        std::vector<Gaze> steps;
    } table[] = {
        {&EyeAnimator::LookCentre, {G::Centre}},
        {&EyeAnimator::LookUp, {G::Up}},
        {&EyeAnimator::LookDown, {G::Down}},
        {&EyeAnimator::LookLeft, {G::Left}},
        {&EyeAnimator::LookRight, {G::Right}},
        {&EyeAnimator::LookUpLeft, {G::UpLeft}},
        {&EyeAnimator::LookUpRight, {G::UpRight}},
        {&EyeAnimator::LookDownLeft, {G::DownLeft}},
        {&EyeAnimator::LookDownRight, {G::DownRight}},
        {&EyeAnimator::Glance, {G::Right, G::Centre, G::Left, G::Centre}},
        {&EyeAnimator::SweepFromRight,
         {G::Right, G::UpRight, G::Up, G::UpLeft, G::Left, G::Centre}},
        {&EyeAnimator::SweepFromLeft, {G::Left, G::UpLeft, G::Up, G::UpRight, G::Right, G::Centre}},
        {nullptr,
         {G::Left, G::UpLeft, G::Up, G::UpRight, G::Right, G::DownRight, G::Down, G::DownLeft,
          G::Centre}},
    };
    testsupport::Canvas target(kWidth, kHeight, kGreen);
    const auto realPause = EyeAnimator::pause;
    EyeAnimator::pause = RecordPause;
    for (bool withPauses : {true, false}) {
        for (const auto& row : table) {
            EyeAnimator animator;
            animator.SetEyes(kLeftEye, kRightEye);
            watched = &animator;
            seen.clear();
            if (row.play) {
                (animator.*row.play)(target.dc(), nullptr);
            } else {
                animator.Roll(target.dc(), nullptr, withPauses);
            }
            std::vector<std::string> expected;
            for (size_t i = 0; i + 1 < row.steps.size() && (withPauses || row.play); ++i) {
                expected.push_back(RectText(PupilBox(kLeftEye, row.steps[i], 4)));
            }
            EXPECT_EQ(expected, seen) << row.steps.size() << " steps";
            EXPECT_EQ(RectText(PupilBox(kRightEye, row.steps.back(), 4)),
                      RectText(animator.previousRightPupil));
        }
    }
    EyeAnimator::pause = realPause;
}
