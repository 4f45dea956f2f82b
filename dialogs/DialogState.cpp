#include "dialogs/DialogState.h"

#include <algorithm>

HINSTANCE dialogInstance = nullptr;
int dialogResIdOffset = 0;
int dialogScale = 1;
std::unique_ptr<ListViewCtl> optionsListView;
Blinket* editedBlinket = nullptr;
std::unique_ptr<ListViewCtl> editListView;

RECT ChildRect(HWND dialog, HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void StretchListControl(HWND dialog, HWND control, int minTop) {
    RECT client = {};
    GetClientRect(dialog, &client);
    const RECT placed = ChildRect(dialog, control);
    const int top = std::max<int>(placed.top, minTop);
    MoveWindow(control, placed.left + 2, top, client.right - placed.left - 4,
               client.bottom - top - 1, TRUE);
}

bool DrawSelectionAlways(HWND dialog, int listId, NMHDR* header) {
    if (!header || header->idFrom != static_cast<UINT_PTR>(listId) ||
        header->code != NM_CUSTOMDRAW) {
        return false;
    }
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    LRESULT result = CDRF_DODEFAULT;
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        result = CDRF_NOTIFYITEMDRAW;
    } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT &&
               (draw->nmcd.uItemState & CDIS_SELECTED) && GetFocus() != header->hwndFrom) {
        // Drawn as an unselected row in the selection's colours.
        draw->nmcd.uItemState &= ~CDIS_SELECTED;
        draw->clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
        draw->clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
    }
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return true;
}
