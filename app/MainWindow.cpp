#include "app/MainWindow.h"

#include "app/Commands.h"
#include "app/IdleTap.h"
#include "app/PointerFollow.h"
#include "app/Render.h"
#include "app/Startup.h"
#include "app/WindowShape.h"
#include "dialogs/OptionsDialog.h"
#include "platform/PocketShell.h"
#include "resources/resource.h"
#include "state/ShellState.h"
#include "store/Settings.h"

#include <windowsx.h>

#include <utility>

namespace {

// While the popup menu is up, re-asserting the window topmost would lift it over the menu.
bool menuTracking = false;

void RunMenuCommand(HWND window, UINT command) {
    switch (command) {
    case IDM_OPTIONS: RunOptions(); break;
    case IDM_EXIT: PostMessageW(mainWindow, WM_CLOSE, 0, 0); break;
    case IDM_ABOUT: RunAbout(window); break;
    }
}

void OnStylusDown(HWND window, LPARAM lParam) {
    tapPoint = static_cast<DWORD>(lParam);
    SHRGINFO gesture = {sizeof(gesture), window, UnpackPoint(tapPoint), SHRG_RETURNCMD};
    if (SHRecognizeGesture(&gesture) == GN_CONTEXTMENU) {
        tapPending = false;
        ShowPopupMenu(window, UnpackPoint(tapPoint));
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

// A right click (or the menu key) opens the same menu as tap-and-hold, at the pointer.
void OnContextMenu(HWND window, LPARAM lParam) {
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (point.x == -1 && point.y == -1) {
        point = {0, 0};  // from the keyboard: the window's corner
    } else {
        ScreenToClient(window, &point);
    }
    tapPending = false;
    ShowPopupMenu(window, point);
}

void OnTimerTick(HWND window) {
    if (dialogActive) {
        return;
    }
    if (!menuTracking) {
        KeepOnTop(window);
    }
    if (++idleTicks >= idleTickThreshold) {
        idleTicks = 0;
        IdleStep();
    }
}

// The step timer paces the idle animation, the pointer timer the eyes that follow the pointer;
// any other is the periodic tick.
void OnTimer(HWND window, WPARAM id) {
    switch (id) {
    case kIdleStepTimerId: StepIdleAnimation(); break;
    case kPointerTimerId: OnPointerTick(window); break;
    default: OnTimerTick(window); break;
    }
}

void OnScreenReset() {
    windowCentreX = -1;
    RepositionWindow();
}

void Shutdown() {
    StopIdleAnimation();
    StopWatchingPointer(mainWindow);
    if (timerId != 0) {
        KillTimer(mainWindow, timerId);
        timerId = 0;
    }
    ReleaseStrip();
    blinkets.Clear();
    PostQuitMessage(0);
}

}  // namespace

void KeepOnTop(HWND window) {
    const SIZE size = WindowSize();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOACTIVATE);
}

POINT UnpackPoint(DWORD packed) {
    return {static_cast<LONG>(LOWORD(packed)), static_cast<LONG>(HIWORD(packed))};
}

void ShowPopupMenu(HWND window, POINT point) {
    HMENU menu = LoadMenuW(appInstance, MAKEINTRESOURCEW(IDM_POPUP));
    if (!menu) {
        return;
    }
    HMENU popup = GetSubMenu(menu, 0);
    if (!popup) {
        DestroyMenu(menu);
        return;
    }
    ClientToScreen(window, &point);
    SetForegroundWindow(window);
    menuTracking = true;
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(popup, TPM_RETURNCMD, point.x, point.y, 0, window, nullptr));
    menuTracking = false;
    DestroyMenu(menu);
    RunMenuCommand(window, command);
}

void RunOptions(std::unique_ptr<Blinket> arriving, int before) {
    dialogActive = true;
    ShowOptionsDialog(mainWindow, appInstance, resIdOffset, uiScale, std::move(arriving), before);
    SaveBlinkets(kMakerName, kProgramName, blinkets);
    dialogActive = false;
    RepositionWindow();
}

void LayoutWindow(int& x, int& y) {
    LayoutBlinkets(x, y);
    // With nothing to show the window would shrink to nothing, and with it the only way to the
    // menu: the program would run on out of reach, and a second copy would only bring the
    // invisible window forward. As on a first start, the default blinket stands in, unsaved.
    if (!stripPicture.IsLoaded() && AppendDefaultBlinket()) {
        LayoutBlinkets(x, y);
    }
}

void RunAbout(HWND owner) {
    dialogActive = true;
    ShowAboutDialog(owner);
    dialogActive = false;
}

bool ShellBusy() {
    // A press holds the capture while the gesture is judged, and may yet become the menu.
    return dialogActive || menuTracking || (mainWindow && GetCapture() == mainWindow);
}

void RepositionWindow() {
    // The animation would go on with blinkets and eyes the layout replaces.
    StopIdleAnimation();
    int x = 0;
    int y = 0;
    LayoutWindow(x, y);
    const SIZE size = WindowSize();
    SetWindowPos(mainWindow, HWND_TOPMOST, x, y, size.cx, size.cy, SWP_NOACTIVATE);
    ShapeMainWindow(mainWindow);
    // The strip may have changed under an unchanged size and shape.
    InvalidateRect(mainWindow, nullptr, TRUE);
}

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
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
