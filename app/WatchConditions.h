// Whether anyone can see the window: not while the session is locked or disconnected, the display
// is off, or a fullscreen program stands in front of it. The eyes rest while any of these holds.
#pragma once

#include <windows.h>

enum class Unseen : unsigned { Locked = 1, Disconnected = 2, DisplayOff = 4, Covered = 8 };

void SetUnseen(Unseen reason, bool holds);
// Whether any reason holds.
bool Unwatched();
// Every reason cleared and the cover forgotten: a new window starts seen.
void ForgetUnseen();

// Reads the program in front and the system's busy state: whether the window is to give way, and
// the foreground window to stand below (null when there is none to stand below).
bool FindCover(HWND window, HWND& over);
// The monitors have changed: what was read of them, and of the window in front, is read again.
void ForgetMonitor();
// The cover as last found.
void SetCover(bool covered, HWND over);
bool Covered();
HWND CoveringWindow();
