// Where the window stands, as pure geometry: densities, monitors given as lists (a primary, one
// to the right, one to the left above at negative coordinates), a drag across them, and what a
// change of the displays asks.
#include "app/Displays.h"
#include "app/Render.h"
#include "app/WindowDrag.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {

MonitorArea Monitor(const wchar_t* name, RECT rect, int dpi, bool primary = false) {
    MonitorArea monitor;
    wcscpy(monitor.name, name);
    monitor.rect = rect;
    monitor.dpi = dpi;
    monitor.primary = primary;
    return monitor;
}

const MonitorArea kPrimary = Monitor(L"\\\\.\\DISPLAY1", {0, 0, 1024, 768}, 96, true);
const MonitorArea kRight = Monitor(L"\\\\.\\DISPLAY2", {1024, 0, 2944, 1080}, 144);
const MonitorArea kLeft = Monitor(L"\\\\.\\DISPLAY3", {-1280, -200, 0, 824}, 120);
const MonitorList kMonitors = {kLeft, kPrimary, kRight};

WindowStand Stand(const MonitorArea& monitor, int centreX, bool chosen = true) {
    WindowStand stand;
    stand.monitor = monitor;
    stand.centreX = centreX;
    stand.chosen = chosen;
    return stand;
}

}  // namespace

TEST(Placement, PicturesAndTheDistanceFromTheBottomGrowWithTheDensity) {
    const struct {
        int dpi, eyes, wide, bar, tallest;
    } cases[] = {
        {72, 40, 67, 26, 256},   {96, 40, 67, 26, 256},    {120, 50, 84, 33, 204},
        {144, 60, 101, 39, 170}, {168, 70, 117, 46, 146},  {192, 80, 134, 52, 128},
        {216, 90, 151, 59, 113}, {240, 100, 168, 65, 102}, {288, 120, 201, 78, 85},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(c.eyes, ScaledLength(40, c.dpi));
        EXPECT_EQ(c.wide, ScaledLength(67, c.dpi));
        EXPECT_EQ(c.bar, MenuBarHeightFor(c.dpi));
        EXPECT_EQ(c.tallest, MaxFrameHeight(768, c.dpi));
    }
}

TEST(Placement, TheMonitorNamedOrThePrimary) {
    const struct {
        const wchar_t* name;
        int centre;
        const wchar_t* on;
        bool chosen;
        int standCentre;
    } cases[] = {
        {L"", 300, L"\\\\.\\DISPLAY1", true, 300},
        {nullptr, -1, L"\\\\.\\DISPLAY1", true, -1},
        {L"\\\\.\\display2", 300, L"\\\\.\\DISPLAY2", true, 300},
        {L"\\\\.\\DISPLAY3", 20, L"\\\\.\\DISPLAY3", true, 20},
        // Missing: the primary, centred; the centre waits for the monitor's return.
        {L"\\\\.\\DISPLAY9", 300, L"\\\\.\\DISPLAY1", false, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name ? c.name : L"(null)");
        const WindowStand stand = ChooseStand(kMonitors, c.name, c.centre);
        EXPECT_STREQ(c.on, stand.monitor.name);
        EXPECT_EQ(c.chosen, stand.chosen);
        EXPECT_EQ(c.standCentre, stand.centreX);
    }
    // Without a primary among them, the first; without any monitor, nothing to stand on.
    EXPECT_STREQ(L"\\\\.\\DISPLAY2", ChooseStand({kRight, kLeft}, L"", -1).monitor.name);
    EXPECT_EQ(nullptr, PrimaryMonitor({}));
    EXPECT_EQ(nullptr, MonitorAt({}, {0, 0}));
}

TEST(Placement, TheWindowStandsOnItsMonitorsBottomAtItsDensity) {
    const struct {
        const char* what;
        WindowStand stand;
        SIZE window;
        WindowPlacement expected;
    } cases[] = {
        {"primary, centred", Stand(kPrimary, -1), {67, 40}, {479, 722, 512}},
        {"primary, tall: bottom on the edge", Stand(kPrimary, 100), {50, 200}, {75, 568, 100}},
        {"right, 144 dpi", Stand(kRight, 100), {101, 60}, {1074, 1011, 100}},
        {"right, moved in at the left", Stand(kRight, 10), {101, 60}, {1024, 1011, 50}},
        {"left, negative origin, centred", Stand(kLeft, -1), {84, 50}, {-682, 766, 640}},
        {"left, moved in at the right", Stand(kLeft, 1279), {84, 50}, {-84, 766, 1238}},
        {"left, exactly twice the distance", Stand(kLeft, 500), {84, 66}, {-822, 758, 500}},
        {"left, a pixel taller", Stand(kLeft, 500), {84, 67}, {-822, 757, 500}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const WindowPlacement placed = PlaceOnStand(c.stand, c.window);
        EXPECT_EQ(c.expected.x, placed.x);
        EXPECT_EQ(c.expected.y, placed.y);
        EXPECT_EQ(c.expected.centreX, placed.centreX);
        const RECT& monitor = c.stand.monitor.rect;
        EXPECT_LE(placed.y + c.window.cy, monitor.bottom);
        EXPECT_GE(placed.x, monitor.left);
        EXPECT_LE(placed.x + c.window.cx, monitor.right);
    }
}

// The grabbed point of the strip stays under the pointer, at the density of the monitor the
// pointer is on; off every monitor, the nearest one takes the window.
TEST(Placement, ADraggedWindowFollowsThePointerOntoItsMonitor) {
    const struct {
        POINT pointer;
        int grabX;
        const wchar_t* on;
        int centre;
    } cases[] = {
        {{600, 700}, 10, L"\\\\.\\DISPLAY1", 600 - 10 + 33},
        {{1500, 20}, 10, L"\\\\.\\DISPLAY2", 1500 - 1024 - 15 + 50},
        {{-100, 500}, 10, L"\\\\.\\DISPLAY3", -100 + 1280 - 13 + 42},
        {{5000, 5000}, 0, L"\\\\.\\DISPLAY2", 5000 - 1024 + 50},
        {{-2000, -1000}, 67, L"\\\\.\\DISPLAY3", -2000 + 1280 - 84 + 42},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pointer.x << "," << c.pointer.y);
        const WindowStand stand = DragStand(kMonitors, c.pointer, c.grabX, {67, 40});
        EXPECT_STREQ(c.on, stand.monitor.name);
        EXPECT_EQ(c.centre, stand.centreX);
        EXPECT_FALSE(stand.chosen);
    }
}

TEST(Placement, ADisplayChangeMovesTheWindowOnlyWhenItsMonitorChanged) {
    MonitorArea larger = kPrimary;
    larger.rect = {0, 0, 1280, 1024};
    MonitorArea moved = kRight;
    OffsetRect(&moved.rect, 0, 100);
    MonitorArea denser = kRight;
    denser.dpi = 192;
    const struct {
        const char* what;
        WindowStand before, after;
        DisplayChange expected;
    } cases[] = {
        {"nothing changed", Stand(kRight, 300), Stand(kRight, 300), DisplayChange::None},
        {"still away", Stand(kPrimary, -1, false), Stand(kPrimary, -1, false), DisplayChange::None},
        {"its monitor resized", Stand(kPrimary, 300), Stand(larger, 300), DisplayChange::Recentre},
        {"its monitor gone", Stand(kRight, 300), Stand(kPrimary, -1, false),
         DisplayChange::Relayout},
        {"its monitor back", Stand(kPrimary, -1, false), Stand(kRight, 300),
         DisplayChange::Relayout},
        {"its monitor moved", Stand(kRight, 300), Stand(moved, 300), DisplayChange::Relayout},
        {"its monitor denser", Stand(kRight, 300), Stand(denser, 300), DisplayChange::Relayout},
        {"the primary resized while away", Stand(kPrimary, -1, false), Stand(larger, -1, false),
         DisplayChange::Relayout},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, JudgeDisplayChange(c.before, c.after));
    }
}
