#include "model/EyeFileReader.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using testsupport::RectText;

TEST(EyeFileReader, ParseRectLines) {
    const struct {
        const wchar_t* line;
        int xOffset;
        const char* rect;  // empty when the line gives none
    } cases[] = {
        {L"10 5 30 20", 0, "10,5,30,20"},
        {L"10=5,30\t20", 0, "10,5,30,20"},
        {L",,10,5,30,20,99", 0, "10,5,30,20"},
        {L"10,5,30", 0, "0,0,0,0"},
        {L"-1,5,30,20", 0, "0,0,0,0"},
        {L"10,5,10,20", 0, "10,5,10,20"},
        {L"12,8,30,22", 85, "97,8,115,22"},
        {L"+12,8x,a,22", 0, "12,8,0,22"},
        {L" = \t,", 0, "0,0,0,0"},
        {L"99999999999999999999,0,5,5", 0, "0,0,0,0"},
        {L"0,0,5,5", 2147483647, "0,0,0,0"},
    };
    for (const auto& c : cases) {
        RECT rect = {1, 2, 3, 4};
        EXPECT_EQ(std::string(c.rect) != "0,0,0,0",
                  EyeFileReader::ParseRect(c.line, c.xOffset, rect))
            << c.line;
        EXPECT_EQ(c.rect, RectText(rect)) << c.line;
    }
}

TEST(EyeFileReader, ReadLineEndsAndLimit) {
    const struct {
        std::string bytes;
        int limit;
        std::wstring line;
        size_t step;
    } cases[] = {
        {"10 5\r\nnext", 255, L"10 5", 6},
        {"a\nb", 255, L"a", 2},
        {"a\rb", 255, L"a", 2},
        {"a\n\rb", 255, L"a", 2},
        {"abc", 255, L"abc", 3},
        {"", 255, L"", 0},
        {"abcdef\r\n", 3, L"abc", 8},
        {std::string("\xE9\0z\n", 4), 255, L"\xE9", 4},
        {std::string(300, 'x') + "\r\nB", 255, std::wstring(255, L'x'), 302},
    };
    for (const auto& c : cases) {
        wchar_t line[EyeFileReader::kLineChars + 1];
        EXPECT_EQ(c.step,
                  EyeFileReader::ReadLine(reinterpret_cast<const unsigned char*>(c.bytes.data()),
                                          c.bytes.size(), line, c.limit));
        EXPECT_EQ(c.line, line) << c.bytes;
    }
}

TEST(EyeFileReader, ReadFiles) {
    const std::string right = "40,8,58,22";
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
        {"third line ignored", "12,8,30,22\r\n" + right + "\r\nzz\r\n", 0, true},
        {"300-char first line", "12,8,30,22" + std::string(250, ',') + "77,77,77,77\r\n" + right, 0,
         true},
        {"one line", "12,8,30,22\r\n", 0, false},
        {"empty second line", "12,8,30,22\r\n\r\n" + right, 0, false},
        {"three values", "12,8,30,22\r\n40,8,58\r\n", 0, false},
        {"bad first line", "12,8,-1,22\r\n" + right, 0, false},
        {"empty rectangle", "12,8,12,22\r\n" + right, 0, false},
        {"empty file", "", 0, false},
    };
    testsupport::TempDir dir;
    for (const auto& c : cases) {
        const std::wstring path = dir.WriteFile(L"case.eye", c.bytes);
        RECT leftEye = {1, 1, 5, 5};
        RECT rightEye = leftEye;
        EXPECT_EQ(c.ok, EyeFileReader::Read(path.c_str(), c.xOffset, leftEye, rightEye)) << c.name;
        EXPECT_EQ(c.ok ? "12,8,30,22 40,8,58,22" : "0,0,0,0 0,0,0,0",
                  RectText(leftEye) + " " + RectText(rightEye))
            << c.name;
        EXPECT_TRUE(DeleteFileW(path.c_str())) << c.name << ": left open";
    }
}

// Garbage, files of 50 MB and one endless line: no failure on size, nothing kept open.
TEST(EyeFileReader, BadFiles) {
    const size_t large = 50u * 1024 * 1024;
    std::mt19937 generator(20240611);
    std::string garbage(64 * 1024, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(generator());
    }
    const struct {
        const char* name;
        std::string bytes;
        bool ok;
    } cases[] = {
        {"garbage", garbage, false},
        {"eyes then bulk", "12,8,30,22\r\n40,8,58,22\r\n" + std::string(large, 'x'), true},
        {"endless first line", "12,8,30,22," + std::string(large, '7') + "\r\n40,8,58,22", true},
        {"one endless line", std::string(large, '5'), false},
    };
    testsupport::TempDir dir;
    for (const auto& c : cases) {
        const std::wstring path = dir.WriteFile(L"bad.eye", c.bytes);
        RECT leftEye;
        RECT rightEye;
        EXPECT_EQ(c.ok, EyeFileReader::Read(path.c_str(), 0, leftEye, rightEye)) << c.name;
        EXPECT_EQ(c.ok ? "40,8,58,22" : "0,0,0,0", RectText(rightEye)) << c.name;
        EXPECT_TRUE(DeleteFileW(path.c_str())) << c.name;
    }
    RECT leftEye;
    RECT rightEye;
    EXPECT_FALSE(EyeFileReader::Read((dir.path() + L"missing.eye").c_str(), 0, leftEye, rightEye));
    EXPECT_FALSE(EyeFileReader::Read(dir.MakeDir(L"folder.eye").c_str(), 0, leftEye, rightEye));
    const std::wstring locked = dir.WriteFile(L"locked.eye", "12,8,30,22\r\n40,8,58,22");
    KernelHandle held(
        CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(EyeFileReader::Read(locked.c_str(), 0, leftEye, rightEye));
}
