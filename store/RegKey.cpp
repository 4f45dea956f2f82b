#include "store/RegKey.h"

#include "store/RegKeyFaults.h"

#include <strsafe.h>

#include <algorithm>
#include <cwchar>

namespace {

// Value names hold at most 16,383 characters.
constexpr DWORD kValueNameChars = 16384;
// Most values fit at once; a larger one is read again at the size the registry reports.
constexpr DWORD kFirstValueBytes = 4096;
// A value that grows between two reads is read again, a few times at most.
constexpr int kValueReadTries = 8;

// The write calls still allowed before a test's stop, or -1 for no stop.
int writesLeft = -1;
bool writesStopped = false;

bool MayWrite() {
    if (writesLeft < 0) {
        return true;
    }
    if (writesLeft == 0) {
        writesStopped = true;
        return false;
    }
    --writesLeft;
    return true;
}

// Windows CE ignores the access mask of a registry key; desktop Windows grants only what is
// asked for. One handle here serves reading, writing, listing and deleting subkeys, so it asks
// for all of that, and falls back to reading alone where the user may not write.
HKEY OpenLevel(HKEY parent, const wchar_t* name, bool create) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, name, 0, KEY_READ | KEY_WRITE, &key) == ERROR_SUCCESS) {
        return key;
    }
    if (RegOpenKeyExW(parent, name, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        return key;
    }
    if (create && MayWrite() &&
        RegCreateKeyExW(parent, name, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        return key;
    }
    return nullptr;
}

}  // namespace

bool RegKey::Open(HKEY root, const wchar_t* path, bool create) {
    wchar_t work[kRegKeyPathChars + 1];
    const bool fits = root && path && SUCCEEDED(StringCchCopyW(work, ARRAYSIZE(work), path));
    CloseAll();
    if (!fits) {
        return false;
    }
    // All components are checked before any key is created, so a refused path creates nothing.
    int count = 0;
    for (const wchar_t* part = work; *part;) {
        if (*part == L'\\') {
            ++part;
            continue;
        }
        const size_t length = wcscspn(part, L"\\");
        if (count == kRegKeyMaxLevels || length >= kRegKeyNameChars) {
            CloseAll();
            return false;
        }
        StringCchCopyNW(levels[count].name, kRegKeyNameChars, part, length);
        ++count;
        part += length;
    }
    if (count == 0) {
        return false;
    }
    while (depth < count) {
        const HKEY parent = depth == 0 ? root : levels[depth - 1].key;
        levels[depth].key = OpenLevel(parent, levels[depth].name, create);
        ++depth;
        if (!levels[depth - 1].key) {
            CloseAll();
            return false;
        }
    }
    return true;
}

void RegKey::CloseAll() {
    for (int i = 0; i < depth; ++i) {
        if (levels[i].key) {
            RegCloseKey(levels[i].key);
        }
    }
    depth = 0;
    for (Level& level : levels) {
        level.key = nullptr;
        level.name[0] = L'\0';
    }
}

bool RegKey::QueryValue(const wchar_t* name, void* data, DWORD* size) {
    return Current() && size &&
           RegQueryValueExW(Current(), name, nullptr, nullptr, static_cast<BYTE*>(data), size) ==
               ERROR_SUCCESS;
}

bool RegKey::QueryDword(const wchar_t* name, DWORD* value) {
    if (!value) {
        return false;
    }
    *value = 0;
    DWORD type = REG_NONE;
    DWORD stored = 0;
    DWORD size = sizeof(stored);
    // The type and size are checked: a REG_SZ "1" is four bytes too, and read raw it would be
    // taken for the number 0x31.
    if (!Current() ||
        RegQueryValueExW(Current(), name, nullptr, &type, reinterpret_cast<BYTE*>(&stored),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(stored)) {
        return false;
    }
    *value = stored;
    return true;
}

bool RegKey::QueryString(const wchar_t* name, wchar_t* text, DWORD chars) {
    bool expands = false;
    if (!QueryText(name, text, chars, &expands) || expands) {
        if (text && chars > 0) {
            text[0] = L'\0';
        }
        return false;
    }
    return true;
}

bool RegKey::QueryText(const wchar_t* name, wchar_t* text, DWORD chars, bool* expands) {
    if (!text || chars == 0) {
        return false;
    }
    DWORD type = REG_NONE;
    DWORD size = chars * sizeof(wchar_t);
    const bool read = Current() &&
                      RegQueryValueExW(Current(), name, nullptr, &type,
                                       reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS &&
                      (type == REG_SZ || type == REG_EXPAND_SZ);
    // The stored data need not end with a terminator; one is supplied when there is room for
    // it, and text that fills the whole buffer without one is too long. Terminators after the
    // text are harmless; one before its end would cut it.
    const DWORD units = read ? size / sizeof(wchar_t) : 0;
    DWORD length = units;
    while (length > 0 && text[length - 1] == L'\0') {
        --length;
    }
    if (!read || (units == chars && text[units - 1] != L'\0') || wcsnlen(text, length) != length) {
        text[0] = L'\0';
        return false;
    }
    if (units < chars) {
        text[units] = L'\0';
    }
    if (expands) {
        *expands = type == REG_EXPAND_SZ;
    }
    return true;
}

bool RegKey::SetString(const wchar_t* name, const wchar_t* text) {
    return SetText(name, text, false);
}

bool RegKey::SetText(const wchar_t* name, const wchar_t* text, bool expands) {
    if (!Current() || !text || !MayWrite()) {
        return false;
    }
    const DWORD size = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    return RegSetValueExW(Current(), name, 0, expands ? REG_EXPAND_SZ : REG_SZ,
                          reinterpret_cast<const BYTE*>(text), size) == ERROR_SUCCESS;
}

bool RegKey::ReadAllValues(std::vector<RawValue>& values) {
    values.clear();
    DWORD count = 0;
    if (!Current() ||
        RegQueryInfoKeyW(Current(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    std::vector<wchar_t> name(kValueNameChars);
    std::vector<BYTE> data(kFirstValueBytes);
    bool whole = true;
    for (DWORD index = 0; index < count; ++index) {
        LONG result = ERROR_MORE_DATA;
        DWORD chars = 0;
        DWORD type = REG_NONE;
        DWORD size = 0;
        for (int tries = 0; result == ERROR_MORE_DATA && tries < kValueReadTries; ++tries) {
            chars = kValueNameChars;
            size = static_cast<DWORD>(data.size());
            result = RegEnumValueW(Current(), index, name.data(), &chars, nullptr, &type,
                                   data.data(), &size);
            if (result == ERROR_MORE_DATA) {
                data.resize(std::max<size_t>(size, data.size() * 2));
            }
        }
        // Values deleted meanwhile end the list early; one that cannot be read is passed over.
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result != ERROR_SUCCESS) {
            whole = false;
            continue;
        }
        values.push_back({std::wstring(name.data(), chars), type,
                          std::vector<BYTE>(data.begin(), data.begin() + size)});
    }
    return whole;
}

bool RegKey::SetValue(const RawValue& value) {
    return Current() && MayWrite() &&
           RegSetValueExW(Current(), value.name.c_str(), 0, value.type, value.data.data(),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

void RegKey::SetDword(const wchar_t* name, const DWORD* value) {
    if (!Current() || !value || !MayWrite()) {
        return;
    }
    RegSetValueExW(Current(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(value),
                   sizeof(*value));
}

bool RegKey::EnumSubkey(DWORD index, wchar_t (&name)[kRegKeyNameChars]) {
    DWORD chars = kRegKeyNameChars;
    if (!Current() || RegEnumKeyExW(Current(), index, name, &chars, nullptr, nullptr, nullptr,
                                    nullptr) != ERROR_SUCCESS) {
        name[0] = L'\0';
        return false;
    }
    return true;
}

bool RegKey::DeleteSubkeyTree(const wchar_t* name) {
    // Windows CE's RegDeleteKey removes a key together with its subkeys; desktop RegDeleteKeyW
    // refuses a key that has any, so the tree deletion stands in for it.
    return Current() && name && MayWrite() && RegDeleteTreeW(Current(), name) == ERROR_SUCCESS;
}

bool RegKey::DeleteValue(const wchar_t* name) {
    return Current() && MayWrite() && RegDeleteValueW(Current(), name) == ERROR_SUCCESS;
}

void RegKey::Flush() {
    if (Current()) {
        RegFlushKey(Current());
    }
}

void StopRegistryWritesAfter(int writes) {
    writesLeft = writes < 0 ? -1 : writes;
    writesStopped = false;
}

bool RegistryWritesStopped() {
    return writesStopped;
}
