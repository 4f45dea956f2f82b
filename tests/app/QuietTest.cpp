#include "app/IdleAnimation.h"
#include "app/Pupils.h"
#include "app/ShellFixture.h"
#include "app/Timers.h"
#include "store/Settings.h"

#include <gtest/gtest.h>

using shelltest::AdvancedBy;
using shelltest::ShellTest;

namespace {

// A power setting's notice with room for a DWORD of data.
struct PowerSetting {
    POWERBROADCAST_SETTING setting;
    BYTE more[3];
};

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
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam = 0) const {
        return SendMessageW(mainWindow, message, wParam, lParam);
    }
    LRESULT Power(GUID guid, DWORD length, DWORD state) const {
        PowerSetting data = {{guid, length, {}}, {}};
        CopyMemory(data.setting.Data, &state, sizeof(state));
        return Send(WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&data));
    }
    LRESULT Display(DWORD state) const {
        return Power(GUID_CONSOLE_DISPLAY_STATE, sizeof(DWORD), state);
    }
    // An animation of several steps under way, as the idle count starts it.
    void Animate() {
        for (uint32_t seed = 1;; ++seed) {
            rng.SeedFromValue(seed);
            if (MtRandom draw = rng; IdleSteps(draw.NextUpTo(kIdleDrawMax)).size() > 1) {
                break;
            }
        }
        IdleStep();
        ASSERT_TRUE(IdleAnimationPlaying());
    }
    // Nothing watches or moves the pupils; the idle count still serves a reload request.
    void ExpectQuiet(const char* when) const {
        SCOPED_TRACE(when);
        UINT mice = 0;
        GetRegisteredRawInputDevices(nullptr, &mice, sizeof(RAWINPUTDEVICE));
        EXPECT_EQ(0u, mice);
        EXPECT_FALSE(WatchingPointer());
        EXPECT_FALSE(KillTimer(mainWindow, kPointerTimerId));
        EXPECT_FALSE(IdleAnimationPlaying());
        const MtRandom before = rng;
        IdleStep();
        EXPECT_TRUE(AdvancedBy(before, 0));
        WriteReloadFlag(kMakerName, kProgramName, true);
        IdleStep();
        EXPECT_EQ(0u, rawreg::Dword(rawreg::kSettingsKey, L"reload"));
    }
    void ExpectWatching(const char* when) const {
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
    const struct {
        const char* name;
        WPARAM quiet;  // a session change, or 0 for the display off
        WPARAM back;
    } changes[] = {{"locked", WTS_SESSION_LOCK, WTS_SESSION_UNLOCK},
                   {"console away", WTS_CONSOLE_DISCONNECT, WTS_CONSOLE_CONNECT},
                   {"remote away", WTS_REMOTE_DISCONNECT, WTS_REMOTE_CONNECT},
                   {"display off", 0, 0}};
    for (const auto& change : changes) {
        SCOPED_TRACE(change.name);
        Animate();
        change.quiet ? Send(WM_WTSSESSION_CHANGE, change.quiet) : Display(0);
        ExpectQuiet("after it began");
        change.back ? Send(WM_WTSSESSION_CHANGE, change.back) : Display(1);
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

TEST_F(QuietTest, OtherPowerNewsAndAddressesFromElsewhereChangeNothing) {
    EXPECT_EQ(TRUE, Power(GUID_ACDC_POWER_SOURCE, sizeof(DWORD), 0));
    EXPECT_EQ(TRUE, Power(GUID_CONSOLE_DISPLAY_STATE, 1, 0));  // too short to hold the state
    // From another process the address may be anything: nothing at all, or unreadable here.
    EXPECT_EQ(TRUE, Send(WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0));
    EXPECT_EQ(TRUE, Send(WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0x10));
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOGON);
    EXPECT_TRUE(WatchingPointer());
}
