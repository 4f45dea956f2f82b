// The Options dialog: lists the blinkets and edits the live list.
#pragma once

#include "model/Blinket.h"

#include <windows.h>

#include <memory>

// Runs the dialog modally over the owner; returns when it has closed, always with 1. The list
// is edited in place; saving it and laying the window out again is the caller's business.
// An arriving blinket opens in Edit Item as soon as the dialog is up, and joins the list before
// position `before` (at the end when there is none) only once its picture has been chosen.
int ShowOptionsDialog(HWND owner, HINSTANCE instance, int resIdOffsetValue, int scale,
                      std::unique_ptr<Blinket> arriving = nullptr, int before = 0);

// The dialog's procedure, for template IDD_OPTIONS.
INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
