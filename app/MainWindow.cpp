#include "app/MainWindow.h"

#include "app/BlinketTips.h"
#include "app/BlinketsAccessible.h"
#include "app/Commands.h"
#include "app/Displays.h"
#include "app/IdleAnimation.h"
#include "app/Keyboard.h"
#include "app/KeyboardFocus.h"
#include "app/Pupils.h"
#include "app/Render.h"
#include "app/SystemEvents.h"
#include "app/Taps.h"
#include "app/Timers.h"
#include "app/WatchConditions.h"
#include "platform/PocketShell.h"
#include "state/ShellState.h"

namespace {

void Shutdown() {
    DisconnectAccessible();
    ForgetKeyboardFocus();
    DestroyBlinketTips();
    StopIdleAnimation();
    StopWatchingPointer(mainWindow);
    StopNoticing(mainWindow);
    if (timerId != 0) {
        KillTimer(mainWindow, timerId);
        timerId = 0;
    }
    ReleaseStrip();
    blinkets.Clear();
    PostQuitMessage(0);
}

}  // namespace

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY: Shutdown(); return 0;
    case WM_ACTIVATE: OnActivate(window, wParam, lParam); return 0;
    case WM_SETFOCUS: OnSetFocus(window); return 0;
    case WM_KILLFOCUS: OnKillFocus(window); return 0;
    // A click leaves the keyboard focus where it was; only /focus brings it here.
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_KEYDOWN:
        if (OnKeyDown(window, wParam, lParam)) {
            return 0;
        }
        break;
    case WM_PAINT: PaintMainWindow(window); return 1;
    case WM_ERASEBKGND: EraseMainBackground(reinterpret_cast<HDC>(wParam)); return 1;
    case WM_SETTINGCHANGE:
        if (wParam == SETTINGCHANGE_RESET) {
            OnScreenReset();
        }
        return 0;
    // The desktop tells of monitors changed this way rather than with a settings reset.
    case WM_DISPLAYCHANGE: OnDisplayChange(); return 0;
    case WM_DPICHANGED: OnDpiChanged(LOWORD(wParam)); return 0;
    case WM_TIMER: OnTimer(window, wParam); return 0;
    case WM_LBUTTONDOWN: OnStylusDown(window, lParam); return 1;
    case WM_LBUTTONUP: OnStylusUp(); return 1;
    case WM_CONTEXTMENU: OnContextMenu(window, lParam); return 0;
    case WM_DROPFILES: OnDropFiles(window, reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_COPYDATA: return OnCommandData(window, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_GETOBJECT: return OnGetObject(window, wParam, lParam);
    case WM_NOTIFY: OnTipNotify(reinterpret_cast<NMHDR*>(lParam)); return 0;
    case kPressRequestMessage: OnPressRequest(wParam); return 0;
    case WM_WTSSESSION_CHANGE: OnSessionChange(window, wParam); return 0;
    case WM_POWERBROADCAST: return OnPowerBroadcast(window, wParam, lParam);
    // The system cleans up after raw input in the default processing.
    case WM_INPUT: OnPointerInput(window); break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
