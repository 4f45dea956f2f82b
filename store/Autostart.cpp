#include "store/Autostart.h"

#include "store/RegKey.h"

#include <strsafe.h>

#include <cstring>

namespace {

constexpr BYTE kSwitchOn = 0x02;
constexpr BYTE kSwitchOff = 0x03;
constexpr size_t kSwitchTimeOffset = 4;

bool WriteSwitch(const StartupSwitch& bytes) {
    RegKey key;
    return key.Open(HKEY_CURRENT_USER, kStartupApprovedKey, true) &&
           key.SetValue({kAutostartName, REG_BINARY, {bytes.begin(), bytes.end()}});
}

}  // namespace

StartupSwitch MakeStartupSwitch(bool on, FILETIME changed) {
    StartupSwitch bytes = {};
    bytes[0] = on ? kSwitchOn : kSwitchOff;
    if (!on) {
        memcpy(bytes.data() + kSwitchTimeOffset, &changed, sizeof(changed));
    }
    return bytes;
}

bool SwitchSaysOff(const BYTE* data, DWORD size) {
    return data && size == sizeof(StartupSwitch) && (data[0] & 1) != 0;
}

bool TurnAutostartOn(const wchar_t* program) {
    // Quotes, the path and its terminator.
    wchar_t command[MAX_PATH + 3];
    RegKey run;
    return program && program[0] &&
           SUCCEEDED(StringCchPrintfW(command, ARRAYSIZE(command), L"\"%s\"", program)) &&
           run.Open(HKEY_CURRENT_USER, kRunKey, true) && run.SetString(kAutostartName, command) &&
           WriteSwitch(MakeStartupSwitch(true, {}));
}

bool TurnAutostartOff(FILETIME now) {
    RegKey run;
    DWORD size = 0;
    if (!run.Open(HKEY_CURRENT_USER, kRunKey, false) ||
        !run.QueryValue(kAutostartName, nullptr, &size)) {
        return true;
    }
    RegKey approved;
    StartupSwitch stored = {};
    size = sizeof(stored);
    // Already off keeps the time it was turned off, as Settings does.
    if (approved.Open(HKEY_CURRENT_USER, kStartupApprovedKey, false) &&
        approved.QueryValue(kAutostartName, stored.data(), &size) &&
        SwitchSaysOff(stored.data(), size)) {
        return true;
    }
    return WriteSwitch(MakeStartupSwitch(false, now));
}
