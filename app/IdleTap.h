// What the blinkets do over time and under the user's finger: the idle animation of their eyes
// and the actions a tap runs.
#pragma once

#include "model/EyeAnimator.h"

#include <windows.h>

#include <cstdint>
#include <span>

class Blinket;

// The largest value of an idle draw: each of 0 to 15 picks one entry of the animation table.
constexpr uint32_t kIdleDrawMax = 15;
// The main window's timer that paces the idle animation; it runs only while one plays.
constexpr UINT_PTR kIdleStepTimerId = 99;

// The steps of the idle animation that the draw picks; none for a draw past the table.
std::span<const Gaze> IdleSteps(uint32_t draw);

// Serves a reload request from the registry if there is one. Otherwise, unless an idle animation
// still plays, starts one: every blinket with eyes plays one drawn animation, one blinket after
// another, the pauses between steps passing on the main window's step timer while the message
// loop runs on.
void IdleStep();
// Shows the steps that are due after a pause, on the step timer. An open dialog ends the
// animation: the blinkets may change under it.
void StepIdleAnimation();
// Ends the idle animation where it stands, every pupil whole at its last step, and stops the
// step timer. Re-layouts and the window's end call it, since they replace or free what it
// animates.
void StopIdleAnimation();
bool IdleAnimationPlaying();

// Whether a tap at the strip point hits the blinket. Only x counts; every blinket is widened by
// half the gap on each side, so neighbours' ranges meet without overlapping.
bool TapHits(const Blinket& blinket, POINT tap);

// Records the tap point for other programs, then runs the action of every blinket hit.
void HandleTap(POINT tap);
