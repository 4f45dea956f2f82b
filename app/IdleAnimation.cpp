#include "app/IdleAnimation.h"

#include "app/Render.h"
#include "model/Blinket.h"
#include "model/EyeAnimator.h"
#include "state/ShellState.h"

namespace {

// Straight ahead in 5 draws of 16; each direction, the glance and each sweep in one.
constexpr Animation kIdleAnimations[kIdleDrawMax + 1] = {
    Animation::LookCentre,    Animation::LookUp,        Animation::LookCentre,
    Animation::LookDown,      Animation::Glance,        Animation::LookLeft,
    Animation::LookCentre,    Animation::LookUpLeft,    Animation::LookDownLeft,
    Animation::LookRight,     Animation::LookCentre,    Animation::LookUpRight,
    Animation::LookCentre,    Animation::LookDownRight, Animation::SweepFromRight,
    Animation::SweepFromLeft,
};

// The idle animation under way. It holds the place in the list, never a blinket or its eyes:
// both are looked up again at every step.
struct IdleRound {
    bool playing = false;
    int index = -1;  // the blinket whose animation plays
    int count = 0;   // blinkets in the list when the round began
    std::span<const Gaze> steps;
    size_t next = 0;  // its next step
};
IdleRound idleRound;

Blinket* AnimatedBlinket(int index) {
    Blinket* blinket = blinkets.At(index);
    return blinket && IsPlaced(*blinket) && blinket->EnsureEyes() ? blinket : nullptr;
}

// Moves on to the next blinket with eyes and draws its animation; false after the last one.
bool NextAnimatedBlinket() {
    while (++idleRound.index < idleRound.count) {
        if (AnimatedBlinket(idleRound.index)) {
            idleRound.steps = IdleSteps(rng.NextUpTo(kIdleDrawMax));
            idleRound.next = 0;
            return true;
        }
    }
    return false;
}

// Shows the next step and, when that ends an animation, the first steps of the blinkets after
// it, up to a step that a pause must precede. False when the round is over.
bool ShowDueSteps() {
    WindowCanvas canvas(mainWindow);
    if (!canvas) {
        return false;
    }
    for (;;) {
        if (idleRound.next < idleRound.steps.size()) {
            if (Blinket* blinket = AnimatedBlinket(idleRound.index)) {
                blinket->eyes->Look(canvas.target(), canvas.image(),
                                    idleRound.steps[idleRound.next++]);
                canvas.Show(WindowCanvas::AreaOf(*blinket));
                if (idleRound.next < idleRound.steps.size()) {
                    return true;
                }
            }
        }
        if (!NextAnimatedBlinket()) {
            return false;
        }
    }
}

}  // namespace

std::span<const Gaze> IdleSteps(uint32_t draw) {
    return draw <= kIdleDrawMax ? AnimationSteps(kIdleAnimations[draw]) : std::span<const Gaze>();
}

void StartIdleAnimation() {
    // Many blinkets can take longer than the idle count: the animation under way plays to its
    // end.
    if (idleRound.playing || !IsWindow(mainWindow)) {
        return;
    }
    idleRound = {true, -1, blinkets.Count(), {}, 0};
    if (!ShowDueSteps() ||
        !SetTimer(mainWindow, kIdleStepTimerId, kAnimationPauseMilliseconds, nullptr)) {
        StopIdleAnimation();
    }
}

void StepIdleAnimation() {
    if (!idleRound.playing || dialogActive || !IsWindow(mainWindow) || !ShowDueSteps()) {
        StopIdleAnimation();
    }
}

void StopIdleAnimation() {
    if (IsWindow(mainWindow)) {
        KillTimer(mainWindow, kIdleStepTimerId);
    }
    idleRound = IdleRound();
}

bool IdleAnimationPlaying() {
    return idleRound.playing;
}
