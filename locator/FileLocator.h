// The "Locate" dialog: a lazily filled tree of the file system from which the user picks a file
// or folder. The caller sets the shared state, runs dialog template IDD_LOCATE modally with
// LocatorDialogProc, and on a result of 1 reads the pick from locatorPath.
#pragma once

#include <windows.h>

// In: the path to open the tree along (empty for none). Out: the path picked with OK.
extern wchar_t locatorPath[MAX_PATH];
// Module whose resources hold the dialog template and the tree pictures.
extern HINSTANCE locatorInstance;
// Only folders are listed, and the picked path gets a trailing backslash.
extern bool foldersOnly;

INT_PTR CALLBACK LocatorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
