// The About dialog: the program's name, version and maker, closed with Done.
#pragma once

#include <windows.h>

// Runs the dialog modally over the owner (none at start-up).
void ShowAboutDialog(HWND owner);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
