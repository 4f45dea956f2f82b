// Looks at a running Ocellix from outside, as another program would, and prints what it finds
// one "name value..." line at a time; exits 1 when the thing asked about is not there.
//   probe window         the main window: rect, region box and rectangle count, styles
//   probe menu           the popup menu on screen: its rect
//   probe dialog TITLE   a top-level window of that caption: rect, owner, a point of its
//                        close box and its static texts
//   probe screen         screen size and horizontal pixels per inch
//   probe processes      the ocellix.exe processes of this Wine server
//   probe reset [WPARAM] sends WM_SETTINGCHANGE (SETTINGCHANGE_RESET by default)
//   probe close          posts WM_CLOSE to the main window
// "--desktop NAME" first looks in Wine's virtual desktop of that name instead.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

HWND MainWindow() {
    return FindWindowW(L"Ocellix", nullptr);
}

int PrintWindow() {
    HWND window = MainWindow();
    if (!window) {
        std::puts("window none");
        return 1;
    }
    RECT rect = {};
    GetWindowRect(window, &rect);
    std::printf("rect %ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(window, region) != ERROR) {
        RECT box = {};
        GetRgnBox(region, &box);
        const DWORD size = GetRegionData(region, 0, nullptr);
        std::vector<BYTE> data(size);
        GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data()));
        std::printf("region %ld %ld %ld %ld %lu\n", box.left, box.top, box.right, box.bottom,
                    reinterpret_cast<RGNDATA*>(data.data())->rdh.nCount);
    } else {
        std::puts("region none");
    }
    DeleteObject(region);
    std::printf("style %08lx %08lx\n",
                static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongW(window, GWL_EXSTYLE)));
    std::printf("visible %d\n", IsWindowVisible(window) ? 1 : 0);
    return 0;
}

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM found) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (wcscmp(name, L"#32768") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

int PrintMenu() {
    HWND menuWindow = nullptr;
    EnumWindows(FindMenuWindow, reinterpret_cast<LPARAM>(&menuWindow));
    if (!menuWindow) {
        std::puts("menu none");
        return 1;
    }
    RECT rect = {};
    GetWindowRect(menuWindow, &rect);
    std::printf("rect %ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    return 0;
}

BOOL CALLBACK PrintStaticText(HWND control, LPARAM) {
    wchar_t name[32] = {};
    wchar_t text[256] = {};
    GetClassNameW(control, name, 32);
    if (_wcsicmp(name, L"Static") == 0 && GetWindowTextW(control, text, 256) > 0) {
        for (wchar_t* c = text; *c; ++c) {
            if (*c == L'\r' || *c == L'\n') {
                *c = L' ';
            }
        }
        std::printf("text %ls\n", text);
    }
    return TRUE;
}

// The point of the caption's close box, found by asking the window what lies where.
bool FindCloseBox(HWND window, const RECT& rect, POINT& found) {
    for (int y = rect.top; y < rect.top + 64 && y < rect.bottom; y += 2) {
        for (int x = rect.right - 1; x > rect.right - 96 && x > rect.left; x -= 2) {
            const LRESULT hit = SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y));
            if (hit == HTCLOSE) {
                found = {x - 4, y + 4};
                return SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(found.x, found.y)) ==
                       HTCLOSE;
            }
        }
    }
    return false;
}

int PrintDialog(const wchar_t* title) {
    HWND dialog = FindWindowW(nullptr, title);
    if (!dialog) {
        std::puts("dialog none");
        return 1;
    }
    RECT rect = {};
    GetWindowRect(dialog, &rect);
    std::printf("rect %ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    wchar_t ownerClass[64] = L"none";
    if (HWND owner = GetWindow(dialog, GW_OWNER)) {
        GetClassNameW(owner, ownerClass, 64);
    }
    std::printf("owner %ls\n", ownerClass);
    POINT closeBox = {};
    if (FindCloseBox(dialog, rect, closeBox)) {
        std::printf("close %ld %ld\n", closeBox.x, closeBox.y);
    }
    EnumChildWindows(dialog, PrintStaticText, 0);
    return 0;
}

int PrintScreen() {
    HDC screen = GetDC(nullptr);
    std::printf("screen %d %d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
    return 0;
}

int PrintProcesses() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return 1;
    }
    int found = 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, L"ocellix.exe") == 0) {
            std::printf("process %lu\n", entry.th32ProcessID);
            ++found;
        }
    }
    CloseHandle(snapshot);
    std::printf("processes %d\n", found);
    return 0;
}

int SendReset(WPARAM wParam) {
    HWND window = MainWindow();
    DWORD_PTR result = 0;
    if (!window || !SendMessageTimeoutW(window, WM_SETTINGCHANGE, wParam, 0, SMTO_ABORTIFHUNG, 5000,
                                        &result)) {
        std::puts("reset failed");
        return 1;
    }
    std::puts("reset sent");
    return 0;
}

int PostClose() {
    HWND window = MainWindow();
    if (!window || !PostMessageW(window, WM_CLOSE, 0, 0)) {
        std::puts("close failed");
        return 1;
    }
    std::puts("close posted");
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 2 && wcscmp(argv[1], L"--desktop") == 0) {
        HDESK desktop = OpenDesktopW(argv[2], 0, FALSE, GENERIC_ALL);
        if (!desktop || !SetThreadDesktop(desktop)) {
            std::puts("desktop none");
            return 1;
        }
        argc -= 2;
        argv += 2;
    }
    const wchar_t* command = argc > 1 ? argv[1] : L"";
    if (wcscmp(command, L"window") == 0) {
        return PrintWindow();
    }
    if (wcscmp(command, L"menu") == 0) {
        return PrintMenu();
    }
    if (wcscmp(command, L"dialog") == 0 && argc > 2) {
        return PrintDialog(argv[2]);
    }
    if (wcscmp(command, L"screen") == 0) {
        return PrintScreen();
    }
    if (wcscmp(command, L"processes") == 0) {
        return PrintProcesses();
    }
    if (wcscmp(command, L"reset") == 0) {
        return SendReset(argc > 2 ? wcstoul(argv[2], nullptr, 0) : 0x3002);
    }
    if (wcscmp(command, L"close") == 0) {
        return PostClose();
    }
    std::fputs("usage: probe window|menu|dialog TITLE|screen|processes|reset [WPARAM]|close\n",
               stderr);
    return 2;
}
