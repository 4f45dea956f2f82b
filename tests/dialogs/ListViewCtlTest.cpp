#include "dialogs/ListViewCtl.h"
#include "resources/resource.h"
#include "tests/dialogs/DialogsTestKit.h"

#include <gtest/gtest.h>

#include <vector>

using namespace dialogstest;
using namespace testsupport;

namespace {

// The list of the Options template, with nothing but the dialog manager behind it, in four rows.
class ListViewCtlTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(list && wrapper.AttachControl(1, dialog.get(), IDC_BLINKET_LIST));
        wrapper.AddItemColumn();
        for (int i = 0; i < 4; ++i) {
            ASSERT_EQ(i, wrapper.AddItem(std::to_wstring(i).c_str(), i, 10 * i, false));
        }
    }
    // The first selected row, or -2 when more than one is selected.
    int Selected() const {
        int first = -1;
        ReadRows(list, &first);
        return SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) > 1 ? -2 : first;
    }

    OwnedWindow dialog{CreateBareDialog(IDD_OPTIONS)};
    HWND list = GetDlgItem(dialog.get(), IDC_BLINKET_LIST);
    ListViewCtl wrapper;
};

TEST_F(ListViewCtlTest, SelectionUpdatesAndDeletion) {
    LVITEMW selected = {};
    selected.state = selected.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&selected));
    SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&selected));
    EXPECT_EQ(1, wrapper.GetSelectedIndex());
    for (int outside : {-1, 4}) {
        wrapper.SelectItem(2);
        EXPECT_EQ(2, Selected());
        wrapper.SelectItem(outside);
        EXPECT_EQ(-1, Selected()) << outside;
    }
    wrapper.SelectItem(0);
    EnableWindow(list, FALSE);
    wrapper.SelectItem(3);
    EXPECT_EQ(0, Selected());

    wrapper.UpdateItem(1, L"one", ListViewCtl::kNoImage, 77);
    wrapper.UpdateItem(-1, L"none", 0, 0);
    EXPECT_EQ(-1, wrapper.AddItem(nullptr, 0, 0, false));
    wrapper.AddItem(L"again", ListViewCtl::kNoImage, 30, false);
    wrapper.DeleteItemByData(30);  // the first of two
    wrapper.DeleteItemByData(12345);
    // No image is I_IMAGENONE, rather than a request to the dialog for one.
    EXPECT_EQ((std::vector<Row>{
                  {L"0", 0, 0}, {L"one", 1, 77}, {L"2", 2, 20}, {L"again", I_IMAGENONE, 30}}),
              ReadRows(list));
    EXPECT_EQ(-1, wrapper.GetItemData(4));
}

TEST_F(ListViewCtlTest, BindingAgainResettingAndImagesOfItsOwn) {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    EXPECT_FALSE(wrapper.AttachWithImages(1, dialog.get(), IDC_BLINKET_LIST, module, IDB_TREE));
    EXPECT_TRUE(wrapper.AttachControl(1, dialog.get(), IDC_BLINKET_LIST));  // rebinds
    wrapper.Reset();
    EXPECT_FALSE(wrapper.IsAttached());
    EXPECT_EQ(0, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(0, SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ(-1, wrapper.AddItem(L"x", 0, 0, false));  // unbound: does nothing

    const int before = FreeGdiCapacity();
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(
            wrapper.AttachWithImages(2, dialog.get(), IDC_BLINKET_LIST, module, IDB_TREE + 100));
        wrapper.Reset();
    }
    EXPECT_GE(FreeGdiCapacity(), before - 2);
    wrapper.AttachWithImages(2, dialog.get(), IDC_BLINKET_LIST, module, IDB_TREE + 100);
    HIMAGELIST own =
        reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    int side = 0;
    ImageList_GetIconSize(own, &side, &side);
    EXPECT_EQ(32, side);
    EXPECT_EQ(5, ImageList_GetImageCount(own));  // the tree strip's five pictures
    dialog.Reset();                              // gone: every operation is harmless
    EXPECT_EQ(-1, wrapper.AddItem(L"x", 0, 0, false));
    wrapper.Reset();
}

}  // namespace
