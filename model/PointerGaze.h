// Where a pair of eyes looks to follow the pointer.
#pragma once

#include "model/EyeAnimator.h"

#include <windows.h>

// The gaze from the centre of the eye pair towards the point, rounded to the nearest of the eight
// directions; straight ahead when the point lies on either eye. All in one coordinate space.
Gaze GazeTowards(const RECT& leftEye, const RECT& rightEye, POINT point);
