#include "app/Taps.h"

#include "app/KeyboardFocus.h"
#include "app/Operations.h"
#include "app/Render.h"
#include "app/WindowDrag.h"
#include "platform/PocketShell.h"
#include "state/ShellState.h"
#include "store/Settings.h"

#include <windowsx.h>

POINT UnpackPoint(DWORD packed) {
    return {static_cast<LONG>(LOWORD(packed)), static_cast<LONG>(HIWORD(packed))};
}

void OnStylusDown(HWND window, LPARAM lParam) {
    tapPoint = static_cast<DWORD>(lParam);
    SHRGINFO gesture = {sizeof(gesture), window, UnpackPoint(tapPoint), SHRG_RETURNCMD};
    // Taken here, the capture outlasts the gesture, so that a move that ends it away from the
    // window is still the window's to read.
    SetCapture(window);
    const DWORD result = SHRecognizeGesture(&gesture);
    // The handheld's window stood where it was put; a desktop user moves it by dragging.
    const bool drag = result != GN_CONTEXTMENU && GetCapture() == window &&
                      PressBecameDrag(window, UnpackPoint(tapPoint));
    if (!drag && GetCapture() == window) {
        ReleaseCapture();
    }
    tapPending = false;
    if (result == GN_CONTEXTMENU) {
        ShowPopupMenu(window, UnpackPoint(tapPoint));
    } else if (drag) {
        DragWindow(window, UnpackPoint(tapPoint));
    } else {
        tapPending = true;
    }
}

void OnStylusUp() {
    if (tapPending) {
        tapPending = false;
        HandleTap(UnpackPoint(tapPoint));
    }
}

void OnContextMenu(HWND window, LPARAM lParam) {
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (point.x == -1 && point.y == -1) {
        // From the keyboard: at the blinket it is on, else the window's corner.
        const Blinket* focused = blinkets.At(FocusedBlinket());
        const RECT rect = focused ? WindowRectOf(*focused) : RECT{};
        point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    } else {
        ScreenToClient(window, &point);
    }
    tapPending = false;
    ShowPopupMenu(window, point);
}

void OnPressRequest(WPARAM index) {
    const Blinket* blinket = blinkets.At(static_cast<int>(index));
    if (blinket && IsPlaced(*blinket) && !ShellBusy()) {
        PressBlinket(static_cast<int>(index));
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
    const POINT at = StripPoint(tap);
    for (int index = 0; index < count; ++index) {
        Blinket* blinket = blinkets.At(index);
        if (!blinket || !TapHits(*blinket, at)) {
            continue;
        }
        // Options may have moved, replaced or deleted blinkets: whatever lies under the point
        // now is not what the user tapped.
        if (!PressBlinket(index)) {
            return;
        }
    }
}
