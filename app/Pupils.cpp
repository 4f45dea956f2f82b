#include "app/Pupils.h"

#include "app/IdleAnimation.h"
#include "app/PointerFollow.h"
#include "app/WatchConditions.h"
#include "state/ShellState.h"

#include <algorithm>
#include <climits>

namespace {

constexpr POINT kNowhere = {LONG_MIN, LONG_MIN};

bool watching = false;
bool following = false;
// Away and still: no timer, the system tells of the mouse's next movement.
bool resting = false;
POINT lastSeen = kNowhere;

void EndRest() {
    if (resting) {
        HearPointerMoves(nullptr, false);
        resting = false;
    }
}

void Pace(HWND window, UINT period) {
    EndRest();
    SetTimer(window, kPointerTimerId, period, nullptr);
}

void Rest(HWND window) {
    KillTimer(window, kPointerTimerId);
    resting = HearPointerMoves(window, true);
    if (!resting) {
        Pace(window, kPointerAwayPeriod);
    }
}

// Until the next look at a pointer away and moving: the sooner the nearer it is.
UINT AwayPeriod(HWND window, POINT point) {
    RECT bounds = {};
    GetWindowRect(window, &bounds);
    const UINT wait = static_cast<UINT>(DistanceToReach(bounds, point) / kPointerSpeed);
    return std::clamp(wait, kPointerNearPeriod, kPointerAwayPeriod);
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
    if (!followPointer || Unwatched()) {
        StopWatchingPointer(window);
    } else if (!watching) {
        watching = true;
        lastSeen = kNowhere;
        Pace(window, kPointerAwayPeriod);
    }
}

void OnPointerTick(HWND window) {
    POINT point = {};
    if (!watching || !GetCursorPos(&point)) {
        return;
    }
    const bool moved = point.x != lastSeen.x || point.y != lastSeen.y;
    lastSeen = point;
    FollowPointerAt(window, point);
    if (following) {
        return;
    }
    if (!moved) {
        if (!resting) {
            Rest(window);
        }
    } else {
        Pace(window, AwayPeriod(window, point));
    }
}

void OnPointerInput(HWND window) {
    // Input already queued arrives after the watch has stopped listening.
    if (resting) {
        lastSeen = kNowhere;
        OnPointerTick(window);
    }
}

void GlanceAtPointer(HWND window) {
    if (resting) {
        OnPointerTick(window);
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
    EndRest();
    watching = false;
}

bool FollowingPointer() {
    return following;
}

bool WatchingPointer() {
    return watching;
}

bool AnimationsWanted() {
    BOOL wanted = TRUE;
    return !SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &wanted, 0) || wanted;
}

void OnIdleCount() {
    if (!following && !Unwatched() && AnimationsWanted()) {
        StartIdleAnimation();
    }
}

void OnSightChanged(HWND window) {
    if (Unwatched()) {
        StopIdleAnimation();
        StopWatchingPointer(window);
    } else {
        WatchPointer(window);
    }
}
