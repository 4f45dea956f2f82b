#include "app/Startup.h"

#include "app/MainWindow.h"
#include "app/PointerFollow.h"
#include "app/Render.h"
#include "app/WindowShape.h"
#include "base/Handles.h"
#include "base/ShellHelpers.h"
#include "resources/resource.h"
#include "state/ShellState.h"
#include "store/Settings.h"

#include <shellapi.h>
#include <strsafe.h>

namespace {

constexpr wchar_t kDefaultImage[] = L"Blinkets\\eyesbig.gif";
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

// The list from the registry, or the default blinket on a first run; false when even that is
// missing.
bool LoadStartupBlinkets() {
    LoadBlinkets(kMakerName, kProgramName, blinkets);
    return !blinkets.IsEmpty() || AppendDefaultBlinket();
}

}  // namespace

bool InitApplication(HINSTANCE instance, int showCommand) {
    appInstance = instance;
    if (BringRunningCopyToFront(kMainClassName)) {
        return false;
    }
    ApplyStoredSettings();
    ApplyScreenDensity(ReadScreenDensity());
    if (!LoadStartupBlinkets()) {
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
    const bool high = logPixelsX == kHighDensity;
    menuBarHeight = high ? 52 : 26;
    resIdOffset = high ? IDB_HIRES_OFFSET : 0;
    uiScale = high ? 2 : 1;
    displayScale = DisplayScaleFor(logPixelsX);
}

std::unique_ptr<Blinket> MakeDefaultBlinket(HINSTANCE resources, const wchar_t* directory) {
    wchar_t path[MAX_PATH];
    if (!directory || FAILED(StringCchPrintfW(path, MAX_PATH, L"%s%s", directory, kDefaultImage))) {
        return nullptr;
    }
    auto blinket = std::make_unique<Blinket>();
    blinket->blinketPos = 0;
    blinket->actionCmd = kActionShowOptions;
    // A path that cannot be stored whole names no image the program could show.
    if (!blinket->SetImageFile(path) || !FileExists(blinket->imageFile)) {
        return nullptr;
    }
    LoadStringW(resources, IDS_ACTION_FIRST + blinket->actionCmd, blinket->actionString,
                kActionStringChars);
    return blinket;
}

void ApplyStoredSettings() {
    const StoredSettings settings = LoadSettings(kMakerName, kProgramName);
    windowCentreX = settings.windowCentreX;
    followPointer = settings.followPointer;
}

bool AppendDefaultBlinket(BlinketList<Blinket>& list) {
    wchar_t directory[MAX_PATH];
    GetModuleDirectory(appInstance, directory);
    std::unique_ptr<Blinket> blinket = MakeDefaultBlinket(appInstance, directory);
    if (!blinket) {
        return false;
    }
    list.Append(std::move(blinket));
    return true;
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
    int x = 0;
    int y = 0;
    LayoutWindow(x, y);
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
    if (timerId == 0) {
        timerId = SetTimer(window, kMainTimerId, kMainTimerPeriod, nullptr);
    }
    WatchPointer(window);
    return true;
}

void ShowAboutDialog(HWND owner) {
    DialogBoxParamW(appInstance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutDlgProc, 0);
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: InitPocketDialog(dialog); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    }
    // The desktop's dialog manager does the default processing of what a procedure leaves.
    return FALSE;
}
