#include "app/WindowDrag.h"

#include "app/Operations.h"
#include "state/ShellState.h"
#include "store/Settings.h"

#include <strsafe.h>
#include <windowsx.h>

#include <cstdlib>

namespace {

enum class DragEnd { Dropped, Cancelled };

POINT ScreenPointOf(HWND window, LPARAM lParam) {
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(window, &point);
    return point;
}

// The window follows the pointer until the button goes up, or the drag is cancelled. Messages
// other than the pointer's and the keyboard's go on being handled, as in any modal loop.
DragEnd TrackDrag(HWND window, int grabX, WindowStand& stand) {
    const SIZE strip = {stripPicture.width, stripPicture.height};
    const MonitorList monitors = CurrentMonitors();
    for (;;) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) {
                PostQuitMessage(static_cast<int>(message.wParam));
            }
            return DragEnd::Cancelled;
        }
        switch (message.message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
            if (message.hwnd == window) {
                stand = DragStand(monitors, ScreenPointOf(window, message.lParam), grabX, strip);
                MoveWindowTo(stand);
            }
            if (message.message == WM_LBUTTONUP) {
                return DragEnd::Dropped;
            }
            continue;
        case WM_KEYDOWN:
            if (message.wParam == VK_ESCAPE) {
                return DragEnd::Cancelled;
            }
            continue;
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_SYSCHAR:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP: continue;
        case WM_CANCELMODE: DispatchMessageW(&message); return DragEnd::Cancelled;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
        if (!IsWindow(window) || GetCapture() != window) {
            return DragEnd::Cancelled;
        }
    }
}

}  // namespace

bool PressBecameDrag(HWND window, POINT down) {
    MSG move;
    if (!PeekMessageW(&move, window, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE | PM_NOYIELD) ||
        move.message != WM_MOUSEMOVE || !(move.wParam & MK_LBUTTON)) {
        return false;
    }
    return std::abs(GET_X_LPARAM(move.lParam) - down.x) > GetSystemMetrics(SM_CXDRAG) ||
           std::abs(GET_Y_LPARAM(move.lParam) - down.y) > GetSystemMetrics(SM_CYDRAG);
}

WindowStand DragStand(const MonitorList& monitors, POINT pointer, int grabX, SIZE strip) {
    WindowStand stand;
    stand.chosen = false;
    if (const MonitorArea* under = MonitorAt(monitors, pointer)) {
        stand.monitor = *under;
    }
    const int dpi = stand.monitor.dpi;
    stand.centreX = pointer.x - stand.monitor.rect.left - ScaledLength(grabX, dpi) +
                    ScaledLength(strip.cx, dpi) / 2;
    return stand;
}

bool DragWindow(HWND window, POINT down) {
    const int grabX = StripPoint(down).x;
    WindowStand stand = ShownStand();
    if (GetCapture() != window) {
        SetCapture(window);
    }
    const DragEnd end = TrackDrag(window, grabX, stand);
    if (IsWindow(window) && GetCapture() == window) {
        ReleaseCapture();
    }
    if (!IsWindow(window)) {
        return false;
    }
    if (end == DragEnd::Cancelled) {
        MoveWindowTo(ChosenStand());
        return false;
    }
    // Where the window settled is the user's choice now.
    stand.chosen = true;
    StringCchCopyW(windowMonitor, ARRAYSIZE(windowMonitor), stand.monitor.name);
    MoveWindowTo(stand);
    SaveWindowPlace(kMakerName, kProgramName, windowCentreX, windowMonitor);
    return true;
}
