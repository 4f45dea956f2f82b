// The program's command line: what it asks for, the usage text, and how a command travels to a
// running copy in WM_COPYDATA.
#pragma once

#include <windows.h>

#include <string>

enum class CommandKind { Start, Reload, Options, About, Exit, Add, Focus, Help, UsageError };

struct ProgramCommand {
    CommandKind kind = CommandKind::Start;
    std::wstring target;   // Add: the path or web address as given
    std::wstring problem;  // UsageError: what is wrong, for the user
};

// Exit codes of a process started with a command.
constexpr int kExitDone = 0;
constexpr int kExitNotRunning = 1;
constexpr int kExitUsage = 2;
constexpr int kExitBusy = 3;

// The arguments after the program's name. None starts the program; one switch (/, - or --, any
// letter case) names a command, /add with one path or address after it; a lone argument that is
// no switch is added as /add adds it.
ProgramCommand ParseCommandLine(int count, const wchar_t* const* args);

extern const wchar_t kUsageText[];

// Replies of the running copy to a command.
constexpr LRESULT kReplyIgnored = 0;  // not a command it knows, or malformed
constexpr LRESULT kReplyDone = 1;
constexpr LRESULT kReplyBusy = 2;  // a dialog or the menu is up

// dwData of a command in transit is this mark plus its kind, so that a stray WM_COPYDATA of
// another program is not taken for one.
constexpr ULONG_PTR kCommandMark = 0x4F434C00;  // "OCL"

// The message data of a command: the command in dwData, and for Add its target as a terminated
// string that the command keeps alive. Start, Help and UsageError do not travel.
bool PackCommand(const ProgramCommand& command, COPYDATASTRUCT& data);
// The command that data from another process carries; false for anything malformed: an
// unknown command, data where none belongs, or a target of the wrong size, unterminated, or
// holding a terminator before its end.
bool UnpackCommand(const COPYDATASTRUCT* data, ProgramCommand& command);
