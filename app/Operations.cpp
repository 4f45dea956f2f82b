#include "app/Operations.h"

#include "app/AboutDialog.h"
#include "app/BlinketTips.h"
#include "app/IdleAnimation.h"
#include "app/KeyboardFocus.h"
#include "app/Loading.h"
#include "app/Pupils.h"
#include "app/Render.h"
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

}  // namespace

void KeepOnTop(HWND window) {
    if (menuTracking) {
        return;
    }
    const SIZE size = WindowSize();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOACTIVATE);
    RaiseBlinketTip();
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
    const SIZE size = WindowSize();
    SetWindowPos(mainWindow, HWND_TOPMOST, x, y, size.cx, size.cy, SWP_NOACTIVATE);
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
    SetWindowPos(mainWindow, HWND_TOPMOST, placement.x, placement.y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
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
