#include "app/Displays.h"

#include "app/Operations.h"
#include "app/WatchConditions.h"
#include "state/ShellState.h"

#include <algorithm>

DisplayChange JudgeDisplayChange(const WindowStand& before, const WindowStand& after) {
    const RECT& was = before.monitor.rect;
    const RECT& now = after.monitor.rect;
    if (before.chosen && after.chosen &&
        CompareStringOrdinal(before.monitor.name, -1, after.monitor.name, -1, TRUE) == CSTR_EQUAL &&
        (was.right - was.left != now.right - now.left ||
         was.bottom - was.top != now.bottom - now.top)) {
        return DisplayChange::Recentre;
    }
    return SameMonitor(before.monitor, after.monitor) && before.chosen == after.chosen
               ? DisplayChange::None
               : DisplayChange::Relayout;
}

void OnScreenReset() {
    ForgetMonitor();
    windowCentreX = -1;
    RepositionWindow();
}

void OnDisplayChange() {
    // The fullscreen rule reads the monitor again only when the window moves.
    ForgetMonitor();
    WindowStand stand = ChosenStand();
    switch (JudgeDisplayChange(ShownStand(), stand)) {
    case DisplayChange::None: return;
    case DisplayChange::Recentre:
        windowCentreX = -1;
        stand.centreX = -1;
        break;
    case DisplayChange::Relayout: break;
    }
    RepositionWindowOn(stand);
}

void OnDpiChanged(int dpi) {
    if (std::max(kBaseDpi, dpi) == displayDpi) {
        return;
    }
    // The rectangle the system suggests only scales the old one; where the window stands
    // follows from its pictures and its monitor's bottom edge.
    WindowStand stand = ShownStand();
    stand.monitor.dpi = dpi;
    RepositionWindowOn(stand);
}
