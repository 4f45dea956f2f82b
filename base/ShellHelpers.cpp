#include "base/ShellHelpers.h"

#include "base/Handles.h"
#include "platform/PocketShell.h"

#include <shellapi.h>
#include <shlobj.h>
#include <strsafe.h>

#include <algorithm>
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

bool ReadFileBytes(const wchar_t* path, size_t maxBytes, bool whole, std::string& bytes) {
    bytes.clear();
    KernelHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!path || !file || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        (whole && static_cast<unsigned long long>(size.QuadPart) > maxBytes)) {
        return false;
    }
    bytes.resize(std::min<size_t>(maxBytes, static_cast<size_t>(size.QuadPart)));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        if (!ReadFile(file.get(), bytes.data() + done, wanted, &read, nullptr) || read == 0) {
            break;
        }
        done += read;
    }
    // A file that shrank while it was read gives what it had.
    bytes.resize(done);
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

std::wstring ProgramFolder() {
    wchar_t folder[MAX_PATH];
    GetModuleDirectory(nullptr, folder);
    return folder;
}

bool UserPictureFolder(bool create, wchar_t (&folder)[MAX_PATH]) {
    folder[0] = L'\0';
    PWSTR local = nullptr;
    const HRESULT found = SHGetKnownFolderPath(FOLDERID_LocalAppData,
                                               create ? DWORD{KF_FLAG_CREATE} : 0, nullptr, &local);
    wchar_t own[MAX_PATH];
    const bool named = SUCCEEDED(found) &&
                       SUCCEEDED(StringCchPrintfW(own, MAX_PATH, L"%s\\Ocellix\\", local)) &&
                       SUCCEEDED(StringCchPrintfW(folder, MAX_PATH, L"%sPictures\\", own));
    CoTaskMemFree(local);
    if (!named) {
        folder[0] = L'\0';
        return false;
    }
    if (create) {
        CreateDirectoryW(own, nullptr);
        CreateDirectoryW(folder, nullptr);
    }
    const DWORD attributes = GetFileAttributesW(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        folder[0] = L'\0';
        return false;
    }
    return true;
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
