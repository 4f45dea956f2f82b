#include "app/Pupils.h"

#include "app/IdleAnimation.h"
#include "app/PointerFollow.h"
#include "state/ShellState.h"

namespace {

bool following = false;

void Pace(HWND window, UINT period) {
    SetTimer(window, kPointerTimerId, period, nullptr);
}

// The eyes back at the centre, no longer following.
void StopFollowing(HWND window) {
    if (following) {
        following = false;
        LookTowards(window, nullptr);
    }
}

}  // namespace

void WatchPointer(HWND window) {
    if (!followPointer) {
        StopWatchingPointer(window);
    } else if (!following) {
        Pace(window, kPointerAwayPeriod);
    }
}

void OnPointerTick(HWND window) {
    POINT point = {};
    if (GetCursorPos(&point)) {
        FollowPointerAt(window, point);
    }
}

void FollowPointerAt(HWND window, POINT screenPoint) {
    if (PointerCallsEyes(window, screenPoint)) {
        if (!following) {
            following = true;
            StopIdleAnimation();
            Pace(window, kPointerNearPeriod);
        }
        LookTowards(window, &screenPoint);
    } else if (following) {
        StopFollowing(window);
        Pace(window, kPointerAwayPeriod);
    }
}

void StopWatchingPointer(HWND window) {
    StopFollowing(window);
    KillTimer(window, kPointerTimerId);
}

bool FollowingPointer() {
    return following;
}

bool AnimationsWanted() {
    BOOL wanted = TRUE;
    return !SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &wanted, 0) || wanted;
}

void OnIdleCount() {
    if (!following && AnimationsWanted()) {
        StartIdleAnimation();
    }
}
