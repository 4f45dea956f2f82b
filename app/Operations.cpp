#include "app/Operations.h"

#include "app/AboutDialog.h"
#include "app/IdleAnimation.h"
#include "app/Loading.h"
#include "app/Pupils.h"
#include "app/Render.h"
#include "app/WatchConditions.h"
#include "app/WindowShape.h"
#include "dialogs/OptionsDialog.h"
#include "resources/resource.h"
#include "state/ShellState.h"
#include "store/Settings.h"

#include <utility>

namespace {

bool menuTracking = false;

// The stand-in has done its work once the user has had the list in hand; the layout brings it
// back when nothing else can be shown.
void DropStandIns() {
    for (int i = blinkets.Count() - 1; i >= 0; --i) {
        if (blinkets.At(i)->standIn) {
            blinkets.RemoveAt(i);
        }
    }
}

void RunMenuCommand(HWND window, UINT command) {
    switch (command) {
    case IDM_OPTIONS: RunOptions(); break;
    case IDM_EXIT: PostMessageW(mainWindow, WM_CLOSE, 0, 0); break;
    case IDM_ABOUT: RunAbout(window); break;
    }
}

bool Topmost(HWND window) {
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// Below the covering window, or out of the topmost band when there is none to stand below. A
// topmost fullscreen window keeps the window in that band, below it.
bool StandsAside(HWND window) {
    HWND over = CoveringWindow();
    if (!IsWindow(over)) {
        return !Topmost(window);
    }
    for (HWND above = GetWindow(window, GW_HWNDPREV); above;
         above = GetWindow(above, GW_HWNDPREV)) {
        if (above == over) {
            return true;
        }
    }
    return false;
}

// Topmost; or, while a fullscreen program covers the monitor, out of the topmost band and below
// that program's window. Never activated.
void StandInZOrder(HWND window, int x, int y, UINT flags) {
    const SIZE size = WindowSize();
    flags |= SWP_NOACTIVATE;
    if (!Covered()) {
        SetWindowPos(window, HWND_TOPMOST, x, y, size.cx, size.cy, flags);
        return;
    }
    HWND over = CoveringWindow();
    if (Topmost(window) || !IsWindow(over)) {
        SetWindowPos(window, HWND_NOTOPMOST, x, y, size.cx, size.cy, flags);
    }
    if (IsWindow(over)) {
        SetWindowPos(window, over, x, y, size.cx, size.cy, flags);
    }
}

}  // namespace

void KeepOnTop(HWND window) {
    // Covered, the window moves only when something has lifted it again (under Wine without a
    // window manager it can rise of itself).
    if (menuTracking || (Covered() && StandsAside(window))) {
        return;
    }
    StandInZOrder(window, 0, 0, SWP_NOMOVE);
}

void CheckCover(HWND window) {
    HWND over = nullptr;
    const bool covered = FindCover(window, over);
    if (covered == Covered() && over == CoveringWindow()) {
        return;
    }
    SetCover(covered, over);
    if (!menuTracking) {
        StandInZOrder(window, 0, 0, SWP_NOMOVE);
    }
    OnSightChanged(window);
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
    DropStandIns();
    SaveBlinkets(kMakerName, kProgramName, blinkets);
    dialogActive = false;
    RepositionWindow();
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

void LayoutListWithStandIn(int& x, int& y) {
    LayoutBlinkets(x, y);
    if (!stripPicture.IsLoaded() && AppendStandIn(blinkets)) {
        LayoutBlinkets(x, y);
    }
}

void RepositionWindow() {
    // The animation would go on with blinkets and eyes the layout replaces.
    StopIdleAnimation();
    int x = 0;
    int y = 0;
    LayoutListWithStandIn(x, y);
    StandInZOrder(mainWindow, x, y, 0);
    ShapeMainWindow(mainWindow);
    // The strip may have changed under an unchanged size and shape.
    InvalidateRect(mainWindow, nullptr, TRUE);
}

void Reload(ReloadScope scope) {
    ApplyStoredSettings();
    WatchPointer(mainWindow);
    if (scope == ReloadScope::SettingsAndList) {
        BlinketList<Blinket> loaded;
        if (LoadListOrDefault(loaded)) {
            blinkets = std::move(loaded);
        }
    }
    RepositionWindow();
}
