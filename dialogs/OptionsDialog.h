// The Options dialog: lists the blinkets and edits the live list.
#pragma once

#include <windows.h>

// Runs the dialog modally over the owner; returns when it has closed, always with 1. The list
// is edited in place; saving it and laying the window out again is the caller's business.
int ShowOptionsDialog(HWND owner, HINSTANCE instance, int resIdOffsetValue, int scale);

// The dialog's procedure, for template IDD_OPTIONS.
INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
