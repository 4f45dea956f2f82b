// A report-style list-view control of a dialog, found afresh by its id for every operation, so
// that every operation is harmless before binding, after the dialog has gone, or without the
// control.
#pragma once

#include <windows.h>
#include <commctrl.h>

class ListViewCtl {
public:
    // The image index of a row that has no image.
    static constexpr int kNoImage = -1;

    ListViewCtl();
    virtual ~ListViewCtl();
    ListViewCtl(const ListViewCtl&) = delete;
    ListViewCtl& operator=(const ListViewCtl&) = delete;

    virtual bool IsAttached() const { return attached; }
    // Binds to the control (again, when already bound); true also when there is no control.
    virtual bool AttachControl(int scaleValue, HWND dialog, int id);
    // Binds to an unbound wrapper's control and gives it an image list of its own, cut from the
    // strip resource in squares of 16 x scale pixels. False when already bound or no dialog.
    virtual bool AttachWithImages(int scaleValue, HWND dialog, int id, HINSTANCE instance,
                                  UINT resourceId);

    // Empties the control, drops the binding and the own image list.
    void Reset();
    void DeleteAllItems();
    void DeleteAllColumns();
    // The one column "Item", as wide as the control less a vertical scroll bar.
    void AddItemColumn();
    // Appends a row; its index, or -1.
    int AddItem(const wchar_t* text, int image, int data, bool mark);
    // The number of rows of a list that asks its parent for each row as it is shown.
    void SetVirtualRowCount(int rows);
    // Sets text and item data, and the image unless it is kNoImage.
    void UpdateItem(int row, const wchar_t* text, int image, int data);
    // Sets the row's image, kNoImage included.
    void SetItemImage(int row, int image);
    // Scrolls the row into view, as little as needed.
    void EnsureVisible(int row);
    void DeleteItemByData(int data);
    // The first selected row, or -1.
    int GetSelectedIndex() const;
    // The row's item data, or -1.
    int GetItemData(int row) const;
    // Selects and focuses the row alone; an out-of-range row leaves nothing selected.
    void SelectItem(int row);
    void ClearSelection();

private:
    HWND Control() const;
    void Bind(HWND control, int scaleValue, HWND dialog, int id);

    HWND parentDialog = nullptr;
    int controlId = 0;
    HIMAGELIST ownImageList = nullptr;
    bool attached = false;
    int scale = 1;
};
