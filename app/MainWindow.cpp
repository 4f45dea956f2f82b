#include "app/MainWindow.h"

#include "app/Commands.h"
#include "app/IdleAnimation.h"
#include "app/Operations.h"
#include "app/Pupils.h"
#include "app/Render.h"
#include "app/SystemEvents.h"
#include "app/Taps.h"
#include "app/Timers.h"
#include "app/WatchConditions.h"
#include "platform/PocketShell.h"
#include "state/ShellState.h"

namespace {

void OnScreenReset() {
    ForgetMonitor();
    windowCentreX = -1;
    RepositionWindow();
}

void Shutdown() {
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
    case WM_ACTIVATE:
    case WM_SETFOCUS: return 0;
    case WM_PAINT: PaintMainWindow(window); return 1;
    case WM_ERASEBKGND: EraseMainBackground(reinterpret_cast<HDC>(wParam)); return 1;
    case WM_SETTINGCHANGE:
        if (wParam == SETTINGCHANGE_RESET) {
            OnScreenReset();
        }
        return 0;
    // The desktop tells of a new screen size this way rather than with a settings reset.
    case WM_DISPLAYCHANGE: OnScreenReset(); return 0;
    case WM_TIMER: OnTimer(window, wParam); return 0;
    case WM_LBUTTONDOWN: OnStylusDown(window, lParam); return 1;
    case WM_LBUTTONUP: OnStylusUp(); return 1;
    case WM_CONTEXTMENU: OnContextMenu(window, lParam); return 0;
    case WM_DROPFILES: OnDropFiles(window, reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_COPYDATA: return OnCommandData(window, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_WTSSESSION_CHANGE: OnSessionChange(window, wParam); return 0;
    case WM_POWERBROADCAST: return OnPowerBroadcast(window, wParam, lParam);
    // The system cleans up after raw input in the default processing.
    case WM_INPUT: OnPointerInput(window); break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
