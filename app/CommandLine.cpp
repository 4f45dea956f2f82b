#include "app/CommandLine.h"

#include "model/LaunchTarget.h"
#include "store/ListFile.h"

#include <cwchar>

namespace {

struct CommandName {
    const wchar_t* name;
    CommandKind kind;
};

const CommandName kCommandNames[] = {
    {L"reload", CommandKind::Reload},   {L"options", CommandKind::Options},
    {L"about", CommandKind::About},     {L"exit", CommandKind::Exit},
    {L"add", CommandKind::Add},         {L"?", CommandKind::Help},
    {L"help", CommandKind::Help},       {L"h", CommandKind::Help},
    {L"export", CommandKind::Export},   {L"import", CommandKind::Import},
    {L"restore", CommandKind::Restore}, {L"autostart", CommandKind::Autostart},
};

constexpr CommandKind kTravelling[] = {
    CommandKind::Reload, CommandKind::Options, CommandKind::About,  CommandKind::Exit,
    CommandKind::Add,    CommandKind::Import,  CommandKind::Restore};

ULONG_PTR IdOf(CommandKind kind) {
    return kCommandMark + static_cast<ULONG_PTR>(kind);
}

// The travelling command that dwData names; Start when it names none.
CommandKind KindOf(ULONG_PTR id) {
    for (CommandKind kind : kTravelling) {
        if (id == IdOf(kind)) {
            return kind;
        }
    }
    return CommandKind::Start;
}

// The name after /, - or --; null when the argument is no switch.
const wchar_t* SwitchName(const wchar_t* arg) {
    if (wcsncmp(arg, L"--", 2) == 0) {
        return arg + 2;
    }
    return arg[0] == L'/' || arg[0] == L'-' ? arg + 1 : nullptr;
}

ProgramCommand UsageError(std::wstring problem) {
    return {CommandKind::UsageError, L"", std::move(problem)};
}

ProgramCommand Add(const wchar_t* target) {
    return target[0] ? ProgramCommand{CommandKind::Add, target, L""}
                     : UsageError(L"/add needs a file or a web address.");
}

ProgramCommand Autostart(int count, const wchar_t* const* args) {
    if (count == 2 && (_wcsicmp(args[1], L"on") == 0 || _wcsicmp(args[1], L"off") == 0)) {
        return {CommandKind::Autostart, L"", L"", _wcsicmp(args[1], L"on") == 0};
    }
    return UsageError(L"/autostart takes on or off.");
}

}  // namespace

// Short lines: a message box wraps long ones where it likes, and its font is not monospaced.
const wchar_t kUsageText[] = L"Usage: ocellix.exe [command]\r\n"
                             L"\r\n"
                             L"/options: open the Options dialog.\r\n"
                             L"/about: open the About dialog.\r\n"
                             L"/add <file or URL>: add a blinket that\r\n"
                             L"    runs the file or opens the http: or\r\n"
                             L"    https: address; Edit Item opens to\r\n"
                             L"    pick its picture. A file named alone\r\n"
                             L"    is added the same way.\r\n"
                             L"/reload: read the settings and the\r\n"
                             L"    blinkets from the registry again.\r\n"
                             L"/exit: end Ocellix, and wait until it\r\n"
                             L"    has ended.\r\n"
                             L"/export <file>: write the list of\r\n"
                             L"    blinkets to a text file.\r\n"
                             L"/import <file>: replace the list with\r\n"
                             L"    that of an exported file.\r\n"
                             L"/restore: bring back the list that the\r\n"
                             L"    last change replaced.\r\n"
                             L"/autostart on|off: start Ocellix when\r\n"
                             L"    you sign in, or not, as the Startup\r\n"
                             L"    apps in Windows' Settings show it.\r\n"
                             L"/?: show this text.\r\n"
                             L"\r\n"
                             L"A command goes to the running Ocellix;\r\n"
                             L"/options, /about and /add start it first\r\n"
                             L"when none runs. Without a command Ocellix\r\n"
                             L"starts, or brings the running one to the\r\n"
                             L"front. - or -- may stand for /, in any\r\n"
                             L"letter case; quote a path with spaces.\r\n"
                             L"\r\n"
                             L"Exit codes: 0 done; 1 Ocellix is not\r\n"
                             L"running (/reload, /exit); 2 usage error;\r\n"
                             L"3 busy: a dialog or the menu is up, and\r\n"
                             L"is brought to the front instead; 4 the\r\n"
                             L"file or the previous list could not be\r\n"
                             L"used, or the registry refused /autostart;\r\n"
                             L"nothing changed.\r\n";

ProgramCommand ParseCommandLine(int count, const wchar_t* const* args) {
    if (count <= 0 || !args) {
        return {};
    }
    const wchar_t* name = SwitchName(args[0]);
    if (!name) {
        return count == 1 ? Add(args[0]) : UsageError(L"Only one file can be added at a time.");
    }
    for (const CommandName& known : kCommandNames) {
        if (_wcsicmp(name, known.name) != 0) {
            continue;
        }
        if (known.kind == CommandKind::Autostart) {
            return Autostart(count, args);
        }
        if (known.kind == CommandKind::Add) {
            return count == 2 ? Add(args[1])
                              : UsageError(L"/add takes one file or web address; a path with "
                                           L"spaces goes in quotes.");
        }
        if (known.kind == CommandKind::Export || known.kind == CommandKind::Import) {
            return count == 2 && args[1][0]
                       ? ProgramCommand{known.kind, args[1], L""}
                       : UsageError(std::wstring(args[0]) + L" takes one file; a path with "
                                                            L"spaces goes in quotes.");
        }
        return count == 1 ? ProgramCommand{known.kind, L"", L""}
                          : UsageError(std::wstring(args[0]) + L" takes no arguments.");
    }
    return UsageError(L"Unknown command: " + std::wstring(args[0]));
}

bool PackCommand(const ProgramCommand& command, COPYDATASTRUCT& data) {
    if (KindOf(IdOf(command.kind)) == CommandKind::Start) {
        return false;
    }
    data.dwData = IdOf(command.kind);
    data.cbData = 0;
    data.lpData = nullptr;
    if (command.kind == CommandKind::Add) {
        data.cbData = static_cast<DWORD>((command.target.size() + 1) * sizeof(wchar_t));
        data.lpData = const_cast<wchar_t*>(command.target.c_str());
    }
    if (command.kind == CommandKind::Import) {
        data.cbData = static_cast<DWORD>(command.listText.size());
        data.lpData = const_cast<char*>(command.listText.data());
    }
    return true;
}

bool UnpackCommand(const COPYDATASTRUCT* data, ProgramCommand& command) {
    const CommandKind kind = data ? KindOf(data->dwData) : CommandKind::Start;
    if (kind == CommandKind::Start) {
        return false;
    }
    if (kind == CommandKind::Import) {
        if (!data->lpData || data->cbData == 0 || data->cbData > kListFileMaxBytes) {
            return false;
        }
        const auto* bytes = static_cast<const char*>(data->lpData);
        command = {kind, L"", L"", false, std::string(bytes, data->cbData)};
        return true;
    }
    if (kind != CommandKind::Add) {
        command = {kind, L"", L""};
        return data->cbData == 0;
    }
    const size_t chars = data->cbData / sizeof(wchar_t);
    if (!data->lpData || data->cbData % sizeof(wchar_t) != 0 || chars < 2 ||
        chars > static_cast<size_t>(kActionStringChars)) {
        return false;
    }
    const auto* text = static_cast<const wchar_t*>(data->lpData);
    // Terminated at its last unit and nowhere before.
    if (wcsnlen(text, chars) != chars - 1) {
        return false;
    }
    command = {kind, std::wstring(text, chars - 1), L""};
    return true;
}
