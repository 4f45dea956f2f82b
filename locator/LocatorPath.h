// Path strings of the file locator. Paths are rooted at the device root "\" and never exceed
// kMaxPathChars: a path that would be longer is refused, never cut.
#pragma once

#include <windows.h>
#include <strsafe.h>

#include <cwchar>

constexpr size_t kMaxPathChars = MAX_PATH - 1;

inline bool IsDeviceRoot(const wchar_t* text) {
    return std::wcscmp(text, L"\\") == 0;
}

// Makes path the path of a child of folder: "\" + path below the root, folder + "\" + path
// elsewhere. False, with path unchanged, when the result would not fit.
inline bool PrependFolder(wchar_t (&path)[MAX_PATH], const wchar_t* folder) {
    wchar_t joined[MAX_PATH];
    const HRESULT result = IsDeviceRoot(folder)
                               ? StringCchPrintfW(joined, MAX_PATH, L"\\%s", path)
                               : StringCchPrintfW(joined, MAX_PATH, L"%s\\%s", folder, path);
    return SUCCEEDED(result) && SUCCEEDED(StringCchCopyW(path, MAX_PATH, joined));
}

// The search pattern of every entry of a folder: "\*.*" for the root, folder + "\*.*" else.
inline bool MakeSearchPattern(const wchar_t* folder, wchar_t (&pattern)[MAX_PATH]) {
    const HRESULT result = IsDeviceRoot(folder)
                               ? StringCchCopyW(pattern, MAX_PATH, L"\\*.*")
                               : StringCchPrintfW(pattern, MAX_PATH, L"%s\\*.*", folder);
    if (FAILED(result)) {
        pattern[0] = L'\0';
        return false;
    }
    return true;
}

// The length of the folder part of a search pattern (everything before "*.*"): an entry's full
// path is that part followed by the entry's name.
inline size_t PatternFolderLength(const wchar_t* pattern) {
    const size_t length = std::wcslen(pattern);
    return length >= 3 ? length - 3 : 0;
}

// Copies the next non-empty backslash-separated component of text into component and moves
// text past it. False when no component is left.
inline bool NextPathComponent(const wchar_t*& text, wchar_t (&component)[MAX_PATH]) {
    while (*text == L'\\') {
        ++text;
    }
    const wchar_t* end = text;
    while (*end && *end != L'\\') {
        ++end;
    }
    if (end == text) {
        return false;
    }
    const HRESULT copied = StringCchCopyNW(component, MAX_PATH, text, end - text);
    text = end;
    return SUCCEEDED(copied);
}

inline bool NamesEqual(const wchar_t* a, const wchar_t* b) {
    return CompareStringW(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a, -1, b, -1) == CSTR_EQUAL;
}

// A name ending in the extension .exe, in any letter case.
inline bool IsProgramName(const wchar_t* name) {
    const size_t length = std::wcslen(name);
    return length >= 4 && CompareStringW(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, name + length - 4,
                                         4, L".exe", 4) == CSTR_EQUAL;
}
