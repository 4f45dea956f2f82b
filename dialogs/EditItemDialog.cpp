#include "dialogs/EditItemDialog.h"

#include "base/Handles.h"
#include "base/ShellHelpers.h"
#include "dialogs/DialogState.h"
#include "dialogs/ImageCatalogue.h"
#include "locator/FileLocator.h"
#include "model/TargetJob.h"
#include "resources/resource.h"
#include "state/ShellState.h"
#include "store/Settings.h"

#include <commctrl.h>
#include <strsafe.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

// The actions offered; the box sorts them, so they are found by their string id only.
constexpr UINT kOfferedActions[] = {IDS_ACTION_WEB_PAGE, IDS_ACTION_PROGRAM,
                                    IDS_ACTION_SHOW_OPTIONS};
constexpr int kActionTextChars = 64;
constexpr int kBrowseSpace = 30;  // pixels right of the action string, at the normal density
// How long the dialog waits for a program's picture: a program on a share that does not answer
// must not hold the window.
constexpr DWORD kOwnPictureWait = 1500;

bool IsRunAction(int code) {
    return code == kActionWebPage || code == kActionProgram;
}

void SelectComboByData(HWND box, LRESULT value) {
    if (!box) {
        return;
    }
    const LRESULT count = SendMessageW(box, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (SendMessageW(box, CB_GETITEMDATA, i, 0) == value) {
            SendMessageW(box, CB_SETCURSEL, i, 0);
            return;
        }
    }
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

// The item data of the selected entry, or -1.
int GetComboSelData(HWND box) {
    if (!box) {
        return -1;
    }
    const LRESULT selected = SendMessageW(box, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) {
        return -1;
    }
    const LRESULT data = SendMessageW(box, CB_GETITEMDATA, selected, 0);
    return data == CB_ERR ? -1 : static_cast<int>(data);
}

// The chosen action; none chosen is code 0, which runs nothing.
int SelectedAction(HWND dialog) {
    const int data = GetComboSelData(GetDlgItem(dialog, IDC_ACTION));
    return data == -1 ? kActionNone : data - IDS_ACTION_FIRST;
}

void LayoutImageList(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_IMAGE_LIST);
    if (list && !editListView) {
        StretchListControl(dialog, list);
        editListView = AttachThumbnailList(dialog, IDC_IMAGE_LIST);
    }
    if (!editListView || !editListView->IsAttached()) {
        return;
    }
    editListView->SetVirtualRowCount(frameRefs.Count());
    const int row = editedBlinket ? RowOf(*editedBlinket) : -1;
    if (row >= 0) {
        editListView->SelectItem(row);
        // The blinket's own frame, however far down the list, is what the user looks for first.
        ListView_EnsureVisible(list, row, FALSE);
    }
}

void LayoutActionBox(HWND dialog) {
    HWND box = GetDlgItem(dialog, IDC_ACTION);
    if (!box) {
        return;
    }
    RECT client = {};
    GetClientRect(dialog, &client);
    const RECT placed = ChildRect(dialog, box);
    // The window's own height is the closed box; moving it with that would shrink the list it
    // drops down to nothing.
    RECT dropped = {};
    SendMessageW(box, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    MoveWindow(box, placed.left, placed.top, client.right - 2 - placed.left,
               dropped.bottom - dropped.top, TRUE);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (UINT id : kOfferedActions) {
        wchar_t text[kActionTextChars];
        if (!LoadStringW(appInstance, id, text, kActionTextChars)) {
            continue;
        }
        const LRESULT added = SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (added >= 0) {
            SendMessageW(box, CB_SETITEMDATA, added, id);
        }
    }
    if (editedBlinket) {
        SelectComboByData(box, editedBlinket->actionCmd + IDS_ACTION_FIRST);
    }
}

void LayoutActionString(HWND dialog) {
    HWND edit = GetDlgItem(dialog, IDC_ACTION_STRING);
    HWND browse = GetDlgItem(dialog, IDC_BROWSE);
    if (!edit || !browse) {
        return;
    }
    RECT client = {};
    GetClientRect(dialog, &client);
    const RECT placed = ChildRect(dialog, edit);
    const int height = placed.bottom - placed.top;
    const int editRight = client.right - kBrowseSpace * dialogScale;
    MoveWindow(edit, placed.left, placed.top, editRight - placed.left, height, TRUE);
    MoveWindow(browse, editRight + 2, placed.top, client.right - 2 - (editRight + 2), height, TRUE);
    // Tab goes where the eye goes: from the action string to its "..." beside it, then down to
    // the images, not the other way round as the template orders them.
    SetWindowPos(browse, edit, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // What does not fit the blinket's action string is refused as it is typed.
    SendMessageW(edit, EM_SETLIMITTEXT, kActionStringChars - 1, 0);
    if (IsRunAction(editedBlinket->actionCmd)) {
        SetWindowTextW(edit, editedBlinket->actionString);
    }
}

// The button as wide as its text needs in the dialog's font, whatever the screen's density.
void LayoutOwnPictureButton(HWND dialog) {
    HWND button = GetDlgItem(dialog, IDC_OWN_PICTURE);
    if (!button) {
        return;
    }
    wchar_t text[64] = {};
    GetWindowTextW(button, text, ARRAYSIZE(text));
    WindowDC dc(button);
    SelectedObject font(dc.get(),
                        reinterpret_cast<HGDIOBJ>(SendMessageW(button, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32W(dc.get(), text, static_cast<int>(wcslen(text)), &extent);
    RECT padding = {0, 0, 16, 0};  // dialog units beside the text
    MapDialogRect(dialog, &padding);
    RECT client = {};
    GetClientRect(dialog, &client);
    const RECT placed = ChildRect(dialog, button);
    const LONG width =
        std::min<LONG>(std::max<LONG>(placed.right - placed.left, extent.cx + padding.right),
                       client.right - 2 - placed.left);
    MoveWindow(button, placed.left, placed.top, width, placed.bottom - placed.top, TRUE);
    SetWindowPos(button, GetDlgItem(dialog, IDC_BROWSE), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Only the Run actions take an action string; only a program has a picture of its own.
void EnableForAction(HWND dialog, int action) {
    EnableWindow(GetDlgItem(dialog, IDC_ACTION_STRING), IsRunAction(action));
    EnableWindow(GetDlgItem(dialog, IDC_BROWSE), IsRunAction(action));
    EnableWindow(GetDlgItem(dialog, IDC_OWN_PICTURE), action == kActionProgram);
}

void LayoutEditItemDialog(HWND dialog) {
    LayoutImageList(dialog);
    LayoutActionBox(dialog);
    if (editedBlinket) {
        LayoutActionString(dialog);
    }
    LayoutOwnPictureButton(dialog);
    EnableWindow(GetDlgItem(dialog, IDC_OWN_PICTURE),
                 editedBlinket && editedBlinket->actionCmd == kActionProgram);
}

void OnActionChange(HWND dialog) {
    HWND edit = GetDlgItem(dialog, IDC_ACTION_STRING);
    HWND browse = GetDlgItem(dialog, IDC_BROWSE);
    if (!edit || !browse) {
        return;
    }
    const int action = SelectedAction(dialog);
    EnableForAction(dialog, action);
    if (!IsRunAction(action)) {
        SetWindowTextW(edit, L"");
    }
}

// Makes the picture of the program named in the edit on a worker, and selects it once it joins
// the pictures; a beep when none can be had in time.
void UseOwnPicture(HWND dialog) {
    std::vector<wchar_t> text(kActionStringChars);
    GetDlgItemTextW(dialog, IDC_ACTION_STRING, text.data(), kActionStringChars);
    // The locator gives paths from the root of the current drive.
    std::vector<wchar_t> full(kActionStringChars);
    const DWORD length = GetFullPathNameW(text.data(), kActionStringChars, full.data(), nullptr);
    std::unique_ptr<TargetJob> job = text[0] && length > 0 && length < kActionStringChars
                                         ? TargetJob::Start(full.data(), true)
                                         : nullptr;
    std::unique_ptr<Blinket> made;
    if (job) {
        HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        made = job->Wait(kOwnPictureWait) ? job->Take() : nullptr;
        SetCursor(previous);
    }
    const int row = made && made->imageFile[0] ? AddCatalogueImage(made->imageFile) : -1;
    if (row < 0 || !editListView) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    // The catalogue may have made its image list only now.
    SendDlgItemMessageW(dialog, IDC_IMAGE_LIST, LVM_SETIMAGELIST, LVSIL_SMALL,
                        reinterpret_cast<LPARAM>(thumbnailList));
    editListView->SetVirtualRowCount(frameRefs.Count());
    editListView->SelectItem(row);
    ListView_EnsureVisible(GetDlgItem(dialog, IDC_IMAGE_LIST), row, FALSE);
}

// A path as Windows compares it: in its long form, in any letter case.
std::wstring ComparablePath(const wchar_t* path) {
    wchar_t longPath[MAX_PATH];
    return FoldedCase(LongPathOf(path, longPath) ? longPath : path);
}

// Whether the blinket's picture is the file of that path.
bool ShowsPicture(const Blinket& blinket, const wchar_t* path) {
    wchar_t current[MAX_PATH];
    return blinket.ImagePath(current) && ComparablePath(current) == ComparablePath(path);
}

void CommitEditItem(HWND dialog) {
    if (!editedBlinket || !editListView) {
        return;
    }
    const int row = editListView->GetSelectedIndex();
    const FrameRef* frame = frameRefs.At(row);
    wchar_t path[MAX_PATH];
    // A picture that does not decode would leave the blinket out of the window.
    if (row < 0 || !frame || !frame->entry || !IsChoosableRow(row) ||
        !frame->entry->FullPath(path)) {
        return;
    }
    // The picture the blinket shows already keeps the form it was stored in (its environment
    // variables, its letter case); another one whose path does not fit the blinket is refused
    // before anything of it changes.
    if (!ShowsPicture(*editedBlinket, path) && !editedBlinket->SetImageFile(path)) {
        return;
    }
    // A text left as it was keeps the environment variables it was stored with.
    std::vector<wchar_t> text(kActionStringChars);
    GetDlgItemTextW(dialog, IDC_ACTION_STRING, text.data(), kActionStringChars);
    const bool keepsExpansion =
        editedBlinket->actionStringExpands && wcscmp(text.data(), editedBlinket->actionString) == 0;
    editedBlinket->ResetForEdit();
    editedBlinket->imagePos = frame->frame;
    editedBlinket->actionCmd = SelectedAction(dialog);
    editedBlinket->actionStringExpands = false;
    // Chosen by the user, a stand-in is theirs to keep.
    editedBlinket->standIn = false;
    if (IsRunAction(editedBlinket->actionCmd)) {
        StringCchCopyW(editedBlinket->actionString, kActionStringChars, text.data());
        editedBlinket->actionStringExpands = keepsExpansion;
    } else {
        LoadStringW(appInstance, IDS_ACTION_FIRST + editedBlinket->actionCmd,
                    editedBlinket->actionString, kActionStringChars);
    }
}

void BrowseForTarget(HWND dialog) {
    locatorInstance = appInstance;
    foldersOnly = false;
    ReadLocatorLocation(locatorPath);
    const INT_PTR result =
        DialogBoxParamW(appInstance, MAKEINTRESOURCEW(IDD_LOCATE), dialog, LocatorDialogProc, 0);
    if (result == 1 && SaveLocatorLocation(locatorPath)) {
        SetDlgItemTextW(dialog, IDC_ACTION_STRING, locatorPath);
    }
}

// A row coming into view: frame k of the catalogue, its thumbnail drawn as it first shows.
void ShowImageRow(NMLVDISPINFOW* info) {
    const FrameRef* frame = frameRefs.At(info->item.iItem);
    if (!frame) {
        return;
    }
    if (info->item.mask & LVIF_TEXT) {
        StringCchCopyW(info->item.pszText, info->item.cchTextMax, frame->entry->fileName);
    }
    if (info->item.mask & LVIF_IMAGE) {
        info->item.iImage = ThumbnailOfRow(info->item.iItem);
    }
}

INT_PTR OnEditItemNotify(HWND dialog, NMHDR* header) {
    if (header && header->idFrom == IDC_IMAGE_LIST && header->code == LVN_GETDISPINFOW) {
        ShowImageRow(reinterpret_cast<NMLVDISPINFOW*>(header));
        return TRUE;
    }
    return DrawSelectionAlways(dialog, IDC_IMAGE_LIST, header);
}

INT_PTR OnEditItemCommand(HWND dialog, int id, int code) {
    if (id == IDC_BROWSE && code == BN_CLICKED) {
        BrowseForTarget(dialog);
    } else if (id == IDC_OWN_PICTURE && code == BN_CLICKED) {
        UseOwnPicture(dialog);
    } else if (id == IDC_ACTION && code == CBN_SELCHANGE) {
        OnActionChange(dialog);
    } else if (id == IDOK && code != 0 && code != CBN_SELCHANGE) {
        CommitEditItem(dialog);
        EndDialog(dialog, 1);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void RunEditItemDialog(HWND owner) {
    DialogBoxParamW(appInstance, MAKEINTRESOURCEW(IDD_EDIT_ITEM), owner, EditItemDlgProc, 0);
}

INT_PTR CALLBACK EditItemDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitPocketDialog(dialog);
        LayoutEditItemDialog(dialog);
        return TRUE;
    case WM_COMMAND: return OnEditItemCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY: return OnEditItemNotify(dialog, reinterpret_cast<NMHDR*>(lParam));
    case WM_DESTROY: editListView.reset(); return FALSE;
    }
    // The dialog manager does the default processing; DefWindowProc here would break it.
    return FALSE;
}
