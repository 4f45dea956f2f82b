#include "app/AboutDialog.h"
#include "app/Loading.h"
#include "app/Startup.h"

#include "app/ShellFixture.h"

#include <gtest/gtest.h>

#include <string>

using testsupport::TempDir;

// The dialogs' large pictures come at exactly 192 dpi; the window's distance from the bottom
// grows with any density.
TEST(Startup, OnlyExactly192DotsPerInchTakesTheLargeValues) {
    struct Case {
        int dpi, menuBar, offset, scale;
    } cases[] = {{192, 52, 100, 2}, {96, 26, 0, 1},   {131, 35, 0, 1}, {191, 52, 0, 1},
                 {193, 52, 0, 1},   {384, 104, 0, 1}, {72, 26, 0, 1}};
    for (const Case& c : cases) {
        ApplyScreenDensity(c.dpi);
        EXPECT_EQ(c.menuBar, menuBarHeight) << c.dpi;
        EXPECT_EQ(c.offset, resIdOffset) << c.dpi;
        EXPECT_EQ(c.scale, uiScale) << c.dpi;
    }
}

TEST(Startup, TheDefaultBlinketShowsOptionsWithTheBigEyes) {
    TempDir dir;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    EXPECT_EQ(nullptr, MakeDefaultBlinket(instance, dir.path().c_str()));
    dir.WriteFile(L"Blinkets\\eyesbig.gif", "GIF89a");
    dir.WriteFile(L"Blinkets\\eyesbig.gif.eye", "1,1,5,5\r\n6,1,9,5\r\n");
    const auto blinket = MakeDefaultBlinket(instance, dir.path().c_str());
    ASSERT_NE(nullptr, blinket);
    wchar_t longName[MAX_PATH] = {};
    GetLongPathNameW(blinket->imageFile, longName, MAX_PATH);
    EXPECT_EQ(dir.path() + L"Blinkets\\eyesbig.gif", std::wstring(longName));
    EXPECT_EQ(kActionShowOptions, blinket->actionCmd);
    EXPECT_STREQ(L"Show Options", blinket->actionString);
    EXPECT_EQ(0, blinket->blinketPos);
    EXPECT_EQ(0, blinket->imagePos);
    EXPECT_FALSE(blinket->eyesTried);
    EXPECT_EQ(nullptr, blinket->eyes);

    // Any folder whose path fits is found; one past the longest path counts as missing.
    std::wstring deep = dir.path();
    while (deep.size() + 26 + 20 < MAX_PATH) {
        deep += L"a folder with a long name\\";
    }
    dir.WriteFile(deep.substr(dir.path().size()) + L"Blinkets\\eyesbig.gif", "GIF89a");
    const auto found = MakeDefaultBlinket(instance, deep.c_str());
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(deep + L"Blinkets\\eyesbig.gif", found->imageFile);
    const std::wstring tooDeep = deep + std::wstring(MAX_PATH - deep.size(), L'x') + L"\\";
    EXPECT_EQ(nullptr, MakeDefaultBlinket(instance, tooDeep.c_str()));
    EXPECT_EQ(nullptr, MakeDefaultBlinket(instance, nullptr));
}

TEST(Startup, AboutFillsTheScreenAndOnlyDoneEndsIt) {
    appInstance = GetModuleHandleW(nullptr);
    RECT rect = {};
    bool survivedOtherCommand = false;
    HWND owner = reinterpret_cast<HWND>(1);
    testsupport::ModalDriver driver;
    driver.OnDialog(L"About", [&](HWND about) {
        GetWindowRect(about, &rect);
        owner = GetWindow(about, GW_OWNER);
        PostMessageW(about, WM_COMMAND, 1234, 0);
    });
    driver.OnDialog(L"About", [&](HWND about) {
        survivedOtherCommand = true;
        PostMessageW(about, WM_CLOSE, 0, 0);
    });
    ShowAboutDialog(nullptr);
    EXPECT_TRUE(driver.finished());
    EXPECT_TRUE(survivedOtherCommand);
    EXPECT_EQ(nullptr, owner);
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(EqualRect(&work, &rect));
}

TEST(Startup, ARunningCopyIsBroughtToTheFrontWhereItStands) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"OcellixRunningCopyTest";
    RegisterClassW(&windowClass);
    EXPECT_FALSE(BringRunningCopyToFront(L"OcellixRunningCopyTest"));
    const testsupport::OwnedWindow running(
        CreateWindowExW(WS_EX_TOOLWINDOW, L"OcellixRunningCopyTest", L"", WS_POPUP | WS_VISIBLE, 30,
                        40, 50, 60, nullptr, nullptr, windowClass.hInstance, nullptr));
    ASSERT_TRUE(running);
    EXPECT_TRUE(BringRunningCopyToFront(L"OcellixRunningCopyTest"));
    EXPECT_TRUE(GetWindowLongW(running.get(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT rect = {};
    GetWindowRect(running.get(), &rect);
    const RECT expected = {30, 40, 80, 100};
    EXPECT_TRUE(EqualRect(&expected, &rect));
}
