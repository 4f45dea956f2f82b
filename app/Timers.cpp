#include "app/Timers.h"

#include "app/IdleAnimation.h"
#include "app/Operations.h"
#include "app/Pupils.h"
#include "state/ShellState.h"
#include "store/Settings.h"

namespace {

void OnMainTick(HWND window) {
    if (dialogActive) {
        return;
    }
    CheckCover(window);
    KeepOnTop(window);
    GlanceAtPointer(window);
    if (++idleTicks >= idleTickThreshold) {
        idleTicks = 0;
        IdleStep();
    }
}

}  // namespace

void OnTimer(HWND window, WPARAM id) {
    switch (id) {
    case kIdleStepTimerId: StepIdleAnimation(); break;
    case kPointerTimerId: OnPointerTick(window); break;
    default: OnMainTick(window); break;
    }
}

void IdleStep() {
    if (!IsWindow(mainWindow)) {
        return;
    }
    if (ReadReloadFlag(kMakerName, kProgramName)) {
        WriteReloadFlag(kMakerName, kProgramName, false);
        Reload(ReloadScope::Settings);
        return;
    }
    OnIdleCount();
}
