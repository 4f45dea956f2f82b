#include "app/Startup.h"

#include "app/AboutDialog.h"
#include "app/BlinketTips.h"
#include "app/Loading.h"
#include "app/MainWindow.h"
#include "app/Operations.h"
#include "app/Pupils.h"
#include "app/Render.h"
#include "app/SystemEvents.h"
#include "app/Timers.h"
#include "app/WindowShape.h"
#include "base/Handles.h"
#include "resources/resource.h"
#include "state/ShellState.h"

#include <shellapi.h>

#include <algorithm>

namespace {

constexpr wchar_t kMissingDefaultText[] =
    L"Unable to locate the default blinket: eyesbig.gif\nBlinkets will not be able to run.";
constexpr wchar_t kMissingDefaultCaption[] = L"Blinkets";
constexpr int kHighDensity = 192;

// A top-level window without WS_POPUP gets a caption and a border on the desktop, and a tool
// window stays off the taskbar, as the handheld's shell kept such windows off its task list.
constexpr DWORD kMainStyle = 0x10010000 | WS_POPUP;
constexpr DWORD kMainExStyle = WS_EX_TOOLWINDOW;

int ReadScreenDensity() {
    WindowDC screen(nullptr);
    return screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
}

}  // namespace

bool InitApplication(HINSTANCE instance, int showCommand) {
    appInstance = instance;
    if (BringRunningCopyToFront(kMainClassName)) {
        return false;
    }
    ApplyStoredSettings();
    ApplyScreenDensity(ReadScreenDensity());
    if (!LoadListOrDefault(blinkets)) {
        MessageBoxW(nullptr, kMissingDefaultText, kMissingDefaultCaption, MB_OK);
        return false;
    }
    ShowAboutDialog(nullptr);
    RegisterMainClass(instance, kMainClassName);
    return CreateMainWindow(instance, showCommand, kMainClassName);
}

int RunMessageLoop() {
    MSG message = {};
    // GetMessage answers -1 on a broken call; that ends the loop rather than spin on it.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

bool BringRunningCopyToFront(const wchar_t* className) {
    HWND running = FindWindowW(className, nullptr);
    if (!running) {
        return false;
    }
    // The handheld brings owned windows along when the handle's lowest bit is set; desktop
    // handles have no such bit, and there the owned window last active is the one to raise.
    SetForegroundWindow(GetLastActivePopup(running));
    SetWindowPos(running, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void ApplyScreenDensity(int logPixelsX) {
    // The dialogs' large pictures are drawn for exactly 192 dpi; the window scales to any.
    const bool high = logPixelsX == kHighDensity;
    resIdOffset = high ? IDB_HIRES_OFFSET : 0;
    uiScale = high ? 2 : 1;
    displayDpi = std::max(kBaseDpi, logPixelsX);
    menuBarHeight = MenuBarHeightFor(displayDpi);
}

void RegisterMainClass(HINSTANCE instance, const wchar_t* className) {
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
}

bool CreateMainWindow(HINSTANCE instance, int showCommand, const wchar_t* className) {
    // Laid out for the monitor it will stand on before it exists: a window not yet shown would
    // report the primary monitor's density.
    int x = 0;
    int y = 0;
    LayoutListWithStandIn(ChosenStand(), x, y);
    const SIZE size = WindowSize();
    HWND window = CreateWindowExW(kMainExStyle, className, L"", kMainStyle, x, y, size.cx, size.cy,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) {
        return false;
    }
    mainWindow = window;
    // Files dropped from Explorer, or under Wine from a Linux file manager, become blinkets.
    DragAcceptFiles(window, TRUE);
    ShowWindow(window, showCommand);
    KeepOnTop(window);
    ShapeMainWindow(window);
    CreateBlinketTips();
    RefreshBlinketTips(window);
    if (timerId == 0) {
        timerId = SetTimer(window, kMainTimerId, kMainTimerPeriod, nullptr);
    }
    StartNoticing(window);
    WatchPointer(window);
    return true;
}
