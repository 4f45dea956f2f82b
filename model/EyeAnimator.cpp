#include "model/EyeAnimator.h"

#include "base/Handles.h"

#include <algorithm>
#include <iterator>

namespace {

// The one routine that puts a pupil on the screen, black to draw it, white to paint it over.
void DrawDisc(HDC target, const RECT& box, bool black) {
    if (IsRectEmpty(&box)) {
        return;  // no pupil was drawn there yet
    }
    SelectedObject brush(target, GetStockObject(black ? BLACK_BRUSH : WHITE_BRUSH));
    SelectedObject pen(target, GetStockObject(black ? BLACK_PEN : WHITE_PEN));
    Ellipse(target, box.left, box.top, box.right, box.bottom);
}

// Copies the image without pupils back over the place of an old pupil.
void RestoreUnder(HDC target, HDC image, const RECT& box, int pupilSize) {
    if (IsRectEmpty(&box)) {
        return;
    }
    const RECT square = RestoreSquare(box, pupilSize);
    BitBlt(target, square.left, square.top, square.right - square.left, square.bottom - square.top,
           image, square.left, square.top, SRCCOPY);
}

POINT ClampInto(const RECT& eye, POINT point) {
    point.x = std::min(std::max(point.x, eye.left), eye.right);
    point.y = std::min(std::max(point.y, eye.top), eye.bottom);
    return point;
}

// The one step of each single-look animation, in the order of Animation.
constexpr Gaze kSingleLooks[] = {Gaze::Centre,  Gaze::Up,       Gaze::Down,
                                 Gaze::Left,    Gaze::Right,    Gaze::UpLeft,
                                 Gaze::UpRight, Gaze::DownLeft, Gaze::DownRight};
constexpr Gaze kGlance[] = {Gaze::Right, Gaze::Centre, Gaze::Left, Gaze::Centre};
constexpr Gaze kSweepFromRight[] = {Gaze::Right,  Gaze::UpRight, Gaze::Up,
                                    Gaze::UpLeft, Gaze::Left,    Gaze::Centre};
constexpr Gaze kSweepFromLeft[] = {Gaze::Left,    Gaze::UpLeft, Gaze::Up,
                                   Gaze::UpRight, Gaze::Right,  Gaze::Centre};
constexpr Gaze kRoll[] = {Gaze::Left,      Gaze::UpLeft, Gaze::Up,       Gaze::UpRight, Gaze::Right,
                          Gaze::DownRight, Gaze::Down,   Gaze::DownLeft, Gaze::Centre};

}  // namespace

int PupilSizeForWidth(int eyeWidth) {
    if (eyeWidth < 10) {
        return 3;
    }
    if (eyeWidth < 20) {
        return 4;
    }
    if (eyeWidth < 30) {
        return 5;
    }
    if (eyeWidth < 40) {
        return 6;
    }
    return 3;  // large eyes get small pupils again
}

POINT GazeAnchor(const RECT& eye, Gaze gaze) {
    const LONG cx = eye.left + (eye.right - eye.left) / 2;
    const LONG cy = eye.top + (eye.bottom - eye.top) / 2;
    switch (gaze) {
    case Gaze::Up: return {cx, eye.top};
    case Gaze::UpLeft: return {eye.left, eye.top};
    case Gaze::Left: return {eye.left, cy};
    case Gaze::DownLeft: return {eye.left, eye.bottom};
    case Gaze::Down: return {cx, eye.bottom};
    case Gaze::DownRight: return {eye.right, eye.bottom};
    case Gaze::Right: return {eye.right, cy};
    case Gaze::UpRight: return {eye.right, eye.top};
    case Gaze::Centre: break;
    }
    return {cx, cy};
}

RECT PupilBoxAt(const RECT& eye, POINT anchor, Gaze gaze, int pupilSize) {
    const int half = pupilSize / 2;
    POINT topLeft = {anchor.x - half, anchor.y - half};
    switch (gaze) {
    case Gaze::Up:
    case Gaze::UpLeft:
    case Gaze::Left:
    case Gaze::Centre:
        topLeft = ClampInto(eye, topLeft);
        return {topLeft.x, topLeft.y, topLeft.x + pupilSize, topLeft.y + pupilSize};
    default: {
        const POINT bottomRight = ClampInto(eye, {topLeft.x + pupilSize, topLeft.y + pupilSize});
        return {bottomRight.x - pupilSize, bottomRight.y - pupilSize, bottomRight.x, bottomRight.y};
    }
    }
}

RECT RestoreSquare(const RECT& pupilBox, int pupilSize) {
    return {pupilBox.left - pupilSize, pupilBox.top - pupilSize, pupilBox.left + pupilSize,
            pupilBox.top + pupilSize};
}

EyeGeometry MakeEyeGeometry(const RECT& leftEye, const RECT& rightEye) {
    EyeGeometry geometry;
    geometry.pupilSize = PupilSizeForWidth(leftEye.right - leftEye.left);
    for (int index = 0; index < kGazeCount; ++index) {
        geometry.leftAnchors[index] = GazeAnchor(leftEye, static_cast<Gaze>(index));
        geometry.rightAnchors[index] = GazeAnchor(rightEye, static_cast<Gaze>(index));
    }
    geometry.leftEye = leftEye;
    geometry.rightEye = rightEye;
    return geometry;
}

std::span<const Gaze> AnimationSteps(Animation animation) {
    switch (animation) {
    case Animation::Glance: return kGlance;
    case Animation::SweepFromRight: return kSweepFromRight;
    case Animation::SweepFromLeft: return kSweepFromLeft;
    case Animation::Roll: return kRoll;
    default: break;
    }
    const auto index = static_cast<size_t>(animation);
    return index < std::size(kSingleLooks) ? std::span<const Gaze>(&kSingleLooks[index], 1)
                                           : std::span<const Gaze>();
}

void EyeAnimator::SetEyes(const RECT& leftEye, const RECT& rightEye) {
    if (geometryReady) {
        return;
    }
    geometry = MakeEyeGeometry(leftEye, rightEye);
    pupilSize = geometry.pupilSize;
    geometryReady = true;
}

bool EyeAnimator::PupilBoxes(Gaze gaze, RECT& left, RECT& right) const {
    const int index = static_cast<int>(gaze);
    if (!geometryReady || index < 0 || index >= kGazeCount) {
        return false;
    }
    left = PupilBoxAt(geometry.leftEye, geometry.leftAnchors[index], gaze, pupilSize);
    right = PupilBoxAt(geometry.rightEye, geometry.rightAnchors[index], gaze, pupilSize);
    return true;
}

void EyeAnimator::Look(HDC target, HDC image, Gaze gaze) {
    RECT left;
    RECT right;
    if (PupilBoxes(gaze, left, right)) {
        DrawPupils(target, image, left, right);
    }
}

bool EyeAnimator::LooksAt(Gaze gaze) const {
    RECT left;
    RECT right;
    return PupilBoxes(gaze, left, right) && EqualRect(&left, &previousLeftPupil) &&
           EqualRect(&right, &previousRightPupil);
}

void EyeAnimator::DrawPupils(HDC target, HDC image, const RECT& leftBox, const RECT& rightBox) {
    if (!target) {
        return;
    }
    if (image) {
        RestoreUnder(target, image, previousLeftPupil, pupilSize);
        RestoreUnder(target, image, previousRightPupil, pupilSize);
    } else {
        DrawDisc(target, previousLeftPupil, false);
        DrawDisc(target, previousRightPupil, false);
        DrawDisc(target, leftBox, false);
        DrawDisc(target, rightBox, false);
    }
    DrawDisc(target, leftBox, true);
    previousLeftPupil = leftBox;
    DrawDisc(target, rightBox, true);
    previousRightPupil = rightBox;
}

void EyeAnimator::Roll(HDC target, HDC image) {
    for (Gaze gaze : AnimationSteps(Animation::Roll)) {
        Look(target, image, gaze);
    }
}
