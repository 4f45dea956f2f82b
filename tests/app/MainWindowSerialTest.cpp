// Runs alone: it puts a Blinkets folder with the default image beside the test program, where the
// program looks for it.
#include "app/MainWindow.h"

#include "app/ShellFixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

using shelltest::AddBlinket;
using shelltest::WriteImage;
using testsupport::FindThreadWindow;
using testsupport::ModalDriver;

namespace {

class DefaultBlinketTest : public shelltest::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        CreateDirectoryW(folder.c_str(), nullptr);
        const std::vector<unsigned> white(24 * 16, 0xFFFFFF);
        const std::string image = testsupport::MakeBmp(24, 16, white.data());
        HANDLE file = CreateFileW(defaultImage.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        WriteFile(file, image.data(), static_cast<DWORD>(image.size()), &written, nullptr);
        CloseHandle(file);
        ASSERT_EQ(image.size(), written);
    }
    void TearDown() override {
        ShellTest::TearDown();
        DeleteFileW(defaultImage.c_str());
        RemoveDirectoryW(folder.c_str());
    }

    const std::wstring folder = testsupport::ExeDirectory() + L"Blinkets";
    const std::wstring defaultImage = folder + L"\\eyesbig.gif";
};

TEST_F(DefaultBlinketTest, OptionsLeavingNoBlinketBringBackTheDefaultOneUnsaved) {
    AddBlinket(WriteImage(dir, L"only.bmp", 30, 20, 0x00FF00));
    ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(L"OcellixDefaultTest"));
    ModalDriver driver({[] {
        HWND options = FindThreadWindow(L"#32770", L"Options");
        if (!options) {
            return false;
        }
        HWND list = GetDlgItem(options, IDC_BLINKET_LIST);
        LVITEMW selected = {};
        selected.state = selected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));
        SendMessageW(options, WM_COMMAND, MAKEWPARAM(IDC_DELETE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(options, IDC_DELETE)));
        PostMessageW(options, WM_CLOSE, 0, 0);
        return true;
    }});
    RunOptions();
    ASSERT_TRUE(driver.finished());

    ASSERT_EQ(1, blinkets.Count());
    wchar_t shown[MAX_PATH] = {};
    wchar_t expected[MAX_PATH] = {};
    GetLongPathNameW(blinkets.At(0)->imageFile, shown, MAX_PATH);
    GetLongPathNameW(defaultImage.c_str(), expected, MAX_PATH);
    EXPECT_EQ(0, lstrcmpiW(expected, shown)) << shown;
    EXPECT_EQ(kActionShowOptions, blinkets.At(0)->actionCmd);
    RECT rect = {};
    GetWindowRect(mainWindow, &rect);
    EXPECT_EQ(24 + 5, rect.right - rect.left);
    EXPECT_EQ(16, rect.bottom - rect.top);
    RegKey saved;
    EXPECT_FALSE(saved.Open(HKEY_CURRENT_USER,
                            L"\\Software\\Tarnwick\\Ocellix\\Blinkets\\Blinket_00", false));
}

}  // namespace
