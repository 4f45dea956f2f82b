#include "store/RegKey.h"

#include "support/RawRegistry.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class RegKeyTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.ok()); }

    static void ExpectNothingOpen(const RegKey& key) {
        EXPECT_EQ(0, key.depth);
        for (const RegKey::Level& level : key.levels) {
            EXPECT_EQ(nullptr, level.key);
            EXPECT_STREQ(L"", level.name);
        }
    }

    static std::vector<HKEY> OpenHandles(const RegKey& key) {
        std::vector<HKEY> handles;
        for (int i = 0; i < key.depth; ++i) {
            handles.push_back(key.levels[i].key);
        }
        return handles;
    }

    // Handle values are unique among open handles, so an old value is either no longer a key
    // or was closed and given out again to one of the keys opened since.
    static void ExpectClosed(const std::vector<HKEY>& old, const std::vector<HKEY>& current) {
        for (HKEY handle : old) {
            if (std::find(current.begin(), current.end(), handle) == current.end()) {
                EXPECT_NE(ERROR_SUCCESS,
                          RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, nullptr, nullptr,
                                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
            }
        }
    }

    testsupport::RegistrySandbox sandbox;
};

TEST_F(RegKeyTest, CreateMakesEveryMissingComponentAndActsOnTheLast) {
    RegKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, L"\\Software\\A\\B", true));
    EXPECT_EQ(3, key.depth);
    EXPECT_STREQ(L"Software", key.levels[0].name);
    EXPECT_STREQ(L"A", key.levels[1].name);
    EXPECT_STREQ(L"B", key.levels[2].name);
    const DWORD value = 42;
    key.SetDword(L"n", &value);
    key.CloseAll();
    EXPECT_EQ(42u, rawreg::Dword(L"Software\\A\\B", L"n"));
    EXPECT_FALSE(rawreg::GetValue(L"Software\\A", L"n").found);
}

TEST_F(RegKeyTest, OpenWithoutCreateOpensNothingWhenAComponentIsMissing) {
    ASSERT_TRUE(rawreg::SetDword(L"Software\\A", L"n", 1));
    RegKey key;
    EXPECT_FALSE(key.Open(HKEY_CURRENT_USER, L"\\Software\\A\\B\\C", false));
    ExpectNothingOpen(key);
    EXPECT_FALSE(rawreg::KeyExists(L"Software\\A\\B"));
    DWORD value = 7;
    EXPECT_FALSE(key.QueryDword(L"n", &value));
    EXPECT_EQ(0u, value);
}

TEST_F(RegKeyTest, BackslashesAroundAndBetweenComponentsNameTheSameKey) {
    ASSERT_TRUE(rawreg::SetDword(L"Software\\A\\B", L"n", 5));
    const wchar_t* spellings[] = {L"Software\\A\\B", L"\\Software\\A\\B\\", L"\\\\Software\\\\A\\B",
                                  L"Software\\A\\\\\\B\\\\"};
    for (const wchar_t* path : spellings) {
        SCOPED_TRACE(testing::Message() << "path " << testing::PrintToString(std::wstring(path)));
        RegKey key;
        ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, path, false));
        EXPECT_EQ(3, key.depth);
        DWORD value = 0;
        EXPECT_TRUE(key.QueryDword(L"n", &value));
        EXPECT_EQ(5u, value);
    }
}

TEST_F(RegKeyTest, PathsBeyondTheLimitsAreRefusedWithoutCreatingAnything) {
    std::wstring sixteen = L"Software";
    for (int i = 1; i < 16; ++i) {
        sixteen += L"\\L" + std::to_wstring(i);
    }
    const std::wstring longName = L"Software\\" + std::wstring(256, L'n');
    const std::wstring longPath = L"Software\\" + std::wstring(200, L'p') + L"\\" +
                                  std::wstring(52, L'q');  // 262 characters in all
    const std::wstring refused[] = {L"", L"\\\\\\", sixteen, longName, longPath};
    for (const std::wstring& path : refused) {
        SCOPED_TRACE(testing::Message() << "path of " << path.size() << " characters");
        RegKey key;
        EXPECT_FALSE(key.Open(HKEY_CURRENT_USER, path.c_str(), true));
        ExpectNothingOpen(key);
    }
    EXPECT_FALSE(rawreg::KeyExists(L"Software\\L1"));
    // Fifteen components are within the limits.
    RegKey key;
    EXPECT_TRUE(key.Open(HKEY_CURRENT_USER, sixteen.substr(0, sixteen.rfind(L'\\')).c_str(), true));
    EXPECT_EQ(15, key.depth);
}

TEST_F(RegKeyTest, ReopeningAndDestroyingCloseEveryLevel) {
    ASSERT_TRUE(rawreg::SetDword(L"Software\\A\\B\\C", L"n", 1));
    ASSERT_TRUE(rawreg::SetDword(L"Software\\D", L"n", 2));
    std::vector<HKEY> first;
    std::vector<HKEY> second;
    {
        RegKey key;
        ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, L"Software\\A\\B\\C", false));
        first = OpenHandles(key);
        ASSERT_EQ(4u, first.size());
        ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, L"Software\\D", false));
        second = OpenHandles(key);
        ASSERT_EQ(2u, second.size());
        EXPECT_STREQ(L"", key.levels[2].name);
        DWORD value = 0;
        EXPECT_TRUE(key.QueryDword(L"n", &value));
        EXPECT_EQ(2u, value);
        ExpectClosed(first, second);
    }
    ExpectClosed(second, {});
}

struct DwordCase {
    const char* what;
    DWORD type;
    std::vector<BYTE> bytes;
    bool read;
    DWORD value;
};

TEST_F(RegKeyTest, QueryDwordReadsOnlyFourByteDwords) {
    const DwordCase cases[] = {
        {"REG_DWORD", REG_DWORD, {0x78, 0x56, 0x34, 0x12}, true, 0x12345678},
        {"more than 4 bytes", REG_DWORD, {1, 0, 0, 0, 0, 0, 0, 0}, false, 0},
        {"REG_QWORD", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, false, 0},
        {"two bytes", REG_DWORD, {1, 0}, false, 0},
        {"REG_SZ \"1\" of four bytes", REG_SZ, {'1', 0, 0, 0}, false, 0},
        {"REG_BINARY of four bytes", REG_BINARY, {1, 0, 0, 0}, false, 0},
    };
    for (const DwordCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(rawreg::SetValue(L"Software\\A", L"n", c.type, c.bytes.data(),
                                     static_cast<DWORD>(c.bytes.size())));
        RegKey key;
        ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, L"Software\\A", false));
        DWORD value = 99;
        EXPECT_EQ(c.read, key.QueryDword(L"n", &value));
        EXPECT_EQ(c.value, value);
    }
}

TEST_F(RegKeyTest, EmptyTextIsATwoByteStringThatReadsBackEmpty) {
    RegKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, L"Software\\A", true));
    key.SetString(L"s", L"");
    const rawreg::Value stored = rawreg::GetValue(L"Software\\A", L"s");
    ASSERT_TRUE(stored.found);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored.type);
    EXPECT_EQ(2u, stored.bytes.size());
    wchar_t text[MAX_PATH] = L"junk";
    EXPECT_TRUE(key.QueryString(L"s", text, MAX_PATH));
    EXPECT_STREQ(L"", text);
}

struct StringCase {
    const char* what;
    DWORD type;
    std::wstring data;  // stored as it stands, terminator only where written
    bool read;
    std::wstring text;
};

TEST_F(RegKeyTest, QueryStringNeverOverrunsAndAlwaysTerminates) {
    const std::wstring full(MAX_PATH - 1, L'x');
    const StringCase cases[] = {
        {"terminated", REG_SZ, std::wstring(L"abc", 4), true, L"abc"},
        {"without terminator", REG_SZ, L"abc", true, L"abc"},
        {"259 characters", REG_SZ, full + L'\0', true, full},
        {"259 characters without terminator", REG_SZ, full, true, full},
        {"260 characters without terminator", REG_SZ, full + L'y', false, L""},
        {"260 characters", REG_SZ, full + L"y" + L'\0', false, L""},
        {"100 KB", REG_SZ, std::wstring(50 * 1024, L'z'), false, L""},
        {"REG_BINARY", REG_BINARY, std::wstring(L"abc", 4), false, L""},
        {"REG_DWORD", REG_DWORD, std::wstring(L"ab", 2), false, L""},
        {"terminators after the text", REG_SZ, std::wstring(L"abc\0\0\0", 6), true, L"abc"},
        // Read as a string it would be cut at the first NUL.
        {"a NUL inside", REG_SZ, std::wstring(L"ab\0c\0", 5), false, L""},
    };
    for (const StringCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(rawreg::SetValue(L"Software\\A", L"s", c.type, c.data.data(),
                                     static_cast<DWORD>(c.data.size() * sizeof(wchar_t))));
        RegKey key;
        ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, L"Software\\A", false));
        wchar_t text[MAX_PATH + 4];
        wmemset(text, L'#', MAX_PATH + 4);
        EXPECT_EQ(c.read, key.QueryString(L"s", text, MAX_PATH));
        EXPECT_EQ(c.text, std::wstring(text));
        EXPECT_EQ(std::wstring(4, L'#'), std::wstring(text + MAX_PATH, 4));
    }
}

}  // namespace
