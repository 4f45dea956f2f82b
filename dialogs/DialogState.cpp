#include "dialogs/DialogState.h"

#include <algorithm>

HINSTANCE dialogInstance = nullptr;
int dialogResIdOffset = 0;
int dialogScale = 1;
std::unique_ptr<ListViewCtl> optionsListView;
Blinket* editedBlinket = nullptr;
std::unique_ptr<ListViewCtl> editListView;

void StretchListControl(HWND dialog, HWND control, int minTop) {
    RECT client = {};
    RECT placed = {};
    GetClientRect(dialog, &client);
    GetWindowRect(control, &placed);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
    const int top = std::max<int>(placed.top, minTop);
    MoveWindow(control, placed.left + 2, top, client.right - placed.left - 4,
               client.bottom - top - 1, TRUE);
}
