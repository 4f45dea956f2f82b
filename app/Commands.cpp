#include "app/Commands.h"

#include "app/Arrivals.h"
#include "app/KeyboardFocus.h"
#include "app/Operations.h"
#include "app/Render.h"
#include "app/Taps.h"
#include "base/Handles.h"
#include "base/ShellHelpers.h"
#include "model/LaunchTarget.h"
#include "state/ShellState.h"
#include "store/ListFile.h"
#include "store/Settings.h"

#include <cwchar>
#include <memory>
#include <string>
#include <utility>

namespace {

constexpr wchar_t kBoxCaption[] = L"Ocellix";
// A dropped list is read for this long at most: a share that does not answer would otherwise
// freeze the window.
constexpr DWORD kDropReadTimeout = 5000;

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

bool TakeListText(const std::string& text) {
    ListFault fault;
    if (!ImportListText(kMakerName, kProgramName, text, ProgramFolder().c_str(), fault)) {
        return false;
    }
    Reload(ReloadScope::SettingsAndList);
    return true;
}

bool RestoreList() {
    if (!RestorePreviousList(kMakerName, kProgramName)) {
        return false;
    }
    Reload(ReloadScope::SettingsAndList);
    return true;
}

struct Reading {
    std::wstring path;
    std::string bytes;
    ListFault fault;
    bool read = false;
};

// The thread owns its share of the reading, which outlives a wait that gave up on it.
DWORD WINAPI ReadListThread(void* parameter) {
    const std::unique_ptr<std::shared_ptr<Reading>> share(
        static_cast<std::shared_ptr<Reading>*>(parameter));
    Reading& reading = **share;
    reading.read = ReadListFile(reading.path.c_str(), reading.bytes, reading.fault);
    return 0;
}

bool ReadDroppedList(const wchar_t* path, std::string& bytes, ListFault& fault) {
    auto reading = std::make_shared<Reading>();
    reading->path = path;
    auto* share = new std::shared_ptr<Reading>(reading);
    KernelHandle thread(CreateThread(nullptr, 0, ReadListThread, share, 0, nullptr));
    if (!thread) {
        delete share;
        fault = {0, L"It cannot be read now."};
        return false;
    }
    if (WaitForSingleObject(thread.get(), kDropReadTimeout) != WAIT_OBJECT_0) {
        fault = {0, L"It could not be read within five seconds."};
        return false;
    }
    bytes = std::move(reading->bytes);
    fault = reading->fault;
    return reading->read;
}

// A list file dropped on the window, checked whole and put in place once the user says yes;
// false when it was not.
bool TakeDroppedList(HWND window, const wchar_t* path) {
    std::string bytes;
    StoredList list;
    ListFault fault;
    if (ReadDroppedList(path, bytes, fault) &&
        ParseListFile(bytes, ProgramFolder().c_str(), list, fault)) {
        const std::wstring question = L"Replace the list of blinkets with the " +
                                      std::to_wstring(list.size()) + L" of " + path +
                                      L"?\r\n\r\nThe list it replaces is kept: "
                                      L"ocellix.exe /restore brings it back.";
        if (MessageBoxW(window, question.c_str(), kBoxCaption, MB_YESNO | MB_ICONQUESTION) !=
            IDYES) {
            return false;
        }
        if (ImportListText(kMakerName, kProgramName, bytes, ProgramFolder().c_str(), fault)) {
            return true;
        }
    }
    MessageBoxW(window, RefusalText(path, fault).c_str(), kBoxCaption, MB_OK | MB_ICONERROR);
    return false;
}

// The boxes keep commands and drops away, as a dialog does.
void ImportDroppedList(HWND window, const wchar_t* path) {
    dialogActive = true;
    const bool taken = TakeDroppedList(window, path);
    dialogActive = false;
    if (taken) {
        Reload(ReloadScope::SettingsAndList);
    }
}

bool IsListFile(const wchar_t* path) {
    const size_t length = wcslen(path);
    const size_t extension = wcslen(kListFileExtension);
    return length > extension && _wcsicmp(path + length - extension, kListFileExtension) == 0;
}

}  // namespace

bool CarryOutCommand(HWND window, const ProgramCommand& command) {
    switch (command.kind) {
    case CommandKind::Reload: Reload(ReloadScope::SettingsAndList); break;
    case CommandKind::Options: RunOptions(); break;
    case CommandKind::About: RunAbout(window); break;
    case CommandKind::Exit: PostMessageW(window, WM_CLOSE, 0, 0); break;
    case CommandKind::Add: AddTarget(command.target.c_str(), blinkets.Count(), false); break;
    case CommandKind::Import: return TakeListText(command.listText);
    case CommandKind::Restore: return RestoreList();
    case CommandKind::Focus: TakeKeyboardFocus(window); break;
    default: break;
    }
    return true;
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
    return CarryOutCommand(window, command) ? kReplyDone : kReplyRefused;
}

void OnDropFiles(HWND window, HDROP drop) {
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
    if (IsListFile(path)) {
        ImportDroppedList(window, path);
        return;
    }
    AddTarget(path, before, choosePicture);
}
