#include "model/LaunchTarget.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

TEST(LaunchTarget, WebAddressesShortcutsAndFullPathsBecomeBlinkets) {
    testsupport::TempDir dir;
    const std::wstring site = dir.WriteFile(
        L"site.url", "[InternetShortcut]\r\nIconIndex=0\r\nURL=https://example.org/a?b=c\r\n");
    const std::wstring bare = dir.WriteFile(L"bare.URL", "[InternetShortcut]\r\nIconIndex=0\r\n");
    const std::wstring tooLongUrl = dir.WriteFile(
        L"long.url", "[InternetShortcut]\r\nURL=https://e.org/" + std::string(2100, 'x') + "\r\n");
    const std::wstring huge = dir.WriteFile(
        L"huge.url", "[InternetShortcut]\r\nURL=https://e.org/\r\n" + std::string(70000, ';'));
    const std::wstring junk = dir.WriteFile(L"junk.url", std::string("\0\xff\r\nURL\0=x", 10));
    const std::wstring folder = dir.MakeDir(L"folder.url");
    const std::wstring longest = L"C:\\" + std::wstring(kActionStringChars - 4, L'a');
    const struct {
        std::wstring target;
        int action;  // none: no blinket
        std::wstring text;
    } cases[] = {
        {L"http://example.org/", kActionWebPage, L"http://example.org/"},
        {L"HTTPS://EXAMPLE.ORG", kActionWebPage, L"HTTPS://EXAMPLE.ORG"},
        {L"C:\\Tools\\run.exe", kActionProgram, L"C:\\Tools\\run.exe"},
        {L"\\\\server\\share\\run.exe", kActionProgram, L"\\\\server\\share\\run.exe"},
        {site, kActionWebPage, L"https://example.org/a?b=c"},
        {bare, kActionProgram, bare},
        {tooLongUrl, kActionProgram, tooLongUrl},
        {huge, kActionProgram, huge},
        {junk, kActionProgram, junk},
        {folder, kActionProgram, folder},
        {longest, kActionProgram, longest},
        {longest + L"a", kActionNone, L""},
        {L"", kActionNone, L""},
        {L"run.exe", kActionNone, L""},
        {L"Tools\\run.exe", kActionNone, L""},
        {L"\\Tools\\run.exe", kActionNone, L""},
        {L"C:run.exe", kActionNone, L""},
        {L"\\\\", kActionNone, L""},
        {L"ftp://example.org/", kActionNone, L""},
        {L"C:\\Tools\\run\r\n.exe", kActionNone, L""},
        {L"https://example.org/\t", kActionNone, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target.substr(0, 80));
        const auto blinket = BlinketForTarget(c.target.c_str());
        ASSERT_EQ(c.action != kActionNone, blinket != nullptr);
        EXPECT_EQ(c.action != kActionNone, IsUsableTarget(c.target.c_str()));
        if (blinket) {
            EXPECT_EQ(c.action, blinket->actionCmd);
            EXPECT_EQ(c.text, blinket->actionString);
            EXPECT_EQ(L'\0', blinket->imageFile[0]);
        }
    }
    EXPECT_EQ(nullptr, BlinketForTarget(nullptr));
    EXPECT_FALSE(IsUsableTarget(nullptr));
    // Unread, an Internet shortcut is what it looks like: a file to open.
    const auto unread = BlinketForTarget(site.c_str(), false);
    ASSERT_NE(nullptr, unread);
    EXPECT_EQ(kActionProgram, unread->actionCmd);
    EXPECT_EQ(site, unread->actionString);
}
