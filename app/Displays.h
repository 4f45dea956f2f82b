// The screens changing under the window: a settings reset, monitors plugged in, unplugged or
// resized, and a new density for the window's monitor.
#pragma once

#include "app/Render.h"

// What a change of the displays asks of a window that stood on `before`, now that the settings
// choose `after`: nothing when it is the same monitor as it was; a new layout with the centre
// forgotten when the chosen monitor it stood on changed its size, as a settings reset does; any
// other change (a monitor gone or back, moved, or of a new density) a new layout that keeps the
// centre, so that the window returns to its place with its monitor.
enum class DisplayChange { None, Relayout, Recentre };
DisplayChange JudgeDisplayChange(const WindowStand& before, const WindowStand& after);

// SETTINGCHANGE_RESET: the screen was rotated or resized; the window is centred again.
void OnScreenReset();
// WM_DISPLAYCHANGE: the window follows its monitor, as JudgeDisplayChange says.
void OnDisplayChange();
// WM_DPICHANGED: the window's monitor has a new density; the window is laid out for it, unless
// it already is (as after a drag onto that monitor).
void OnDpiChanged(int dpi);
