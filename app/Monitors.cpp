#include "app/Monitors.h"

#include "base/Handles.h"

#include <strsafe.h>

#include <algorithm>
#include <climits>

namespace {

// GetDpiForMonitor came with Windows 8.1 (shcore.dll) and answers for each monitor only in a
// process aware of monitors' own densities. Older Windows, and a process the system runs as
// aware of one density, have the system's density for every monitor: the screen's LOGPIXELSX.
using DpiForMonitorCall = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

int SystemDpi() {
    WindowDC screen(nullptr);
    return screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
}

DpiForMonitorCall DpiForMonitor() {
    static const DpiForMonitorCall call = [] {
        HMODULE shcore = LoadLibraryW(L"shcore.dll");
        return shcore ? reinterpret_cast<DpiForMonitorCall>(
                            reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    return call;
}

int MonitorDpi(HMONITOR monitor, int systemDpi) {
    UINT dpiX = 0;
    UINT dpiY = 0;
    const DpiForMonitorCall call = DpiForMonitor();
    return call && SUCCEEDED(call(monitor, kEffectiveDpi, &dpiX, &dpiY)) && dpiX > 0
               ? static_cast<int>(dpiX)
               : systemDpi;
}

struct Enumeration {
    MonitorList monitors;
    int systemDpi;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    Enumeration& found = *reinterpret_cast<Enumeration*>(data);
    MONITORINFOEXW info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info)) {
        MonitorArea area;
        StringCchCopyW(area.name, ARRAYSIZE(area.name), info.szDevice);
        area.rect = info.rcMonitor;
        area.dpi = MonitorDpi(monitor, found.systemDpi);
        area.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
        found.monitors.push_back(area);
    }
    return TRUE;
}

// How far a point lies from a rectangle: 0 inside, else the larger of the two distances.
long long DistanceTo(const RECT& rect, POINT point) {
    const long long dx = point.x < rect.left     ? rect.left - point.x
                         : point.x >= rect.right ? point.x - rect.right + 1
                                                 : 0;
    const long long dy = point.y < rect.top       ? rect.top - point.y
                         : point.y >= rect.bottom ? point.y - rect.bottom + 1
                                                  : 0;
    return std::max(dx, dy);
}

}  // namespace

bool SameMonitor(const MonitorArea& one, const MonitorArea& other) {
    return CompareStringOrdinal(one.name, -1, other.name, -1, TRUE) == CSTR_EQUAL &&
           EqualRect(&one.rect, &other.rect) && one.dpi == other.dpi;
}

MonitorList CurrentMonitors() {
    Enumeration found{{}, SystemDpi()};
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&found));
    if (found.monitors.empty()) {
        MonitorArea screen;
        screen.rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        screen.dpi = found.systemDpi;
        screen.primary = true;
        found.monitors.push_back(screen);
    }
    return found.monitors;
}

const MonitorArea* NamedMonitor(const MonitorList& monitors, const wchar_t* name) {
    if (!name || !*name) {
        return nullptr;
    }
    const auto named = std::find_if(monitors.begin(), monitors.end(), [name](const auto& one) {
        return CompareStringOrdinal(one.name, -1, name, -1, TRUE) == CSTR_EQUAL;
    });
    return named == monitors.end() ? nullptr : &*named;
}

const MonitorArea* PrimaryMonitor(const MonitorList& monitors) {
    const auto primary = std::find_if(monitors.begin(), monitors.end(),
                                      [](const MonitorArea& one) { return one.primary; });
    return primary != monitors.end() ? &*primary : monitors.empty() ? nullptr : &monitors.front();
}

const MonitorArea* MonitorAt(const MonitorList& monitors, POINT point) {
    const MonitorArea* nearest = nullptr;
    long long nearestDistance = LLONG_MAX;
    for (const MonitorArea& one : monitors) {
        const long long distance = DistanceTo(one.rect, point);
        if (distance < nearestDistance) {
            nearest = &one;
            nearestDistance = distance;
        }
    }
    return nearest;
}
