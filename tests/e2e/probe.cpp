// Looks at a running Ocellix from outside, as another program would, and prints what it finds
// one "name value..." line at a time; exits 1 when the thing asked about is not there.
//   probe window         the main window: rect, region box and rectangle count, styles, and the
//                        monitor it stands on: device name and rect
//   probe menu           the popup menu on screen: its rect
//   probe dialog TITLE   a shown top-level window of that caption: rect, client rect, owner, a
//                        point of its close box, its static texts, the keyboard focus, and
//                        every control: rect, text, and the rows of list views and the
//                        visible items of tree views (all rects in screen pixels)
//   probe dropdown       the open list of a combo box: rect and item height
//   probe screen         screen size and horizontal pixels per inch
//   probe processes      the ocellix.exe processes of this Wine server
//   probe reset [WPARAM] sends WM_SETTINGCHANGE (SETTINGCHANGE_RESET by default)
//   probe dpi DPI        sends WM_DPICHANGED for that density, as a move onto such a monitor would
//   probe close          posts WM_CLOSE to the main window
//   probe foreground     the foreground window: its class and caption
//   probe version FILE   the file's version resource: product version, file version, product
//   probe icons FILE     for each size from 16 to 256, the side of the picture the file's icon
//                        (its first icon group, as Explorer takes it) holds for it
//   probe copydata CASE  sends the main window a malformed command in WM_COPYDATA (see
//                        kHostileData) and prints its reply
//   probe run LINE       runs the command line as given, as a deployment tool runs an
//                        uninstall command, waits for that process alone, prints its exit code
//   probe shortcut FILE  a shortcut as the shell reads it: target, arguments, folder, hotkey
//   probe accessible     the main window's accessible object as a screen reader reads it: its
//                        name, role, child count and focus, then per child its role, screen
//                        rect and state, and its name, description and default action
//   probe press N        the default action of child N of that object
//   probe tooltip        the tooltip on show: its rect and each line of its text
//   probe focus          the window with the keyboard focus in the foreground thread
//   probe colours        the system's highlight and highlighted-text colours, as RRGGBB
//   probe makeshortcut FILE TARGET  saves a shortcut to the target, as the shell makes them
//   probe fullscreen     opens a window over the main window's whole monitor, then makes it
//                        small, fullscreen again, and closes it; after each step, once the main
//                        window has answered (or after ten seconds), prints the step, whether the
//                        main window is topmost and whether it stands below the probe's window
//                        in the z-order; at the end, how often the main window had the focus
//                        while the probe's window was up (the system may hand it the focus once
//                        that window has gone)
// "--desktop NAME" first looks in Wine's virtual desktop of that name instead.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
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
    MONITORINFOEXW monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONULL), &monitor)) {
        std::printf("monitor %ls %ld %ld %ld %ld\n", monitor.szDevice, monitor.rcMonitor.left,
                    monitor.rcMonitor.top, monitor.rcMonitor.right, monitor.rcMonitor.bottom);
    }
    return 0;
}

struct WindowSearch {
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindVisibleOfClass(HWND window, LPARAM search) {
    WindowSearch& wanted = *reinterpret_cast<WindowSearch*>(search);
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (_wcsicmp(name, wanted.className) == 0 && IsWindowVisible(window)) {
        wanted.found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of the class, or null.
HWND FindVisible(const wchar_t* className) {
    WindowSearch search = {className, nullptr};
    EnumWindows(FindVisibleOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Prints the screen rectangle of the visible window of the class, or "<what> none".
HWND PrintVisibleRect(const wchar_t* className, const char* what) {
    HWND window = FindVisible(className);
    if (!window) {
        std::printf("%s none\n", what);
        return nullptr;
    }
    RECT rect = {};
    GetWindowRect(window, &rect);
    std::printf("rect %ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    return window;
}

int PrintMenu() {
    return PrintVisibleRect(L"#32768", "menu") ? 0 : 1;
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

// Memory inside the process that owns a window, for the list and tree messages whose
// pointers the system does not carry across processes.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, SIZE_T size) : size_(size) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                               processId);
        if (process_) {
            address_ = static_cast<BYTE*>(
                VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        }
    }
    ~RemoteBuffer() {
        if (address_) {
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        }
        if (process_) {
            CloseHandle(process_);
        }
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    explicit operator bool() const { return address_ != nullptr; }
    BYTE* At(SIZE_T offset) const { return address_ + offset; }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) const {
        return offset + size <= size_ &&
               WriteProcessMemory(process_, address_ + offset, data, size, nullptr);
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) const {
        return offset + size <= size_ &&
               ReadProcessMemory(process_, address_ + offset, data, size, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    BYTE* address_ = nullptr;
    SIZE_T size_;
};

constexpr SIZE_T kRemoteText = 1024;  // offset of the text buffer in a remote block
constexpr int kTextChars = 260;

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

void Flatten(wchar_t* text) {
    for (wchar_t* c = text; *c; ++c) {
        if (*c == L'\r' || *c == L'\n') {
            *c = L' ';
        }
    }
}

// The part of a control that shows its rows, in screen pixels.
RECT ScreenClient(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

bool InView(const RECT& client, const RECT& rect) {
    RECT common = {};
    return IntersectRect(&common, &client, &rect) != FALSE;
}

// A client rect of the window, in screen pixels.
bool RemoteRect(HWND window, const RemoteBuffer& remote, UINT message, WPARAM wParam, RECT& rect) {
    if (!remote.Write(0, &rect, sizeof(rect)) ||
        !Ask(window, message, wParam, reinterpret_cast<LPARAM>(remote.At(0))) ||
        !remote.Read(0, &rect, sizeof(rect))) {
        return false;
    }
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return true;
}

//   row ID INDEX LEFT TOP RIGHT BOTTOM SELECTED FOCUSED IMAGE TEXT, for the rows in view
void PrintListRows(HWND list, int id) {
    RemoteBuffer remote(list, kRemoteText + kTextChars * sizeof(wchar_t));
    const RECT client = ScreenClient(list);
    const int count = static_cast<int>(Ask(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; remote && row < count; ++row) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
        item.iItem = row;
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.pszText = reinterpret_cast<wchar_t*>(remote.At(kRemoteText));
        item.cchTextMax = kTextChars;
        wchar_t text[kTextChars] = {};
        RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
        if (!remote.Write(0, &item, sizeof(item)) ||
            !Ask(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.At(0))) ||
            !remote.Read(0, &item, sizeof(item)) ||
            !remote.Read(kRemoteText, text, sizeof(text) - sizeof(wchar_t)) ||
            !RemoteRect(list, remote, LVM_GETITEMRECT, row, bounds) || !InView(client, bounds)) {
            continue;
        }
        Flatten(text);
        std::printf("row %d %d %ld %ld %ld %ld %d %d %d %ls\n", id, row, bounds.left, bounds.top,
                    bounds.right, bounds.bottom, (item.state & LVIS_SELECTED) ? 1 : 0,
                    (item.state & LVIS_FOCUSED) ? 1 : 0, item.iImage, text);
    }
}

//   item ID DEPTH LEFT TOP RIGHT BOTTOM EXPANDED SELECTED IMAGE TEXT, for the items in view;
//   the rect is the item's text.
void PrintTreeItems(HWND tree, int id) {
    RemoteBuffer remote(tree, kRemoteText + kTextChars * sizeof(wchar_t));
    const RECT client = ScreenClient(tree);
    HTREEITEM item = reinterpret_cast<HTREEITEM>(Ask(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    for (; remote && item;
         item = reinterpret_cast<HTREEITEM>(
             Ask(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(item)))) {
        TVITEMW data = {};
        data.mask = TVIF_TEXT | TVIF_STATE | TVIF_IMAGE | TVIF_HANDLE;
        data.hItem = item;
        data.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
        data.pszText = reinterpret_cast<wchar_t*>(remote.At(kRemoteText));
        data.cchTextMax = kTextChars;
        wchar_t text[kTextChars] = {};
        // The item goes in, its rect comes out.
        RECT rect = {};
        std::memcpy(&rect, &item, sizeof(item));
        if (!remote.Write(0, &data, sizeof(data)) ||
            !Ask(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.At(0))) ||
            !remote.Read(0, &data, sizeof(data)) ||
            !remote.Read(kRemoteText, text, sizeof(text) - sizeof(wchar_t)) ||
            !RemoteRect(tree, remote, TVM_GETITEMRECT, TRUE, rect) || !InView(client, rect)) {
            continue;
        }
        int depth = 0;
        for (HTREEITEM parent = item;
             (parent = reinterpret_cast<HTREEITEM>(
                  Ask(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(parent))));) {
            ++depth;
        }
        Flatten(text);
        std::printf("item %d %d %ld %ld %ld %ld %d %d %d %ls\n", id, depth, rect.left, rect.top,
                    rect.right, rect.bottom, (data.state & TVIS_EXPANDED) ? 1 : 0,
                    (data.state & TVIS_SELECTED) ? 1 : 0, data.iImage, text);
    }
}

//   control ID CLASS LEFT TOP RIGHT BOTTOM ENABLED VISIBLE, then
//   value ID TEXT for edits, combo boxes and buttons, and the rows or items of lists and trees.
BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    wchar_t name[32] = {};
    wchar_t text[kTextChars] = {};
    GetClassNameW(control, name, 32);
    const int id = GetDlgCtrlID(control);
    RECT rect = {};
    GetWindowRect(control, &rect);
    std::printf("control %d %ls %ld %ld %ld %ld %d %d\n", id, name, rect.left, rect.top, rect.right,
                rect.bottom, IsWindowEnabled(control) ? 1 : 0, IsWindowVisible(control) ? 1 : 0);
    if (_wcsicmp(name, L"Static") == 0) {
        if (GetWindowTextW(control, text, kTextChars) > 0) {
            Flatten(text);
            std::printf("text %ls\n", text);
        }
    } else if (_wcsicmp(name, L"Edit") == 0 || _wcsicmp(name, L"ComboBox") == 0 ||
               _wcsicmp(name, L"Button") == 0) {
        Ask(control, WM_GETTEXT, kTextChars, reinterpret_cast<LPARAM>(text));
        Flatten(text);
        std::printf("value %d %ls\n", id, text);
    } else if (_wcsicmp(name, WC_LISTVIEWW) == 0) {
        PrintListRows(control, id);
    } else if (_wcsicmp(name, WC_TREEVIEWW) == 0) {
        PrintTreeItems(control, id);
    }
    return TRUE;
}

int PrintDialog(const wchar_t* title) {
    // A dialog is shown once it is laid out, and hidden as soon as it ends.
    HWND dialog = FindWindowW(nullptr, title);
    if (!dialog || !IsWindowVisible(dialog)) {
        std::puts("dialog none");
        return 1;
    }
    RECT rect = {};
    GetWindowRect(dialog, &rect);
    std::printf("rect %ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    RECT client = {};
    GetClientRect(dialog, &client);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::printf("client %ld %ld %ld %ld\n", client.left, client.top, client.right, client.bottom);
    wchar_t ownerClass[64] = L"none";
    if (HWND owner = GetWindow(dialog, GW_OWNER)) {
        GetClassNameW(owner, ownerClass, 64);
    }
    std::printf("owner %ls\n", ownerClass);
    POINT closeBox = {};
    if (FindCloseBox(dialog, rect, closeBox)) {
        std::printf("close %ld %ld\n", closeBox.x, closeBox.y);
    }
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof(thread);
    if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread) && thread.hwndFocus &&
        IsChild(dialog, thread.hwndFocus)) {
        std::printf("focus %d\n", GetDlgCtrlID(thread.hwndFocus));
    }
    EnumChildWindows(dialog, PrintControl, 0);
    return 0;
}

int PrintDropdown() {
    HWND list = PrintVisibleRect(L"ComboLBox", "dropdown");
    if (!list) {
        return 1;
    }
    std::printf("items %ld %ld\n", static_cast<long>(Ask(list, LB_GETCOUNT, 0, 0)),
                static_cast<long>(Ask(list, LB_GETITEMHEIGHT, 0, 0)));
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

// What the system sends a window that comes onto a monitor of another density.
int SendDpiChange(UINT dpi) {
    HWND window = MainWindow();
    RECT suggested = {};
    DWORD_PTR result = 0;
    if (!window || !GetWindowRect(window, &suggested) ||
        !SendMessageTimeoutW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                             reinterpret_cast<LPARAM>(&suggested), SMTO_ABORTIFHUNG, 5000,
                             &result)) {
        std::puts("dpi failed");
        return 1;
    }
    std::puts("dpi sent");
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

int PrintForeground() {
    HWND window = GetForegroundWindow();
    wchar_t name[64] = {};
    wchar_t caption[kTextChars] = {};
    GetClassNameW(window, name, 64);
    GetWindowTextW(window, caption, kTextChars);
    std::printf("foreground %ls %ls\n", window ? name : L"none", caption);
    return window ? 0 : 1;
}

int PrintVersion(const wchar_t* file) {
    DWORD unused = 0;
    const DWORD size = GetFileVersionInfoSizeW(file, &unused);
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    wchar_t* product = nullptr;
    wchar_t* name = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoW(file, 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        !VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                        reinterpret_cast<void**>(&product), &length) ||
        !VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductName",
                        reinterpret_cast<void**>(&name), &length)) {
        std::puts("version none");
        return 1;
    }
    std::printf("version %ls %u.%u.%u.%u %ls\n", product, HIWORD(fixed->dwFileVersionMS),
                LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                LOWORD(fixed->dwFileVersionLS), name);
    return 0;
}

constexpr int kIconSizes[] = {16, 20, 24, 32, 40, 48, 64, 256};

BOOL CALLBACK TakeFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
    *reinterpret_cast<LPWSTR*>(found) = name;
    return FALSE;
}

const BYTE* ResourceBytes(HMODULE module, LPCWSTR name, LPCWSTR type, DWORD* size) {
    HRSRC found = FindResourceW(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    *size = found ? SizeofResource(module, found) : 0;
    return loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

// The side of the picture the icon group holds for the size: a PNG's or a bitmap's width.
long NativeSide(HMODULE module, const BYTE* group, int size) {
    const int id = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group), TRUE, size, size, 0);
    DWORD bytes = 0;
    const BYTE* image = ResourceBytes(module, MAKEINTRESOURCEW(id), RT_ICON, &bytes);
    if (image && bytes >= 24 && std::memcmp(image, "\x89PNG", 4) == 0) {
        return (long{image[16]} << 24) | (long{image[17]} << 16) | (image[18] << 8) | image[19];
    }
    return image && bytes >= sizeof(BITMAPINFOHEADER)
               ? reinterpret_cast<const BITMAPINFOHEADER*>(image)->biWidth
               : 0;
}

int PrintIcons(const wchar_t* file) {
    HMODULE module =
        LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    LPWSTR group = nullptr;
    if (module) {
        EnumResourceNamesW(module, RT_GROUP_ICON, TakeFirstName,
                           reinterpret_cast<LONG_PTR>(&group));
    }
    DWORD bytes = 0;
    const BYTE* directory = group ? ResourceBytes(module, group, RT_GROUP_ICON, &bytes) : nullptr;
    if (!directory) {
        std::puts("icons none");
        return 1;
    }
    for (int size : kIconSizes) {
        std::printf("icon %d %ld\n", size, NativeSide(module, directory, size));
    }
    FreeLibrary(module);
    return 0;
}

// Commands as another program might send them: the program's mark plus 1 (reload) or 5 (add),
// spoilt one way each. Probe and program share no code: the probe speaks from outside.
constexpr ULONG_PTR kMark = 0x4F434C00;
struct HostileData {
    const char* name;
    ULONG_PTR command;
    std::wstring text;  // sent with its terminator unless the size says otherwise
    long sizeChange;    // bytes added to the text's size
};
const HostileData kHostileData[] = {
    {"foreign", 1, L"", 0},
    {"unknown", kMark + 99, L"", 0},
    {"reload-with-data", kMark + 1, L"C:\\x", 0},
    {"add-nothing", kMark + 5, L"", -2},
    {"add-empty", kMark + 5, L"", 0},
    {"add-odd", kMark + 5, L"C:\\x.exe", -1},
    {"add-unterminated", kMark + 5, L"C:\\x.exe", -2},
    {"add-inner-terminator", kMark + 5, std::wstring(L"C:\\x.exe\0C:\\y.exe", 17), 0},
    {"add-relative", kMark + 5, L"x.exe", 0},
    {"add-control", kMark + 5, L"C:\\x\r\n.exe", 0},
    {"add-oversize", kMark + 5, L"C:\\" + std::wstring(4000, L'x'), 0},
    {"add-huge", kMark + 5, std::wstring(1 << 18, L'x'), 0},
};

int SendHostile(const wchar_t* name) {
    HWND window = MainWindow();
    for (const HostileData& data : kHostileData) {
        wchar_t wide[32] = {};
        std::mbstowcs(wide, data.name, 31);
        if (wcscmp(wide, name) != 0) {
            continue;
        }
        const long bytes =
            static_cast<long>((data.text.size() + 1) * sizeof(wchar_t)) + data.sizeChange;
        COPYDATASTRUCT copy = {data.command, static_cast<DWORD>(bytes),
                               const_cast<wchar_t*>(data.text.c_str())};
        DWORD_PTR reply = 0;
        if (!window || !SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy),
                                            SMTO_ABORTIFHUNG, 5000, &reply)) {
            std::puts("reply none");
            return 1;
        }
        std::printf("reply %lu\n", static_cast<unsigned long>(reply));
        return 0;
    }
    std::puts("no such case");
    return 2;
}

int RunAndWait(const wchar_t* commandLine) {
    std::wstring line = commandLine;  // CreateProcessW may write to it
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::puts("run failed");
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::printf("exit %lu\n", code);
    return 0;
}

int MakeShortcut(const wchar_t* path, const wchar_t* target) {
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    const bool saved =
        SUCCEEDED(CoInitialize(nullptr)) &&
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->SetPath(target)) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Save(path, TRUE));
    if (file) {
        file->Release();
    }
    if (link) {
        link->Release();
    }
    std::puts(saved ? "saved" : "not saved");
    return saved ? 0 : 1;
}

int PrintShortcut(const wchar_t* file) {
    IShellLinkW* link = nullptr;
    IPersistFile* persist = nullptr;
    wchar_t target[MAX_PATH] = {};
    wchar_t arguments[MAX_PATH] = {};
    wchar_t folder[MAX_PATH] = {};
    WORD hotkey = 0;
    const bool read =
        SUCCEEDED(CoInitialize(nullptr)) &&
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->Load(file, STGM_READ)) &&
        SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
        SUCCEEDED(link->GetArguments(arguments, MAX_PATH)) &&
        SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH)) &&
        SUCCEEDED(link->GetHotkey(&hotkey));
    if (persist) {
        persist->Release();
    }
    if (link) {
        link->Release();
    }
    if (!read) {
        std::puts("shortcut none");
        return 1;
    }
    std::printf("target %ls\narguments %ls\nfolder %ls\nhotkey %u\n", target, arguments, folder,
                hotkey);
    return 0;
}

// Spelled out: mingw's libraries define IID_IAccessible twice, and the wrong one fails every
// query.
constexpr IID kIidAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// The main window's client object, as a screen reader asks for it; null when there is none.
IAccessible* AccessibleWindow() {
    HWND window = MainWindow();
    IAccessible* object = nullptr;
    if (!window ||
        FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                          reinterpret_cast<void**>(&object)))) {
        return nullptr;
    }
    return object;
}

VARIANT ChildId(long id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// "<what> ID TEXT", or "<what> ID -" when the object has none, with the call's result when it
// failed.
void PrintText(const char* what, long id, HRESULT result, BSTR text) {
    if (FAILED(result)) {
        std::printf("%s %ld error %08lx\n", what, id, static_cast<unsigned long>(result));
    } else {
        std::printf("%s %ld %ls\n", what, id, text && *text ? text : L"-");
    }
    SysFreeString(text);
}

long NumberOf(const VARIANT& value) {
    return value.vt == VT_I4 ? value.lVal : -1;
}

void PrintAccessibleTexts(IAccessible* object, long id) {
    const VARIANT child = ChildId(id);
    BSTR text = nullptr;
    HRESULT result = object->get_accName(child, &text);
    PrintText("name", id, result, text);
    text = nullptr;
    result = object->get_accDescription(child, &text);
    PrintText("description", id, result, text);
    text = nullptr;
    result = object->get_accDefaultAction(child, &text);
    PrintText("action", id, result, text);
}

//   object ROLE COUNT STATE, focus ID (or none), then per child:
//   child ID ROLE LEFT TOP RIGHT BOTTOM STATE, and its name, description and action lines.
int PrintAccessible() {
    IAccessible* object = AccessibleWindow();
    if (!object) {
        std::puts("accessible none");
        return 1;
    }
    VARIANT role;
    VARIANT state;
    long count = 0;
    object->get_accRole(ChildId(CHILDID_SELF), &role);
    object->get_accState(ChildId(CHILDID_SELF), &state);
    object->get_accChildCount(&count);
    std::printf("object %ld %ld %08lx\n", NumberOf(role), count,
                static_cast<unsigned long>(NumberOf(state)));
    PrintAccessibleTexts(object, CHILDID_SELF);
    VARIANT focus;
    VariantInit(&focus);
    object->get_accFocus(&focus);
    if (focus.vt == VT_I4) {
        std::printf("focus %ld\n", focus.lVal);
    } else {
        std::puts("focus none");
    }
    std::vector<VARIANT> children(static_cast<size_t>(count > 0 ? count : 0));
    long obtained = 0;
    if (count > 0 && FAILED(AccessibleChildren(object, 0, count, children.data(), &obtained))) {
        obtained = 0;
    }
    for (long i = 0; i < obtained; ++i) {
        const long id = NumberOf(children[static_cast<size_t>(i)]);
        VariantClear(&children[static_cast<size_t>(i)]);
        long left = 0;
        long top = 0;
        long width = 0;
        long height = 0;
        object->get_accRole(ChildId(id), &role);
        object->get_accState(ChildId(id), &state);
        object->accLocation(&left, &top, &width, &height, ChildId(id));
        std::printf("child %ld %ld %ld %ld %ld %ld %08lx\n", id, NumberOf(role), left, top,
                    left + width, top + height, static_cast<unsigned long>(NumberOf(state)));
        PrintAccessibleTexts(object, id);
    }
    object->Release();
    return 0;
}

int PressChild(long id) {
    IAccessible* object = AccessibleWindow();
    if (!object) {
        std::puts("accessible none");
        return 1;
    }
    const HRESULT result = object->accDoDefaultAction(ChildId(id));
    object->Release();
    std::printf("pressed %ld %08lx\n", id, static_cast<unsigned long>(result));
    return SUCCEEDED(result) ? 0 : 1;
}

//   rect LEFT TOP RIGHT BOTTOM, then tip LINE for each line of its text.
int PrintTooltip() {
    HWND tip = PrintVisibleRect(TOOLTIPS_CLASSW, "tooltip");
    if (!tip) {
        return 1;
    }
    wchar_t text[1100] = {};
    Ask(tip, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text));
    for (wchar_t* line = text; *line;) {
        wchar_t* end = line + wcscspn(line, L"\r\n");
        const wchar_t kept = *end;
        *end = L'\0';
        std::printf("tip %ls\n", line);
        line = kept ? end + 1 + (kept == L'\r' && end[1] == L'\n') : end;
    }
    return 0;
}

int PrintFocus() {
    HWND foreground = GetForegroundWindow();
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof(thread);
    wchar_t name[64] = L"none";
    if (foreground && GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &thread) &&
        thread.hwndFocus) {
        GetClassNameW(thread.hwndFocus, name, 64);
    }
    std::printf("focus %ls\n", name);
    return 0;
}

int PrintColours() {
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    std::printf("colours %02X%02X%02X %02X%02X%02X\n", GetRValue(highlight), GetGValue(highlight),
                GetBValue(highlight), GetRValue(text), GetGValue(text), GetBValue(text));
    return 0;
}

// ---------------------------------------------------------------- fullscreen

struct ZOrder {
    bool topmost;
    bool below;  // the main window stands somewhere below the other window
};

ZOrder ZOrderOf(HWND window, HWND other) {
    ZOrder order = {(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, false};
    for (HWND above = GetWindow(window, GW_HWNDPREV); above && other;
         above = GetWindow(above, GW_HWNDPREV)) {
        order.below = order.below || above == other;
    }
    return order;
}

// Pumps the probe's messages and, while the other window is up, counts the samples where the main
// window has the focus, until it stands as expected or ten seconds have passed; prints where it
// stands.
int focusTaken = 0;
void AwaitOrder(const char* step, HWND window, HWND other, ZOrder expected) {
    ZOrder order = {};
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(20)) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        focusTaken += other && GetForegroundWindow() == window ? 1 : 0;
        order = ZOrderOf(window, other);
        if (order.topmost == expected.topmost && order.below == expected.below) {
            break;
        }
    }
    std::printf("%s topmost %d below %d\n", step, order.topmost ? 1 : 0, order.below ? 1 : 0);
    std::fflush(stdout);
}

int RunFullscreen() {
    HWND window = MainWindow();
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!window ||
        !GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        std::puts("window none");
        return 1;
    }
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = L"OcellixProbeFullscreen";
    RegisterClassW(&windowClass);
    const RECT& whole = monitor.rcMonitor;
    HWND fullscreen =
        CreateWindowExW(0, windowClass.lpszClassName, L"Fullscreen", WS_POPUP, whole.left,
                        whole.top, whole.right - whole.left, whole.bottom - whole.top, nullptr,
                        nullptr, windowClass.hInstance, nullptr);
    ShowWindow(fullscreen, SW_SHOW);
    SetForegroundWindow(fullscreen);
    std::printf("foreground %d\n", GetForegroundWindow() == fullscreen ? 1 : 0);
    AwaitOrder("fullscreen", window, fullscreen, {false, true});
    SetWindowPos(fullscreen, nullptr, whole.left + 40, whole.top + 40, 320, 200, SWP_NOZORDER);
    AwaitOrder("windowed", window, fullscreen, {true, false});
    SetWindowPos(fullscreen, nullptr, whole.left, whole.top, whole.right - whole.left,
                 whole.bottom - whole.top, SWP_NOZORDER);
    AwaitOrder("fullscreen-again", window, fullscreen, {false, true});
    DestroyWindow(fullscreen);
    AwaitOrder("closed", window, nullptr, {true, false});
    std::printf("focus-taken %d\n", focusTaken);
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
    if (wcscmp(command, L"dropdown") == 0) {
        return PrintDropdown();
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
    if (wcscmp(command, L"dpi") == 0 && argc > 2) {
        return SendDpiChange(wcstoul(argv[2], nullptr, 10));
    }
    if (wcscmp(command, L"close") == 0) {
        return PostClose();
    }
    if (wcscmp(command, L"foreground") == 0) {
        return PrintForeground();
    }
    if (wcscmp(command, L"version") == 0 && argc > 2) {
        return PrintVersion(argv[2]);
    }
    if (wcscmp(command, L"icons") == 0 && argc > 2) {
        return PrintIcons(argv[2]);
    }
    if (wcscmp(command, L"copydata") == 0 && argc > 2) {
        return SendHostile(argv[2]);
    }
    if (wcscmp(command, L"run") == 0 && argc > 2) {
        return RunAndWait(argv[2]);
    }
    if (wcscmp(command, L"shortcut") == 0 && argc > 2) {
        return PrintShortcut(argv[2]);
    }
    if (wcscmp(command, L"accessible") == 0 || wcscmp(command, L"press") == 0) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        const int code = command[0] == L'a'
                             ? PrintAccessible()
                             : PressChild(argc > 2 ? wcstol(argv[2], nullptr, 10) : 0);
        CoUninitialize();
        return code;
    }
    if (wcscmp(command, L"tooltip") == 0) {
        return PrintTooltip();
    }
    if (wcscmp(command, L"focus") == 0) {
        return PrintFocus();
    }
    if (wcscmp(command, L"colours") == 0) {
        return PrintColours();
    }
    if (wcscmp(command, L"makeshortcut") == 0 && argc > 3) {
        return MakeShortcut(argv[2], argv[3]);
    }
    if (wcscmp(command, L"fullscreen") == 0) {
        return RunFullscreen();
    }
    std::fputs(
        "usage: probe window|menu|dialog TITLE|dropdown|screen|processes|reset [WPARAM]|close|"
        "foreground|version FILE|icons FILE|copydata CASE|run LINE|shortcut FILE|accessible|"
        "press N|tooltip|focus|colours|dpi DPI|makeshortcut FILE TARGET|fullscreen\n",
        stderr);
    return 2;
}
