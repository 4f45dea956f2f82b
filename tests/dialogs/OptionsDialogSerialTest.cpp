// The Options dialog as the program runs it, over the Blinkets folder beside this executable.
#include "controls/ImageButtonStrip.h"
#include "dialogs/DialogState.h"
#include "dialogs/OptionsDialog.h"
#include "resources/resource.h"
#include "state/ShellState.h"
#include "tests/dialogs/DialogsTestKit.h"

#include <gtest/gtest.h>

#include <vector>

using namespace dialogstest;
using namespace testsupport;

namespace {

class OptionsDialogRunTest : public testing::Test {
protected:
    void SetUp() override {
        appInstance = GetModuleHandleW(nullptr);
        Blinket* blinket =
            AddBlinket(folder.path() + L"eyes.bmp", kActionShowOptions, L"Show Options");
        blinket->imageExists = true;
    }
    void TearDown() override { blinkets.Clear(); }
    void AddImages() {
        for (const wchar_t* name : {L"eyes.bmp", L"other.bmp"}) {
            folder.WriteFile(name, StripBmp(16, {0xFF0000, 0x00FF00}));
        }
    }
    // Opens the dialog, reads its rows while it is up, and closes it with Done.
    std::vector<Row> RunOnce(int offset, int scale, RECT* buttonRect = nullptr) {
        std::vector<Row> rows;
        ModalDriver driver;
        driver.OnDialog(L"Options", [&](HWND dialog) {
            rows = ReadRows(GetDlgItem(dialog, IDC_BLINKET_LIST));
            firstThumbnail = ThumbnailOf(*blinkets.At(0));
            if (buttonRect) {
                GetWindowRect(GetDlgItem(dialog, IDC_ADD), buttonRect);
            }
            PressDone(dialog);
        });
        EXPECT_EQ(1, ShowOptionsDialog(nullptr, GetModuleHandleW(nullptr), offset, scale));
        return rows;
    }

    // The user's picture folder of the sandbox: a fresh one, empty.
    RegistrySandbox registry;
    TempDir folder{ExeDirectory() + L"Blinkets"};
    int firstThumbnail = -1;
};

TEST_F(OptionsDialogRunTest, MissingOrEmptyFolderGivesRowsWithoutThumbnails) {
    ASSERT_TRUE(RemoveDirectoryW(folder.path().c_str()));
    EXPECT_EQ(std::vector<Row>({{L"Show Options", I_IMAGENONE, 0}}), RunOnce(0, 1));
    CreateDirectoryW(folder.path().c_str(), nullptr);
    EXPECT_EQ(std::vector<Row>({{L"Show Options", I_IMAGENONE, 0}}), RunOnce(0, 1));
    EXPECT_EQ(nullptr, thumbnailList);
}

TEST_F(OptionsDialogRunTest, ImagesBesideTheProgramGiveThumbnailsAtBothDensities) {
    AddImages();
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        RECT button = {};
        const std::vector<Row> rows = RunOnce(100 * (scale - 1), scale, &button);
        ASSERT_EQ(1u, rows.size());
        EXPECT_LE(0, rows[0].image);
        EXPECT_EQ(firstThumbnail, rows[0].image);
        EXPECT_EQ(20 * scale + 5, button.right - button.left);
        // Everything of the run is freed once it has closed.
        EXPECT_EQ(nullptr, thumbnailList);
        EXPECT_TRUE(imageFiles.IsEmpty());
        EXPECT_EQ(0, frameRefs.Count());
        EXPECT_EQ(nullptr, addButtonStrip.images);
    }
}

TEST_F(OptionsDialogRunTest, AHundredOpeningsLeakNoHandles) {
    AddImages();
    RunOnce(0, 1);
    const int gdi = FreeGdiCapacity();
    const int user = FreeUserCapacity();
    ModalDriver driver;
    for (int i = 0; i < 100; ++i) {
        driver.Done(L"Options");
        ShowOptionsDialog(nullptr, GetModuleHandleW(nullptr), 0, 1);
    }
    EXPECT_GE(FreeGdiCapacity(), gdi - 5);
    EXPECT_GE(FreeUserCapacity(), user - 5);
}

}  // namespace
