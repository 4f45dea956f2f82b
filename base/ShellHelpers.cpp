#include "base/ShellHelpers.h"

#include "platform/PocketShell.h"

#include <shellapi.h>
#include <strsafe.h>

#include <cwchar>

bool FileExists(const wchar_t* path) {
    if (!path || !*path) {
        return false;
    }
    HANDLE file =
        CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

void ShellOpen(HINSTANCE instance, HWND owner, const wchar_t* file, const wchar_t* parameters) {
    if (!file || !*file) {
        return;
    }
    SHELLEXECUTEINFOW info = {};
    // The structure's size is this platform's own, not the 60 bytes of the 32-bit device.
    info.cbSize = sizeof(info);
    // Failures stay silent: desktop shells otherwise show their own error box. No process
    // handle is asked for, so none is left to close.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = L"open";
    info.lpFile = file;
    info.lpParameters = parameters;
    info.nShow = SW_SHOW;
    info.hInstApp = instance;
    ShellExecuteExW(&info);
}

void GetModuleDirectory(HINSTANCE instance, wchar_t (&directory)[MAX_PATH]) {
    ZeroMemory(directory, sizeof(directory));
    wchar_t name[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(instance, name, MAX_PATH);
    // A name that filled the whole buffer was cut, and its folder would be the wrong one.
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    const wchar_t* lastSlash = wcsrchr(name, L'\\');
    if (!lastSlash) {
        return;
    }
    StringCchCopyNW(directory, MAX_PATH, name, static_cast<size_t>(lastSlash - name) + 1);
}

bool LongPathOf(const wchar_t* path, wchar_t (&longPath)[MAX_PATH]) {
    // Only an abbreviated name, which always carries a tilde, has a long form that differs.
    if (!path || !wcschr(path, L'~')) {
        return false;
    }
    const DWORD length = GetLongPathNameW(path, longPath, MAX_PATH);
    return length > 0 && length < MAX_PATH;
}

std::wstring FoldedCase(std::wstring text) {
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

bool IsDotEntry(const WIN32_FIND_DATAW& entry) {
    return wcscmp(entry.cFileName, L".") == 0 || wcscmp(entry.cFileName, L"..") == 0;
}

void InitPocketDialog(HWND dialog) {
    SHINITDLGINFO init = {SHIDIM_FLAGS, dialog,
                          SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    SHInitDialog(&init);
    SHMENUBARINFO bar = {};
    bar.cbSize = sizeof(bar);
    bar.hwndParent = dialog;
    bar.dwFlags = SHCMBF_EMPTYBAR;
    SHCreateMenuBar(&bar);
}
