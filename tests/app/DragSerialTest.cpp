// Runs alone: the drag holds the capture and follows the system's pointer, which a test running
// alongside would move.
#include "app/Loading.h"
#include "app/Operations.h"
#include "app/ShellFixture.h"
#include "app/WindowDrag.h"
#include "store/Settings.h"

#include <gtest/gtest.h>

using testsupport::AddBlinket;
using testsupport::PumpMessages;

namespace {

class DragTest : public shelltest::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        AddBlinket(Image(L"plain.bmp", 30, 20, 0x00FF00));  // with the face: 80 wide
        AddFace();
        windowCentreX = 300;
        ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(L"OcellixDragTest"));
        start = WindowRect();
        ASSERT_EQ(260, start.left);
    }

    RECT WindowRect() const {
        RECT rect = {};
        GetWindowRect(mainWindow, &rect);
        return rect;
    }
    // A press at the client point that moves by dx, dy (relative to where the window stands
    // when the move is read), then whatever follows. The system's pointer is put where the
    // press ends, so that moves the system makes up itself say the same.
    void Press(POINT down, int dx, int dy, UINT then, WPARAM thenWParam, POINT thenAt) {
        SetCursorPos(start.left + down.x + dx, start.top + down.y + dy);
        PostMessageW(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
        PostMessageW(mainWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(down.x + dx, down.y + dy));
        PostMessageW(mainWindow, then, thenWParam, MAKELPARAM(thenAt.x, thenAt.y));
        PostMessageW(mainWindow, WM_LBUTTONUP, 0, MAKELPARAM(thenAt.x, thenAt.y));
        PumpMessages();
    }

    RECT start = {};
};

}  // namespace

TEST_F(DragTest, APressThatMovesAwayDragsTheWindowAlongTheBottomAndKeepsItsPlace) {
    // Moved 60 right and 40 up: the point pressed stays under the pointer, the window on the
    // bottom; the release comes at that point.
    Press({10, 10}, 60, -40, WM_MOUSEMOVE, MK_LBUTTON, {10, 10});
    const RECT moved = WindowRect();
    EXPECT_EQ(start.left + 60, moved.left);
    EXPECT_EQ(start.top, moved.top);
    EXPECT_EQ(360, windowCentreX);
    EXPECT_EQ(360u, rawreg::Dword(rawreg::kSettingsKey, L"position"));
    MONITORINFOEXW monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(mainWindow, MONITOR_DEFAULTTONEAREST), &monitor);
    wchar_t stored[kMonitorNameChars] = {};
    ReadWindowMonitor(kMakerName, kProgramName, stored);
    EXPECT_STREQ(monitor.szDevice, stored);
    // Nothing ran: no tap was recorded, and the capture is given back.
    EXPECT_EQ(std::nullopt, rawreg::Dword(rawreg::kSettingsKey, L"xTap"));
    EXPECT_FALSE(tapPending);
    EXPECT_EQ(nullptr, GetCapture());

    // What the next start reads puts the window there again.
    windowCentreX = -1;
    windowMonitor[0] = L'\0';
    ApplyStoredSettings();
    RepositionWindow();
    EXPECT_EQ(moved.left, WindowRect().left);
}

TEST_F(DragTest, EscPutsTheWindowBackAndAMoveWithinTheDragDistanceIsATap) {
    Press({10, 10}, 60, 0, WM_KEYDOWN, VK_ESCAPE, {10, 10});
    EXPECT_EQ(start.left, WindowRect().left);
    EXPECT_EQ(300, windowCentreX);
    EXPECT_EQ(std::nullopt, rawreg::Dword(rawreg::kSettingsKey, L"position"));
    EXPECT_EQ(std::nullopt, rawreg::Dword(rawreg::kSettingsKey, L"xTap"));

    const int drag = GetSystemMetrics(SM_CXDRAG);
    Press({10, 10}, drag, 0, WM_MOUSEMOVE, MK_LBUTTON, {10 + drag, 10});
    EXPECT_EQ(start.left, WindowRect().left);
    EXPECT_EQ(10u, rawreg::Dword(rawreg::kSettingsKey, L"xTap"));
    EXPECT_EQ(std::nullopt, rawreg::Dword(rawreg::kSettingsKey, L"position"));
}
