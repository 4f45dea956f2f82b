// The system's news that tells whether anyone can see the window: the session locked or
// disconnected, the display off or on, another program coming to the front.
#pragma once

#include <windows.h>

// Asks for that news for the window; what the system cannot give is simply missed, and the
// window then counts as seen.
void StartNoticing(HWND window);
// Gives every request back; the window counts as seen again.
void StopNoticing(HWND window);
// WM_WTSSESSION_CHANGE.
void OnSessionChange(HWND window, WPARAM change);
// WM_POWERBROADCAST: the display's state, from the console display notification. Returns TRUE.
LRESULT OnPowerBroadcast(HWND window, WPARAM event, LPARAM setting);
