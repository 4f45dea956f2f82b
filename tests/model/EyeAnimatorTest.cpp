#include "model/EyeAnimator.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr RECT kLeftEye = {12, 8, 30, 22};
constexpr RECT kRightEye = {40, 8, 58, 22};
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

bool Inside(const RECT& rect, int x, int y) { return PtInRect(&rect, {x, y}) != FALSE; }

// A memory device context with a 32-bit bitmap selected into it.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    bool ok() const { return dc_ && bitmap_; }
    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    template <class F> void Fill(F colourAt) {
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                SetPixel(dc_, x, y, colourAt(x, y));
            }
        }
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// The blinkets without pupils: a pattern that is neither black, white nor the target's green.
COLORREF Pattern(int x, int y) { return RGB(40 + x, 80 + y, 200); }

EyeAnimator MakeAnimator() {
    EyeAnimator animator;
    animator.SetEyes(kLeftEye, kRightEye);
    return animator;
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
    const struct {
        Gaze gaze;
        RECT box;
    } table[] = {
        {Gaze::Up, {19, 8, 23, 12}},         {Gaze::UpLeft, {12, 8, 16, 12}},
        {Gaze::Left, {12, 13, 16, 17}},      {Gaze::DownLeft, {10, 18, 14, 22}},
        {Gaze::Down, {19, 18, 23, 22}},      {Gaze::DownRight, {26, 18, 30, 22}},
        {Gaze::Right, {26, 13, 30, 17}},     {Gaze::UpRight, {26, 6, 30, 10}},
        {Gaze::Centre, {19, 13, 23, 17}},
    };
    for (const auto& row : table) {
        const RECT box = PupilBox(kLeftEye, row.gaze, 4);
        EXPECT_TRUE(SameRect(row.box, box))
            << "gaze " << static_cast<int>(row.gaze) << ": " << box.left << "," << box.top << ","
            << box.right << "," << box.bottom;
    }
}

TEST(EyeGeometry, RightEyeTakesTheLeftEyesPupilSize) {
    const EyeGeometry geometry = MakeEyeGeometry(kLeftEye, {40, 8, 80, 30});
    EXPECT_EQ(4, geometry.pupilSize);
    EXPECT_EQ(60, geometry.rightAnchors[static_cast<int>(Gaze::Centre)].x);
    EXPECT_EQ(19, geometry.rightAnchors[static_cast<int>(Gaze::Centre)].y);
    EXPECT_EQ(21, geometry.leftAnchors[static_cast<int>(Gaze::Up)].x);
    EXPECT_EQ(8, geometry.leftAnchors[static_cast<int>(Gaze::Up)].y);
}

TEST(EyeAnimator, SetEyesTwiceKeepsTheFirst) {
    EyeAnimator animator;
    EXPECT_FALSE(animator.geometryReady);
    EXPECT_EQ(3, animator.pupilSize);
    animator.SetEyes(kLeftEye, kRightEye);
    animator.SetEyes({0, 0, 35, 35}, {40, 0, 75, 35});
    EXPECT_TRUE(animator.geometryReady);
    EXPECT_EQ(4, animator.pupilSize);
    EXPECT_TRUE(SameRect(kLeftEye, animator.geometry.leftEye));
    EXPECT_TRUE(SameRect(kRightEye, animator.geometry.rightEye));
}

// After a Centre draw, the next draw copies the 8 by 8 square at (15, 9) back from the image,
// and nothing else of the left eye.
TEST(EyeAnimatorDrawing, NextDrawRestoresTheSquareUnderTheOldPupil) {
    Canvas image(64, 32);
    Canvas target(64, 32);
    ASSERT_TRUE(image.ok() && target.ok());
    image.Fill(Pattern);
    target.Fill([](int, int) { return kGreen; });
    EyeAnimator animator = MakeAnimator();

    animator.LookCentre(target.dc(), image.dc());
    const RECT centreBox = {19, 13, 23, 17};
    ASSERT_TRUE(SameRect(centreBox, animator.previousLeftPupil));
    EXPECT_EQ(kBlack, target.At(21, 15));
    EXPECT_EQ(kBlack, target.At(49, 15));  // right eye centre (49, 15), box (47, 13, 51, 17)

    animator.LookRight(target.dc(), image.dc());
    const RECT square = RestoreSquare(centreBox, 4);
    ASSERT_TRUE(SameRect(RECT{15, 9, 23, 17}, square));
    const RECT leftBox = animator.previousLeftPupil;
    const RECT rightBox = animator.previousRightPupil;
    const RECT rightSquare = RestoreSquare({47, 13, 51, 17}, 4);
    for (int y = 0; y < target.height(); ++y) {
        for (int x = 0; x < target.width(); ++x) {
            const COLORREF pixel = target.At(x, y);
            if (Inside(leftBox, x, y) || Inside(rightBox, x, y)) {
                ASSERT_TRUE(pixel == kBlack || pixel == kGreen) << x << "," << y;
            } else if (Inside(square, x, y) || Inside(rightSquare, x, y)) {
                ASSERT_EQ(Pattern(x, y), pixel) << x << "," << y;
            } else {
                ASSERT_EQ(kGreen, pixel) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(kBlack, target.At(28, 15));  // the new left pupil, box (26, 13, 30, 17)
    EXPECT_EQ(kBlack, target.At(56, 15));  // the new right pupil, box (54, 13, 58, 17)
}

// Without an image the old pupils are painted over in white.
TEST(EyeAnimatorDrawing, WithoutAnImageErasesInWhite) {
    Canvas target(64, 32);
    ASSERT_TRUE(target.ok());
    target.Fill([](int, int) { return kGreen; });
    EyeAnimator animator = MakeAnimator();

    animator.LookCentre(target.dc(), nullptr);
    const RECT oldLeft = animator.previousLeftPupil;
    const RECT oldRight = animator.previousRightPupil;
    animator.LookDown(target.dc(), nullptr);
    const RECT newLeft = animator.previousLeftPupil;
    const RECT newRight = animator.previousRightPupil;
    EXPECT_EQ(kWhite, target.At(21, 15));
    EXPECT_EQ(kBlack, target.At(21, 20));
    int whites = 0;
    for (int y = 0; y < target.height(); ++y) {
        for (int x = 0; x < target.width(); ++x) {
            const COLORREF pixel = target.At(x, y);
            if (Inside(newLeft, x, y) || Inside(newRight, x, y)) {
                ASSERT_TRUE(pixel == kBlack || pixel == kGreen) << x << "," << y;
            } else if (Inside(oldLeft, x, y) || Inside(oldRight, x, y)) {
                ASSERT_TRUE(pixel == kWhite || pixel == kGreen) << x << "," << y;
                whites += pixel == kWhite;
            } else {
                ASSERT_EQ(kGreen, pixel) << x << "," << y;
            }
        }
    }
    EXPECT_GT(whites, 4);
}

TEST(EyeAnimatorDrawing, NothingIsDrawnBeforeTheEyesAreSet) {
    Canvas target(64, 32);
    ASSERT_TRUE(target.ok());
    target.Fill([](int, int) { return kGreen; });
    EyeAnimator animator;
    animator.Roll(target.dc(), nullptr, false);
    for (int y = 0; y < target.height(); ++y) {
        for (int x = 0; x < target.width(); ++x) {
            ASSERT_EQ(kGreen, target.At(x, y)) << x << "," << y;
        }
    }
}

namespace {

// The pause hook records where the left pupil stands at each pause, instead of waiting.
EyeAnimator* watched = nullptr;
std::vector<RECT> seenAtPauses;
void RecordPause(DWORD milliseconds) {
    EXPECT_EQ(200u, milliseconds);
    seenAtPauses.push_back(watched->previousLeftPupil);
}

}  // namespace

TEST(EyeAnimatorAnimations, StepsAndPauses) {
    using Animation = void (*)(EyeAnimator&, HDC, HDC);
    const struct {
        const char* name;
        Animation play;
        std::vector<Gaze> steps;
    } table[] = {
        {"LookCentre", [](EyeAnimator& a, HDC t, HDC i) { a.LookCentre(t, i); }, {Gaze::Centre}},
        {"LookUp", [](EyeAnimator& a, HDC t, HDC i) { a.LookUp(t, i); }, {Gaze::Up}},
        {"LookDown", [](EyeAnimator& a, HDC t, HDC i) { a.LookDown(t, i); }, {Gaze::Down}},
        {"LookLeft", [](EyeAnimator& a, HDC t, HDC i) { a.LookLeft(t, i); }, {Gaze::Left}},
        {"LookRight", [](EyeAnimator& a, HDC t, HDC i) { a.LookRight(t, i); }, {Gaze::Right}},
        {"LookUpLeft", [](EyeAnimator& a, HDC t, HDC i) { a.LookUpLeft(t, i); }, {Gaze::UpLeft}},
        {"LookUpRight",
         [](EyeAnimator& a, HDC t, HDC i) { a.LookUpRight(t, i); },
         {Gaze::UpRight}},
        {"LookDownLeft",
         [](EyeAnimator& a, HDC t, HDC i) { a.LookDownLeft(t, i); },
         {Gaze::DownLeft}},
        {"LookDownRight",
         [](EyeAnimator& a, HDC t, HDC i) { a.LookDownRight(t, i); },
         {Gaze::DownRight}},
        {"Glance",
         [](EyeAnimator& a, HDC t, HDC i) { a.Glance(t, i); },
         {Gaze::Right, Gaze::Centre, Gaze::Left, Gaze::Centre}},
        {"SweepFromRight",
         [](EyeAnimator& a, HDC t, HDC i) { a.SweepFromRight(t, i); },
         {Gaze::Right, Gaze::UpRight, Gaze::Up, Gaze::UpLeft, Gaze::Left, Gaze::Centre}},
        {"SweepFromLeft",
         [](EyeAnimator& a, HDC t, HDC i) { a.SweepFromLeft(t, i); },
         {Gaze::Left, Gaze::UpLeft, Gaze::Up, Gaze::UpRight, Gaze::Right, Gaze::Centre}},
        {"Roll with pauses",
         [](EyeAnimator& a, HDC t, HDC i) { a.Roll(t, i, true); },
         {Gaze::Left, Gaze::UpLeft, Gaze::Up, Gaze::UpRight, Gaze::Right, Gaze::DownRight,
          Gaze::Down, Gaze::DownLeft, Gaze::Centre}},
    };
    Canvas image(64, 32);
    Canvas target(64, 32);
    ASSERT_TRUE(image.ok() && target.ok());
    EyeAnimator::pause = RecordPause;
    for (const auto& row : table) {
        EyeAnimator animator = MakeAnimator();
        watched = &animator;
        seenAtPauses.clear();
        row.play(animator, target.dc(), image.dc());
        ASSERT_EQ(row.steps.size() - 1, seenAtPauses.size()) << row.name;
        for (size_t i = 0; i + 1 < row.steps.size(); ++i) {
            EXPECT_TRUE(SameRect(PupilBox(kLeftEye, row.steps[i], 4), seenAtPauses[i]))
                << row.name << " step " << i;
        }
        EXPECT_TRUE(SameRect(PupilBox(kLeftEye, row.steps.back(), 4), animator.previousLeftPupil))
            << row.name;
        EXPECT_TRUE(
            SameRect(PupilBox(kRightEye, row.steps.back(), 4), animator.previousRightPupil))
            << row.name;
    }
}

TEST(EyeAnimatorAnimations, RollWithoutPausesEndsAtTheCentre) {
    Canvas target(64, 32);
    ASSERT_TRUE(target.ok());
    int pauses = 0;
    static int* counter = nullptr;
    counter = &pauses;
    EyeAnimator::pause = [](DWORD) { ++*counter; };
    EyeAnimator animator = MakeAnimator();
    animator.LookUpRight(target.dc(), nullptr);
    animator.Roll(target.dc(), nullptr, false);
    EXPECT_EQ(0, pauses);
    EXPECT_TRUE(SameRect(RECT{19, 13, 23, 17}, animator.previousLeftPupil));
    EXPECT_TRUE(SameRect(PupilBox(kRightEye, Gaze::Centre, 4), animator.previousRightPupil));
}
