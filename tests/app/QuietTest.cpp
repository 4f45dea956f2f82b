#include "app/IdleAnimation.h"
#include "app/Pupils.h"
#include "app/ShellFixture.h"
#include "app/Timers.h"
#include "store/Settings.h"

#include <gtest/gtest.h>

#include <vector>

using shelltest::AdvancedBy;
using shelltest::ShellTest;

namespace {

// A face in a real main window that watches the pointer. The test runs the idle count itself:
// nothing here pumps the window's timers, so wherever the pointer stands, it is never looked at.
class QuietTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        AddFace();
        followPointer = true;
        windowCentreX = 150;
        ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(L"OcellixQuietTest"));
    }
    // An animation of several steps under way, as the idle count starts it.
    void Animate() {
        for (uint32_t seed = 1;; ++seed) {
            rng.SeedFromValue(seed);
            MtRandom draw = rng;
            if (IdleSteps(draw.NextUpTo(kIdleDrawMax)).size() > 1) {
                break;
            }
        }
        IdleStep();
        ASSERT_TRUE(IdleAnimationPlaying());
    }
    void Send(UINT message, WPARAM wParam, LPARAM lParam = 0) const {
        SendMessageW(mainWindow, message, wParam, lParam);
    }
    void Display(DWORD state) const {
        struct {
            POWERBROADCAST_SETTING setting;
            BYTE more[3];
        } data = {{GUID_CONSOLE_DISPLAY_STATE, sizeof(DWORD), {}}, {}};
        CopyMemory(data.setting.Data, &state, sizeof(state));
        Send(WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&data));
    }
    UINT MiceHeard() const {
        UINT count = 0;
        GetRegisteredRawInputDevices(nullptr, &count, sizeof(RAWINPUTDEVICE));
        return count;
    }
    // Nothing watches or moves the pupils; the idle count still serves a reload request.
    void ExpectQuiet(const char* when) {
        SCOPED_TRACE(when);
        EXPECT_FALSE(WatchingPointer());
        EXPECT_FALSE(KillTimer(mainWindow, kPointerTimerId));
        EXPECT_EQ(0u, MiceHeard());
        EXPECT_FALSE(IdleAnimationPlaying());
        EXPECT_FALSE(KillTimer(mainWindow, kIdleStepTimerId));
        const MtRandom before = rng;
        IdleStep();
        EXPECT_TRUE(AdvancedBy(before, 0));
        EXPECT_FALSE(IdleAnimationPlaying());
        WriteReloadFlag(kMakerName, kProgramName, true);
        IdleStep();
        EXPECT_EQ(0u, rawreg::Dword(rawreg::kSettingsKey, L"reload"));
    }
    void ExpectWatching(const char* when) {
        SCOPED_TRACE(when);
        EXPECT_TRUE(WatchingPointer());
        const MtRandom before = rng;
        IdleStep();
        EXPECT_TRUE(AdvancedBy(before, 1));
        EXPECT_TRUE(KillTimer(mainWindow, kPointerTimerId));
    }
};

}  // namespace

TEST_F(QuietTest, ALockedSessionADisconnectionOrADarkDisplayStopTheWatchAndTheAnimation) {
    struct Change {
        const char* name;
        UINT message;
        WPARAM quiet;
        WPARAM back;
    };
    const Change changes[] = {
        {"locked", WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, WTS_SESSION_UNLOCK},
        {"console away", WM_WTSSESSION_CHANGE, WTS_CONSOLE_DISCONNECT, WTS_CONSOLE_CONNECT},
        {"remote away", WM_WTSSESSION_CHANGE, WTS_REMOTE_DISCONNECT, WTS_REMOTE_CONNECT},
        {"display off", WM_POWERBROADCAST, 0, 1},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        Animate();
        change.message == WM_POWERBROADCAST ? Display(0) : Send(change.message, change.quiet);
        ExpectQuiet("after it began");
        change.message == WM_POWERBROADCAST ? Display(1) : Send(change.message, change.back);
        ExpectWatching("after it ended");
    }

    // Two at once: the watch waits for both to end. A dimmed display still shows.
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
    Display(0);
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
    ExpectQuiet("display still off");
    Display(2);
    ExpectWatching("display dimmed");
}

TEST_F(QuietTest, PowerMessagesThatAreNotTheDisplaysChangeNothing) {
    const GUID other = GUID_ACDC_POWER_SOURCE;
    struct {
        POWERBROADCAST_SETTING setting;
        BYTE more[3];
    } data = {{other, sizeof(DWORD), {}}, {}};
    // From another process the address may be anything: unreadable here, or nothing at all.
    for (LPARAM lParam : {reinterpret_cast<LPARAM>(&data), LPARAM{0}, LPARAM{0x10}}) {
        EXPECT_EQ(TRUE,
                  SendMessageW(mainWindow, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, lParam));
        EXPECT_TRUE(WatchingPointer());
    }
    data.setting.PowerSetting = GUID_CONSOLE_DISPLAY_STATE;
    data.setting.DataLength = 1;  // too short to hold the state
    Send(WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&data));
    EXPECT_TRUE(WatchingPointer());
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOGON);
    EXPECT_TRUE(WatchingPointer());
}
