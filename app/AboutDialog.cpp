#include "app/AboutDialog.h"

#include "base/ShellHelpers.h"
#include "resources/resource.h"
#include "state/ShellState.h"

void ShowAboutDialog(HWND owner) {
    DialogBoxParamW(appInstance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutDlgProc, 0);
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: InitPocketDialog(dialog); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    }
    // The desktop's dialog manager does the default processing of what a procedure leaves.
    return FALSE;
}
