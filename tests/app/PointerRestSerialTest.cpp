#include "app/Pupils.h"
#include "app/ShellFixture.h"
#include "app/Timers.h"

#include <gtest/gtest.h>

using shelltest::ShellTest;

namespace {

UINT MiceHeard() {
    UINT count = 0;
    GetRegisteredRawInputDevices(nullptr, &count, sizeof(RAWINPUTDEVICE));
    return count;
}

}  // namespace

// Serial: the test moves the pointer of the display that every test shares.
TEST_F(ShellTest, AwayAndStillThePointerIsNotLookedForUntilItMoves) {
    AddFace();
    followPointer = true;
    ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(L"OcellixRestTest"));
    RECT window = {};
    GetWindowRect(mainWindow, &window);
    ASSERT_TRUE(SetCursorPos(window.left, 0));

    // The first look finds the pointer come from elsewhere; the second finds it still.
    OnPointerTick(mainWindow);
    EXPECT_EQ(0u, MiceHeard());
    OnPointerTick(mainWindow);
    EXPECT_FALSE(KillTimer(mainWindow, kPointerTimerId)) << "no timer while it rests";
    EXPECT_EQ(1u, MiceHeard());

    // The mouse moves: the watch looks on its timer again until the pointer stands still.
    OnPointerInput(mainWindow);
    EXPECT_EQ(0u, MiceHeard());
    EXPECT_TRUE(KillTimer(mainWindow, kPointerTimerId));
    OnPointerInput(mainWindow);  // input still queued changes nothing
    EXPECT_FALSE(KillTimer(mainWindow, kPointerTimerId));
    OnPointerTick(mainWindow);
    EXPECT_EQ(1u, MiceHeard());

    // A move that comes as no mouse input is seen at the periodic tick: near, the eyes follow.
    ASSERT_TRUE(SetCursorPos(window.right + 10, (window.top + window.bottom) / 2));
    SendMessageW(mainWindow, WM_TIMER, kMainTimerId, 0);
    EXPECT_TRUE(FollowingPointer());
    EXPECT_EQ(0u, MiceHeard());

    // Away again and still: resting when the window ends, which gives the mouse back.
    ASSERT_TRUE(SetCursorPos(window.left, 0));
    OnPointerTick(mainWindow);
    EXPECT_FALSE(FollowingPointer());
    OnPointerTick(mainWindow);
    ASSERT_EQ(1u, MiceHeard());
    DestroyWindow(mainWindow);
    EXPECT_EQ(0u, MiceHeard());
}
