// The program's one way into the registry: a key path opened component by component from a
// root key, with every level's handle kept so that all of them close in one step.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

constexpr int kRegKeyMaxLevels = 15;
// Code units of one path component, terminator included.
constexpr int kRegKeyNameChars = 256;
// Code units of a whole path, terminator excluded.
constexpr int kRegKeyPathChars = 260;

class RegKey {
public:
    // A value of any type, as stored.
    struct RawValue {
        std::wstring name;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
        bool operator==(const RawValue&) const = default;
    };

    struct Level {
        HKEY key = nullptr;
        wchar_t name[kRegKeyNameChars] = {};
    };

    RegKey() = default;
    ~RegKey() { CloseAll(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // Opens the path below the root, creating missing components when asked. Leading, trailing
    // and doubled backslashes name no component. On failure nothing is left open. A path of no
    // component, of more than 15 components, of a component over 255 characters or of more
    // than 260 characters is refused rather than cut, since a cut path names another key.
    bool Open(HKEY root, const wchar_t* path, bool create);
    void CloseAll();

    // Raw data of any type; size is the capacity in bytes on entry and the stored size after
    // success. The data need not be terminated.
    bool QueryValue(const wchar_t* name, void* data, DWORD* size);
    // A REG_DWORD of exactly four bytes; anything else reads as missing and leaves 0.
    bool QueryDword(const wchar_t* name, DWORD* value);
    // A REG_SZ that fits the buffer with its terminator. The buffer is always terminated: empty
    // after a failure, even when the stored text lacks its terminator.
    bool QueryString(const wchar_t* name, wchar_t* text, DWORD chars);
    // A REG_SZ or a REG_EXPAND_SZ, read as QueryString reads a REG_SZ; expands tells which it
    // was. The text is not expanded. A text with a NUL inside (not only after it) is refused: read
    // as a string, it would be cut there.
    bool QueryText(const wchar_t* name, wchar_t* text, DWORD chars, bool* expands);
    // Writes answer whether they took; most callers have no use for it.
    bool SetString(const wchar_t* name, const wchar_t* text);
    // A REG_EXPAND_SZ when expands is set, else a REG_SZ.
    bool SetText(const wchar_t* name, const wchar_t* text, bool expands);
    // Every value of the current key, whatever its type and size. A value that cannot be read
    // does not end the reading: the others are read, and the result is false.
    bool ReadAllValues(std::vector<RawValue>& values);
    bool SetValue(const RawValue& value);
    bool DeleteValue(const wchar_t* name);
    // Writes the current key's hive to disk before the caller goes on.
    void Flush();
    void SetDword(const wchar_t* name, const DWORD* value);

    // The name of the current key's subkey at the index; false past the last one.
    bool EnumSubkey(DWORD index, wchar_t (&name)[kRegKeyNameChars]);
    // Deletes the current key's subkey with everything below it.
    bool DeleteSubkeyTree(const wchar_t* name);
    // The current key, as a root for opening a path below it; null when nothing is open.
    HKEY Handle() const { return Current(); }

    int depth = 0;
    Level levels[kRegKeyMaxLevels];

private:
    HKEY Current() const { return depth > 0 ? levels[depth - 1].key : nullptr; }
};
