// The pupils of one blinket: their geometry, drawing and animations.
#pragma once

#include <windows.h>

#include <span>

// Where the pupils look. 0 to 7 circle the eye from the top, turning first to the left.
enum class Gaze : int {
    Up = 0,
    UpLeft = 1,
    Left = 2,
    DownLeft = 3,
    Down = 4,
    DownRight = 5,
    Right = 6,
    UpRight = 7,
    Centre = 8,
};
constexpr int kGazeCount = 9;

// Pupil diameter in pixels for an eye of the given width.
int PupilSizeForWidth(int eyeWidth);
// The point of the eye that a gaze direction aims at.
POINT GazeAnchor(const RECT& eye, Gaze gaze);
// The box of a pupil of the given size looking towards the anchor: one corner of it is kept
// inside the eye (the top-left one for Up, UpLeft, Left and Centre, the bottom-right one
// otherwise).
RECT PupilBoxAt(const RECT& eye, POINT anchor, Gaze gaze, int pupilSize);
inline RECT PupilBox(const RECT& eye, Gaze gaze, int pupilSize) {
    return PupilBoxAt(eye, GazeAnchor(eye, gaze), gaze, pupilSize);
}
// The square that erasing a pupil copies back from the image: 2s wide, s up and left of it.
RECT RestoreSquare(const RECT& pupilBox, int pupilSize);

struct EyeGeometry {
    int pupilSize = 3;
    POINT leftAnchors[kGazeCount] = {};
    POINT rightAnchors[kGazeCount] = {};
    RECT leftEye = {};
    RECT rightEye = {};
};

// The geometry of two eyes; the pupil size follows the left eye's width only.
EyeGeometry MakeEyeGeometry(const RECT& leftEye, const RECT& rightEye);

// The animations: fixed sequences of gazes, one step after another with a pause between steps.
enum class Animation : int {
    LookCentre,
    LookUp,
    LookDown,
    LookLeft,
    LookRight,
    LookUpLeft,
    LookUpRight,
    LookDownLeft,
    LookDownRight,
    Glance,
    SweepFromRight,
    SweepFromLeft,
    Roll,
};
// The wait between two steps of an animation.
constexpr UINT kAnimationPauseMilliseconds = 200;
// The steps of an animation, in order.
std::span<const Gaze> AnimationSteps(Animation animation);

// Draws the pupils into a target context. The image context, when there is one, holds the
// blinkets without pupils and is what erasing copies back from; without it the old pupils are
// painted over in white. It keeps no more than the pupils drawn last: whoever plays an animation
// shows its steps one by one with Look and decides how the pauses between them pass.
class EyeAnimator {
public:
    // Takes the eye rectangles once; later calls keep the first geometry.
    void SetEyes(const RECT& leftEye, const RECT& rightEye);
    void Look(HDC target, HDC image, Gaze gaze);
    // Whether the pupils drawn last are those of the gaze: looking there again would change
    // nothing.
    bool LooksAt(Gaze gaze) const;
    // Erases the pupils drawn last and draws the new ones.
    void DrawPupils(HDC target, HDC image, const RECT& leftBox, const RECT& rightBox);
    // Once round the eye without pauses, ending at the centre.
    void Roll(HDC target, HDC image);

    bool geometryReady = false;
    int pupilSize = 3;
    RECT previousLeftPupil = {};
    RECT previousRightPupil = {};
    EyeGeometry geometry;

private:
    // The boxes of both pupils for the gaze; false before the eyes are set or for no gaze.
    bool PupilBoxes(Gaze gaze, RECT& left, RECT& right) const;
};
