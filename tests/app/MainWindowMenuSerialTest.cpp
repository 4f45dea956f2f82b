// Runs alone: a popup menu closes as soon as a window of another process takes the foreground,
// which a test running alongside would do.
#include "app/Operations.h"

#include "app/ShellFixture.h"
#include "app/Timers.h"
#include "base/Handles.h"
#include "platform/PocketShell.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using shelltest::AdvancedBy;
using testsupport::AddBlinket;
using testsupport::ModalDriver;
using testsupport::PumpMessages;

namespace {

using MenuItem = std::pair<UINT, std::wstring>;

// What a driver step saw of the popup menu.
struct MenuSeen {
    RECT rect = {};
    std::vector<MenuItem> items;
};

// A step that reads the popup menu into seen and closes it.
ModalDriver::Action ReadMenu(MenuSeen& seen) {
    return [&seen](HWND menuWindow) {
        GetWindowRect(menuWindow, &seen.rect);
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
        for (int index = 0; index < GetMenuItemCount(menu); ++index) {
            wchar_t text[32] = {};
            GetMenuStringW(menu, static_cast<UINT>(index), text, 32, MF_BYPOSITION);
            seen.items.emplace_back(GetMenuItemID(menu, index), text);
        }
        EndMenu();
    };
}

// A step that picks a menu item with the keyboard, as a person would.
ModalDriver::Action Choose(std::vector<WPARAM> keys) {
    return [keys](HWND menu) {
        for (WPARAM key : keys) {
            PostMessageW(menu, WM_KEYDOWN, key, 0);
        }
    };
}

class MainWindowTest : public shelltest::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        AddBlinket(Image(L"plain.bmp", 30, 20, 0x00FF00));
        AddFace();
        ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(L"OcellixMainTest"));
    }

    RECT WindowRect() const {
        RECT rect = {};
        GetWindowRect(mainWindow, &rect);
        return rect;
    }
    void Ticks(int count) {
        for (int i = 0; i < count; ++i) {
            SendMessageW(mainWindow, WM_TIMER, kMainTimerId, 0);
        }
    }
    bool Topmost() const { return GetWindowLongW(mainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST; }
};

}  // namespace

TEST_F(MainWindowTest, IsAShapedTopmostToolWindowWithItsTimer) {
    const LONG style = GetWindowLongW(mainWindow, GWL_STYLE);
    EXPECT_EQ(WS_POPUP | WS_VISIBLE | 0x00010000,
              style & (WS_POPUP | WS_VISIBLE | 0x00010000 | WS_CAPTION | WS_BORDER | WS_CHILD));
    EXPECT_EQ(WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
              GetWindowLongW(mainWindow, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW));
    const RECT rect = WindowRect();
    EXPECT_EQ(80, rect.right - rect.left);
    EXPECT_EQ(30, rect.bottom - rect.top);
    GdiObject<HRGN> region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_EQ(COMPLEXREGION, GetWindowRgn(mainWindow, region.get()));
    EXPECT_TRUE(PtInRegion(region.get(), 1, 1));
    EXPECT_FALSE(PtInRegion(region.get(), 32, 1));   // the gap
    EXPECT_FALSE(PtInRegion(region.get(), 10, 25));  // below the shorter blinket
    EXPECT_EQ(kMainTimerId, timerId);
    EXPECT_TRUE(KillTimer(mainWindow, kMainTimerId));
}

TEST_F(MainWindowTest, TicksKeepItOnTopAndEveryTenthAnimatesUnlessADialogIsUp) {
    const MtRandom before = rng;
    SetWindowPos(mainWindow, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    dialogActive = true;
    Ticks(25);
    EXPECT_FALSE(Topmost());
    EXPECT_EQ(0, idleTicks);
    dialogActive = false;
    Ticks(9);
    EXPECT_TRUE(Topmost());
    EXPECT_EQ(9, idleTicks);
    EXPECT_TRUE(AdvancedBy(before, 0));
    Ticks(1);
    EXPECT_EQ(0, idleTicks);
    EXPECT_TRUE(AdvancedBy(before, 1));
}

TEST_F(MainWindowTest, ATickLiftsItAboveATopmostWindowThatHidesPartOfIt) {
    const auto above = [](HWND upper, HWND lower) {
        for (HWND window = GetWindow(lower, GW_HWNDPREV); window;
             window = GetWindow(window, GW_HWNDPREV)) {
            if (window == upper) {
                return true;
            }
        }
        return false;
    };
    const RECT own = WindowRect();
    const struct {
        bool shown, over, lifted;
    } cases[] = {{true, true, true}, {true, false, false}, {false, true, false}};
    for (const auto& c : cases) {
        // A window beside it or hidden covers nothing, and the window is left where it stands.
        const POINT at = c.over ? POINT{own.left + 5, own.top + 5} : POINT{own.left, own.top - 20};
        HWND other = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"STATIC",
                                     L"", WS_POPUP | (c.shown ? WS_VISIBLE : 0), at.x, at.y, 10, 10,
                                     nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, other);
        SetWindowPos(other, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ASSERT_TRUE(above(other, mainWindow));
        Ticks(1);
        EXPECT_EQ(c.lifted, above(mainWindow, other)) << c.shown << c.over;
        EXPECT_TRUE(Topmost());
        DestroyWindow(other);
    }
}

TEST_F(MainWindowTest, AScreenResetCentresItAgain) {
    const int centre = GetSystemMetrics(SM_CXSCREEN) / 2;
    windowCentreX = 100;
    RepositionWindow();
    EXPECT_EQ(60, WindowRect().left);
    SendMessageW(mainWindow, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_EQ(60, WindowRect().left);
    EXPECT_EQ(100, windowCentreX);
    SendMessageW(mainWindow, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
    EXPECT_EQ(centre - 40, WindowRect().left);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) - 26 - 15, WindowRect().top);
    EXPECT_EQ(centre, windowCentreX);
}

TEST_F(MainWindowTest, ATapActsWhereTheStylusWentDown) {
    // A move within the drag distance leaves it a tap; the release may come anywhere.
    const int drag = GetSystemMetrics(SM_CXDRAG);
    PostMessageW(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 7));
    PostMessageW(mainWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(12 + drag, 7 - drag));
    PostMessageW(mainWindow, WM_LBUTTONUP, 0, MAKELPARAM(60, 25));
    PumpMessages();
    EXPECT_EQ(12u, rawreg::Dword(rawreg::kSettingsKey, L"xTap"));
    EXPECT_EQ(7u, rawreg::Dword(rawreg::kSettingsKey, L"yTap"));
    EXPECT_FALSE(tapPending);
}

TEST_F(MainWindowTest, HoldingOpensTheMenuAtThePointAndNoTapFollows) {
    SetWindowPos(mainWindow, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    MenuSeen seen;
    ModalDriver driver;
    driver.OnMenu(ReadMenu(seen));
    PostMessageW(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 7));
    PumpMessages();
    ASSERT_TRUE(driver.finished());
    const std::vector<MenuItem> expected = {
        {IDM_OPTIONS, L"Options"}, {IDM_ABOUT, L"About"}, {IDM_EXIT, L"Exit"}};
    EXPECT_EQ(expected, seen.items);
    EXPECT_EQ(112, seen.rect.left);
    EXPECT_EQ(107, seen.rect.top);
    PostMessageW(mainWindow, WM_LBUTTONUP, 0, MAKELPARAM(12, 7));
    PumpMessages();
    EXPECT_EQ(std::nullopt, rawreg::Dword(rawreg::kSettingsKey, L"xTap"));
}

TEST_F(MainWindowTest, ARightClickOpensTheMenuAtThePointer) {
    std::vector<MenuSeen> seen(2);
    ModalDriver driver;
    driver.OnMenu(ReadMenu(seen[0])).OnMenu(ReadMenu(seen[1]));
    SetWindowPos(mainWindow, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(mainWindow, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(mainWindow),
                 MAKELPARAM(150, 120));
    // From the keyboard the menu opens at the window's corner.
    SendMessageW(mainWindow, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(mainWindow), -1);
    ASSERT_TRUE(driver.finished());
    EXPECT_EQ(3u, seen[0].items.size());
    EXPECT_EQ(150, seen[0].rect.left);
    EXPECT_EQ(120, seen[0].rect.top);
    EXPECT_EQ(100, seen[1].rect.left);
    EXPECT_EQ(100, seen[1].rect.top);
}

TEST_F(MainWindowTest, AboutFromTheMenuIsOwnedAndHoldsTheTimer) {
    idleTicks = 4;
    bool owned = false;
    bool active = false;
    ModalDriver driver;
    driver.OnMenu(Choose({VK_DOWN, VK_DOWN, VK_RETURN})).OnDialog(L"About", [&](HWND about) {
        owned = GetWindow(about, GW_OWNER) == mainWindow;
        active = dialogActive;
        Ticks(20);
        PostMessageW(about, WM_CLOSE, 0, 0);
    });
    ShowPopupMenu(mainWindow, {5, 5});
    ASSERT_TRUE(driver.finished());
    EXPECT_TRUE(owned);
    EXPECT_TRUE(active);
    EXPECT_FALSE(dialogActive);
    EXPECT_EQ(4, idleTicks);
}

TEST_F(MainWindowTest, OptionsFromTheMenuSavesTheListAndLaysOutAgain) {
    bool active = false;
    ModalDriver driver;
    driver.OnMenu(Choose({VK_DOWN, VK_RETURN})).OnDialog(L"Options", [&](HWND options) {
        active = dialogActive;
        PostMessageW(options, WM_CLOSE, 0, 0);
    });
    blinkets.At(0)->frameWidth = 1;
    ShowPopupMenu(mainWindow, {5, 5});
    ASSERT_TRUE(driver.finished());
    EXPECT_TRUE(active);
    EXPECT_FALSE(dialogActive);
    EXPECT_EQ(30, blinkets.At(0)->frameWidth);
    EXPECT_TRUE(rawreg::KeyExists(rawreg::BlinketKey(1)));
}

TEST_F(MainWindowTest, ExitReleasesEverythingAndQuitsWithZero) {
    HWND window = mainWindow;
    ModalDriver driver;
    driver.OnMenu(Choose({VK_UP, VK_RETURN}));
    ShowPopupMenu(mainWindow, {5, 5});
    ASSERT_TRUE(driver.finished());
    MSG message = {};
    bool quit = false;
    while (!quit && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        quit = message.message == WM_QUIT;
        DispatchMessageW(&message);
    }
    ASSERT_TRUE(quit);
    EXPECT_EQ(0u, message.wParam);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(KillTimer(window, kMainTimerId));
    EXPECT_EQ(0u, timerId);
    EXPECT_FALSE(shownPicture.IsLoaded());
    EXPECT_FALSE(stripPicture.IsLoaded());
    EXPECT_FALSE(maskPicture.IsLoaded());
    EXPECT_TRUE(blinkets.IsEmpty());
}
