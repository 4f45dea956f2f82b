#include "app/CommandLine.h"

#include "model/LaunchTarget.h"
#include "store/ListFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<const wchar_t*>;
using K = CommandKind;

ProgramCommand Parse(const Args& args) {
    return ParseCommandLine(static_cast<int>(args.size()), args.data());
}

}  // namespace

TEST(CommandLine, ArgumentsNameOneCommandOrAUsageError) {
    const struct {
        Args args;
        CommandKind kind;
        const wchar_t* target;
    } cases[] = {
        {{}, K::Start, L""},
        {{L"/reload"}, K::Reload, L""},
        {{L"-RELOAD"}, K::Reload, L""},
        {{L"--Reload"}, K::Reload, L""},
        {{L"/options"}, K::Options, L""},
        {{L"-About"}, K::About, L""},
        {{L"--EXIT"}, K::Exit, L""},
        {{L"/?"}, K::Help, L""},
        {{L"-?"}, K::Help, L""},
        {{L"--help"}, K::Help, L""},
        {{L"/add", L"C:\\My Tools\\run.exe"}, K::Add, L"C:\\My Tools\\run.exe"},
        {{L"--ADD", L"https://example.org/"}, K::Add, L"https://example.org/"},
        {{L"notes.txt"}, K::Add, L"notes.txt"},
        {{L"/bogus"}, K::UsageError, L""},
        {{L"/"}, K::UsageError, L""},
        {{L"--"}, K::UsageError, L""},
        {{L"---reload"}, K::UsageError, L""},
        {{L"/reload", L"now"}, K::UsageError, L""},
        {{L"/add"}, K::UsageError, L""},
        {{L"/add", L""}, K::UsageError, L""},
        {{L"/add", L"C:\\My", L"Tools\\run.exe"}, K::UsageError, L""},
        {{L""}, K::UsageError, L""},
        {{L"a.exe", L"b.exe"}, K::UsageError, L""},
        {{L"/export", L"list.ocellix"}, K::Export, L"list.ocellix"},
        {{L"--IMPORT", L"C:\\My Lists\\old.ocellix"}, K::Import, L"C:\\My Lists\\old.ocellix"},
        {{L"-restore"}, K::Restore, L""},
        {{L"/export"}, K::UsageError, L""},
        {{L"/import", L""}, K::UsageError, L""},
        {{L"/import", L"a", L"b"}, K::UsageError, L""},
        {{L"/restore", L"list.ocellix"}, K::UsageError, L""},
        {{L"/autostart", L"on"}, K::Autostart, L""},
        {{L"--AUTOSTART", L"Off"}, K::Autostart, L""},
        {{L"/autostart"}, K::UsageError, L""},
        {{L"/autostart", L"yes"}, K::UsageError, L""},
        {{L"/autostart", L"on", L"off"}, K::UsageError, L""},
    };
    for (const auto& c : cases) {
        const ProgramCommand command = Parse(c.args);
        SCOPED_TRACE(c.args.empty() ? L"(none)" : c.args[0]);
        EXPECT_EQ(c.kind, command.kind);
        EXPECT_EQ(c.target, command.target);
        EXPECT_EQ(c.kind == K::UsageError, !command.problem.empty());
    }
    EXPECT_EQ(L"Unknown command: /bogus", Parse({L"/bogus"}).problem);
    EXPECT_TRUE(Parse({L"/autostart", L"ON"}).turnOn);
    EXPECT_FALSE(Parse({L"/autostart", L"off"}).turnOn);
}

TEST(CommandLine, OnlyWellFormedDataIsACommand) {
    const std::wstring longest(kActionStringChars - 1, L'x');
    const std::wstring target = L"C:\\run.exe";
    // Each travelling command arrives as it was sent.
    for (const ProgramCommand& sent : {ProgramCommand{K::Reload, L"", L""},
                                       {K::Options, L"", L""},
                                       {K::About, L"", L""},
                                       {K::Exit, L"", L""},
                                       {K::Add, target, L""},
                                       {K::Add, longest, L""},
                                       {K::Restore, L"", L""},
                                       {K::Import, L"", L"", false, "Ocellix list\r\n"}}) {
        COPYDATASTRUCT data = {};
        ASSERT_TRUE(PackCommand(sent, data));
        ProgramCommand received;
        ASSERT_TRUE(UnpackCommand(&data, received));
        EXPECT_EQ(sent.kind, received.kind);
        EXPECT_EQ(sent.target, received.target);
        EXPECT_EQ(sent.listText, received.listText);
    }
    COPYDATASTRUCT unused = {};
    EXPECT_FALSE(PackCommand({K::Help, L"", L""}, unused));
    EXPECT_FALSE(PackCommand({K::UsageError, L"", L"wrong"}, unused));
    // An export is written by the process that was asked for it.
    EXPECT_FALSE(PackCommand({K::Export, L"C:\\list.ocellix", L""}, unused));
    // Needs no running copy, so never travels.
    EXPECT_FALSE(PackCommand({K::Autostart, L"", L"", true}, unused));

    const ULONG_PTR add = kCommandMark + static_cast<ULONG_PTR>(K::Add);
    const ULONG_PTR reload = kCommandMark + static_cast<ULONG_PTR>(K::Reload);
    const ULONG_PTR import = kCommandMark + static_cast<ULONG_PTR>(K::Import);
    const ULONG_PTR exportList = kCommandMark + static_cast<ULONG_PTR>(K::Export);
    std::wstring inner = target + L'\0' + L"more";
    const std::wstring tooLong(kActionStringChars, L'x');
    wchar_t* text = const_cast<wchar_t*>(target.c_str());
    constexpr DWORD kUnit = sizeof(wchar_t);
    const DWORD bytes = static_cast<DWORD>(target.size() + 1) * kUnit;
    const COPYDATASTRUCT hostile[] = {
        {0, 0, nullptr},
        {kCommandMark, 0, nullptr},
        {kCommandMark + 99, 0, nullptr},
        {reload + (ULONG_PTR{1} << 40), 0, nullptr},
        {reload, bytes, text},
        {add, 0, nullptr},
        {add, bytes, nullptr},
        {add, bytes - 1, text},
        {add, bytes - kUnit, text},
        {add, kUnit, text},
        {add, static_cast<DWORD>(inner.size() + 1) * kUnit, inner.data()},
        {add, static_cast<DWORD>(tooLong.size() + 1) * kUnit,
         const_cast<wchar_t*>(tooLong.c_str())},
        {import, 0, nullptr},
        {import, 4, nullptr},
        {import, static_cast<DWORD>(kListFileMaxBytes + 1), text},
        {exportList, bytes, text},
    };
    for (size_t i = 0; i < std::size(hostile); ++i) {
        ProgramCommand received;
        EXPECT_FALSE(UnpackCommand(&hostile[i], received)) << i;
    }
    ProgramCommand received;
    EXPECT_FALSE(UnpackCommand(nullptr, received));
}
