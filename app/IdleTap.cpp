#include "app/IdleTap.h"

#include "app/MainWindow.h"
#include "app/Render.h"
#include "base/Handles.h"
#include "model/Blinket.h"
#include "model/EyeAnimator.h"
#include "state/ShellState.h"
#include "store/Settings.h"

namespace {

using Animation = void (EyeAnimator::*)(HDC target, HDC image);

// Straight ahead in 5 draws of 16; each direction, the glance and each sweep in one.
constexpr Animation kIdleAnimations[kIdleDrawMax + 1] = {
    &EyeAnimator::LookCentre,    &EyeAnimator::LookUp,        &EyeAnimator::LookCentre,
    &EyeAnimator::LookDown,      &EyeAnimator::Glance,        &EyeAnimator::LookLeft,
    &EyeAnimator::LookCentre,    &EyeAnimator::LookUpLeft,    &EyeAnimator::LookDownLeft,
    &EyeAnimator::LookRight,     &EyeAnimator::LookCentre,    &EyeAnimator::LookUpRight,
    &EyeAnimator::LookCentre,    &EyeAnimator::LookDownRight, &EyeAnimator::SweepFromRight,
    &EyeAnimator::SweepFromLeft,
};

}  // namespace

void PlayIdleAnimation(EyeAnimator& eyes, uint32_t draw, HDC target, HDC image) {
    if (draw <= kIdleDrawMax) {
        (eyes.*kIdleAnimations[draw])(target, image);
    }
}

void IdleStep() {
    if (!IsWindow(mainWindow)) {
        return;
    }
    if (ReadReloadFlag(kMakerName, kProgramName)) {
        WriteReloadFlag(kMakerName, kProgramName, false);
        RepositionWindow();
        return;
    }
    // Drawn over the window, each pupil erased from the strip.
    WindowDC target(mainWindow);
    StripImageDC image(target.get());
    if (!target || !image) {
        return;
    }
    const int count = blinkets.Count();
    for (int index = 0; index < count; ++index) {
        Blinket* blinket = blinkets.At(index);
        if (blinket && IsPlaced(*blinket) && blinket->EnsureEyes()) {
            PlayIdleAnimation(*blinket->eyes, rng.NextUpTo(kIdleDrawMax), target.get(),
                              image.get());
        }
    }
}

bool TapHits(const Blinket& blinket, POINT tap) {
    const int widening = blinketGap / 2;
    return IsPlaced(blinket) && tap.x >= blinket.xOffset - widening &&
           tap.x <= blinket.xOffset + blinket.frameWidth + widening;
}

void HandleTap(POINT tap) {
    const int count = blinkets.Count();
    SaveTapPoint(kMakerName, kProgramName, tap);
    for (int index = 0; index < count; ++index) {
        Blinket* blinket = blinkets.At(index);
        if (!blinket || !TapHits(*blinket, tap)) {
            continue;
        }
        if (blinket->actionCmd == kActionShowOptions) {
            // The dialog may have moved, replaced or deleted blinkets: whatever lies under the
            // point now is not what the user tapped.
            RunOptions();
            return;
        }
        blinket->RunAction(appInstance, mainWindow);
    }
}
