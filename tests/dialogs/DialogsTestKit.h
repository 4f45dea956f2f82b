// Helpers of the configuration dialog tests: list-view rows read back and drawn, the action box
// chosen from, and image catalogues of made-up pictures.
#pragma once

#include "dialogs/ImageCatalogue.h"
#include "resources/resource.h"
#include "support/TestSupport.h"

#include <windows.h>
#include <commctrl.h>

#include <ostream>
#include <string>
#include <vector>

namespace dialogstest {

struct Row {
    std::wstring text;
    int image;
    int data;
    bool operator==(const Row&) const = default;
};

inline void PrintTo(const Row& row, std::ostream* out) {
    *out << "{\"" << std::string(row.text.begin(), row.text.end()) << "\", " << row.image << ", "
         << row.data << "}";
}

inline std::vector<Row> ReadRows(HWND list, int* selected = nullptr) {
    std::vector<Row> rows;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = i;
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        rows.push_back({text, item.iImage, static_cast<int>(item.lParam)});
    }
    if (selected) {
        *selected = static_cast<int>(
            SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    return rows;
}

// The colour a list view paints near the right end of the row, the row's background when it
// is drawn into a bitmap as it would be on screen.
inline COLORREF RowBackground(HWND list, int row) {
    RECT client = {};
    GetClientRect(list, &client);
    testsupport::Canvas canvas(client.right, client.bottom, RGB(1, 2, 3));
    SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()),
                 PRF_CLIENT | PRF_ERASEBKGND);
    RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&bounds));
    return canvas.Pixel(bounds.right - 5, (bounds.top + bounds.bottom) / 2);
}

// Chooses the action of the Edit Item dialog as a user does, with the box's selection change.
inline void ChooseAction(HWND dialog, const wchar_t* text) {
    HWND box = GetDlgItem(dialog, IDC_ACTION);
    SendMessageW(box, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ACTION, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box));
}

// A catalogue of a temporary folder, freed at the end.
class TempCatalogue {
public:
    ~TempCatalogue() { FreeImageCatalogue(); }
    std::wstring Add(const std::wstring& name, const std::string& bytes) {
        return dir.WriteFile(name, bytes);
    }
    void Load() { LoadImageCatalogue(nullptr, dir.path().c_str()); }
    // Appends the folder's images to the catalogue's, for an order of images that the test sets.
    void Scan() { ScanImageFolder(dir.path().c_str(), imageFiles); }
    const std::wstring& folder() const { return dir.path(); }

private:
    testsupport::TempDir dir;
};

}  // namespace dialogstest
