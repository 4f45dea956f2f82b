#include "app/PointerFollow.h"

#include "app/Render.h"
#include "model/Blinket.h"
#include "model/EyeAnimator.h"
#include "model/PointerGaze.h"
#include "state/ShellState.h"

#include <algorithm>

namespace {

RECT Reach(const RECT& window) {
    RECT reach = window;
    const int heights = 3 * (window.bottom - window.top);
    InflateRect(&reach, heights, heights);
    return reach;
}

}  // namespace

bool PointerIsNear(const RECT& window, POINT screenPoint) {
    const RECT reach = Reach(window);
    return PtInRect(&reach, screenPoint) != FALSE;
}

int DistanceToReach(const RECT& window, POINT screenPoint) {
    const RECT reach = Reach(window);
    const int dx = std::max({reach.left - screenPoint.x, screenPoint.x - (reach.right - 1), 0L});
    const int dy = std::max({reach.top - screenPoint.y, screenPoint.y - (reach.bottom - 1), 0L});
    return std::max(dx, dy);
}

bool PointerCallsEyes(HWND window, POINT screenPoint) {
    RECT bounds = {};
    return followPointer && !dialogActive && IsWindowVisible(window) &&
           GetWindowRect(window, &bounds) && PointerIsNear(bounds, screenPoint);
}

void LookTowards(HWND window, const POINT* screenPoint) {
    WindowCanvas canvas(window);
    if (!canvas) {
        return;
    }
    POINT stripPoint = {};
    if (screenPoint) {
        POINT client = *screenPoint;
        ScreenToClient(window, &client);
        stripPoint = StripPoint(client);
    }
    for (int index = 0; index < blinkets.Count(); ++index) {
        Blinket* blinket = blinkets.At(index);
        if (!blinket || !IsPlaced(*blinket) || !blinket->EnsureEyes()) {
            continue;
        }
        EyeAnimator& eyes = *blinket->eyes;
        const Gaze gaze =
            screenPoint ? GazeTowards(eyes.geometry.leftEye, eyes.geometry.rightEye, stripPoint)
                        : Gaze::Centre;
        if (eyes.LooksAt(gaze)) {
            continue;
        }
        eyes.Look(canvas.target(), canvas.image(), gaze);
        canvas.Show(WindowCanvas::AreaOf(*blinket));
    }
}

bool HearPointerMoves(HWND window, bool hear) {
    constexpr USHORT kGenericDesktop = 0x01;
    constexpr USHORT kMouse = 0x02;
    // Input sink: the window hears the mouse while another program has the focus.
    const RAWINPUTDEVICE mouse = {kGenericDesktop, kMouse,
                                  static_cast<DWORD>(hear ? RIDEV_INPUTSINK : RIDEV_REMOVE),
                                  hear ? window : nullptr};
    return RegisterRawInputDevices(&mouse, 1, sizeof(mouse)) != FALSE;
}
