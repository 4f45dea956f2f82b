#include "app/ShellHelpers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

using testsupport::TempDir;

TEST(FileExists, ExistingMissingAndBadPaths) {
    TempDir dir;
    const std::wstring file = dir.WriteFile(L"present.txt", "x");
    const std::wstring folder = dir.MakeDir(L"folder");
    EXPECT_TRUE(FileExists(file.c_str()));
    const std::wstring missing[] = {dir.path() + L"absent.txt", dir.path() + L"no\\such\\x.txt",
                                    L"C:\\bad<>|\"name?*.txt", folder, L""};
    for (const std::wstring& path : missing) {
        EXPECT_FALSE(FileExists(path.c_str())) << path.c_str();
    }
    EXPECT_FALSE(FileExists(nullptr));
}

TEST(FileExists, LeavesNoHandleOpen) {
    TempDir dir;
    const std::wstring file = dir.WriteFile(L"present.txt", "x");
    // An open handle without sharing blocks deleting, and makes the file count as missing.
    HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(FileExists(file.c_str()));
    EXPECT_FALSE(DeleteFileW(file.c_str()));
    CloseHandle(held);

    ASSERT_TRUE(FileExists(file.c_str()));
    EXPECT_TRUE(DeleteFileW(file.c_str()));
}

TEST(GetModuleDirectory, EndsWithBackslashAndZeroFillsTheRest) {
    wchar_t directory[MAX_PATH];
    wmemset(directory, L'\xCCCC', MAX_PATH);
    GetModuleDirectory(nullptr, directory);
    const std::wstring expected = testsupport::ExeDirectory();
    EXPECT_EQ(expected, directory);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(L'\\', directory[expected.size() - 1]);
    for (size_t i = expected.size(); i < MAX_PATH; ++i) {
        ASSERT_EQ(L'\0', directory[i]) << i;
    }
}

TEST(GetModuleDirectory, UnknownModuleGivesEmpty) {
    wchar_t directory[MAX_PATH];
    wmemset(directory, L'x', MAX_PATH);
    GetModuleDirectory(reinterpret_cast<HINSTANCE>(0x1230), directory);
    for (wchar_t c : directory) {
        ASSERT_EQ(L'\0', c);
    }
}

TEST(IsDotEntry, OnlyDotAndDotDot) {
    const struct {
        const wchar_t* name;
        bool dot;
    } cases[] = {{L".", true},     {L"..", true},          {L"...", false},
                 {L".eye", false}, {L"eyesbig.gif", false}, {L"", false}};
    for (const auto& c : cases) {
        WIN32_FIND_DATAW entry = {};
        wcscpy_s(entry.cFileName, c.name);
        EXPECT_EQ(c.dot, IsDotEntry(entry)) << c.name;
    }
}

// The shell reports a file it cannot open through the thread's last error; that shows whether
// ShellOpen handed anything to it.
TEST(ShellOpen, NullOrEmptyFileDoesNotReachTheShell) {
    SetLastError(0xBEEF);
    ShellOpen(nullptr, nullptr, L"Z:\\no\\such\\folder\\file.xyz", nullptr);
    EXPECT_NE(0xBEEFu, GetLastError());

    SetLastError(0xBEEF);
    ShellOpen(nullptr, nullptr, L"", nullptr);
    EXPECT_EQ(0xBEEFu, GetLastError());
    ShellOpen(nullptr, nullptr, nullptr, L"/c exit");
    EXPECT_EQ(0xBEEFu, GetLastError());
}

TEST(ShellOpen, StartsAProgramWithItsParameters) {
    TempDir dir;
    const std::wstring marker = dir.path() + L"started.txt";
    const std::wstring parameters = L"/c echo started> \"" + marker + L"\"";
    ShellOpen(GetModuleHandleW(nullptr), nullptr, L"cmd.exe", parameters.c_str());
    // A bounded wait for the program to run, not a measure of how fast it does.
    for (int i = 0; i < 400 && GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
        Sleep(50);
    }
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(marker.c_str()));
    // Let the program let go of the file before the folder is deleted.
    for (int i = 0; i < 100 && !DeleteFileW(marker.c_str()); ++i) {
        Sleep(50);
    }
}
