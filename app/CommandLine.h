// The program's command line: what it asks for, the usage text, and how a command travels to a
// running copy in WM_COPYDATA.
#pragma once

#include <windows.h>

#include <string>

enum class CommandKind {
    Start,
    Reload,
    Options,
    About,
    Exit,
    Add,
    Help,
    UsageError,
    Export,
    Import,
    Restore,
    Autostart,
};

struct ProgramCommand {
    CommandKind kind = CommandKind::Start;
    std::wstring target;     // Add: the path or web address as given; Export, Import: the file
    std::wstring problem;    // UsageError: what is wrong, for the user
    bool turnOn = false;     // Autostart: on, or off
    std::string listText{};  // Import on its way to the running copy: the bytes of the file
};

// Exit codes of a process started with a command.
constexpr int kExitDone = 0;
constexpr int kExitNotRunning = 1;
constexpr int kExitUsage = 2;
constexpr int kExitBusy = 3;
// Refused, and nothing has changed: /export, /import or /restore with a file that cannot be
// read or written or has a fault, or no previous list; /autostart that the registry refused.
constexpr int kExitRefused = 4;

// The arguments after the program's name. None starts the program; one switch (/, - or --, any
// letter case) names a command, /add with one path or address after it, /export and /import
// with one file, /autostart with on or off; a lone argument that is no switch is added as /add
// adds it.
ProgramCommand ParseCommandLine(int count, const wchar_t* const* args);

extern const wchar_t kUsageText[];

// Replies of the running copy to a command.
constexpr LRESULT kReplyIgnored = 0;  // not a command it knows, or malformed
constexpr LRESULT kReplyDone = 1;
constexpr LRESULT kReplyBusy = 2;     // a dialog or the menu is up
constexpr LRESULT kReplyRefused = 3;  // a list with a fault, or no previous list to restore

// dwData of a command in transit is this mark plus its kind, so that a stray WM_COPYDATA of
// another program is not taken for one.
constexpr ULONG_PTR kCommandMark = 0x4F434C00;  // "OCL"

// The message data of a command: the command in dwData, for Add its target as a terminated
// string and for Import the file's bytes, which the command keeps alive. Start, Help,
// UsageError and Export do not travel.
bool PackCommand(const ProgramCommand& command, COPYDATASTRUCT& data);
// The command that data from another process carries; false for anything malformed: an
// unknown command, data where none belongs, a target of the wrong size, unterminated, or
// holding a terminator before its end, or a list of no bytes or too many.
bool UnpackCommand(const COPYDATASTRUCT* data, ProgramCommand& command);
