#include "model/EyeFileReader.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using testsupport::TempDir;

namespace {

bool SameRect(const RECT& rect, int left, int top, int right, int bottom) {
    return rect.left == left && rect.top == top && rect.right == right && rect.bottom == bottom;
}

std::string Describe(const RECT& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
           std::to_string(rect.right) + "," + std::to_string(rect.bottom);
}

}  // namespace

TEST(EyeFileParseRect, LineTable) {
    const struct {
        const wchar_t* line;
        int xOffset;
        bool ok;
        RECT rect;
    } cases[] = {
        {L"10 5 30 20", 0, true, {10, 5, 30, 20}},
        {L"10=5,30\t20", 0, true, {10, 5, 30, 20}},
        {L",,10,5,30,20,99", 0, true, {10, 5, 30, 20}},
        {L"10,5,30", 0, false, {}},
        {L"-1,5,30,20", 0, false, {}},
        {L"10,5,30,-01", 0, false, {}},
        {L"12,8,30,22", 85, true, {97, 8, 115, 22}},
        {L"+12,8x,30;,22", 0, true, {12, 8, 30, 22}},
        {L"a,5,30,20", 0, true, {0, 5, 30, 20}},
        {L"-2,-3,4,5", 10, true, {8, -3, 14, 5}},
        {L"", 0, false, {}},
        {L" = \t,", 0, false, {}},
        {L"99999999999999999999999,0,5,5", 0, false, {}},
        {L"0,0,5,5", 2147483647, false, {}},
    };
    for (const auto& c : cases) {
        RECT rect = {1, 2, 3, 4};
        EXPECT_EQ(c.ok, EyeFileReader::ParseRect(c.line, c.xOffset, rect)) << c.line;
        EXPECT_TRUE(SameRect(rect, c.rect.left, c.rect.top, c.rect.right, c.rect.bottom))
            << c.line << " gave " << Describe(rect);
    }
}

TEST(EyeFileReadLine, LineEndsAndLimit) {
    const std::string longLine = std::string(300, 'x') + "\r\nB";
    const struct {
        std::string bytes;
        int limit;
        std::wstring line;
        size_t step;
    } cases[] = {
        {"10 5\r\nnext", 255, L"10 5", 6},
        {"a\nb", 255, L"a", 2},
        {"a\rb", 255, L"a", 2},
        {"a\r", 255, L"a", 2},
        {"a\n\rb", 255, L"a", 2},
        {"abc", 255, L"abc", 3},
        {"\r\nx", 255, L"", 2},
        {"", 255, L"", 0},
        {"abcdef\r\n", 3, L"abc", 8},
        {longLine, 255, std::wstring(255, L'x'), 302},
        {std::string("\xE9\x01z\n", 4), 255, std::wstring(L"\xE9\x01z"), 4},
    };
    for (const auto& c : cases) {
        wchar_t line[EyeFileReader::kLineChars + 1];
        const size_t step = EyeFileReader::ReadLine(
            reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size(), line, c.limit);
        EXPECT_EQ(c.step, step) << c.bytes;
        EXPECT_EQ(c.line, line) << c.bytes;
    }
}

TEST(EyeFilePath, AppendsEye) {
    wchar_t path[MAX_PATH];
    ASSERT_TRUE(EyeFileReader::EyeFilePath(L"\\Blinkets\\eyesbig.gif", path));
    EXPECT_STREQ(L"\\Blinkets\\eyesbig.gif.eye", path);
    const std::wstring tooLong(MAX_PATH - 4, L'a');
    EXPECT_FALSE(EyeFileReader::EyeFilePath(tooLong.c_str(), path));
    EXPECT_STREQ(L"", path);
}

TEST(EyeFileRead, FileTable) {
    const std::string right = "40,8,58,22";
    const std::string longFirst = "12,8,30,22" + std::string(250, ',') + "77,77,77,77";
    const struct {
        const char* name;
        std::string bytes;
        int xOffset;
        bool ok;
    } cases[] = {
        {"typical", "12,8,30,22\r\n40,8,58,22\r\n", 0, true},
        {"offset", "-73,8,-55,22\r\n-45,8,-27,22\r\n", 85, true},
        {"no final line end", "12,8,30,22\r\n" + right, 0, true},
        {"LF only", "12,8,30,22\n" + right + "\n", 0, true},
        {"CR only", "12,8,30,22\r" + right + "\r", 0, true},
        {"third line ignored", "12,8,30,22\r\n" + right + "\r\ngarbage\r\n", 0, true},
        {"300-char first line", longFirst + "\r\n" + right, 0, true},
        {"one line", "12,8,30,22\r\n", 0, false},
        {"empty second line", "12,8,30,22\r\n\r\n" + right, 0, false},
        {"three values", "12,8,30,22\r\n40,8,58\r\n", 0, false},
        {"bad first line", "12,8,-1,22\r\n" + right, 0, false},
        {"empty rectangle", "12,8,12,22\r\n" + right, 0, false},
        {"blank", "\r\n\r\n", 0, false},
    };
    TempDir dir;
    for (const auto& c : cases) {
        const std::wstring path = dir.WriteFile(L"case.eye", c.bytes);
        RECT leftEye;
        RECT rightEye;
        EXPECT_EQ(c.ok, EyeFileReader::Read(path.c_str(), c.xOffset, leftEye, rightEye)) << c.name;
        if (c.ok) {
            EXPECT_TRUE(SameRect(leftEye, 12, 8, 30, 22)) << c.name << ": " << Describe(leftEye);
            EXPECT_TRUE(SameRect(rightEye, 40, 8, 58, 22)) << c.name << ": " << Describe(rightEye);
        }
        EXPECT_TRUE(DeleteFileW(path.c_str())) << c.name << ": the file was left open";
    }
}

TEST(EyeFileRead, MissingEmptyAndLockedFiles) {
    TempDir dir;
    RECT leftEye = {1, 1, 5, 5};
    RECT rightEye = {1, 1, 5, 5};
    EXPECT_FALSE(EyeFileReader::Read((dir.path() + L"missing.eye").c_str(), 0, leftEye, rightEye));
    EXPECT_TRUE(IsRectEmpty(&leftEye) && IsRectEmpty(&rightEye));
    EXPECT_FALSE(EyeFileReader::Read(dir.WriteFile(L"empty.eye", "").c_str(), 0, leftEye, rightEye));
    EXPECT_FALSE(EyeFileReader::Read(dir.MakeDir(L"folder.eye").c_str(), 0, leftEye, rightEye));
    EXPECT_FALSE(EyeFileReader::Read(nullptr, 0, leftEye, rightEye));

    const std::wstring locked = dir.WriteFile(L"locked.eye", "12,8,30,22\r\n40,8,58,22\r\n");
    HANDLE held = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(EyeFileReader::Read(locked.c_str(), 0, leftEye, rightEye));
    CloseHandle(held);
    EXPECT_TRUE(EyeFileReader::Read(locked.c_str(), 0, leftEye, rightEye));
}

TEST(EyeFileRead, BinaryGarbageIsRejected) {
    std::mt19937 bytes(20240611);
    std::string garbage(64 * 1024, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(bytes() & 0xFF);
    }
    TempDir dir;
    const std::wstring path = dir.WriteFile(L"garbage.eye", garbage);
    RECT leftEye;
    RECT rightEye;
    EXPECT_FALSE(EyeFileReader::Read(path.c_str(), 0, leftEye, rightEye));
    EXPECT_TRUE(DeleteFileW(path.c_str()));
}

// Files of 50 MB: the reader neither fails on their size nor keeps them open.
TEST(EyeFileRead, VeryLargeFiles) {
    const size_t size = 50u * 1024 * 1024;
    const struct {
        const char* name;
        std::string bytes;
        bool ok;
    } cases[] = {
        {"eyes then bulk", "12,8,30,22\r\n40,8,58,22\r\n" + std::string(size, 'x'), true},
        {"endless first line", "12,8,30,22," + std::string(size, '7') + "\r\n40,8,58,22", true},
        {"one endless line", std::string(size, '5'), false},
    };
    TempDir dir;
    for (const auto& c : cases) {
        const std::wstring path = dir.WriteFile(L"large.eye", c.bytes);
        RECT leftEye;
        RECT rightEye;
        EXPECT_EQ(c.ok, EyeFileReader::Read(path.c_str(), 0, leftEye, rightEye)) << c.name;
        if (c.ok) {
            EXPECT_TRUE(SameRect(rightEye, 40, 8, 58, 22)) << c.name << ": " << Describe(rightEye);
        }
        EXPECT_TRUE(DeleteFileW(path.c_str())) << c.name;
    }
}
