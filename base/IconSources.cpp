#include "base/IconSources.h"

#include "base/ShellHelpers.h"
#include "platform/ComObjects.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <strsafe.h>

#include <cwchar>
#include <cwctype>
#include <string>

namespace {

// A shortcut to a shortcut is followed, and no further: one that leads back to itself ends.
constexpr int kMaxShortcutDepth = 2;
// Real Internet shortcuts are a few hundred bytes.
constexpr size_t kMaxInternetShortcutBytes = 64 * 1024;

bool HasExtension(const wchar_t* path, const wchar_t* extension) {
    const wchar_t* dot = PathFindExtensionW(path);
    return dot && _wcsicmp(dot, extension) == 0;
}

// Files that carry their own icon, as the shell shows them ("%1" in their DefaultIcon).
bool IsOwnIconFile(const wchar_t* path) {
    for (const wchar_t* extension : {L".exe", L".ico", L".dll", L".cpl", L".scr", L".icl"}) {
        if (HasExtension(path, extension)) {
            return true;
        }
    }
    return false;
}

// The scheme of a web address ("http"), or empty for anything else, a drive letter included.
std::wstring SchemeOf(const wchar_t* target) {
    const wchar_t* colon = wcschr(target, L':');
    if (!colon || colon - target < 2 || !iswalpha(target[0])) {
        return {};
    }
    for (const wchar_t* c = target; c < colon; ++c) {
        if (!iswalnum(*c) && *c != L'+' && *c != L'-' && *c != L'.') {
            return {};
        }
    }
    return std::wstring(target, colon);
}

// A local or network file path, environment variables expanded; web addresses (a favicon on
// a server, say) are never fetched.
void Add(std::vector<IconLocation>& locations, const wchar_t* file, int index) {
    IconLocation location;
    const DWORD length = ExpandEnvironmentStringsW(file, location.file, MAX_PATH);
    if (length == 0 || length > MAX_PATH || PathIsRelativeW(location.file) ||
        PathIsURLW(location.file)) {
        return;
    }
    location.index = index;
    locations.push_back(location);
}

// A registry DefaultIcon value: "file,index", "file", quoted or not, or "%1" for the file
// itself.
void AddIconValue(std::vector<IconLocation>& locations, const wchar_t* value, const wchar_t* self) {
    wchar_t file[MAX_PATH];
    if (FAILED(StringCchCopyW(file, MAX_PATH, value))) {
        return;
    }
    const int index = PathParseIconLocationW(file);
    PathUnquoteSpacesW(file);
    if (wcscmp(file, L"%1") == 0) {
        if (self) {
            Add(locations, self, 0);
        }
        return;
    }
    Add(locations, file, index);
}

// The icon the type or scheme names for itself, then the program that opens it.
void AddAssociated(std::vector<IconLocation>& locations, const wchar_t* association,
                   const wchar_t* self) {
    wchar_t text[MAX_PATH];
    DWORD length = MAX_PATH;
    if (SUCCEEDED(AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_DEFAULTICON, association, nullptr,
                                    text, &length))) {
        AddIconValue(locations, text, self);
    }
    length = MAX_PATH;
    if (SUCCEEDED(AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, association, L"open",
                                    text, &length))) {
        Add(locations, text, 0);
    }
}

void AddForTarget(std::vector<IconLocation>& locations, const wchar_t* target, int depth);

void AddForShortcut(std::vector<IconLocation>& locations, const wchar_t* path, int depth) {
    ComObject<IShellLinkW> link;
    ComObject<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put_void())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) ||
        FAILED(file->Load(path, STGM_READ))) {
        return;
    }
    wchar_t named[MAX_PATH] = {};
    int index = 0;
    if (SUCCEEDED(link->GetIconLocation(named, MAX_PATH, &index)) && named[0]) {
        Add(locations, named, index);
    }
    // Only the stored path: resolving would search the disks for a moved target.
    wchar_t target[MAX_PATH] = {};
    if (SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) && target[0] &&
        _wcsicmp(target, path) != 0) {
        wchar_t expanded[MAX_PATH];
        const DWORD length = ExpandEnvironmentStringsW(target, expanded, MAX_PATH);
        if (length > 0 && length <= MAX_PATH) {
            AddForTarget(locations, expanded, depth + 1);
        }
    }
}

void AddForInternetShortcut(std::vector<IconLocation>& locations, const wchar_t* path) {
    std::string bytes;
    if (!ReadFileBytes(path, kMaxInternetShortcutBytes, true, bytes)) {
        return;
    }
    wchar_t file[MAX_PATH] = {};
    GetPrivateProfileStringW(L"InternetShortcut", L"IconFile", L"", file, MAX_PATH, path);
    if (file[0]) {
        const int index =
            static_cast<int>(GetPrivateProfileIntW(L"InternetShortcut", L"IconIndex", 0, path));
        Add(locations, file, index);
    }
    wchar_t address[64] = {};
    GetPrivateProfileStringW(L"InternetShortcut", L"URL", L"", address, ARRAYSIZE(address), path);
    const std::wstring scheme = SchemeOf(address);
    if (!scheme.empty()) {
        AddAssociated(locations, scheme.c_str(), nullptr);
    }
}

void AddForTarget(std::vector<IconLocation>& locations, const wchar_t* target, int depth) {
    const std::wstring scheme = SchemeOf(target);
    if (!scheme.empty()) {
        AddAssociated(locations, scheme.c_str(), nullptr);
    } else if (PathIsRelativeW(target) || depth > kMaxShortcutDepth) {
        return;
    } else if (HasExtension(target, L".lnk")) {
        AddForShortcut(locations, target, depth);
    } else if (HasExtension(target, L".url")) {
        AddForInternetShortcut(locations, target);
    } else if (IsOwnIconFile(target)) {
        Add(locations, target, 0);
    } else {
        AddAssociated(locations, PathFindExtensionW(target), target);
    }
}

}  // namespace

std::vector<IconLocation> IconLocationsOf(const wchar_t* target) {
    std::vector<IconLocation> locations;
    if (target && *target) {
        AddForTarget(locations, target, 0);
    }
    return locations;
}
