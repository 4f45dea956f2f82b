#include "dialogs/DialogState.h"
#include "dialogs/EditItemDialog.h"
#include "state/ShellState.h"
#include "tests/dialogs/DialogsTestKit.h"

#include <gtest/gtest.h>

#include <vector>

using namespace dialogstest;
using namespace testsupport;

// Two strips of thousands of one-pixel frames: every frame is a row and a thumbnail, but only
// the pictures of rows in view are decoded and drawn, and the one picked far down is what OK
// keeps.
TEST(EditItemManyFrames, EveryFrameIsARowAndAFarOneCanBePicked) {
    RegistrySandbox registry;
    ASSERT_TRUE(registry.ok());
    appInstance = dialogInstance = GetModuleHandleW(nullptr);
    TempCatalogue catalogue;
    std::vector<unsigned> pixels(16384, 0x0000FF);
    pixels[16383] = 0x00FF00;
    catalogue.Add(L"wide.bmp", MakeBmp(10000, 1, pixels.data()));
    const std::wstring widest = catalogue.Add(L"widest.bmp", MakeBmp(16384, 1, pixels.data()));
    catalogue.Load();
    ASSERT_EQ(26384, frameRefs.Count());
    ASSERT_EQ(26384, ImageList_GetImageCount(thumbnailList));
    Blinket blinket;
    editedBlinket = &blinket;
    ModalDriver driver;
    driver.OnDialog(L"Edit Item", [](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_IMAGE_LIST);
        EXPECT_EQ(26384, ListView_GetItemCount(list));
        SelectRow(list, 26383);
        SendMessageW(list, LVM_ENSUREVISIBLE, 26383, FALSE);
        const auto rows = ReadRows(list);
        EXPECT_EQ(L"widest.bmp", rows.back().text);
        EXPECT_EQ(26383, rows.back().image);
        PressDone(dialog);
    });
    RunEditItemDialog(nullptr);
    editedBlinket = nullptr;
    EXPECT_EQ(widest, blinket.imageFile);
    EXPECT_EQ(16383, blinket.imagePos);
    // The last frame's thumbnail is its own colour.
    Canvas canvas(16, 16, RGB(0, 0, 0));
    ImageList_Draw(thumbnailList, 26383, canvas.dc(), 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(RGB(0, 255, 0), canvas.Pixel(8, 8));
}
