// The main window's procedure, its popup menu, the Options sequence and the re-layout.
#pragma once

#include "model/Blinket.h"

#include <windows.h>

#include <memory>

// The client point of a packed point: x from the low 16 bits, y from the high 16 bits.
POINT UnpackPoint(DWORD packed);

// Puts the window above all others at the strip's size, without moving or activating it.
void KeepOnTop(HWND window);
// Shows the popup menu (Options, About, Exit) at a client point and carries out the choice.
void ShowPopupMenu(HWND window, POINT point);
// Runs the Options dialog over the main window, saves the list and lays the window out again,
// with the default blinket, unsaved, when none is left to show. An arriving blinket (a drop or
// /add) opens in Edit Item at once and joins the list before position `before` once the user
// has chosen its picture.
void RunOptions(std::unique_ptr<Blinket> arriving = nullptr, int before = 0);
// The About dialog over the window; the timer's work waits while it is up.
void RunAbout(HWND owner);
// Whether a dialog, the menu or a press on the window has the user's attention: a drop or a
// command from outside is then refused.
bool ShellBusy();
// Lays the blinkets out, with the default blinket, unsaved, standing in when none can be shown:
// every blinket deleted, or every picture missing.
void LayoutWindow(int& x, int& y);
// Lays the blinkets out again, and moves, sizes and shapes the main window to the result.
void RepositionWindow();

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
