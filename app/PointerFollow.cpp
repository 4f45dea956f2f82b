#include "app/PointerFollow.h"

#include "app/IdleTap.h"
#include "app/Render.h"
#include "model/Blinket.h"
#include "model/EyeAnimator.h"
#include "model/PointerGaze.h"
#include "state/ShellState.h"

namespace {

bool following = false;

// Every shown blinket with eyes looks towards the point of the strip, or straight ahead without
// one; only pupils that move are drawn and shown again.
void LookTowards(HWND window, const POINT* stripPoint) {
    WindowCanvas canvas(window);
    if (!canvas) {
        return;
    }
    for (int index = 0; index < blinkets.Count(); ++index) {
        Blinket* blinket = blinkets.At(index);
        if (!blinket || !IsPlaced(*blinket) || !blinket->EnsureEyes()) {
            continue;
        }
        EyeAnimator& eyes = *blinket->eyes;
        const Gaze gaze =
            stripPoint ? GazeTowards(eyes.geometry.leftEye, eyes.geometry.rightEye, *stripPoint)
                       : Gaze::Centre;
        if (eyes.LooksAt(gaze)) {
            continue;
        }
        eyes.Look(canvas.target(), canvas.image(), gaze);
        canvas.Show(WindowCanvas::AreaOf(*blinket));
    }
}

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

bool PointerIsNear(const RECT& window, POINT screenPoint) {
    RECT reach = window;
    const int heights = 3 * (window.bottom - window.top);
    InflateRect(&reach, heights, heights);
    return PtInRect(&reach, screenPoint) != FALSE;
}

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
    RECT bounds = {};
    const bool close = followPointer && !dialogActive && IsWindowVisible(window) &&
                       GetWindowRect(window, &bounds) && PointerIsNear(bounds, screenPoint);
    if (close) {
        if (!following) {
            following = true;
            // The random animations wait while the eyes follow.
            StopIdleAnimation();
            Pace(window, kPointerNearPeriod);
        }
        POINT client = screenPoint;
        ScreenToClient(window, &client);
        const POINT stripPoint = StripPoint(client);
        LookTowards(window, &stripPoint);
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
