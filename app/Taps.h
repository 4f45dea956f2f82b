// The stylus on the window: a tap runs the blinket under it, a hold or a right click opens the
// menu.
#pragma once

#include "model/Blinket.h"

#include <windows.h>

// The client point of a packed point: x from the low 16 bits, y from the high 16 bits.
POINT UnpackPoint(DWORD packed);

// WM_LBUTTONDOWN: the shell judges the gesture; a hold opens the menu, a press that moves away
// drags the window, anything else waits to be a tap when the stylus is lifted.
void OnStylusDown(HWND window, LPARAM lParam);
// WM_LBUTTONUP: the tap that went down, if any.
void OnStylusUp();
// WM_CONTEXTMENU: a right click (or the menu key) opens the same menu as tap-and-hold; from the
// keyboard, at the blinket it is on.
void OnContextMenu(HWND window, LPARAM lParam);
// A press a screen reader asked for, posted rather than run inside its call: the shown blinket
// at the list index runs as a tap on it does, unless a dialog, the menu or a press is under way.
void OnPressRequest(WPARAM index);

// Whether a tap at the strip point hits the blinket. Only x counts; every blinket is widened by
// half the gap on each side, so neighbours' ranges meet without overlapping.
bool TapHits(const Blinket& blinket, POINT tap);
// Records the tap point for other programs, then runs the action of every blinket hit.
void HandleTap(POINT tap);
