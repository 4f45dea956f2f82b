#include "model/LaunchTarget.h"

#include <strsafe.h>

#include <cwchar>
#include <cwctype>

namespace {

// Real shortcuts are a few hundred bytes; anything far larger is not read through.
constexpr ULONGLONG kMaxShortcutBytes = 64 * 1024;

bool IsInternetShortcut(const wchar_t* path) {
    const wchar_t* dot = wcsrchr(path, L'.');
    return dot && !wcschr(dot, L'\\') && _wcsicmp(dot, L".url") == 0;
}

bool HasControlCharacters(const wchar_t* text) {
    for (; *text; ++text) {
        if (*text < L' ') {
            return true;
        }
    }
    return false;
}

bool SmallFile(const wchar_t* path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    return GetFileAttributesExW(path, GetFileExInfoStandard, &data) &&
           !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           ((ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow) <= kMaxShortcutBytes;
}

// The shortcut's address into the blinket; false when it has none, or none that fits.
bool ReadShortcutAddress(const wchar_t* path, Blinket& blinket) {
    if (!SmallFile(path)) {
        return false;
    }
    // One more than fits: a value cut to the buffer then shows as too long.
    wchar_t address[kActionStringChars + 1];
    const DWORD length = GetPrivateProfileStringW(L"InternetShortcut", L"URL", L"", address,
                                                  ARRAYSIZE(address), path);
    return length > 0 && length < kActionStringChars && !HasControlCharacters(address) &&
           SUCCEEDED(StringCchCopyW(blinket.actionString, kActionStringChars, address));
}

}  // namespace

bool IsWebAddress(const wchar_t* text) {
    return text && (_wcsnicmp(text, L"http:", 5) == 0 || _wcsnicmp(text, L"https:", 6) == 0);
}

bool IsFullPath(const wchar_t* text) {
    return text && ((iswalpha(text[0]) && text[1] == L':' && text[2] == L'\\') ||
                    (text[0] == L'\\' && text[1] == L'\\' && text[2] && text[2] != L'\\'));
}

bool IsUsableTarget(const wchar_t* target) {
    size_t length = 0;
    return target && !HasControlCharacters(target) &&
           (IsWebAddress(target) || IsFullPath(target)) &&
           SUCCEEDED(StringCchLengthW(target, kActionStringChars, &length));
}

std::unique_ptr<Blinket> BlinketForTarget(const wchar_t* target, bool readShortcut) {
    if (!IsUsableTarget(target)) {
        return nullptr;
    }
    auto blinket = std::make_unique<Blinket>();
    if (FAILED(StringCchCopyW(blinket->actionString, kActionStringChars, target))) {
        return nullptr;
    }
    blinket->actionCmd = IsWebAddress(target) ? kActionWebPage : kActionProgram;
    if (readShortcut && blinket->actionCmd == kActionProgram && IsInternetShortcut(target) &&
        ReadShortcutAddress(target, *blinket)) {
        blinket->actionCmd = kActionWebPage;
    }
    return blinket;
}
