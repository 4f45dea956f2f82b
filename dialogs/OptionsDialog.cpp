#include "dialogs/OptionsDialog.h"

#include "base/ShellHelpers.h"
#include "controls/ImageButtonStrip.h"
#include "dialogs/DialogState.h"
#include "dialogs/EditItemDialog.h"
#include "dialogs/ImageCatalogue.h"
#include "resources/resource.h"
#include "state/ShellState.h"

#include <strsafe.h>

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

namespace {

struct ImageButton {
    int controlId;
    ImageButtonStrip* strip;
    UINT stripId;
};

// In the order the buttons are configured and released.
const ImageButton kImageButtons[] = {
    {IDC_ADD, &addButtonStrip, IDB_ADD},
    {IDC_EDIT, &editButtonStrip, IDB_EDIT},
    {IDC_DELETE, &deleteButtonStrip, IDB_DELETE},
    {IDC_MOVE_UP, &upButtonStrip, IDB_MOVE_UP},
    {IDC_MOVE_DOWN, &downButtonStrip, IDB_MOVE_DOWN},
};

constexpr int kButtonPicture = 20;  // pixels at the normal density

ImageButtonStrip* StripOf(int controlId) {
    for (const ImageButton& button : kImageButtons) {
        if (button.controlId == controlId) {
            return button.strip;
        }
    }
    return nullptr;
}

// Buttons sized to their pictures are wider than the template's spacing on the desktop, where a
// dialog unit is smaller than on the handheld: each would paint over its left neighbour and
// take its clicks. They keep their order and move right just far enough.
void SeparateImageButtons(HWND dialog) {
    std::vector<HWND> row;
    for (const ImageButton& button : kImageButtons) {
        if (HWND window = GetDlgItem(dialog, button.controlId)) {
            row.push_back(window);
        }
    }
    std::sort(row.begin(), row.end(), [dialog](HWND a, HWND b) {
        return ChildRect(dialog, a).left < ChildRect(dialog, b).left;
    });
    LONG previousRight = LONG_MIN;
    for (HWND window : row) {
        const RECT placed = ChildRect(dialog, window);
        if (placed.left < previousRight) {
            SetWindowPos(window, nullptr, previousRight, placed.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        previousRight = std::max(previousRight, ChildRect(dialog, window).right);
    }
}

void LayoutImageButtons(HWND dialog) {
    for (const ImageButton& button : kImageButtons) {
        HWND window = GetDlgItem(dialog, button.controlId);
        ImageButtonStrip& strip = *button.strip;
        if (!window || strip.IsConfigured()) {
            continue;
        }
        strip.button = window;
        strip.parent = dialog;
        strip.Configure(dialogInstance, dialogResIdOffset, true, false, false, true, 0, nullptr,
                        nullptr, 16, 16, kKeyColour);
        strip.imageWidth = kButtonPicture * dialogScale;
        strip.imageHeight = kButtonPicture * dialogScale;
        strip.Create(button.controlId, dialog, window, button.stripId, true, nullptr, false,
                     nullptr);
    }
    SeparateImageButtons(dialog);
}

// The bottom of the lowest image button, in client coordinates.
int ImageButtonsBottom(HWND dialog) {
    int bottom = 0;
    for (const ImageButton& button : kImageButtons) {
        if (HWND window = GetDlgItem(dialog, button.controlId)) {
            bottom = std::max<int>(bottom, ChildRect(dialog, window).bottom);
        }
    }
    return bottom;
}

// The index of the missing-picture mark in the thumbnails, or -1.
int missingPictureMark = -1;

// The picture of a blinket's row: its thumbnail; the mark when its picture cannot be opened;
// none for a picture that lies outside the catalogue, or for a blinket that has none yet.
int RowImage(const Blinket& blinket) {
    const int thumbnail = ThumbnailOf(blinket);
    if (!blinket.imageFile[0]) {
        return ListViewCtl::kNoImage;
    }
    return thumbnail >= 0 || blinket.imageExists ? thumbnail : missingPictureMark;
}

// Shows blinket index in row index, as it stands now.
void ShowRow(int index) {
    const Blinket* blinket = blinkets.At(index);
    if (!blinket) {
        return;
    }
    // The image is set apart: UpdateItem leaves a row's image as it was for no image.
    optionsListView->UpdateItem(index, blinket->actionString, ListViewCtl::kNoImage, index);
    optionsListView->SetItemImage(index, RowImage(*blinket));
}

// One row per blinket, in list order, each with its position as data; a blinket whose picture
// is missing keeps its row, so that it can be edited, moved or deleted rather than lost.
void FillRows() {
    optionsListView->DeleteAllItems();
    for (int i = 0; i < blinkets.Count(); ++i) {
        if (const Blinket* blinket = blinkets.At(i)) {
            optionsListView->AddItem(blinket->actionString, RowImage(*blinket), i, false);
        }
    }
}

void LayoutOptionsDialog(HWND dialog) {
    LayoutImageButtons(dialog);
    HWND list = GetDlgItem(dialog, IDC_BLINKET_LIST);
    if (list && !optionsListView) {
        // Buttons sized to their pictures can reach below the template's row for them, and
        // would hide the top of the list.
        StretchListControl(dialog, list, ImageButtonsBottom(dialog));
        missingPictureMark = AddMissingPictureMark(dialog);
        optionsListView = AttachThumbnailList(dialog, IDC_BLINKET_LIST);
    }
    if (optionsListView && optionsListView->IsAttached()) {
        FillRows();
    }
}

// The selected row and the position of its blinket; false when either is missing.
bool GetSelection(int& row, int& idx) {
    if (!optionsListView) {
        return false;
    }
    row = optionsListView->GetSelectedIndex();
    idx = row == -1 ? -1 : optionsListView->GetItemData(row);
    return row != -1 && idx != -1;
}

void AddBlinket(HWND dialog) {
    auto blinket = std::make_unique<Blinket>();
    editedBlinket = blinket.get();
    RunEditItemDialog(dialog);
    if (optionsListView) {
        optionsListView->AddItem(blinket->actionString, RowImage(*blinket), blinkets.Count(),
                                 false);
    }
    blinkets.Append(std::move(blinket));
    editedBlinket = nullptr;
}

// A blinket that a drop or /add brings, and the position it is to take.
struct Arrival {
    std::unique_ptr<Blinket> blinket;
    int before = 0;
};
// Posted once the dialog is up. The arrival, which lives as long as the dialog, waits in the
// dialog's user data rather than in the message, which any process can post.
constexpr UINT kTakeArrival = WM_APP + 1;

// Edit Item on the arriving blinket. With a picture chosen it joins the list at its place and
// its row is selected; without one it is dropped, as Add leaves such a blinket unsaved.
void TakeArrivingBlinket(HWND dialog) {
    auto* arrival = reinterpret_cast<Arrival*>(SetWindowLongPtrW(dialog, DWLP_USER, 0));
    std::unique_ptr<Blinket> blinket = arrival ? std::move(arrival->blinket) : nullptr;
    if (!blinket) {
        return;
    }
    editedBlinket = blinket.get();
    RunEditItemDialog(dialog);
    editedBlinket = nullptr;
    if (!blinket->imageFile[0]) {
        return;
    }
    const int before = std::clamp(arrival->before, 0, blinkets.Count());
    blinkets.Insert(before, std::move(blinket));
    if (optionsListView) {
        FillRows();
        optionsListView->SelectItem(before);
        optionsListView->EnsureVisible(before);
    }
}

void EditBlinket(HWND dialog) {
    int row = -1;
    int idx = -1;
    if (!GetSelection(row, idx) || !blinkets.At(idx)) {
        return;
    }
    editedBlinket = blinkets.At(idx);
    RunEditItemDialog(dialog);
    optionsListView->UpdateItem(row, editedBlinket->actionString, RowImage(*editedBlinket), idx);
    editedBlinket = nullptr;
}

void DeleteBlinket() {
    int row = -1;
    int idx = -1;
    if (!GetSelection(row, idx) || !blinkets.At(idx)) {
        return;
    }
    blinkets.RemoveAt(idx);
    optionsListView->DeleteItemByData(idx);
    // The blinkets after the deleted one have moved one place forward.
    for (int r = 0;; ++r) {
        const int data = optionsListView->GetItemData(r);
        if (data == -1) {
            return;
        }
        if (data > idx) {
            const Blinket* blinket = blinkets.At(data - 1);
            optionsListView->UpdateItem(r, blinket ? blinket->actionString : L"",
                                        ListViewCtl::kNoImage, data - 1);
        }
    }
}

// Exchanges blinkets first and first + 1 and their rows, and scrolls the row the selected
// blinket moved to into view; the highlight stays on its row.
void SwapBlinkets(int first, int movedTo) {
    if (!blinkets.SwapWithNext(first)) {
        return;
    }
    // Both change place in the main window, so their eyes are read again there.
    blinkets.At(first)->DropEyes();
    blinkets.At(first + 1)->DropEyes();
    ShowRow(first);
    ShowRow(first + 1);
    optionsListView->EnsureVisible(movedTo);
}

void MoveBlinketUp() {
    int row = -1;
    int idx = -1;
    if (GetSelection(row, idx) && idx > 0) {
        SwapBlinkets(idx - 1, row - 1);
    }
}

void MoveBlinketDown() {
    int row = -1;
    int idx = -1;
    const int last = blinkets.Count() - 1;
    if (GetSelection(row, idx) && row < last && idx < last) {
        SwapBlinkets(idx, row + 1);
    }
}

INT_PTR OnOptionsCommand(HWND dialog, int id, int code) {
    if (id == IDOK && code != 0) {
        EndDialog(dialog, 1);
        return TRUE;
    }
    if (code != BN_CLICKED) {
        return FALSE;
    }
    switch (id) {
    case IDC_ADD: AddBlinket(dialog); break;
    case IDC_EDIT: EditBlinket(dialog); break;
    case IDC_DELETE: DeleteBlinket(); break;
    case IDC_MOVE_UP: MoveBlinketUp(); break;
    case IDC_MOVE_DOWN: MoveBlinketDown(); break;
    }
    return FALSE;
}

// The strips draw no focus, as on the handheld, which has no keyboard. On the desktop a
// keyboard user must see which button Space would press.
void DrawKeyboardFocus(const DRAWITEMSTRUCT* item) {
    if (!item || !(item->itemState & ODS_FOCUS) || (item->itemState & ODS_NOFOCUSRECT)) {
        return;
    }
    RECT focus = item->rcItem;
    InflateRect(&focus, -1, -1);
    DrawFocusRect(item->hDC, &focus);
}

INT_PTR OnOptionsDrawItem(int controlId, const DRAWITEMSTRUCT* item) {
    ImageButtonStrip* strip = StripOf(controlId);
    if (!strip) {
        return FALSE;
    }
    strip->OnDrawItem(item);
    DrawKeyboardFocus(item);
    return TRUE;
}

void OnOptionsDestroy() {
    for (const ImageButton& button : kImageButtons) {
        button.strip->Release();
    }
    optionsListView.reset();
}

}  // namespace

int ShowOptionsDialog(HWND owner, HINSTANCE instance, int resIdOffsetValue, int scale,
                      std::unique_ptr<Blinket> arriving, int before) {
    // A second dialog over the first would free the catalogue the first one still shows.
    static bool running = false;
    if (running) {
        return 1;
    }
    running = true;
    Arrival arrival{std::move(arriving), before};
    dialogResIdOffset = resIdOffsetValue;
    dialogScale = scale > 0 ? scale : 1;
    dialogInstance = instance;
    wchar_t folder[MAX_PATH];
    GetModuleDirectory(instance, folder);
    wchar_t userFolder[MAX_PATH];
    UserPictureFolder(false, userFolder);
    // Without the program's own folder a relative "Blinkets\" would name another.
    const bool shipped = folder[0] && SUCCEEDED(StringCchCatW(folder, MAX_PATH, L"Blinkets\\"));
    LoadImageCatalogue(owner, shipped ? folder : nullptr, userFolder);
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_OPTIONS), owner, OptionsDlgProc,
                    arrival.blinket ? reinterpret_cast<LPARAM>(&arrival) : 0);
    FreeImageCatalogue();
    running = false;
    return 1;
}

INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitPocketDialog(dialog);
        LayoutOptionsDialog(dialog);
        if (lParam) {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            PostMessageW(dialog, kTakeArrival, 0, 0);
        }
        return TRUE;
    case kTakeArrival: TakeArrivingBlinket(dialog); return TRUE;
    case WM_DRAWITEM:
        return OnOptionsDrawItem(static_cast<int>(wParam),
                                 reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND: return OnOptionsCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY:
        return DrawSelectionAlways(dialog, IDC_BLINKET_LIST, reinterpret_cast<NMHDR*>(lParam));
    case WM_DESTROY: OnOptionsDestroy(); return FALSE;
    }
    // The dialog manager does the default processing; DefWindowProc here would break it.
    return FALSE;
}
