#include "app/WatchConditions.h"

#include "app/FullscreenRule.h"

#include <shellapi.h>

namespace {

unsigned unseen = 0;
HWND covering = nullptr;

QUERY_USER_NOTIFICATION_STATE NotificationState() {
    QUERY_USER_NOTIFICATION_STATE state = QUNS_ACCEPTS_NOTIFICATIONS;
    if (FAILED(SHQueryUserNotificationState(&state))) {
        state = QUNS_ACCEPTS_NOTIFICATIONS;
    }
    return state;
}

// What was last read of the window's monitor and of the foreground window. Under Wine each read
// of another program's window is a round trip to the window server, a dozen of them every tick:
// they are read again only when the window or the one in front has moved or changed.
struct Monitor {
    RECT window = {};
    HMONITOR handle = nullptr;
    RECT rect = {};
};
Monitor monitorRead;
struct Foreground {
    HWND window = nullptr;
    ForegroundFacts facts;
    wchar_t className[64] = {};
};
Foreground foregroundRead;

bool SameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

const Monitor* MonitorOf(HWND window) {
    RECT rect = {};
    if (!GetWindowRect(window, &rect)) {
        return nullptr;
    }
    if (!monitorRead.handle || !SameRect(rect, monitorRead.window)) {
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        HMONITOR handle = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
        if (!GetMonitorInfoW(handle, &info)) {
            return nullptr;
        }
        monitorRead = {rect, handle, info.rcMonitor};
    }
    return &monitorRead;
}

const ForegroundFacts& FactsOf(HWND foreground, HMONITOR monitor) {
    RECT rect = {};
    DWORD process = 0;
    if (!foreground || !GetWindowRect(foreground, &rect)) {
        foregroundRead = Foreground();
        return foregroundRead.facts;
    }
    if (foreground == foregroundRead.window && SameRect(rect, foregroundRead.facts.rect)) {
        return foregroundRead.facts;
    }
    foregroundRead = Foreground();
    foregroundRead.window = foreground;
    ForegroundFacts& facts = foregroundRead.facts;
    facts.rect = rect;
    if (GetClassNameW(foreground, foregroundRead.className, 64) > 0) {
        facts.className = foregroundRead.className;
    }
    const LONG style = GetWindowLongW(foreground, GWL_STYLE);
    facts.ours = GetWindowThreadProcessId(foreground, &process) && process == GetCurrentProcessId();
    facts.shown = IsWindowVisible(foreground) && !IsIconic(foreground);
    facts.maximised = (style & WS_MAXIMIZE) != 0;
    facts.captioned = (style & WS_CAPTION) == WS_CAPTION;
    facts.onMonitor = MonitorFromWindow(foreground, MONITOR_DEFAULTTONULL) == monitor;
    return facts;
}

}  // namespace

void SetUnseen(Unseen reason, bool holds) {
    if (holds) {
        unseen |= static_cast<unsigned>(reason);
    } else {
        unseen &= ~static_cast<unsigned>(reason);
    }
}

bool Unwatched() {
    return unseen != 0;
}

void ForgetUnseen() {
    unseen = 0;
    covering = nullptr;
    ForgetMonitor();
}

bool FindCover(HWND window, HWND& over) {
    over = nullptr;
    const Monitor* monitor = MonitorOf(window);
    if (!monitor) {
        return false;
    }
    HWND foreground = GetForegroundWindow();
    const ForegroundFacts& facts = FactsOf(foreground, monitor->handle);
    if (!GivesWayTo(facts, monitor->rect, NotificationState())) {
        return false;
    }
    // Presentation mode may hold with the desktop in front: the window never goes below that.
    if (facts.shown && !facts.ours && !IsShellWindowClass(facts.className)) {
        over = foreground;
    }
    return true;
}

void ForgetMonitor() {
    monitorRead = Monitor();
    foregroundRead = Foreground();
}

void SetCover(bool covered, HWND over) {
    SetUnseen(Unseen::Covered, covered);
    covering = covered ? over : nullptr;
}

bool Covered() {
    return (unseen & static_cast<unsigned>(Unseen::Covered)) != 0;
}

HWND CoveringWindow() {
    return covering;
}
