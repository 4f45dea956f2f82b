#include "app/FullscreenRule.h"

namespace {

constexpr const wchar_t* kShellClasses[] = {L"Progman", L"WorkerW", L"Shell_TrayWnd",
                                            L"Shell_SecondaryTrayWnd", L"#32769"};

bool Covers(const RECT& window, const RECT& monitor) {
    return !IsRectEmpty(&monitor) && window.left <= monitor.left && window.top <= monitor.top &&
           window.right >= monitor.right && window.bottom >= monitor.bottom;
}

}  // namespace

bool IsShellWindowClass(const wchar_t* className) {
    for (const wchar_t* shell : kShellClasses) {
        if (className && lstrcmpiW(className, shell) == 0) {
            return true;
        }
    }
    return false;
}

bool GivesWayTo(const ForegroundFacts& foreground, const RECT& monitor,
                QUERY_USER_NOTIFICATION_STATE state) {
    if (state == QUNS_PRESENTATION_MODE) {
        return true;
    }
    if (!foreground.shown || foreground.ours || IsShellWindowClass(foreground.className)) {
        return false;
    }
    if ((state == QUNS_BUSY || state == QUNS_RUNNING_D3D_FULL_SCREEN) && foreground.onMonitor) {
        return true;
    }
    // A maximised window with a caption fills only the work area; on a monitor without a taskbar
    // its frame spills over the edges, yet it is an ordinary window.
    return !(foreground.maximised && foreground.captioned) && Covers(foreground.rect, monitor);
}
