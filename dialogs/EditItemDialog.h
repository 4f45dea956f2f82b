// The Edit Item dialog: chooses the action, action string and image frame of editedBlinket.
#pragma once

#include <windows.h>

// Runs the dialog modally over the owner for editedBlinket; the blinket changes only when the
// user finishes with an image selected.
void RunEditItemDialog(HWND owner);

INT_PTR CALLBACK EditItemDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
