#include "app/Operations.h"

#include "app/AboutDialog.h"
#include "app/BlinketTips.h"
#include "app/IdleAnimation.h"
#include "app/KeyboardFocus.h"
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

// Whether any window above this one in the z-order passes the test.
template <typename Test>
bool AnyWindowAbove(HWND window, Test test) {
    for (HWND above = GetWindow(window, GW_HWNDPREV); above;
         above = GetWindow(above, GW_HWNDPREV)) {
        if (test(above)) {
            return true;
        }
    }
    return false;
}

// Below the covering window, or out of the topmost band when there is none to stand below. A
// topmost fullscreen window keeps the window in that band, below it.
bool StandsAside(HWND window) {
    HWND over = CoveringWindow();
    if (!IsWindow(over)) {
        return !Topmost(window);
    }
    return AnyWindowAbove(window, [over](HWND above) { return above == over; });
}

// Whether the window is topmost with no window shown above it over any part of it. Asked again
// to stand there, the system does the work of a move, a dozen calls to the window server under
// Wine, every two seconds for nothing.
bool OnTopAlready(HWND window) {
    RECT own = {};
    if (!Topmost(window) || !GetWindowRect(window, &own)) {
        return false;
    }
    return !AnyWindowAbove(window, [&own](HWND above) {
        RECT rect = {};
        RECT common = {};
        return IsWindowVisible(above) && GetWindowRect(above, &rect) &&
               IntersectRect(&common, &own, &rect);
    });
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
    if (menuTracking || (Covered() ? StandsAside(window) : OnTopAlready(window))) {
        return;
    }
    StandInZOrder(window, 0, 0, SWP_NOMOVE);
    RaiseBlinketTip();
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
    HoldBlinketTips();
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(popup, TPM_RETURNCMD, point.x, point.y, 0, window, nullptr));
    ReleaseBlinketTips();
    menuTracking = false;
    DestroyMenu(menu);
    RunMenuCommand(window, command);
}

bool PressBlinket(int index) {
    Blinket* blinket = blinkets.At(index);
    if (!blinket) {
        return true;
    }
    if (blinket->actionCmd == kActionShowOptions) {
        RunOptions();
        return false;
    }
    blinket->RunAction(appInstance, mainWindow);
    return true;
}

void RunOptions(std::unique_ptr<Blinket> arriving, int before) {
    dialogActive = true;
    HoldBlinketTips();
    ShowOptionsDialog(mainWindow, appInstance, resIdOffset, uiScale, std::move(arriving), before);
    DropStandIns();
    SaveBlinkets(kMakerName, kProgramName, blinkets);
    ReleaseBlinketTips();
    dialogActive = false;
    RepositionWindow();
}

void AddBlinketAt(std::unique_ptr<Blinket> blinket, int before) {
    blinkets.Insert(before, std::move(blinket));
    DropStandIns();
    SaveBlinkets(kMakerName, kProgramName, blinkets);
    RepositionWindow();
}

void RunAbout(HWND owner) {
    dialogActive = true;
    HoldBlinketTips();
    ShowAboutDialog(owner);
    ReleaseBlinketTips();
    dialogActive = false;
}

bool ShellBusy() {
    // A press holds the capture while the gesture is judged, and may yet become the menu.
    return dialogActive || menuTracking || (mainWindow && GetCapture() == mainWindow);
}

void LayoutListWithStandIn(const WindowStand& stand, int& x, int& y) {
    LayoutBlinketsOn(stand, x, y);
    if (!stripPicture.IsLoaded() && AppendStandIn(blinkets)) {
        LayoutBlinketsOn(stand, x, y);
    }
}

void RepositionWindow() {
    RepositionWindowOn(ChosenStand());
}

void RepositionWindowOn(const WindowStand& stand) {
    // The animation would go on with blinkets and eyes the layout replaces.
    StopIdleAnimation();
    int x = 0;
    int y = 0;
    LayoutListWithStandIn(stand, x, y);
    StandInZOrder(mainWindow, x, y, 0);
    ShapeMainWindow(mainWindow);
    // The strip may have changed under an unchanged size and shape.
    InvalidateRect(mainWindow, nullptr, TRUE);
    RefreshBlinketTips(mainWindow);
    KeepKeyboardOnShown(mainWindow);
    NotifyWinEvent(EVENT_OBJECT_REORDER, mainWindow, OBJID_CLIENT, CHILDID_SELF);
}

void MoveWindowTo(const WindowStand& stand) {
    if (!SameMonitor(ShownStand().monitor, stand.monitor)) {
        RepositionWindowOn(stand);
        return;
    }
    const WindowPlacement placement = StandWindowOn(stand);
    StandInZOrder(mainWindow, placement.x, placement.y, SWP_NOSIZE);
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
