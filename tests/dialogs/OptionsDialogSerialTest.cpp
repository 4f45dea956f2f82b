// The Options dialog as the program runs it, over the Blinkets folder beside this executable.
#include "app/ShellState.h"
#include "controls/ImageButtonStrip.h"
#include "dialogs/DialogState.h"
#include "dialogs/OptionsDialog.h"
#include "resources/resource.h"
#include "tests/dialogs/DialogsTestKit.h"

#include <gtest/gtest.h>

#include <strsafe.h>

#include <vector>

using dialogstest::ModalScript;
using dialogstest::ReadRows;
using dialogstest::Row;
using dialogstest::StripBmp;
using testsupport::DeleteTree;
using testsupport::ExeDirectory;

namespace {

class OptionsDialogRunTest : public testing::Test {
protected:
    void SetUp() override {
        DeleteTree(folder);
        appInstance = GetModuleHandleW(nullptr);
        auto blinket = std::make_unique<Blinket>();
        blinket->SetImageFile((folder + L"eyes.bmp").c_str());
        StringCchCopyW(blinket->actionString, MAX_PATH, L"Show Options");
        blinket->actionCmd = kActionShowOptions;
        blinket->imageExists = true;
        blinkets.Append(std::move(blinket));
    }
    void TearDown() override {
        DeleteTree(folder);
        blinkets.Clear();
    }
    void AddImages() {
        CreateDirectoryW(folder.c_str(), nullptr);
        for (const wchar_t* name : {L"eyes.bmp", L"other.bmp"}) {
            const std::string bytes = StripBmp(16, {0xFF0000, 0x00FF00});
            HANDLE file = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            CloseHandle(file);
        }
    }
    // Opens the dialog, reads its rows while it is up, and closes it with Done.
    std::vector<Row> RunOnce(int offset, int scale, RECT* buttonRect = nullptr) {
        std::vector<Row> rows;
        ModalScript script;
        script.On(L"Options", [&](HWND dialog) {
            rows = ReadRows(GetDlgItem(dialog, IDC_BLINKET_LIST));
            if (buttonRect) {
                GetWindowRect(GetDlgItem(dialog, IDC_ADD), buttonRect);
            }
            dialogstest::PressDone(dialog);
        });
        EXPECT_EQ(1, ShowOptionsDialog(nullptr, GetModuleHandleW(nullptr), offset, scale));
        return rows;
    }

    const std::wstring folder = ExeDirectory() + L"Blinkets\\";
};

TEST_F(OptionsDialogRunTest, MissingOrEmptyFolderGivesRowsWithoutThumbnails) {
    EXPECT_EQ(std::vector<Row>({{L"Show Options", I_IMAGENONE, 0}}), RunOnce(0, 1));
    CreateDirectoryW(folder.c_str(), nullptr);
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
        EXPECT_TRUE(rows[0].image == 0 || rows[0].image == 2) << rows[0].image;
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
    const int gdi = testsupport::FreeGdiCapacity();
    const int user = testsupport::FreeUserCapacity();
    ModalScript script;
    for (int i = 0; i < 100; ++i) {
        script.Done(L"Options");
        ShowOptionsDialog(nullptr, GetModuleHandleW(nullptr), 0, 1);
    }
    EXPECT_GE(testsupport::FreeGdiCapacity(), gdi - 5);
    EXPECT_GE(testsupport::FreeUserCapacity(), user - 5);
}

}  // namespace
