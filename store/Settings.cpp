#include "store/Settings.h"

#include "base/ShellHelpers.h"
#include "store/RegKey.h"

#include <strsafe.h>

#include <climits>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

// The file locator's key keeps the name of the program Ocellix grew from, so that a location
// remembered there is found again.
constexpr wchar_t kLocatorProgramName[] = L"Blinkets";
constexpr wchar_t kBlinketKeyPrefix[] = L"Blinket_";
constexpr size_t kBlinketKeyPrefixChars = ARRAYSIZE(kBlinketKeyPrefix) - 1;

using KeyPath = wchar_t[MAX_PATH];

bool SettingsKeyPath(const wchar_t* maker, const wchar_t* program, KeyPath& path) {
    return maker && program &&
           SUCCEEDED(StringCchPrintfW(path, MAX_PATH, L"\\Software\\%s\\%s", maker, program));
}

bool ListKeyPath(const wchar_t* maker, const wchar_t* program, KeyPath& path) {
    return maker && program &&
           SUCCEEDED(
               StringCchPrintfW(path, MAX_PATH, L"\\Software\\%s\\%s\\Blinkets", maker, program));
}

bool BlinketKeyPath(const wchar_t* maker, const wchar_t* program, int number, KeyPath& path) {
    return maker && program &&
           SUCCEEDED(StringCchPrintfW(path, MAX_PATH, L"\\Software\\%s\\%s\\Blinkets\\%s%02d",
                                      maker, program, kBlinketKeyPrefix, number));
}

bool OpenSettings(RegKey& key, const wchar_t* maker, const wchar_t* program, bool create) {
    KeyPath path;
    return SettingsKeyPath(maker, program, path) && key.Open(HKEY_CURRENT_USER, path, create);
}

bool OpenLocator(RegKey& key) {
    KeyPath path;
    return SUCCEEDED(StringCchPrintfW(path, MAX_PATH, L"\\SOFTWARE\\%s\\%s\\", kMakerName,
                                      kLocatorProgramName)) &&
           key.Open(HKEY_CURRENT_USER, path, true);
}

bool HasValue(RegKey& key, const wchar_t* name) {
    DWORD size = 0;
    return key.QueryValue(name, nullptr, &size);
}

int ReadNumber(RegKey& key, const wchar_t* name, int fallback) {
    DWORD value = 0;
    return key.QueryDword(name, &value) ? static_cast<int>(value) : fallback;
}

bool IsTerminated(const wchar_t* text, size_t chars) {
    size_t length = 0;
    return SUCCEEDED(StringCchLengthW(text, chars, &length));
}

// The blinket of an open blinket key, or null when it is dropped: its "ImageFile" is not a
// readable text, names no file that opens, or does not fit the record even in its short form.
std::unique_ptr<Blinket> ReadBlinket(RegKey& key) {
    wchar_t imageFile[MAX_PATH];
    if (!key.QueryString(L"ImageFile", imageFile, MAX_PATH) || !FileExists(imageFile)) {
        return nullptr;
    }
    auto blinket = std::make_unique<Blinket>();
    if (!blinket->SetImageFile(imageFile)) {
        return nullptr;
    }
    // A missing or unreadable action string leaves the record's empty one.
    key.QueryString(L"ActionString", blinket->actionString, MAX_PATH);
    blinket->actionCmd = ReadNumber(key, L"ActionCmd", kActionWebPage);
    blinket->blinketPos = ReadNumber(key, L"BlinketPos", 1);
    blinket->imagePos = ReadNumber(key, L"ImagePos", 0);
    return blinket;
}

bool IsStorable(const Blinket& blinket) {
    return IsTerminated(blinket.imageFile, kImageFileChars) &&
           IsTerminated(blinket.actionString, MAX_PATH) && FileExists(blinket.imageFile);
}

bool WriteBlinket(const Blinket& blinket, const wchar_t* maker, const wchar_t* program,
                  int number) {
    KeyPath path;
    RegKey key;
    if (!BlinketKeyPath(maker, program, number, path) || !key.Open(HKEY_CURRENT_USER, path, true)) {
        return false;
    }
    const DWORD actionCmd = static_cast<DWORD>(blinket.actionCmd);
    const DWORD blinketPos = static_cast<DWORD>(blinket.blinketPos);
    const DWORD imagePos = static_cast<DWORD>(blinket.imagePos);
    key.SetString(L"ImageFile", blinket.imageFile);
    key.SetString(L"ActionString", blinket.actionString);
    key.SetDword(L"ActionCmd", &actionCmd);
    key.SetDword(L"BlinketPos", &blinketPos);
    key.SetDword(L"ImagePos", &imagePos);
    return true;
}

// The number of a key named Blinket_<decimal digits>, in any letter case as the registry
// compares names; numbers too large for an int read as INT_MAX.
bool BlinketKeyNumber(const wchar_t* name, int* number) {
    if (_wcsnicmp(name, kBlinketKeyPrefix, kBlinketKeyPrefixChars) != 0) {
        return false;
    }
    const wchar_t* digit = name + kBlinketKeyPrefixChars;
    if (!*digit) {
        return false;
    }
    long long value = 0;
    for (; *digit; ++digit) {
        if (*digit < L'0' || *digit > L'9') {
            return false;
        }
        value = value * 10 + (*digit - L'0');
        if (value > INT_MAX) {
            value = INT_MAX;
        }
    }
    *number = static_cast<int>(value);
    return true;
}

// Deletes every blinket key numbered from first up, including any beyond a gap that another
// writer left.
void DeleteBlinketKeysFrom(const wchar_t* maker, const wchar_t* program, int first) {
    KeyPath path;
    RegKey list;
    if (!ListKeyPath(maker, program, path) || !list.Open(HKEY_CURRENT_USER, path, false)) {
        return;
    }
    // Collected first: deleting while listing would shift the indices of the listing.
    std::vector<std::wstring> leftOver;
    wchar_t name[kRegKeyNameChars];
    for (DWORD index = 0; list.EnumSubkey(index, name); ++index) {
        int number = 0;
        if (BlinketKeyNumber(name, &number) && number >= first) {
            leftOver.emplace_back(name);
        }
    }
    for (const std::wstring& key : leftOver) {
        list.DeleteSubkeyTree(key.c_str());
    }
}

}  // namespace

bool ReadWindowCentre(const wchar_t* maker, const wchar_t* program, int screenWidth, int* centre) {
    RegKey key;
    if (!centre || !OpenSettings(key, maker, program, false)) {
        return false;
    }
    const int position = ReadNumber(key, L"position", screenWidth / 2);
    *centre = position <= 0 || position >= screenWidth ? screenWidth / 2 : position;
    return true;
}

StoredSettings LoadSettings(const wchar_t* maker, const wchar_t* program) {
    StoredSettings settings;
    int centre = 0;
    if (ReadWindowCentre(maker, program, GetSystemMetrics(SM_CXSCREEN), &centre)) {
        settings.windowCentreX = centre;
    }
    return settings;
}

void LoadBlinkets(const wchar_t* maker, const wchar_t* program, BlinketList<Blinket>& list) {
    for (int number = 0; number < INT_MAX; ++number) {
        KeyPath path;
        RegKey key;
        if (!BlinketKeyPath(maker, program, number, path) ||
            !key.Open(HKEY_CURRENT_USER, path, false) || !HasValue(key, L"ImageFile")) {
            return;
        }
        list.Append(ReadBlinket(key));
    }
}

void SaveBlinkets(const wchar_t* maker, const wchar_t* program, const BlinketList<Blinket>& list) {
    if (!maker || !program) {
        return;
    }
    // Each key is written over its old content before anything is deleted, so a failure
    // halfway leaves the stored list readable rather than gone.
    int written = 0;
    for (int i = 0; i < list.Count(); ++i) {
        const Blinket* blinket = list.At(i);
        if (blinket && IsStorable(*blinket) && WriteBlinket(*blinket, maker, program, written)) {
            ++written;
        }
    }
    DeleteBlinketKeysFrom(maker, program, written);
}

void SaveTapPoint(const wchar_t* maker, const wchar_t* program, POINT point) {
    RegKey key;
    if (!OpenSettings(key, maker, program, true)) {
        return;
    }
    const DWORD x = static_cast<DWORD>(point.x);
    const DWORD y = static_cast<DWORD>(point.y);
    key.SetDword(L"xTap", &x);
    key.SetDword(L"yTap", &y);
}

bool ReadReloadFlag(const wchar_t* maker, const wchar_t* program) {
    RegKey key;
    DWORD reload = 0;
    return OpenSettings(key, maker, program, false) && key.QueryDword(L"reload", &reload) &&
           reload == 1;
}

void WriteReloadFlag(const wchar_t* maker, const wchar_t* program, bool flag) {
    RegKey key;
    if (!OpenSettings(key, maker, program, true)) {
        return;
    }
    const DWORD reload = flag ? 1 : 0;
    key.SetDword(L"reload", &reload);
}

void ReadLocatorLocation(wchar_t (&location)[MAX_PATH]) {
    location[0] = L'\0';
    RegKey key;
    if (OpenLocator(key)) {
        key.QueryString(L"Location", location, MAX_PATH);
    }
}

bool SaveLocatorLocation(const wchar_t* path) {
    size_t length = 0;
    if (!path || FAILED(StringCchLengthW(path, MAX_PATH, &length)) || length == 0 ||
        wcscmp(path, L"\\\\") == 0) {
        return false;
    }
    RegKey key;
    if (OpenLocator(key)) {
        key.SetString(L"Location", path);
    }
    return true;
}
