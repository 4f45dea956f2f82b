// Whether the window gives way to the program in front: a video, a game or a slideshow that
// fills the monitor the window stands on. Pure: the facts are read from the system elsewhere.
#pragma once

#include <windows.h>
#include <shellapi.h>

// What is known of the foreground window; all false when there is none.
struct ForegroundFacts {
    const wchar_t* className = L"";
    RECT rect = {};      // in screen pixels
    bool ours = false;   // one of this program's own windows
    bool shown = false;  // visible and not minimised
    bool maximised = false;
    bool captioned = false;
    bool onMonitor = false;  // it stands on the window's monitor
};

// The desktop and the shell's own windows (the wallpaper's, the taskbars), which fill a monitor
// without being a fullscreen program.
bool IsShellWindowClass(const wchar_t* className);
// Whether the window steps out of the topmost band: the system is in presentation mode, or the
// foreground window (not the shell's, not one of ours) fills the whole monitor, or the system
// reports a fullscreen or Direct3D program on that monitor.
bool GivesWayTo(const ForegroundFacts& foreground, const RECT& monitor,
                QUERY_USER_NOTIFICATION_STATE state);
