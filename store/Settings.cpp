#include "store/Settings.h"

#include "base/ShellHelpers.h"
#include "store/RegKey.h"

#include <strsafe.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <memory>
#include <string>
#include <unordered_set>
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

// "position" where it is a usable centre on a screen of the width, else the screen's middle.
int WindowCentreFrom(RegKey& key, int screenWidth) {
    const int position = ReadNumber(key, L"position", screenWidth / 2);
    return position <= 0 || position >= screenWidth ? screenWidth / 2 : position;
}

bool IsTerminated(const wchar_t* text, size_t chars) {
    size_t length = 0;
    return SUCCEEDED(StringCchLengthW(text, chars, &length));
}

// A number value that may be missing (the fallback stands in) but, when there, is a REG_DWORD.
bool ReadOptionalNumber(RegKey& key, const wchar_t* name, int fallback, int* number) {
    DWORD value = 0;
    if (key.QueryDword(name, &value)) {
        *number = static_cast<int>(value);
        return true;
    }
    *number = fallback;
    return !HasValue(key, name);
}

// The blinket of an open blinket key; null when the key holds what the record cannot keep as it
// is: no image path, a value of another type, or a text longer than the record's field. The
// image file need not be there: a blinket whose picture is missing for now is kept.
std::unique_ptr<Blinket> ReadBlinket(RegKey& key) {
    auto blinket = std::make_unique<Blinket>();
    wchar_t imageFile[kImageFileChars];
    bool imageExpands = false;
    if (!key.QueryText(L"ImageFile", imageFile, kImageFileChars, &imageExpands) || !imageFile[0]) {
        return nullptr;
    }
    // A value with variables is kept exactly as written; a plain path in its long form, which
    // earlier versions sometimes stored as a short one.
    if (imageExpands) {
        StringCchCopyW(blinket->imageFile, kImageFileChars, imageFile);
        blinket->imageFileExpands = true;
    } else if (!blinket->SetImageFile(imageFile)) {
        return nullptr;
    }
    if (HasValue(key, L"ActionString") &&
        !key.QueryText(L"ActionString", blinket->actionString, kActionStringChars,
                       &blinket->actionStringExpands)) {
        return nullptr;
    }
    if (!ReadOptionalNumber(key, L"ActionCmd", kActionWebPage, &blinket->actionCmd) ||
        !ReadOptionalNumber(key, L"BlinketPos", 1, &blinket->blinketPos) ||
        !ReadOptionalNumber(key, L"ImagePos", 0, &blinket->imagePos)) {
        return nullptr;
    }
    return blinket;
}

// A blinket with no image path is one that Add left unfinished: nothing to store.
bool IsStorable(const Blinket& blinket) {
    return blinket.imageFile[0] && IsTerminated(blinket.imageFile, kImageFileChars) &&
           IsTerminated(blinket.actionString, kActionStringChars);
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

struct NumberedKey {
    int number = 0;
    std::wstring name;
};

// The blinket keys below the list key, in numeric order whatever gaps the numbering has.
std::vector<NumberedKey> ListBlinketKeys(RegKey& list) {
    std::vector<NumberedKey> keys;
    wchar_t name[kRegKeyNameChars];
    for (DWORD index = 0; list.EnumSubkey(index, name); ++index) {
        int number = 0;
        if (BlinketKeyNumber(name, &number)) {
            keys.push_back({number, name});
        }
    }
    std::sort(keys.begin(), keys.end(), [](const NumberedKey& a, const NumberedKey& b) {
        return a.number != b.number ? a.number < b.number : a.name < b.name;
    });
    return keys;
}

bool OpenBlinketKey(RegKey& key, const wchar_t* maker, const wchar_t* program,
                    const std::wstring& name, bool create) {
    KeyPath path;
    return maker && program &&
           SUCCEEDED(StringCchPrintfW(path, MAX_PATH, L"\\Software\\%s\\%s\\Blinkets\\%s", maker,
                                      program, name.c_str())) &&
           key.Open(HKEY_CURRENT_USER, path, create);
}

std::wstring BlinketKeyName(int number) {
    wchar_t name[kRegKeyNameChars];
    StringCchPrintfW(name, kRegKeyNameChars, L"%s%02d", kBlinketKeyPrefix, number);
    return name;
}

void WriteBlinket(const Blinket& blinket, RegKey& key) {
    const DWORD actionCmd = static_cast<DWORD>(blinket.actionCmd);
    const DWORD blinketPos = static_cast<DWORD>(blinket.blinketPos);
    const DWORD imagePos = static_cast<DWORD>(blinket.imagePos);
    key.SetText(L"ImageFile", blinket.imageFile, blinket.imageFileExpands);
    key.SetText(L"ActionString", blinket.actionString, blinket.actionStringExpands);
    key.SetDword(L"ActionCmd", &actionCmd);
    key.SetDword(L"BlinketPos", &blinketPos);
    key.SetDword(L"ImagePos", &imagePos);
}

// A stored blinket the program cannot hold, with the values it had when the save began.
struct KeptKey {
    std::wstring name;
    std::vector<RegKey::RawValue> values;
};

std::vector<KeptKey> KeysNotHeld(const wchar_t* maker, const wchar_t* program,
                                 const std::vector<NumberedKey>& stored) {
    std::vector<KeptKey> kept;
    for (const NumberedKey& numbered : stored) {
        RegKey key;
        if (!OpenBlinketKey(key, maker, program, numbered.name, false) || ReadBlinket(key)) {
            continue;
        }
        KeptKey one{numbered.name, {}};
        RegKey::RawValue value;
        for (DWORD index = 0; key.EnumValue(index, value); ++index) {
            one.values.push_back(value);
        }
        kept.push_back(std::move(one));
    }
    return kept;
}

}  // namespace

StoredSettings LoadSettings(const wchar_t* maker, const wchar_t* program, int screenWidth) {
    StoredSettings settings;
    RegKey key;
    if (!OpenSettings(key, maker, program, false)) {
        return settings;
    }
    settings.windowCentreX = WindowCentreFrom(key, screenWidth);
    DWORD follow = 1;
    settings.followPointer = !key.QueryDword(L"FollowPointer", &follow) || follow != 0;
    return settings;
}

void ReadWindowMonitor(const wchar_t* maker, const wchar_t* program,
                       wchar_t (&monitor)[kMonitorNameChars]) {
    monitor[0] = L'\0';
    RegKey key;
    if (OpenSettings(key, maker, program, false)) {
        key.QueryString(L"Monitor", monitor, kMonitorNameChars);
    }
}

void SaveWindowPlace(const wchar_t* maker, const wchar_t* program, int position,
                     const wchar_t* monitor) {
    RegKey key;
    if (!monitor || !OpenSettings(key, maker, program, true)) {
        return;
    }
    const DWORD value = static_cast<DWORD>(position);
    key.SetDword(L"position", &value);
    key.SetString(L"Monitor", monitor);
}

void LoadBlinkets(const wchar_t* maker, const wchar_t* program, BlinketList<Blinket>& list) {
    KeyPath path;
    RegKey listKey;
    if (!ListKeyPath(maker, program, path) || !listKey.Open(HKEY_CURRENT_USER, path, false)) {
        return;
    }
    for (const NumberedKey& numbered : ListBlinketKeys(listKey)) {
        RegKey key;
        if (OpenBlinketKey(key, maker, program, numbered.name, false)) {
            list.Append(ReadBlinket(key));
        }
    }
}

void SaveBlinkets(const wchar_t* maker, const wchar_t* program, const BlinketList<Blinket>& list) {
    KeyPath path;
    RegKey listKey;
    if (!ListKeyPath(maker, program, path) || !listKey.Open(HKEY_CURRENT_USER, path, true)) {
        return;
    }
    const std::vector<KeptKey> kept = KeysNotHeld(maker, program, ListBlinketKeys(listKey));
    std::unordered_set<std::wstring> keptNames;
    for (const KeptKey& one : kept) {
        keptNames.insert(FoldedCase(one.name));
    }
    // Key names in lower case, as the registry compares them.
    std::unordered_set<std::wstring> written;
    // The next key in order gets what `write` puts in it; a kept key already in its place is
    // left untouched. A key of one the program cannot hold is emptied first, so that nothing of
    // it lingers beside what takes its place.
    const auto writeNext = [&](const KeptKey* keptKey, const auto& write) {
        const std::wstring name = BlinketKeyName(static_cast<int>(written.size()));
        written.insert(FoldedCase(name));
        if (keptKey && FoldedCase(keptKey->name) == FoldedCase(name)) {
            return;
        }
        if (keptKey || keptNames.count(FoldedCase(name))) {
            listKey.DeleteSubkeyTree(name.c_str());
        }
        RegKey key;
        if (OpenBlinketKey(key, maker, program, name, true)) {
            write(key);
        }
    };
    for (int i = 0; i < list.Count(); ++i) {
        const Blinket* blinket = list.At(i);
        if (blinket && IsStorable(*blinket)) {
            writeNext(nullptr, [blinket](RegKey& key) { WriteBlinket(*blinket, key); });
        }
    }
    // What the program cannot hold follows the blinkets it shows, each as it was.
    for (const KeptKey& one : kept) {
        writeNext(&one, [&one](RegKey& key) {
            for (const RegKey::RawValue& value : one.values) {
                key.SetValue(value);
            }
        });
    }
    for (const NumberedKey& old : ListBlinketKeys(listKey)) {
        if (!written.count(FoldedCase(old.name))) {
            listKey.DeleteSubkeyTree(old.name.c_str());
        }
    }
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
