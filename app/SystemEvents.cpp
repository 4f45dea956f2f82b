#include "app/SystemEvents.h"

#include "app/Operations.h"
#include "app/Pupils.h"
#include "app/WatchConditions.h"

#include <wtsapi32.h>

namespace {

constexpr DWORD kDisplayOff = 0;  // 1 is on, 2 dimmed but still showing

HWND noticing = nullptr;
bool sessionNotice = false;
HPOWERNOTIFY displayNotice = nullptr;
HWINEVENTHOOK foregroundHook = nullptr;

// Another program came to the front: it may fill the monitor, or one that did has gone behind.
void CALLBACK OnForegroundChange(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
    if (IsWindow(noticing)) {
        CheckCover(noticing);
    }
}

// Whether the bytes lie in memory this process may read. The message may come from another
// process, with any number where the setting's address should be.
bool Readable(const void* address, SIZE_T size) {
    MEMORY_BASIC_INFORMATION memory = {};
    constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY |
                                PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    if (!address || !VirtualQuery(address, &memory, sizeof(memory)) || memory.State != MEM_COMMIT ||
        !(memory.Protect & kReadable) || (memory.Protect & PAGE_GUARD)) {
        return false;
    }
    const auto* end = static_cast<const BYTE*>(memory.BaseAddress) + memory.RegionSize;
    return static_cast<SIZE_T>(end - static_cast<const BYTE*>(address)) >= size;
}

// The display state of a console display notification, or -1 for any other setting.
int DisplayState(LPARAM lParam) {
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
    if (!Readable(setting, FIELD_OFFSET(POWERBROADCAST_SETTING, Data) + sizeof(DWORD)) ||
        !IsEqualGUID(setting->PowerSetting, GUID_CONSOLE_DISPLAY_STATE) ||
        setting->DataLength < sizeof(DWORD)) {
        return -1;
    }
    DWORD state = 0;
    CopyMemory(&state, setting->Data, sizeof(state));
    return static_cast<int>(state);
}

}  // namespace

void StartNoticing(HWND window) {
    ForgetUnseen();
    noticing = window;
    sessionNotice = WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION) != FALSE;
    // The system answers at once with the display's present state.
    displayNotice = RegisterPowerSettingNotification(window, &GUID_CONSOLE_DISPLAY_STATE,
                                                     DEVICE_NOTIFY_WINDOW_HANDLE);
    // The front program's moves would wake the window at every step of the pointer and the caret
    // over it; a change of front program is rare, and the periodic tick sees one that turns
    // fullscreen where it stands.
    foregroundHook = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                     OnForegroundChange, 0, 0, WINEVENT_OUTOFCONTEXT);
}

void StopNoticing(HWND window) {
    if (foregroundHook) {
        UnhookWinEvent(foregroundHook);
        foregroundHook = nullptr;
    }
    if (displayNotice) {
        UnregisterPowerSettingNotification(displayNotice);
        displayNotice = nullptr;
    }
    if (sessionNotice) {
        WTSUnRegisterSessionNotification(window);
        sessionNotice = false;
    }
    noticing = nullptr;
    ForgetUnseen();
}

void OnSessionChange(HWND window, WPARAM change) {
    switch (change) {
    case WTS_SESSION_LOCK: SetUnseen(Unseen::Locked, true); break;
    case WTS_SESSION_UNLOCK: SetUnseen(Unseen::Locked, false); break;
    case WTS_CONSOLE_DISCONNECT:
    case WTS_REMOTE_DISCONNECT: SetUnseen(Unseen::Disconnected, true); break;
    case WTS_CONSOLE_CONNECT:
    case WTS_REMOTE_CONNECT: SetUnseen(Unseen::Disconnected, false); break;
    default: return;
    }
    OnSightChanged(window);
}

LRESULT OnPowerBroadcast(HWND window, WPARAM event, LPARAM setting) {
    if (event == PBT_POWERSETTINGCHANGE) {
        if (const int state = DisplayState(setting); state >= 0) {
            SetUnseen(Unseen::DisplayOff, state == kDisplayOff);
            OnSightChanged(window);
        }
    }
    return TRUE;
}
