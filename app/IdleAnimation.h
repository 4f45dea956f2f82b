// The idle animation: every blinket with eyes plays one drawn animation, one blinket after
// another, the pauses between steps passing on the main window's step timer while the message
// loop runs on.
#pragma once

#include "model/EyeAnimator.h"

#include <windows.h>

#include <cstdint>
#include <span>

// The largest value of an idle draw: each of 0 to 15 picks one entry of the animation table.
constexpr uint32_t kIdleDrawMax = 15;
// The main window's timer that paces the idle animation; it runs only while one plays.
constexpr UINT_PTR kIdleStepTimerId = 99;

// The steps of the idle animation that the draw picks; none for a draw past the table.
std::span<const Gaze> IdleSteps(uint32_t draw);

// Starts a round unless one plays: the first steps are shown at once, the rest on the step timer.
void StartIdleAnimation();
// Shows the steps that are due after a pause, on the step timer. An open dialog ends the
// animation: the blinkets may change under it.
void StepIdleAnimation();
// Ends the idle animation where it stands, every pupil whole at its last step, and stops the
// step timer. Re-layouts and the window's end call it, since they replace or free what it
// animates.
void StopIdleAnimation();
bool IdleAnimationPlaying();
