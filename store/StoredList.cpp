#include "store/StoredList.h"

#include "base/ShellHelpers.h"

#include <strsafe.h>

#include <algorithm>
#include <climits>
#include <cwchar>

// Why a kill between any two registry calls leaves exactly the old list or exactly the new one:
// the new list is first written beside the old one, into BlinketsSaving, and read back. Until
// then only BlinketsSaving has changed, and a start throws it away: the old list stands. The
// commit is one call, BlinketsSaveStep set to 1. From there each step copies from a key that no
// later step changes (the list key into BlinketsPrevious at step 1, BlinketsSaving into the list
// key at step 2), deleting what it copies into first, and moves the step on only once its copy
// reads back whole. A start that finds a step does that step again from its beginning and goes
// on to the end: the new list stands. A kill inside a step leaves at most a half-written copy,
// which the repeated step deletes first. The step value goes before BlinketsSaving does, so a
// stale BlinketsSaving is never taken for a committed one.
namespace {

constexpr wchar_t kListKey[] = L"Blinkets";
constexpr wchar_t kSavingKey[] = L"BlinketsSaving";
constexpr wchar_t kPreviousKey[] = L"BlinketsPrevious";
constexpr wchar_t kSaveStepValue[] = L"BlinketsSaveStep";
constexpr wchar_t kBlinketKeyPrefix[] = L"Blinket_";
constexpr size_t kBlinketKeyPrefixChars = ARRAYSIZE(kBlinketKeyPrefix) - 1;

// BlinketsSaveStep; missing, or any other value, means that no replacement is under way.
constexpr DWORD kStaged = 1;        // BlinketsSaving holds the new list whole: committed
constexpr DWORD kPreviousKept = 2;  // and BlinketsPrevious the list it replaces

// The program's key, or its subkey, or a key below that.
bool OpenProgramKey(RegKey& key, const wchar_t* maker, const wchar_t* program, const wchar_t* sub,
                    const wchar_t* leaf, bool create) {
    wchar_t path[MAX_PATH];
    return maker && program &&
           SUCCEEDED(StringCchPrintfW(path, MAX_PATH, L"\\Software\\%s\\%s\\%s\\%s", maker, program,
                                      sub ? sub : L"", leaf ? leaf : L"")) &&
           key.Open(HKEY_CURRENT_USER, path, create);
}

// The blinket keys of an open list key, in numeric order whatever gaps the numbering has.
std::vector<std::wstring> BlinketKeyNames(RegKey& list) {
    struct Numbered {
        int number;
        std::wstring name;
    };
    std::vector<Numbered> keys;
    wchar_t name[kRegKeyNameChars];
    for (DWORD index = 0; list.EnumSubkey(index, name); ++index) {
        int number = 0;
        if (BlinketKeyNumber(name, &number)) {
            keys.push_back({number, name});
        }
    }
    std::sort(keys.begin(), keys.end(), [](const Numbered& a, const Numbered& b) {
        return a.number != b.number ? a.number < b.number : a.name < b.name;
    });
    std::vector<std::wstring> names;
    for (Numbered& key : keys) {
        names.push_back(std::move(key.name));
    }
    return names;
}

// The blinket keys below the subkey; false when one could not be read whole. A missing subkey
// holds none; exists tells whether it is there.
bool ReadKeys(const wchar_t* maker, const wchar_t* program, const wchar_t* sub, StoredList& list,
              bool* exists = nullptr) {
    list.clear();
    RegKey parent;
    const bool found = OpenProgramKey(parent, maker, program, sub, nullptr, false);
    if (exists) {
        *exists = found;
    }
    bool whole = true;
    for (const std::wstring& name : found ? BlinketKeyNames(parent) : std::vector<std::wstring>{}) {
        RegKey key;
        StoredKey stored;
        whole = key.Open(parent.Handle(), name.c_str(), false) &&
                key.ReadAllValues(stored.values) && whole;
        list.push_back(std::move(stored));
    }
    return whole;
}

// Writes the list below the subkey, which is created even for an empty list.
void WriteKeys(const wchar_t* maker, const wchar_t* program, const wchar_t* sub,
               const StoredList& list) {
    RegKey parent;
    if (!OpenProgramKey(parent, maker, program, sub, nullptr, true)) {
        return;
    }
    for (size_t i = 0; i < list.size(); ++i) {
        RegKey key;
        if (key.Open(parent.Handle(), BlinketKeyName(static_cast<int>(i)).c_str(), true)) {
            for (const RegKey::RawValue& value : list[i].values) {
                key.SetValue(value);
            }
        }
    }
}

// Deletes the blinket keys below the subkey, and nothing else of it.
void DeleteBlinketKeys(const wchar_t* maker, const wchar_t* program, const wchar_t* sub) {
    RegKey parent;
    if (OpenProgramKey(parent, maker, program, sub, nullptr, false)) {
        for (const std::wstring& name : BlinketKeyNames(parent)) {
            parent.DeleteSubkeyTree(name.c_str());
        }
    }
}

void DeleteSubtree(const wchar_t* maker, const wchar_t* program, const wchar_t* sub) {
    RegKey key;
    RegKey settings;
    if (OpenProgramKey(key, maker, program, sub, nullptr, false) &&
        OpenProgramKey(settings, maker, program, nullptr, nullptr, false)) {
        key.CloseAll();
        settings.DeleteSubkeyTree(sub);
    }
}

// Whether the subkey holds exactly this list.
bool Holds(const wchar_t* maker, const wchar_t* program, const wchar_t* sub,
           const StoredList& list) {
    StoredList stored;
    return ReadKeys(maker, program, sub, stored) && SameStoredList(stored, list);
}

DWORD ReadStep(const wchar_t* maker, const wchar_t* program, bool* present) {
    RegKey key;
    DWORD step = 0;
    DWORD size = 0;
    *present = OpenProgramKey(key, maker, program, nullptr, nullptr, false) &&
               key.QueryValue(kSaveStepValue, nullptr, &size);
    return *present && key.QueryDword(kSaveStepValue, &step) ? step : 0;
}

void WriteStep(const wchar_t* maker, const wchar_t* program, DWORD step) {
    RegKey key;
    if (OpenProgramKey(key, maker, program, nullptr, nullptr, true)) {
        key.SetDword(kSaveStepValue, &step);
    }
}

void DeleteStep(const wchar_t* maker, const wchar_t* program) {
    RegKey key;
    if (OpenProgramKey(key, maker, program, nullptr, nullptr, false)) {
        key.DeleteValue(kSaveStepValue);
    }
}

// The blinket keys of one subkey copied in place of another's, and read back there.
bool CopyKeys(const wchar_t* maker, const wchar_t* program, const wchar_t* from,
              const wchar_t* to) {
    StoredList keys;
    ReadKeys(maker, program, from, keys);
    DeleteBlinketKeys(maker, program, to);
    WriteKeys(maker, program, to, keys);
    return Holds(maker, program, to, keys);
}

// Step 1: the list key as it stands becomes the previous list.
bool KeepPrevious(const wchar_t* maker, const wchar_t* program) {
    if (!CopyKeys(maker, program, kListKey, kPreviousKey)) {
        return false;
    }
    WriteStep(maker, program, kPreviousKept);
    return true;
}

// Step 2: the staged list becomes the list; then nothing of the replacement is left.
bool SwitchIn(const wchar_t* maker, const wchar_t* program) {
    if (!CopyKeys(maker, program, kSavingKey, kListKey)) {
        return false;
    }
    DeleteStep(maker, program);
    DeleteSubtree(maker, program, kSavingKey);
    return true;
}

// Values in an order of their own: the registry need not give them back as they were written.
std::vector<RegKey::RawValue> Sorted(std::vector<RegKey::RawValue> values) {
    std::sort(values.begin(), values.end(),
              [](const RegKey::RawValue& a, const RegKey::RawValue& b) {
                  return FoldedCase(a.name) < FoldedCase(b.name);
              });
    return values;
}

}  // namespace

const RegKey::RawValue* FindValue(const StoredKey& key, const wchar_t* name) {
    for (const RegKey::RawValue& value : key.values) {
        if (_wcsicmp(value.name.c_str(), name) == 0) {
            return &value;
        }
    }
    return nullptr;
}

bool TextOf(const RegKey::RawValue& value, size_t chars, std::wstring& text, bool* expands) {
    text.clear();
    if ((value.type != REG_SZ && value.type != REG_EXPAND_SZ) || value.data.size() % 2 != 0) {
        return false;
    }
    std::wstring stored(value.data.size() / 2, L'\0');
    std::copy(value.data.begin(), value.data.end(), reinterpret_cast<BYTE*>(stored.data()));
    const size_t end = stored.find_last_not_of(L'\0');
    stored.resize(end == std::wstring::npos ? 0 : end + 1);
    if (stored.find(L'\0') != std::wstring::npos || stored.size() >= chars) {
        return false;
    }
    text = std::move(stored);
    if (expands) {
        *expands = value.type == REG_EXPAND_SZ;
    }
    return true;
}

bool DwordOf(const RegKey::RawValue& value, DWORD* number) {
    if (value.type != REG_DWORD || value.data.size() != sizeof(DWORD)) {
        return false;
    }
    std::copy(value.data.begin(), value.data.end(), reinterpret_cast<BYTE*>(number));
    return true;
}

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
        value = std::min<long long>(value * 10 + (*digit - L'0'), INT_MAX);
    }
    *number = static_cast<int>(value);
    return true;
}

std::wstring BlinketKeyName(int number) {
    wchar_t name[kRegKeyNameChars];
    StringCchPrintfW(name, kRegKeyNameChars, L"%s%02d", kBlinketKeyPrefix, number);
    return name;
}

bool SameStoredList(const StoredList& a, const StoredList& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const StoredKey& x, const StoredKey& y) {
                          return Sorted(x.values) == Sorted(y.values);
                      });
}

bool ReadStoredList(const wchar_t* maker, const wchar_t* program, StoredList& list) {
    bool present = false;
    const DWORD step = ReadStep(maker, program, &present);
    const bool committed = step == kStaged || step == kPreviousKept;
    return ReadKeys(maker, program, committed ? kSavingKey : kListKey, list);
}

void FinishInterruptedSave(const wchar_t* maker, const wchar_t* program) {
    bool present = false;
    switch (ReadStep(maker, program, &present)) {
    case kStaged:
        if (KeepPrevious(maker, program)) {
            SwitchIn(maker, program);
        }
        return;
    case kPreviousKept: SwitchIn(maker, program); return;
    }
    if (present) {
        DeleteStep(maker, program);
    }
    DeleteSubtree(maker, program, kSavingKey);
}

bool ReplaceStoredList(const wchar_t* maker, const wchar_t* program, const StoredList& list) {
    FinishInterruptedSave(maker, program);
    StoredList current;
    if (!ReadKeys(maker, program, kListKey, current)) {
        return false;
    }
    if (SameStoredList(current, list)) {
        return true;
    }
    WriteKeys(maker, program, kSavingKey, list);
    if (!Holds(maker, program, kSavingKey, list)) {
        DeleteSubtree(maker, program, kSavingKey);
        return false;
    }
    RegKey settings;
    if (!OpenProgramKey(settings, maker, program, nullptr, nullptr, false)) {
        return false;
    }
    // On disk the commit must never come before what it commits.
    settings.Flush();
    WriteStep(maker, program, kStaged);
    return KeepPrevious(maker, program) && SwitchIn(maker, program);
}

bool ReadPreviousList(const wchar_t* maker, const wchar_t* program, StoredList& list) {
    bool exists = false;
    return ReadKeys(maker, program, kPreviousKey, list, &exists) && exists;
}

bool RestorePreviousList(const wchar_t* maker, const wchar_t* program) {
    FinishInterruptedSave(maker, program);
    StoredList previous;
    return ReadPreviousList(maker, program, previous) &&
           ReplaceStoredList(maker, program, previous);
}
