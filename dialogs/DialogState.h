// The values one run of the Options dialog shares with the Edit Item dialog it opens.
#pragma once

#include "dialogs/ListViewCtl.h"
#include "model/Blinket.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>

extern HINSTANCE dialogInstance;
extern int dialogResIdOffset;  // 0, or 100 for the large image set
extern int dialogScale;        // 1, or 2 on a 192 dpi screen
extern std::unique_ptr<ListViewCtl> optionsListView;
// The blinket the Edit Item dialog fills in; null when it is not open.
extern Blinket* editedBlinket;
extern std::unique_ptr<ListViewCtl> editListView;

// A child's rectangle in its dialog's client coordinates.
RECT ChildRect(HWND dialog, HWND child);

// Stretches a dialog's list control over the client area right and below of where the template
// put it, leaving a small margin; its top moves down to minTop when it lies higher.
void StretchListControl(HWND dialog, HWND control, int minTop = 0);

// Answers a dialog list's custom-draw notification so that the selected row keeps the highlight
// colours while the list does not have the focus. Wine and classic Windows paint it then in a
// grey barely set off from the white list, and the row a command acts on goes unseen. The dialog
// procedure handles the notification only when this returns true, with the result in
// DWLP_MSGRESULT.
bool DrawSelectionAlways(HWND dialog, int listId, NMHDR* header);
