// The pupils of one blinket: their geometry, drawing and animations.
#pragma once

#include <windows.h>

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

// Draws the pupils into a target context. The image context, when there is one, holds the
// blinkets without pupils and is what erasing copies back from; without it the old pupils are
// painted over in white.
class EyeAnimator {
public:
    // The wait between animation steps; tests replace it so that nothing sleeps.
    static void (*pause)(DWORD milliseconds);
    static constexpr DWORD kPauseMilliseconds = 200;

    // Takes the eye rectangles once; later calls keep the first geometry.
    void SetEyes(const RECT& leftEye, const RECT& rightEye);
    void Look(HDC target, HDC image, Gaze gaze);
    // Erases the pupils drawn last and draws the new ones.
    void DrawPupils(HDC target, HDC image, const RECT& leftBox, const RECT& rightBox);

    void LookCentre(HDC target, HDC image) { Look(target, image, Gaze::Centre); }
    void LookUp(HDC target, HDC image) { Look(target, image, Gaze::Up); }
    void LookDown(HDC target, HDC image) { Look(target, image, Gaze::Down); }
    void LookLeft(HDC target, HDC image) { Look(target, image, Gaze::Left); }
    void LookRight(HDC target, HDC image) { Look(target, image, Gaze::Right); }
    void LookUpLeft(HDC target, HDC image) { Look(target, image, Gaze::UpLeft); }
    void LookUpRight(HDC target, HDC image) { Look(target, image, Gaze::UpRight); }
    void LookDownLeft(HDC target, HDC image) { Look(target, image, Gaze::DownLeft); }
    void LookDownRight(HDC target, HDC image) { Look(target, image, Gaze::DownRight); }
    void Glance(HDC target, HDC image);
    void SweepFromRight(HDC target, HDC image);
    void SweepFromLeft(HDC target, HDC image);
    // Once round the eye, ending at the centre; pauses between the steps only when asked.
    void Roll(HDC target, HDC image, bool withPauses);

    bool geometryReady = false;
    int pupilSize = 3;
    RECT previousLeftPupil = {};
    RECT previousRightPupil = {};
    EyeGeometry geometry;

private:
    template <int N> void Play(HDC target, HDC image, const Gaze (&steps)[N], bool withPauses);
};
