// Direct registry access for tests: values of any type and size written and read around the code
// under test, as another program or an older version would leave them.
#pragma once

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace rawreg {

// The program's keys below HKEY_CURRENT_USER.
inline const std::wstring kSettingsKey = L"Software\\Tarnwick\\Ocellix";
inline const std::wstring kListKey = kSettingsKey + L"\\Blinkets";
inline const std::wstring kLocatorKey = L"Software\\Tarnwick\\Blinkets";

// The key of the blinket of that number (0 to 999).
inline std::wstring BlinketKey(int number) {
    return kListKey + (number < 10 ? L"\\Blinket_0" : L"\\Blinket_") + std::to_wstring(number);
}

inline bool SetValue(const std::wstring& key, const wchar_t* name, DWORD type, const void* data,
                     DWORD bytes) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &handle, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LONG result =
        RegSetValueExW(handle, name, 0, type, static_cast<const BYTE*>(data), bytes);
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

inline bool SetDword(const std::wstring& key, const wchar_t* name, DWORD value) {
    return SetValue(key, name, REG_DWORD, &value, sizeof(value));
}

// A REG_SZ with its terminator.
inline bool SetString(const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    return SetValue(key, name, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// A REG_SZ whose stored bytes stop before the terminator.
inline bool SetUnterminated(const std::wstring& key, const wchar_t* name,
                            const std::wstring& text) {
    return SetValue(key, name, REG_SZ, text.data(),
                    static_cast<DWORD>(text.size() * sizeof(wchar_t)));
}

inline bool KeyExists(const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(handle);
    return true;
}

// The numbers of subkeys and values of the key; false when it cannot be opened.
inline bool CountEntries(const std::wstring& key, DWORD* subkeys, DWORD* values) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return false;
    }
    const LONG result = RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, subkeys, nullptr,
                                         nullptr, values, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

struct Value {
    bool found = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

// The value as stored: type and raw bytes, with nothing added.
inline Value GetValue(const std::wstring& key, const wchar_t* name) {
    Value value;
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return value;
    }
    DWORD size = 0;
    if (RegQueryValueExW(handle, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.bytes.resize(size);
        value.found = RegQueryValueExW(handle, name, nullptr, &value.type, value.bytes.data(),
                                       &size) == ERROR_SUCCESS;
        value.bytes.resize(size);
    }
    RegCloseKey(handle);
    return value;
}

inline bool operator==(const Value& a, const Value& b) {
    return a.found == b.found && a.type == b.type && a.bytes == b.bytes;
}

// The names of the key's subkeys, as the registry lists them.
inline std::vector<std::wstring> Subkeys(const std::wstring& key) {
    std::vector<std::wstring> names;
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return names;
    }
    wchar_t name[256];
    DWORD chars = 256;
    for (DWORD i = 0; RegEnumKeyExW(handle, i, name, &chars, nullptr, nullptr, nullptr, nullptr) ==
                      ERROR_SUCCESS;
         ++i, chars = 256) {
        names.push_back(name);
    }
    RegCloseKey(handle);
    return names;
}

// Every value of the key by its name, each read as GetValue reads it.
inline std::map<std::wstring, Value> Values(const std::wstring& key) {
    std::map<std::wstring, Value> values;
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return values;
    }
    std::vector<wchar_t> name(16384);
    DWORD chars = 16384;
    for (DWORD i = 0; RegEnumValueW(handle, i, name.data(), &chars, nullptr, nullptr, nullptr,
                                    nullptr) == ERROR_SUCCESS;
         ++i, chars = 16384) {
        const std::wstring text(name.data(), chars);
        values[text] = GetValue(key, text.c_str());
    }
    RegCloseKey(handle);
    return values;
}

// Every value of every key Blinket_<number> below the key, in numeric order.
inline std::vector<std::map<std::wstring, Value>> ListValues(const std::wstring& key = kListKey) {
    std::map<long, std::wstring> numbered;
    for (const std::wstring& name : Subkeys(key)) {
        if (_wcsnicmp(name.c_str(), L"Blinket_", 8) == 0 && name.size() > 8 &&
            name.find_first_not_of(L"0123456789", 8) == std::wstring::npos) {
            numbered[wcstol(name.c_str() + 8, nullptr, 10)] = name;
        }
    }
    std::vector<std::map<std::wstring, Value>> keys;
    for (const auto& [number, name] : numbered) {
        keys.push_back(Values(key + L"\\" + name));
    }
    return keys;
}

// The value when it is a REG_DWORD of four bytes, else nothing.
inline std::optional<DWORD> Dword(const std::wstring& key, const wchar_t* name) {
    const Value value = GetValue(key, name);
    DWORD stored = 0;
    if (!value.found || value.type != REG_DWORD || value.bytes.size() != sizeof(stored)) {
        return std::nullopt;
    }
    memcpy(&stored, value.bytes.data(), sizeof(stored));
    return stored;
}

}  // namespace rawreg
