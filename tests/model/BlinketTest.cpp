#include "model/Blinket.h"
#include "model/EyeAnimator.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <strsafe.h>

#include <string>

using testsupport::TempDir;

namespace {

const char kEyes[] = "12,8,30,22\r\n40,8,58,22\r\n";

// A blinket whose image lies in the folder, with or without an eye file beside it.
std::wstring ImageIn(const TempDir& dir) { return dir.path() + L"face.gif"; }

}  // namespace

TEST(Blinket, StartsEmpty) {
    Blinket blinket;
    EXPECT_EQ(0, blinket.blinketPos);
    EXPECT_EQ(kActionNone, blinket.actionCmd);
    EXPECT_STREQ(L"", blinket.imageFile);
    EXPECT_STREQ(L"", blinket.actionString);
    EXPECT_FALSE(blinket.imageExists);
    EXPECT_FALSE(blinket.eyesTried);
    EXPECT_EQ(nullptr, blinket.eyes);
}

TEST(Blinket, DisplayTextIsThePositionThroughTheHook) {
    struct Marked : Blinket {
        wchar_t* ApplyTextHook(wchar_t* text) override {
            text[0] = L'#';
            return text;
        }
    };
    Blinket plain;
    plain.blinketPos = -42;
    EXPECT_STREQ(L"-42", plain.DisplayText());
    Marked marked;
    marked.blinketPos = 7;
    EXPECT_STREQ(L"#", marked.DisplayText());
    marked.blinketPos = 1234;
    EXPECT_STREQ(L"#234", marked.DisplayText());
}

TEST(BlinketEyes, ReadOnceWithTheCurrentOffset) {
    TempDir dir;
    const std::wstring eyeFile = dir.WriteFile(L"face.gif.eye", kEyes);
    Blinket blinket;
    ASSERT_TRUE(blinket.SetImageFile(ImageIn(dir).c_str()));
    blinket.xOffset = 85;

    ASSERT_TRUE(blinket.EnsureEyes());
    EXPECT_TRUE(blinket.eyesTried);
    ASSERT_NE(nullptr, blinket.eyes);
    const RECT& leftEye = blinket.eyes->geometry.leftEye;
    EXPECT_EQ(97, leftEye.left);
    EXPECT_EQ(115, leftEye.right);
    EXPECT_EQ(125, blinket.eyes->geometry.rightEye.left);

    // Neither the file nor the offset is looked at again until the eyes are dropped.
    ASSERT_TRUE(DeleteFileW(eyeFile.c_str()));
    blinket.xOffset = 0;
    EXPECT_TRUE(blinket.EnsureEyes());
    EXPECT_EQ(97, blinket.eyes->geometry.leftEye.left);

    blinket.DropEyes();
    EXPECT_FALSE(blinket.eyesTried);
    EXPECT_EQ(nullptr, blinket.eyes);
    EXPECT_FALSE(blinket.EnsureEyes());
    EXPECT_TRUE(blinket.eyesTried);
}

TEST(BlinketEyes, AFileAddedLaterWaitsForTheNextReset) {
    TempDir dir;
    Blinket blinket;
    ASSERT_TRUE(blinket.SetImageFile(ImageIn(dir).c_str()));
    EXPECT_FALSE(blinket.EnsureEyes());
    dir.WriteFile(L"face.gif.eye", kEyes);
    EXPECT_FALSE(blinket.EnsureEyes());

    blinket.blinketPos = 3;
    blinket.imagePos = 2;
    blinket.actionCmd = kActionProgram;
    blinket.frameWidth = 40;
    blinket.frameHeight = 30;
    blinket.xOffset = 45;
    blinket.imageExists = true;
    StringCchCopyW(blinket.actionString, MAX_PATH, L"\\Windows\\calc.exe");
    blinket.ResetForEdit();
    EXPECT_EQ(0, blinket.blinketPos);
    EXPECT_EQ(0, blinket.imagePos);
    EXPECT_EQ(kActionNone, blinket.actionCmd);
    EXPECT_EQ(0, blinket.frameWidth);
    EXPECT_EQ(0, blinket.frameHeight);
    EXPECT_EQ(0, blinket.xOffset);
    EXPECT_FALSE(blinket.eyesTried);
    EXPECT_STREQ(ImageIn(dir).c_str(), blinket.imageFile);
    EXPECT_STREQ(L"\\Windows\\calc.exe", blinket.actionString);

    ASSERT_TRUE(blinket.EnsureEyes());
    EXPECT_EQ(12, blinket.eyes->geometry.leftEye.left);
}

TEST(BlinketEyes, RejectedFileLeavesNoEyes) {
    TempDir dir;
    dir.WriteFile(L"face.gif.eye", "12,8,30,22\r\n");
    Blinket blinket;
    ASSERT_TRUE(blinket.SetImageFile(ImageIn(dir).c_str()));
    EXPECT_FALSE(blinket.EnsureEyes());
    EXPECT_TRUE(blinket.eyesTried);
    EXPECT_EQ(nullptr, blinket.eyes);
}

// With no image, a file called ".eye" in the current folder is not taken for its eye file.
TEST(BlinketEyes, NoImageNoEyes) {
    TempDir dir;
    dir.WriteFile(L".eye", kEyes);
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(dir.path().c_str()));
    Blinket blinket;
    const bool hasEyes = blinket.EnsureEyes();
    SetCurrentDirectoryW(previous);
    EXPECT_FALSE(hasEyes);
}

TEST(BlinketImageFile, ShortPathIsStoredAsItIs) {
    Blinket blinket;
    const wchar_t path[] = L"\\Program Files\\Blinkets\\eyesbig.gif";
    ASSERT_TRUE(blinket.SetImageFile(path));
    EXPECT_STREQ(path, blinket.imageFile);
    const std::wstring longest(kImageFileChars - 1, L'a');
    ASSERT_TRUE(blinket.SetImageFile(longest.c_str()));
    EXPECT_EQ(longest, blinket.imageFile);
}

// Wine gives every long name on its drives an 8.3 alias, so a long path to an existing file has a
// short form.
TEST(BlinketImageFile, LongPathIsStoredInItsShortForm) {
    TempDir dir;
    const std::wstring image =
        dir.WriteFile(L"a folder with a rather long name\\an image with a long name.gif", "GIF");
    ASSERT_GE(image.size(), static_cast<size_t>(kImageFileChars));
    wchar_t shortForm[MAX_PATH];
    const DWORD length = GetShortPathNameW(image.c_str(), shortForm, MAX_PATH);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, static_cast<DWORD>(kImageFileChars)) << "short form " << shortForm;

    Blinket blinket;
    ASSERT_TRUE(blinket.SetImageFile(image.c_str()));
    EXPECT_STREQ(shortForm, blinket.imageFile);
    // The short form names the same file, so the eye file beside it is found.
    dir.WriteFile(L"a folder with a rather long name\\an image with a long name.gif.eye", kEyes);
    EXPECT_TRUE(blinket.EnsureEyes());
}

TEST(BlinketImageFile, PathThatCannotFitIsRefused) {
    TempDir dir;
    const std::wstring deep =
        dir.WriteFile(L"first long folder name\\second long folder name\\third long folder "
                      L"name\\fourth long folder name\\an image with a long name.gif",
                      "GIF");
    wchar_t shortForm[MAX_PATH];
    ASSERT_GE(GetShortPathNameW(deep.c_str(), shortForm, MAX_PATH),
              static_cast<DWORD>(kImageFileChars));
    const std::wstring missing = dir.path() + L"no such folder with a long name\\image.gif";
    ASSERT_GE(missing.size(), static_cast<size_t>(kImageFileChars));

    Blinket blinket;
    ASSERT_TRUE(blinket.SetImageFile(L"\\Blinkets\\eyesbig.gif"));
    EXPECT_FALSE(blinket.SetImageFile(deep.c_str()));
    EXPECT_FALSE(blinket.SetImageFile(missing.c_str()));
    EXPECT_FALSE(blinket.SetImageFile(nullptr));
    EXPECT_STREQ(L"\\Blinkets\\eyesbig.gif", blinket.imageFile);
}

// A program action reaches the shell; a batch file leaves a mark that shows it ran.
TEST(BlinketAction, ProgramAndWebPageActionsOpenTheirString) {
    TempDir dir;
    for (int action : {kActionWebPage, kActionProgram}) {
        const std::wstring marker = dir.path() + L"ran" + std::to_wstring(action) + L".txt";
        std::string script = "@echo ran> \"";
        for (wchar_t c : marker) {
            script += static_cast<char>(c);
        }
        script += "\"\r\n";
        const std::wstring batch =
            dir.WriteFile(L"action" + std::to_wstring(action) + L".bat", script);
        Blinket blinket;
        blinket.actionCmd = action;
        StringCchCopyW(blinket.actionString, MAX_PATH, batch.c_str());
        blinket.RunAction();
        // A bounded wait for the script to run, not a measure of how fast it does.
        for (int i = 0; i < 400 && GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES;
             ++i) {
            Sleep(50);
        }
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(marker.c_str())) << action;
        for (int i = 0; i < 100 && !DeleteFileW(marker.c_str()); ++i) {
            Sleep(50);
        }
    }
}

// Only codes 1 and 2 reach the shell, which would report the missing file as the last error.
TEST(BlinketAction, OtherCodesAndEmptyStringsDoNothing) {
    for (int action : {0, 3, 4, 7, -1}) {
        Blinket blinket;
        blinket.actionCmd = action;
        StringCchCopyW(blinket.actionString, MAX_PATH, L"Z:\\no\\such\\folder\\x.exe");
        SetLastError(0xBEEF);
        blinket.RunAction();
        EXPECT_EQ(0xBEEFu, GetLastError()) << action;
    }
    Blinket empty;
    empty.actionCmd = kActionProgram;
    SetLastError(0xBEEF);
    empty.RunAction();
    EXPECT_EQ(0xBEEFu, GetLastError());

    Blinket program;
    program.actionCmd = kActionProgram;
    StringCchCopyW(program.actionString, MAX_PATH, L"Z:\\no\\such\\folder\\x.exe");
    program.RunAction();
    EXPECT_NE(0xBEEFu, GetLastError());
}
