#include "app/FullscreenRule.h"

#include <gtest/gtest.h>

namespace {

constexpr RECT kMonitor = {0, 0, 1920, 1080};
constexpr RECT kOther = {1920, 0, 3200, 1024};

ForegroundFacts Shown(const wchar_t* className, RECT rect) {
    ForegroundFacts facts;
    facts.className = className;
    facts.rect = rect;
    facts.shown = true;
    facts.onMonitor = rect.left < kMonitor.right;
    return facts;
}

}  // namespace

TEST(FullscreenRule, TheWindowGivesWayOnlyToAProgramFillingItsMonitor) {
    const auto with = [](ForegroundFacts facts, auto change) {
        change(facts);
        return facts;
    };
    const ForegroundFacts video = Shown(L"VideoPlayer", kMonitor);
    const struct {
        const char* what;
        ForegroundFacts foreground;
        RECT monitor;
        QUERY_USER_NOTIFICATION_STATE state;
        bool givesWay;
    } cases[] = {
        {"a popup filling the monitor", video, kMonitor, QUNS_ACCEPTS_NOTIFICATIONS, true},
        {"one spilling over every edge", Shown(L"Game", {-8, -8, 1928, 1088}), kMonitor,
         QUNS_ACCEPTS_NOTIFICATIONS, true},
        {"one a pixel short", Shown(L"Game", {0, 0, 1920, 1079}), kMonitor,
         QUNS_ACCEPTS_NOTIFICATIONS, false},
        {"one filling another monitor", Shown(L"Game", kOther), kMonitor,
         QUNS_ACCEPTS_NOTIFICATIONS, false},
        {"a maximised window with a caption spilling over",
         with(Shown(L"Editor", {-8, -8, 1928, 1088}),
              [](auto& f) { f.maximised = f.captioned = true; }),
         kMonitor, QUNS_ACCEPTS_NOTIFICATIONS, false},
        {"a maximised window without a caption", with(video, [](auto& f) { f.maximised = true; }),
         kMonitor, QUNS_ACCEPTS_NOTIFICATIONS, true},
        {"a captioned window filling it, not maximised",
         with(video, [](auto& f) { f.captioned = true; }), kMonitor, QUNS_ACCEPTS_NOTIFICATIONS,
         true},
        {"the desktop", Shown(L"Progman", kMonitor), kMonitor, QUNS_ACCEPTS_NOTIFICATIONS, false},
        {"the desktop's wallpaper window", Shown(L"WorkerW", kMonitor), kMonitor,
         QUNS_ACCEPTS_NOTIFICATIONS, false},
        {"the taskbar, in any letter case", Shown(L"shell_traywnd", kMonitor), kMonitor,
         QUNS_ACCEPTS_NOTIFICATIONS, false},
        {"a second taskbar", Shown(L"Shell_SecondaryTrayWnd", kMonitor), kMonitor, QUNS_BUSY,
         false},
        {"the desktop window itself", Shown(L"#32769", kMonitor), kMonitor,
         QUNS_ACCEPTS_NOTIFICATIONS, false},
        {"one of ours (Options fills the screen)", with(video, [](auto& f) { f.ours = true; }),
         kMonitor, QUNS_ACCEPTS_NOTIFICATIONS, false},
        {"a minimised or hidden one", with(video, [](auto& f) { f.shown = false; }), kMonitor,
         QUNS_ACCEPTS_NOTIFICATIONS, false},
        {"no monitor", video, {0, 0, 0, 0}, QUNS_ACCEPTS_NOTIFICATIONS, false},
        {"busy, by the system's word, on this monitor", Shown(L"Game", {0, 0, 800, 600}), kMonitor,
         QUNS_BUSY, true},
        {"Direct3D fullscreen on this monitor", Shown(L"Game", {0, 0, 800, 600}), kMonitor,
         QUNS_RUNNING_D3D_FULL_SCREEN, true},
        {"busy on another monitor", Shown(L"Game", kOther), kMonitor, QUNS_BUSY, false},
        {"presentation mode, with nothing in front", ForegroundFacts(), kMonitor,
         QUNS_PRESENTATION_MODE, true},
        {"quiet time, a small window in front", Shown(L"Editor", {0, 0, 800, 600}), kMonitor,
         QUNS_QUIET_TIME, false},
        {"nothing in front", ForegroundFacts(), kMonitor, QUNS_BUSY, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.givesWay, GivesWayTo(c.foreground, c.monitor, c.state)) << c.what;
    }
}
