#include "base/ShellHelpers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

using testsupport::TempDir;

TEST(ShellHelpers, FileExistsLeavesNoHandleOpen) {
    TempDir dir;
    const std::wstring file = dir.WriteFile(L"present.txt", "x");
    for (const std::wstring& path :
         {dir.path() + L"absent.txt", dir.path() + L"no\\such\\x.txt",
          std::wstring(L"C:\\bad<>|\"?*.txt"), dir.MakeDir(L"folder"), std::wstring()}) {
        EXPECT_FALSE(FileExists(path.c_str())) << path.c_str();
    }
    EXPECT_FALSE(FileExists(nullptr));
    // A handle without sharing blocks deleting, and makes the file count as missing.
    {
        KernelHandle held(
            CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(FileExists(file.c_str()));
        EXPECT_FALSE(DeleteFileW(file.c_str()));
    }
    EXPECT_TRUE(FileExists(file.c_str()));
    EXPECT_TRUE(DeleteFileW(file.c_str()));
}

TEST(ShellHelpers, ModuleDirectoryEndsWithBackslashAndZeroFills) {
    wchar_t directory[MAX_PATH];
    wmemset(directory, L'x', MAX_PATH);
    GetModuleDirectory(nullptr, directory);
    const std::wstring expected = testsupport::ExeDirectory();
    ASSERT_EQ(expected, directory);
    EXPECT_EQ(L'\\', expected.back());
    EXPECT_EQ(std::wstring(MAX_PATH - expected.size(), L'\0'),
              std::wstring(directory + expected.size(), directory + MAX_PATH));

    wmemset(directory, L'x', MAX_PATH);
    GetModuleDirectory(reinterpret_cast<HINSTANCE>(0x1230), directory);
    EXPECT_EQ(std::wstring(MAX_PATH, L'\0'), std::wstring(directory, MAX_PATH));
}

TEST(ShellHelpers, IsDotEntryOnlyForDotAndDotDot) {
    for (const wchar_t* name : {L".", L"..", L"...", L".eye", L"eyesbig.gif", L""}) {
        WIN32_FIND_DATAW entry = {};
        wcscpy_s(entry.cFileName, name);
        EXPECT_EQ(wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0, IsDotEntry(entry)) << name;
    }
}

// The shell reports a file it cannot open through the thread's last error, which shows whether
// ShellOpen handed anything to it.
TEST(ShellHelpers, ShellOpenSkipsNullAndEmpty) {
    SetLastError(0xBEEF);
    ShellOpen(nullptr, nullptr, L"Z:\\no\\such\\folder\\file.xyz", nullptr);
    EXPECT_NE(0xBEEFu, GetLastError());
    SetLastError(0xBEEF);
    ShellOpen(nullptr, nullptr, L"", nullptr);
    ShellOpen(nullptr, nullptr, nullptr, L"/c exit");
    EXPECT_EQ(0xBEEFu, GetLastError());
}

TEST(ShellHelpers, ShellOpenStartsAProgramWithItsParameters) {
    TempDir dir;
    const std::wstring marker = dir.path() + L"started.txt";
    const std::wstring parameters = L"/c echo started> \"" + marker + L"\"";
    ShellOpen(GetModuleHandleW(nullptr), nullptr, L"cmd.exe", parameters.c_str());
    // A bounded wait for the program to run, not a measure of how fast it does.
    for (int i = 0; i < 400 && GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
        Sleep(50);
    }
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(marker.c_str()));
    for (int i = 0; i < 100 && !DeleteFileW(marker.c_str()); ++i) {
        Sleep(50);  // until cmd lets go of the file
    }
}
