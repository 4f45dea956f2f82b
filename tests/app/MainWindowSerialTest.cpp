// Runs alone: it puts a Blinkets folder with the default image beside the test program, where the
// program looks for it.
#include "app/Operations.h"

#include "app/ShellFixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>

using testsupport::AddBlinket;
using testsupport::ModalDriver;

namespace {

class DefaultBlinketTest : public shelltest::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_TRUE(testsupport::WriteBytes(defaultImage, testsupport::SolidBmp(24, 16, 0xFFFFFF)));
    }

    testsupport::TempDir folder{testsupport::ExeDirectory() + L"Blinkets"};
    const std::wstring defaultImage = folder.path() + L"eyesbig.gif";
};

TEST_F(DefaultBlinketTest, OptionsLeavingNoBlinketBringBackTheDefaultOneUnsaved) {
    AddBlinket(Image(L"only.bmp", 30, 20, 0x00FF00));
    ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(L"OcellixDefaultTest"));
    ModalDriver driver;
    driver.OnDialog(L"Options", [](HWND options) {
        testsupport::SelectRow(GetDlgItem(options, IDC_BLINKET_LIST), 0);
        testsupport::Click(options, IDC_DELETE);
        PostMessageW(options, WM_CLOSE, 0, 0);
    });
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
    EXPECT_FALSE(rawreg::KeyExists(rawreg::BlinketKey(0)));
}

// The big eyes stand in once however often the window is laid out, even when their picture cannot
// be decoded; a save leaves them out until the user picks them in Edit Item.
TEST_F(DefaultBlinketTest, TheStandInIsNeitherSavedNorDoubledUntilTheUserMakesItTheirs) {
    AddBlinket(dir.path() + L"gone.bmp", kActionWebPage, L"http://gone.example/");
    ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(L"OcellixStandInTest"));
    const auto standIns = [] {
        int count = 0;
        for (int i = 0; i < blinkets.Count(); ++i) {
            count += blinkets.At(i)->standIn ? 1 : 0;
        }
        return count;
    };
    for (const std::string& picture :
         {std::string("not a picture"), testsupport::SolidBmp(24, 16, 0xFFFFFF)}) {
        ASSERT_TRUE(testsupport::WriteBytes(defaultImage, picture));
        RepositionWindow();
        RepositionWindow();
        EXPECT_EQ(2, blinkets.Count());
        EXPECT_EQ(1, standIns());
    }
    {
        ModalDriver driver;
        driver.Done(L"Options");
        RunOptions();
    }
    EXPECT_TRUE(rawreg::KeyExists(rawreg::BlinketKey(0)));
    EXPECT_FALSE(rawreg::KeyExists(rawreg::BlinketKey(1)));
    EXPECT_EQ(1, standIns());
    // Once something else can be shown, the stand-in leaves with the closing of Options.
    Image(L"gone.bmp", 30, 20, 0x00FF00);
    {
        ModalDriver driver;
        driver.Done(L"Options");
        RunOptions();
    }
    EXPECT_EQ(1, blinkets.Count());
    ASSERT_TRUE(DeleteFileW((dir.path() + L"gone.bmp").c_str()));
    RepositionWindow();
    EXPECT_EQ(1, standIns());
    {
        ModalDriver driver;
        driver
            .OnDialog(L"Options",
                      [](HWND options) {
                          testsupport::SelectRow(GetDlgItem(options, IDC_BLINKET_LIST), 1);
                          testsupport::Click(options, IDC_EDIT);
                      })
            .Done(L"Edit Item")
            .Done(L"Options");
        RunOptions();
        ASSERT_TRUE(driver.finished());
    }
    EXPECT_EQ(0, standIns());
    EXPECT_EQ(static_cast<DWORD>(kActionShowOptions),
              rawreg::Dword(rawreg::BlinketKey(1), L"ActionCmd"));
}

}  // namespace
