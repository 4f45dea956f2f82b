#include "app/Keyboard.h"

#include "app/KeyboardFocus.h"
#include "app/Operations.h"

namespace {

constexpr LPARAM kRepeatedKey = 1 << 30;

}  // namespace

bool OnKeyDown(HWND window, WPARAM key, LPARAM flags) {
    if (!KeyboardOnWindow()) {
        return false;
    }
    switch (key) {
    case VK_LEFT: StepKeyboardFocus(window, -1); return true;
    case VK_RIGHT: StepKeyboardFocus(window, 1); return true;
    case VK_HOME: FocusPlace(window, 0); return true;
    case VK_END: FocusPlace(window, ShownBlinketCount() - 1); return true;
    case VK_RETURN:
    case VK_SPACE:
        // A held key would start the program again and again.
        if (!(flags & kRepeatedKey)) {
            PressBlinket(FocusedBlinket());
        }
        return true;
    case VK_ESCAPE: GiveBackKeyboardFocus(window); return true;
    }
    return false;
}

void OnActivate(HWND window, WPARAM state, LPARAM other) {
    NoteActivation(window, LOWORD(state) != WA_INACTIVE, reinterpret_cast<HWND>(other));
}

void OnSetFocus(HWND window) {
    NoteWindowFocus(window, true);
}

void OnKillFocus(HWND window) {
    NoteWindowFocus(window, false);
}
