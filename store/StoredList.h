// The list of blinkets as the registry stores it, key by key with every value as it is, and its
// replacement, which a kill at any moment cannot leave half done.
//
// Under HKEY_CURRENT_USER\Software\<maker>\<program> the key Blinkets holds one key per blinket,
// Blinket_00, Blinket_01, ..., read in numeric order. Beside it lie BlinketsPrevious, the list
// that the last replacement replaced, and, only while a replacement is under way, BlinketsSaving
// and the value BlinketsSaveStep.
#pragma once

#include "store/RegKey.h"

#include <windows.h>

#include <string>
#include <vector>

// One key of the list: its values as stored, in the order the registry gives them.
struct StoredKey {
    std::vector<RegKey::RawValue> values;
    bool operator==(const StoredKey&) const = default;
};
using StoredList = std::vector<StoredKey>;

// The value of that name, in any letter case as the registry compares names, or null.
const RegKey::RawValue* FindValue(const StoredKey& key, const wchar_t* name);
// A REG_SZ or REG_EXPAND_SZ whose text has fewer than `chars` code units, with or without
// terminators after it; false for another type, an odd size, or a NUL inside the text, which a
// program reading it as a string would cut there. expands tells a REG_EXPAND_SZ.
bool TextOf(const RegKey::RawValue& value, size_t chars, std::wstring& text,
            bool* expands = nullptr);
// A REG_DWORD of exactly four bytes.
bool DwordOf(const RegKey::RawValue& value, DWORD* number);
// The number of a key named Blinket_<decimal digits>, in any letter case; numbers too large for
// an int read as INT_MAX. False for any other name.
bool BlinketKeyNumber(const wchar_t* name, int* number);
// "Blinket_07": the name the key at that position of the list is written under.
std::wstring BlinketKeyName(int number);
// The same keys holding the same values, whatever order the registry gives the values in.
bool SameStoredList(const StoredList& a, const StoredList& b);

// The list a start would show, read without writing anything: that of a replacement which was
// interrupted after its commit, else the list key's. False when a key could not be read whole.
bool ReadStoredList(const wchar_t* maker, const wchar_t* program, StoredList& list);
// Completes a replacement that was interrupted after its commit, or discards one interrupted
// before it. Start-up calls it before it reads the list.
void FinishInterruptedSave(const wchar_t* maker, const wchar_t* program);
// Replaces the stored list by this one and keeps the one it replaces as the previous list. A
// list equal to the stored one changes nothing, so that an unchanged save keeps the previous
// list. False when the stored list could not be read whole (nothing is changed then) or does not
// read back as this one.
bool ReplaceStoredList(const wchar_t* maker, const wchar_t* program, const StoredList& list);
// The previous list; false when none is kept or it could not be read whole.
bool ReadPreviousList(const wchar_t* maker, const wchar_t* program, StoredList& list);
// Puts the previous list back and keeps the one it replaces as the previous list, so that a
// second restore undoes the first. False when there is none.
bool RestorePreviousList(const wchar_t* maker, const wchar_t* program);
