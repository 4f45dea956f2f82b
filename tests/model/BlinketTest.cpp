#include "model/Blinket.h"
#include "model/EyeAnimator.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <strsafe.h>

#include <string>

using testsupport::TempDir;

namespace {

const char kEyes[] = "12,8,30,22\r\n40,8,58,22\r\n";

}  // namespace

TEST(Blinket, DisplayTextIsThePositionThroughTheHook) {
    struct Marked : Blinket {
        wchar_t* ApplyTextHook(wchar_t* text) override {
            text[0] = L'#';
            return text;
        }
    } marked;
    Blinket plain;
    plain.blinketPos = -42;
    EXPECT_STREQ(L"-42", plain.DisplayText());
    marked.blinketPos = 1234;
    EXPECT_STREQ(L"#234", marked.DisplayText());
}

TEST(Blinket, EyesAreReadOnceUntilDroppedOrReset) {
    TempDir dir;
    const std::wstring eyeFile = dir.WriteFile(L"face.gif.eye", kEyes);
    Blinket blinket;
    ASSERT_TRUE(blinket.SetImageFile((dir.path() + L"face.gif").c_str()));
    blinket.xOffset = 85;
    ASSERT_TRUE(blinket.EnsureEyes());
    EXPECT_TRUE(blinket.eyesTried);
    EXPECT_EQ(97, blinket.eyes->geometry.leftEye.left);
    EXPECT_EQ(125, blinket.eyes->geometry.rightEye.left);

    // Neither the file nor the offset is looked at again until the eyes are dropped.
    ASSERT_TRUE(DeleteFileW(eyeFile.c_str()));
    blinket.xOffset = 0;
    EXPECT_TRUE(blinket.EnsureEyes());
    blinket.DropEyes();
    EXPECT_FALSE(blinket.eyesTried);
    EXPECT_EQ(nullptr, blinket.eyes);
    EXPECT_FALSE(blinket.EnsureEyes());
    EXPECT_TRUE(blinket.eyesTried);

    // A file added now waits for the next reset.
    dir.WriteFile(L"face.gif.eye", kEyes);
    EXPECT_FALSE(blinket.EnsureEyes());
    blinket.blinketPos = 3;
    blinket.imagePos = 2;
    blinket.actionCmd = kActionProgram;
    blinket.frameWidth = 40;
    blinket.frameHeight = 30;
    blinket.xOffset = 45;
    StringCchCopyW(blinket.actionString, MAX_PATH, L"\\Windows\\calc.exe");
    blinket.ResetForEdit();
    EXPECT_EQ(0, blinket.blinketPos + blinket.imagePos + blinket.actionCmd + blinket.frameWidth +
                     blinket.frameHeight + blinket.xOffset);
    EXPECT_FALSE(blinket.eyesTried);
    EXPECT_STREQ(L"\\Windows\\calc.exe", blinket.actionString);
    ASSERT_TRUE(blinket.EnsureEyes());
    EXPECT_EQ(12, blinket.eyes->geometry.leftEye.left);
}

TEST(Blinket, NoEyesFromARejectedFileOrWithoutImage) {
    TempDir dir;
    dir.WriteFile(L"face.gif.eye", "12,8,30,22\r\n");
    dir.WriteFile(L".eye", kEyes);
    Blinket rejected;
    ASSERT_TRUE(rejected.SetImageFile((dir.path() + L"face.gif").c_str()));
    EXPECT_FALSE(rejected.EnsureEyes());
    EXPECT_TRUE(rejected.eyesTried);
    // With no image, a file called ".eye" in the current folder is not its eye file.
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(dir.path().c_str());
    Blinket empty;
    const bool hasEyes = empty.EnsureEyes();
    SetCurrentDirectoryW(previous);
    EXPECT_FALSE(hasEyes);
}

// Wine gives long names on its drives 8.3 aliases; the field keeps the long form of whatever it
// is given, up to 259 characters, and refuses a longer path whole.
TEST(Blinket, ImageFileHoldsAnyPathInItsLongFormAndIsNeverCut) {
    TempDir dir;
    Blinket blinket;
    const std::wstring longest(kImageFileChars - 1, L'a');
    ASSERT_TRUE(blinket.SetImageFile(longest.c_str()));
    EXPECT_EQ(longest, blinket.imageFile);

    const std::wstring image =
        dir.WriteFile(L"a folder with a long name\\an image named at length.gif", "GIF");
    wchar_t shortForm[MAX_PATH];
    ASSERT_GT(GetShortPathNameW(image.c_str(), shortForm, MAX_PATH), 0u);
    ASSERT_NE(image, shortForm);
    for (const wchar_t* given : {image.c_str(), static_cast<const wchar_t*>(shortForm)}) {
        ASSERT_TRUE(blinket.SetImageFile(given));
        EXPECT_EQ(image, blinket.imageFile);
    }
    // The eye file is named after the long name, and found.
    dir.WriteFile(L"a folder with a long name\\an image named at length.gif.eye", kEyes);
    EXPECT_TRUE(blinket.EnsureEyes());

    EXPECT_FALSE(blinket.SetImageFile(std::wstring(kImageFileChars, L'b').c_str()));
    EXPECT_FALSE(blinket.SetImageFile(nullptr));
    EXPECT_EQ(image, blinket.imageFile);
}

// A picture shown smaller than it is has its eyes scaled with it.
TEST(Blinket, EyesFollowTheFramesScale) {
    TempDir dir;
    dir.WriteFile(L"face.gif.eye", kEyes);
    Blinket blinket;
    ASSERT_TRUE(blinket.SetImageFile((dir.path() + L"face.gif").c_str()));
    blinket.xOffset = 10;
    blinket.frameHeight = 15;
    blinket.imageFrameHeight = 30;
    ASSERT_TRUE(blinket.EnsureEyes());
    const RECT left = {16, 4, 25, 11};
    const RECT right = {30, 4, 39, 11};
    EXPECT_TRUE(EqualRect(&left, &blinket.eyes->geometry.leftEye));
    EXPECT_TRUE(EqualRect(&right, &blinket.eyes->geometry.rightEye));
    blinket.DropEyes();
    blinket.imageFrameHeight = 3000;  // eyes scaled to nothing: none
    EXPECT_FALSE(blinket.EnsureEyes());
}

// Only codes 1 and 2 reach the shell, which reports the missing file as the last error.
TEST(Blinket, RunActionOpensOnlyWebPagesAndPrograms) {
    for (int action : {0, 1, 2, 3, 4, -1}) {
        Blinket blinket;
        blinket.actionCmd = action;
        StringCchCopyW(blinket.actionString, MAX_PATH, L"Z:\\no\\such\\folder\\x.exe");
        SetLastError(0xBEEF);
        blinket.RunAction(nullptr, nullptr);
        EXPECT_EQ(action == 1 || action == 2, GetLastError() != 0xBEEF) << action;
        blinket.actionString[0] = L'\0';
        SetLastError(0xBEEF);
        blinket.RunAction(nullptr, nullptr);
        EXPECT_EQ(0xBEEFu, GetLastError()) << action;
    }
}
