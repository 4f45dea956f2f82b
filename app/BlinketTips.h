// Labels on hover: resting the pointer on a blinket shows its name and, on the lines below, its
// action string, in a tooltip of the window's own; none while a press, a menu or a dialog is
// under way.
#pragma once

#include <windows.h>
#include <commctrl.h>

// Characters per line of the action string in a label, and in a whole label: a tooltip keeps
// about a thousand.
constexpr size_t kTipLineChars = 80;
constexpr size_t kTipChars = 1000;

// The window's tooltip control, made with the window and destroyed at its end.
void CreateBlinketTips();
void DestroyBlinketTips();
// A label on show stays above the window when the window is put on top again.
void RaiseBlinketTip();
// One tool per shown blinket, on its rectangle in the window; after every layout.
void RefreshBlinketTips(HWND window);
// While held (a menu or a dialog is up) no label shows; the holds nest.
void HoldBlinketTips();
void ReleaseBlinketTips();
// The tooltip control, or null.
HWND BlinketTipsWindow();
// WM_NOTIFY from the tooltip: TTN_GETDISPINFO asks for the label of the blinket, which is none
// while the window is busy.
void OnTipNotify(NMHDR* header);
