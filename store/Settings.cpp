#include "store/Settings.h"

#include "store/RegKey.h"

#include <strsafe.h>

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

// The file locator's key keeps the name of the program Ocellix grew from, so that a location
// remembered there is found again.
constexpr wchar_t kLocatorProgramName[] = L"Blinkets";

using KeyPath = wchar_t[MAX_PATH];

bool SettingsKeyPath(const wchar_t* maker, const wchar_t* program, KeyPath& path) {
    return maker && program &&
           SUCCEEDED(StringCchPrintfW(path, MAX_PATH, L"\\Software\\%s\\%s", maker, program));
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
bool NumberOf(const StoredKey& key, const wchar_t* name, int fallback, int* number) {
    const RegKey::RawValue* value = FindValue(key, name);
    DWORD stored = static_cast<DWORD>(fallback);
    if (value && !DwordOf(*value, &stored)) {
        return false;
    }
    *number = static_cast<int>(stored);
    return true;
}

// Text with its one terminator, as REG_SZ or REG_EXPAND_SZ.
RegKey::RawValue TextValue(const wchar_t* name, const wchar_t* text, bool expands) {
    const auto* bytes = reinterpret_cast<const BYTE*>(text);
    return {name, static_cast<DWORD>(expands ? REG_EXPAND_SZ : REG_SZ),
            std::vector<BYTE>(bytes, bytes + (wcslen(text) + 1) * sizeof(wchar_t))};
}

RegKey::RawValue NumberValue(const wchar_t* name, int number) {
    const DWORD stored = static_cast<DWORD>(number);
    const auto* bytes = reinterpret_cast<const BYTE*>(&stored);
    return {name, REG_DWORD, std::vector<BYTE>(bytes, bytes + sizeof(stored))};
}

// A blinket with no image path is one that Add left unfinished, and the stand-in is the
// program's own: neither is the user's to store.
bool IsStorable(const Blinket& blinket) {
    return !blinket.standIn && blinket.imageFile[0] &&
           IsTerminated(blinket.imageFile, kImageFileChars) &&
           IsTerminated(blinket.actionString, kActionStringChars);
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

std::unique_ptr<Blinket> BlinketOf(const StoredKey& key) {
    auto blinket = std::make_unique<Blinket>();
    const RegKey::RawValue* image = FindValue(key, kImageFileValue);
    std::wstring text;
    bool imageExpands = false;
    if (!image || !TextOf(*image, kImageFileChars, text, &imageExpands) || text.empty()) {
        return nullptr;
    }
    // A value with variables is kept exactly as written; a plain path in its long form, which
    // earlier versions sometimes stored as a short one.
    if (imageExpands) {
        StringCchCopyW(blinket->imageFile, kImageFileChars, text.c_str());
        blinket->imageFileExpands = true;
    } else if (!blinket->SetImageFile(text.c_str())) {
        return nullptr;
    }
    if (const RegKey::RawValue* action = FindValue(key, kActionStringValue)) {
        if (!TextOf(*action, kActionStringChars, text, &blinket->actionStringExpands)) {
            return nullptr;
        }
        StringCchCopyW(blinket->actionString, kActionStringChars, text.c_str());
    }
    if (!NumberOf(key, kActionCmdValue, kActionWebPage, &blinket->actionCmd) ||
        !NumberOf(key, kBlinketPosValue, 1, &blinket->blinketPos) ||
        !NumberOf(key, kImagePosValue, 0, &blinket->imagePos)) {
        return nullptr;
    }
    return blinket;
}

StoredKey KeyOf(const Blinket& blinket) {
    return {{TextValue(kImageFileValue, blinket.imageFile, blinket.imageFileExpands),
             TextValue(kActionStringValue, blinket.actionString, blinket.actionStringExpands),
             NumberValue(kActionCmdValue, blinket.actionCmd),
             NumberValue(kBlinketPosValue, blinket.blinketPos),
             NumberValue(kImagePosValue, blinket.imagePos)}};
}

void LoadBlinkets(const wchar_t* maker, const wchar_t* program, BlinketList<Blinket>& list) {
    if (!maker || !program) {
        return;
    }
    FinishInterruptedSave(maker, program);
    StoredList stored;
    ReadStoredList(maker, program, stored);
    for (const StoredKey& key : stored) {
        list.Append(BlinketOf(key));
    }
}

bool SaveBlinkets(const wchar_t* maker, const wchar_t* program, const BlinketList<Blinket>& list) {
    if (!maker || !program) {
        return false;
    }
    FinishInterruptedSave(maker, program);
    StoredList stored;
    if (!ReadStoredList(maker, program, stored)) {
        return false;
    }
    StoredList next;
    for (int i = 0; i < list.Count(); ++i) {
        const Blinket* blinket = list.At(i);
        if (blinket && IsStorable(*blinket)) {
            next.push_back(KeyOf(*blinket));
        }
    }
    // What the program cannot hold follows the blinkets it shows, each as it was.
    for (const StoredKey& key : stored) {
        if (!BlinketOf(key)) {
            next.push_back(key);
        }
    }
    return ReplaceStoredList(maker, program, next);
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
