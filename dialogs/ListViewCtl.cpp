#include "dialogs/ListViewCtl.h"

#include "base/Picture.h"

#include <algorithm>
#include <cwchar>

namespace {

constexpr UINT kRowStateBits = LVIS_FOCUSED | LVIS_SELECTED | LVIS_CUT | LVIS_DROPHILITED;
constexpr int kCheckMarkStateImage = 2;

// Image index -1 means "ask the parent" to the desktop list view, which would then show
// whatever the dialog leaves in the request; I_IMAGENONE is its "no image".
int ControlImage(int image) {
    return image == ListViewCtl::kNoImage ? I_IMAGENONE : image;
}

void SetRowState(HWND control, int row, UINT state, UINT mask) {
    LVITEMW item = {};
    item.state = state;
    item.stateMask = mask;
    SendMessageW(control, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

void SetRowText(HWND control, int row, const wchar_t* text) {
    LVITEMW item = {};
    item.iSubItem = 0;
    item.pszText = const_cast<wchar_t*>(text);
    SendMessageW(control, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

int RowCount(HWND control) {
    return static_cast<int>(SendMessageW(control, LVM_GETITEMCOUNT, 0, 0));
}

int FirstSelected(HWND control) {
    return static_cast<int>(
        SendMessageW(control, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

}  // namespace

ListViewCtl::ListViewCtl() {
    Reset();
}

ListViewCtl::~ListViewCtl() {
    Reset();
}

HWND ListViewCtl::Control() const {
    if (!parentDialog) {
        return nullptr;
    }
    HWND control = GetDlgItem(parentDialog, controlId);
    return IsWindow(control) ? control : nullptr;
}

void ListViewCtl::Bind(HWND control, int scaleValue, HWND dialog, int id) {
    parentDialog = dialog;
    controlId = id;
    scale = scaleValue;
    SendMessageW(control, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
}

bool ListViewCtl::AttachControl(int scaleValue, HWND dialog, int id) {
    HWND control = dialog ? GetDlgItem(dialog, id) : nullptr;
    if (!IsWindow(control)) {
        return true;
    }
    Bind(control, scaleValue, dialog, id);
    attached = true;
    return true;
}

bool ListViewCtl::AttachWithImages(int scaleValue, HWND dialog, int id, HINSTANCE instance,
                                   UINT resourceId) {
    if (attached || !dialog) {
        return false;
    }
    HWND control = GetDlgItem(dialog, id);
    if (!IsWindow(control)) {
        return true;
    }
    Bind(control, scaleValue, dialog, id);
    if (instance && resourceId) {
        const int side = 16 * scale;
        ownImageList = ImageList_Create(side, side, ILC_COLORDDB | ILC_MASK, 2, 1);
        Picture strip;
        strip.Load(nullptr, nullptr, instance, resourceId);
        if (strip.IsLoaded() && ownImageList) {
            ImageList_AddMasked(ownImageList, strip.bitmap, kKeyColour);
        }
        strip.Release();
        SendMessageW(control, LVM_SETIMAGELIST, LVSIL_SMALL,
                     reinterpret_cast<LPARAM>(ownImageList));
    }
    attached = true;
    return true;
}

void ListViewCtl::Reset() {
    DeleteAllItems();
    DeleteAllColumns();
    parentDialog = nullptr;
    controlId = 0;
    scale = 1;
    if (ownImageList) {
        ImageList_RemoveAll(ownImageList);
        ImageList_Destroy(ownImageList);
        ownImageList = nullptr;
    }
    attached = false;
}

void ListViewCtl::DeleteAllItems() {
    if (HWND control = Control()) {
        SendMessageW(control, LVM_DELETEALLITEMS, 0, 0);
    }
}

void ListViewCtl::DeleteAllColumns() {
    HWND control = Control();
    if (!control) {
        return;
    }
    while (SendMessageW(control, LVM_DELETECOLUMN, 0, 0)) {
    }
}

void ListViewCtl::AddItemColumn() {
    HWND control = Control();
    if (!control) {
        return;
    }
    RECT client = {};
    GetClientRect(control, &client);
    wchar_t title[] = L"Item";
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.pszText = title;
    column.cchTextMax = static_cast<int>(wcslen(title));
    column.cx = client.right - client.left - GetSystemMetrics(SM_CXVSCROLL) - 3;
    SendMessageW(control, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
}

int ListViewCtl::AddItem(const wchar_t* text, int image, int data, bool mark) {
    HWND control = Control();
    if (!text || !control) {
        return -1;
    }
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = RowCount(control);
    item.pszText = const_cast<wchar_t*>(text);
    item.cchTextMax = static_cast<int>(wcslen(text));
    item.iImage = ControlImage(image);
    item.lParam = data;
    const int row = static_cast<int>(
        SendMessageW(control, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row == -1) {
        return -1;
    }
    SetRowText(control, row, text);
    if (mark) {
        SetRowState(control, row, INDEXTOSTATEIMAGEMASK(kCheckMarkStateImage), LVIS_STATEIMAGEMASK);
    }
    return row;
}

void ListViewCtl::SetVirtualRowCount(int rows) {
    if (HWND control = Control()) {
        SendMessageW(control, LVM_SETITEMCOUNT, static_cast<WPARAM>(std::max(rows, 0)), 0);
    }
}

void ListViewCtl::UpdateItem(int row, const wchar_t* text, int image, int data) {
    HWND control = Control();
    if (!control || row < 0) {
        return;
    }
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = data;
    if (image != kNoImage) {
        item.mask |= LVIF_IMAGE;
        item.iImage = image;
    }
    SendMessageW(control, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    SetRowText(control, row, text);
}

void ListViewCtl::SetItemImage(int row, int image) {
    HWND control = Control();
    if (!control || row < 0) {
        return;
    }
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = ControlImage(image);
    SendMessageW(control, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void ListViewCtl::EnsureVisible(int row) {
    if (HWND control = Control(); control && row >= 0) {
        SendMessageW(control, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    }
}

void ListViewCtl::DeleteItemByData(int data) {
    HWND control = Control();
    if (!control) {
        return;
    }
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = data;
    const int row = static_cast<int>(SendMessageW(control, LVM_FINDITEMW, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(&find)));
    if (row != -1) {
        SendMessageW(control, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
    }
}

int ListViewCtl::GetSelectedIndex() const {
    HWND control = Control();
    return control ? FirstSelected(control) : -1;
}

int ListViewCtl::GetItemData(int row) const {
    HWND control = Control();
    if (!control || row < 0) {
        return -1;
    }
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageW(control, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) {
        return -1;
    }
    return static_cast<int>(item.lParam);
}

void ListViewCtl::SelectItem(int row) {
    HWND control = Control();
    if (!control || !IsWindowEnabled(control)) {
        return;
    }
    ClearSelection();
    if (row < 0 || row >= RowCount(control)) {
        return;
    }
    SetRowState(control, row, LVIS_SELECTED | LVIS_FOCUSED, kRowStateBits);
}

void ListViewCtl::ClearSelection() {
    HWND control = Control();
    if (!control) {
        return;
    }
    // Bounded by the row count: a row that refuses to lose its selection must not hang us.
    for (int tries = RowCount(control); tries >= 0; --tries) {
        const int row = FirstSelected(control);
        if (row == -1) {
            return;
        }
        SetRowState(control, row, 0, kRowStateBits);
    }
}
