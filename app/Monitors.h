// The monitors of the desktop: their rectangles, names and pixels per inch, and which of them the
// window stands on. The handheld had one screen; this is where the desktop's many are bridged.
#pragma once

#include <windows.h>

#include <vector>

// One monitor: its device name ("\\.\DISPLAY2"), its whole rectangle in screen pixels (the
// virtual screen's origin is the primary monitor's top-left corner, so others may lie at
// negative coordinates) and its horizontal pixels per inch.
struct MonitorArea {
    wchar_t name[CCHDEVICENAME] = {};
    RECT rect = {};
    int dpi = 96;
    bool primary = false;
};
using MonitorList = std::vector<MonitorArea>;

// Whether two are the same monitor as it was: the same name, rectangle and density.
bool SameMonitor(const MonitorArea& one, const MonitorArea& other);
// The monitors as the system has them now. Never empty: without an answer, the primary screen as
// the system metrics give it.
MonitorList CurrentMonitors();
// The monitor named (device names compare without regard to letter case); null when none is.
const MonitorArea* NamedMonitor(const MonitorList& monitors, const wchar_t* name);
// The primary monitor, or the first where none says it is; null only for an empty list.
const MonitorArea* PrimaryMonitor(const MonitorList& monitors);
// The monitor holding the point, or the one nearest to it; null only for an empty list.
const MonitorArea* MonitorAt(const MonitorList& monitors, POINT point);
