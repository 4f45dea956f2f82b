#include "app/Commands.h"

#include "app/Arrivals.h"
#include "app/Operations.h"
#include "app/Render.h"
#include "app/Taps.h"
#include "base/Handles.h"
#include "model/LaunchTarget.h"
#include "state/ShellState.h"

#include <cwchar>
#include <utility>

namespace {

bool OpensDialog(CommandKind kind) {
    return kind == CommandKind::Options || kind == CommandKind::About || kind == CommandKind::Add;
}

BOOL CALLBACK FindEnabledDialog(HWND window, LPARAM found) {
    wchar_t className[8] = {};
    GetClassNameW(window, className, ARRAYSIZE(className));
    if (window == mainWindow || !IsWindowVisible(window) || !IsWindowEnabled(window) ||
        wcscmp(className, L"#32770") != 0) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The dialog the user can work in (the innermost of nested ones), raised; the menu is left
// alone, as activating anything would close it.
void BringDialogToFront() {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindEnabledDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog) {
        SetForegroundWindow(dialog);
    }
}

// The position of the first blinket whose range holds the point, or the end of the list.
int BlinketAt(POINT point) {
    for (int index = 0; index < blinkets.Count(); ++index) {
        const Blinket* blinket = blinkets.At(index);
        if (blinket && TapHits(*blinket, StripPoint(point))) {
            return index;
        }
    }
    return blinkets.Count();
}

}  // namespace

void CarryOutCommand(HWND window, const ProgramCommand& command) {
    switch (command.kind) {
    case CommandKind::Reload: Reload(ReloadScope::SettingsAndList); break;
    case CommandKind::Options: RunOptions(); break;
    case CommandKind::About: RunAbout(window); break;
    case CommandKind::Exit: PostMessageW(window, WM_CLOSE, 0, 0); break;
    case CommandKind::Add: AddTarget(command.target.c_str(), blinkets.Count(), false); break;
    default: break;
    }
}

LRESULT OnCommandData(HWND window, const COPYDATASTRUCT* data) {
    ProgramCommand command;
    // Nothing named is read here: a file on a drive that does not answer would hold the window.
    if (!UnpackCommand(data, command) ||
        (command.kind == CommandKind::Add && !IsUsableTarget(command.target.c_str()))) {
        return kReplyIgnored;
    }
    if (ShellBusy() || ArrivalPending()) {
        BringDialogToFront();
        return kReplyBusy;
    }
    if (OpensDialog(command.kind)) {
        ReplyMessage(kReplyDone);
    }
    CarryOutCommand(window, command);
    return kReplyDone;
}

void OnDropFiles(HWND, HDROP drop) {
    DroppedFiles files(drop);
    wchar_t path[kActionStringChars];
    if (ShellBusy() || ArrivalPending() || DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 0 ||
        DragQueryFileW(drop, 0, nullptr, 0) >= kActionStringChars ||
        DragQueryFileW(drop, 0, path, kActionStringChars) == 0) {
        return;
    }
    POINT point = {};
    const int before = DragQueryPoint(drop, &point) ? BlinketAt(point) : blinkets.Count();
    // The drag comes from another program, which has the keyboard: this thread's own view of
    // the keys may be old, the keyboard's is not.
    const bool choosePicture = GetKeyState(VK_SHIFT) < 0 || GetAsyncKeyState(VK_SHIFT) < 0;
    files.Finish();
    AddTarget(path, before, choosePicture);
}
