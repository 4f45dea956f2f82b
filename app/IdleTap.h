// What the blinkets do over time and under the user's finger: the idle animation of their eyes
// and the actions a tap runs.
#pragma once

#include <windows.h>

#include <cstdint>

class Blinket;
class EyeAnimator;

// The largest value of an idle draw: each of 0 to 15 picks one entry of the animation table.
constexpr uint32_t kIdleDrawMax = 15;

// Plays the idle animation that the draw picks; a draw past the table does nothing.
void PlayIdleAnimation(EyeAnimator& eyes, uint32_t draw, HDC target, HDC image);

// Serves a reload request from the registry if there is one; otherwise plays one drawn
// animation on every blinket with eyes.
void IdleStep();

// Whether a tap at the client point hits the blinket. Only x counts; every blinket is widened by
// half the gap on each side, so neighbours' ranges meet without overlapping.
bool TapHits(const Blinket& blinket, POINT tap);

// Records the tap point for other programs, then runs the action of every blinket hit.
void HandleTap(POINT tap);
