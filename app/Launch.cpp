#include "app/Launch.h"

#include "app/Commands.h"
#include "app/Startup.h"
#include "base/Handles.h"
#include "base/ShellHelpers.h"
#include "model/LaunchTarget.h"
#include "state/ShellState.h"
#include "store/Autostart.h"
#include "store/ListFile.h"
#include "store/Settings.h"

#include <shellapi.h>

#include <string>
#include <utility>

namespace {

constexpr wchar_t kUsageCaption[] = L"Ocellix";
// A running copy that does not answer within this time is taken as none that can.
constexpr UINT kSendTimeout = 10000;

void UsageError(ProgramCommand& command, std::wstring problem) {
    command = {CommandKind::UsageError, L"", std::move(problem)};
}

// A list file's path made full; the file itself is looked at when it is read or written.
void ResolveListFile(ProgramCommand& command) {
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(command.target.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        UsageError(command, L"The path is too long: " + command.target);
    } else {
        command.target = full;
    }
}

// Paths are made whole here: the running copy does not share this process's current folder.
void ResolveTarget(ProgramCommand& command) {
    if (command.kind == CommandKind::Export || command.kind == CommandKind::Import) {
        ResolveListFile(command);
        return;
    }
    if (command.kind != CommandKind::Add || IsWebAddress(command.target.c_str())) {
        return;
    }
    wchar_t full[kActionStringChars];
    const DWORD length =
        GetFullPathNameW(command.target.c_str(), kActionStringChars, full, nullptr);
    if (length == 0 || length >= kActionStringChars) {
        UsageError(command, L"The path is too long: " + command.target);
    } else if (GetFileAttributesW(full) == INVALID_FILE_ATTRIBUTES) {
        UsageError(command, L"Cannot find " + command.target);
    } else if (!IsUsableTarget(full)) {
        UsageError(command, L"Not a usable path: " + command.target);
    } else {
        command.target = full;
    }
}

void WriteText(HANDLE out, const std::wstring& text) {
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(out, &mode)) {
        WriteConsoleW(out, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    // A file or a pipe gets UTF-8.
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0 && WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         utf8.data(), bytes, nullptr, nullptr) == bytes) {
        WriteFile(out, utf8.data(), static_cast<DWORD>(bytes), &written, nullptr);
    }
}

// A program of the windows subsystem gets standard handles only when they were redirected;
// started from a console without, it borrows that console for the moment.
void PrintToConsole(const std::wstring& text, bool error) {
    HANDLE out = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (out && out != INVALID_HANDLE_VALUE) {
        WriteText(out, text);
        return;
    }
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    {
        KernelHandle console(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                         0, nullptr));
        if (console) {
            WriteText(console.get(), L"\r\n" + text);
        }
    }
    FreeConsole();
}

// A refusal of /export, /import or /restore, as ShowUsage shows an error.
int ShowRefusal(const std::wstring& text) {
    PrintToConsole(text, true);
    MessageBoxW(nullptr, text.c_str(), kUsageCaption, MB_OK | MB_ICONERROR);
    return kExitRefused;
}

// The registry holds the list whether Ocellix runs or not, so the file is written from it.
int ExportList(const ProgramCommand& command) {
    StoredList list;
    std::wstring problem;
    if (!ReadStoredList(kMakerName, kProgramName, list)) {
        return ShowRefusal(L"Cannot read the list of blinkets from the registry.");
    }
    if (!WriteListFile(command.target.c_str(), FormatListFile(list, ProgramFolder().c_str()),
                       problem)) {
        return ShowRefusal(L"Cannot write " + command.target + L":\r\n" + problem);
    }
    return kExitDone;
}

// The file is read and checked here, where a slow or faulty one holds up no window; the running
// copy, if any, then takes its bytes and shows the list at once.
int ImportList(ProgramCommand command) {
    StoredList list;
    ListFault fault;
    if (!ReadListFile(command.target.c_str(), command.listText, fault) ||
        !ParseListFile(command.listText, ProgramFolder().c_str(), list, fault)) {
        return ShowRefusal(RefusalText(command.target.c_str(), fault));
    }
    const int answer = SendToRunningCopy(command);
    if (answer == kExitRefused) {
        return ShowRefusal(L"Ocellix could not take the list of " + command.target +
                           L".\r\n\r\nNothing was changed.");
    }
    if (answer >= 0) {
        return answer;
    }
    return ImportListText(kMakerName, kProgramName, command.listText, ProgramFolder().c_str(),
                          fault)
               ? kExitDone
               : ShowRefusal(RefusalText(command.target.c_str(), fault));
}

int RestoreList(const ProgramCommand& command) {
    StoredList previous;
    if (!ReadPreviousList(kMakerName, kProgramName, previous)) {
        return ShowRefusal(L"No previous list of blinkets is kept: nothing was changed.");
    }
    const int answer = SendToRunningCopy(command);
    if (answer == kExitRefused) {
        return ShowRefusal(L"Ocellix could not bring the previous list back.");
    }
    if (answer >= 0) {
        return answer;
    }
    return RestorePreviousList(kMakerName, kProgramName)
               ? kExitDone
               : ShowRefusal(L"Cannot write the list of blinkets to the registry.");
}

int StartAndCarryOut(HINSTANCE instance, int showCommand, const ProgramCommand& command) {
    if (!InitApplication(instance, showCommand)) {
        return 0;
    }
    // The About dialog of every start is the one /about asks for.
    if (command.kind != CommandKind::About) {
        CarryOutCommand(mainWindow, command);
    }
    return RunMessageLoop();
}

// /exit's answer once the copy has ended, so that its files can be replaced at once. A copy
// that cannot be watched counts as ended when it said done.
bool Ended(const KernelHandle& process) {
    return !process || WaitForSingleObject(process.get(), kSendTimeout) == WAIT_OBJECT_0;
}

// Needs no running copy: the registry alone says whether Windows starts Ocellix.
int SwitchAutostart(bool on) {
    if (!on) {
        FILETIME now = {};
        GetSystemTimeAsFileTime(&now);
        return TurnAutostartOff(now) ? kExitDone : kExitRefused;
    }
    wchar_t program[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    return length > 0 && length < MAX_PATH && TurnAutostartOn(program) ? kExitDone
                                                                       : kExitRefused;
}

}  // namespace

ProgramCommand ReadCommandLine() {
    int count = 0;
    LocalMemory<wchar_t**> args(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!args || count < 1) {
        return {};
    }
    ProgramCommand command = ParseCommandLine(count - 1, args.get() + 1);
    ResolveTarget(command);
    return command;
}

int ShowUsage(const ProgramCommand& command) {
    const bool error = command.kind == CommandKind::UsageError;
    const std::wstring text = error ? command.problem + L"\r\n\r\n" + kUsageText : kUsageText;
    PrintToConsole(text, error);
    MessageBoxW(nullptr, text.c_str(), kUsageCaption,
                MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
    return error ? kExitUsage : kExitDone;
}

int SendToRunningCopy(const ProgramCommand& command) {
    HWND running = FindWindowW(kMainClassName, nullptr);
    COPYDATASTRUCT data = {};
    if (!running || !PackCommand(command, data)) {
        return -1;
    }
    // The running copy may need to raise a dialog; this process, started by the user, may let it.
    DWORD processId = 0;
    GetWindowThreadProcessId(running, &processId);
    AllowSetForegroundWindow(processId);
    const KernelHandle process(
        command.kind == CommandKind::Exit ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr);
    DWORD_PTR reply = kReplyIgnored;
    if (!SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, kSendTimeout, &reply)) {
        reply = kReplyIgnored;
    }
    switch (reply) {
    case kReplyDone: return Ended(process) ? kExitDone : kExitNotRunning;
    case kReplyBusy: return kExitBusy;
    case kReplyRefused: return kExitRefused;
    }
    return kExitNotRunning;
}

int RunProgram(HINSTANCE instance, int showCommand) {
    const ProgramCommand command = ReadCommandLine();
    switch (command.kind) {
    case CommandKind::Start: return StartAndCarryOut(instance, showCommand, command);
    case CommandKind::Help:
    case CommandKind::UsageError: return ShowUsage(command);
    case CommandKind::Export: return ExportList(command);
    case CommandKind::Import: return ImportList(command);
    case CommandKind::Restore: return RestoreList(command);
    case CommandKind::Autostart: return SwitchAutostart(command.turnOn);
    default: break;
    }
    const int answer = SendToRunningCopy(command);
    if (answer >= 0) {
        return answer;
    }
    if (command.kind == CommandKind::Reload || command.kind == CommandKind::Exit) {
        return kExitNotRunning;
    }
    return StartAndCarryOut(instance, showCommand, command);
}
