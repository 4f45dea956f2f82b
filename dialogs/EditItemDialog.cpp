#include "dialogs/EditItemDialog.h"

#include "app/ShellState.h"
#include "dialogs/DialogState.h"
#include "resources/resource.h"

void RunEditItemDialog(HWND owner) {
    DialogBoxParamW(appInstance, MAKEINTRESOURCEW(IDD_EDIT_ITEM), owner, EditItemDlgProc, 0);
}

INT_PTR CALLBACK EditItemDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: InitPocketDialog(dialog); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && HIWORD(wParam) != 0) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
