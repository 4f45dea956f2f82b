#include "app/KeyboardFocus.h"

#include "app/Render.h"
#include "state/ShellState.h"

#include <algorithm>
#include <utility>

namespace {

struct KeyboardState {
    bool turn = false;           // brought here by /focus, not yet left
    bool windowFocused = false;  // between WM_SETFOCUS and WM_KILLFOCUS
    int index = -1;              // list index of the blinket it acts on
    HWND previous = nullptr;     // where the focus came from
};
KeyboardState keyboard;

bool Shown(int index) {
    const Blinket* blinket = blinkets.At(index);
    return blinket && IsPlaced(*blinket);
}

bool IsOwnWindow(HWND window, HWND other) {
    return other && (other == window || GetAncestor(other, GA_ROOTOWNER) == window);
}

// The mark where the keyboard acts; screen readers hear of the blinket when asked to announce it.
void ShowFocus(HWND window, bool announce) {
    const int marked = FocusedBlinket();
    MarkFocusedBlinket(marked);
    if (announce && marked >= 0) {
        NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, PlaceOfBlinket(marked) + 1);
    }
}

void MoveTo(HWND window, int index) {
    const bool moved = index != keyboard.index;
    keyboard.index = index;
    ShowFocus(window, moved);
}

}  // namespace

int ShownBlinketCount() {
    int count = 0;
    for (int index = 0; index < blinkets.Count(); ++index) {
        count += Shown(index) ? 1 : 0;
    }
    return count;
}

int ShownBlinketAt(int place) {
    for (int index = 0; index < blinkets.Count() && place >= 0; ++index) {
        if (Shown(index) && place-- == 0) {
            return index;
        }
    }
    return -1;
}

int PlaceOfBlinket(int index) {
    if (!Shown(index)) {
        return -1;
    }
    int place = 0;
    for (int before = 0; before < index; ++before) {
        place += Shown(before) ? 1 : 0;
    }
    return place;
}

void TakeKeyboardFocus(HWND window) {
    HWND foreground = GetForegroundWindow();
    if (!IsOwnWindow(window, foreground)) {
        keyboard.previous = foreground;
    }
    keyboard.turn = true;
    keyboard.index = ShownBlinketAt(0);
    // Activation brings the focus with it on some systems and not on others; when the window
    // has it already, no WM_SETFOCUS comes to show the mark.
    const bool hadFocus = GetFocus() == window;
    SetForegroundWindow(window);
    SetFocus(window);
    keyboard.windowFocused = GetFocus() == window;
    ShowFocus(window, hadFocus);
}

void GiveBackKeyboardFocus(HWND window) {
    HWND previous = std::exchange(keyboard.previous, nullptr);
    keyboard.turn = false;
    ShowFocus(window, false);
    if (previous && IsWindow(previous) && IsWindowVisible(previous) &&
        SetForegroundWindow(GetLastActivePopup(previous))) {
        return;
    }
    SetFocus(nullptr);
}

void NoteActivation(HWND window, bool active, HWND other) {
    if (active) {
        if (keyboard.turn && GetFocus() != window) {
            SetFocus(window);
        }
    } else if (!IsOwnWindow(window, other)) {
        keyboard.turn = false;
        keyboard.previous = nullptr;
        ShowFocus(window, false);
    }
}

void StepKeyboardFocus(HWND window, int steps) {
    FocusPlace(window, std::max(0, PlaceOfBlinket(keyboard.index)) + steps);
}

void FocusPlace(HWND window, int place) {
    const int count = ShownBlinketCount();
    if (count > 0) {
        MoveTo(window, ShownBlinketAt(std::clamp(place, 0, count - 1)));
    }
}

void NoteWindowFocus(HWND window, bool focused) {
    keyboard.windowFocused = focused;
    if (focused && !Shown(keyboard.index)) {
        keyboard.index = ShownBlinketAt(0);
    }
    ShowFocus(window, focused);
}

void ForgetKeyboardFocus() {
    keyboard = KeyboardState();
    MarkFocusedBlinket(-1);
}

void KeepKeyboardOnShown(HWND window) {
    int index = keyboard.index;
    if (!Shown(index)) {
        const int count = blinkets.Count();
        index = std::clamp(index, 0, count);
        while (index < count && !Shown(index)) {
            ++index;
        }
        while (index >= 0 && !Shown(index)) {
            --index;
        }
    }
    MoveTo(window, index);
}

bool KeyboardOnWindow() {
    return keyboard.turn && keyboard.windowFocused;
}

int FocusedBlinket() {
    return KeyboardOnWindow() && Shown(keyboard.index) ? keyboard.index : -1;
}
