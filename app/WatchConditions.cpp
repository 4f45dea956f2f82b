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

ForegroundFacts FactsOf(HWND foreground, HMONITOR monitor, wchar_t (&className)[64]) {
    ForegroundFacts facts;
    DWORD process = 0;
    if (!foreground || !GetWindowThreadProcessId(foreground, &process) ||
        !GetWindowRect(foreground, &facts.rect)) {
        return facts;
    }
    if (GetClassNameW(foreground, className, 64) > 0) {
        facts.className = className;
    }
    const LONG style = GetWindowLongW(foreground, GWL_STYLE);
    facts.ours = process == GetCurrentProcessId();
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
}

bool FindCover(HWND window, HWND& over) {
    over = nullptr;
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info)) {
        return false;
    }
    HWND foreground = GetForegroundWindow();
    wchar_t className[64] = {};
    const ForegroundFacts facts = FactsOf(foreground, monitor, className);
    if (!GivesWayTo(facts, info.rcMonitor, NotificationState())) {
        return false;
    }
    // Presentation mode may hold with the desktop in front: the window never goes below that.
    if (facts.shown && !facts.ours && !IsShellWindowClass(facts.className)) {
        over = foreground;
    }
    return true;
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
