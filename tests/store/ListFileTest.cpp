#include "store/ListFile.h"

#include "store/Settings.h"
#include "support/RawRegistry.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using rawreg::BlinketKey;
using rawreg::kListKey;
using rawreg::kSettingsKey;
using Value = RegKey::RawValue;

const std::string kHeader = "Ocellix list of blinkets, format 1\r\n";

Value Bytes(const wchar_t* name, DWORD type, const std::vector<BYTE>& bytes) {
    return {name, type, bytes};
}

// The text's UTF-16 code units with the terminator.
Value Text(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) {
    const auto* first = reinterpret_cast<const BYTE*>(text.c_str());
    return {name, type, {first, first + (text.size() + 1) * sizeof(wchar_t)}};
}

Value Number(const wchar_t* name, DWORD number) {
    const auto* first = reinterpret_cast<const BYTE*>(&number);
    return {name, REG_DWORD, {first, first + sizeof(number)}};
}

std::string Utf8(const std::wstring& text) {
    std::string utf8(text.size() * 4, '\0');
    utf8.resize(static_cast<size_t>(
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(),
                            static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

class ListFileTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.ok()); }

    testsupport::RegistrySandbox sandbox;
    testsupport::TempDir folder;
};

// Export, the list key wiped, import: every value comes back with its type and bytes, what the
// program holds in lines that read as it is, the rest in hex.
TEST_F(ListFileTest, ExportWipeAndImportGiveBackEveryValueAndType) {
    const std::wstring program = folder.path();
    const std::wstring huge(50 * 1024, L'h');
    const std::wstring emoji = L"\xD83D\xDE00";
    const struct Row {
        const char* what;
        std::vector<Value> values;
        std::string line;  // a line the file shows for the key, if any
    } rows[] = {
        {"a blinket in the program's folder",
         {Text(L"ImageFile", program + L"Blinkets\\gear.gif"),
          Text(L"ActionString", L"https://example.org/?q=a=b"), Number(L"ActionCmd", 1),
          Number(L"BlinketPos", 1), Number(L"ImagePos", 0)},
         "ImageFile = REG_SZ .\\Blinkets\\gear.gif"},
        {"a program of the folder, a picture elsewhere, a negative position",
         {Text(L"ImageFile", L"C:\\Pictures\\caf\xE9 " + emoji + L".gif"),
          Text(L"ActionString", program + L"tools\\run.exe"), Number(L"ActionCmd", 2),
          Number(L"BlinketPos", static_cast<DWORD>(-2)), Number(L"ImagePos", 3)},
         "ActionString = REG_SZ .\\tools\\run.exe"},
        {"environment variables",
         {Text(L"ImageFile", L"%OCX_IMAGES%\\a.gif", REG_EXPAND_SZ),
          Text(L"ActionString", program + L"x.exe", REG_EXPAND_SZ)},
         "ImageFile = REG_EXPAND_SZ %OCX_IMAGES%\\a.gif"},
        {"an empty action string",
         {Text(L"ImageFile", L"C:\\a.gif"), Text(L"ActionString", L"")},
         "ActionString = REG_SZ"},
        {"a NUL inside the picture's path",
         {Bytes(L"ImageFile", REG_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0}), Number(L"Theirs", 9)},
         "ImageFile = REG_SZ hex: 61 00 00 00 62 00 00 00"},
        {"a path that looks relative",
         {Text(L"ImageFile", L".\\a.gif")},
         "ImageFile = REG_SZ hex: 2E 00 5C 00 61 00 2E 00 67 00 69 00 66 00 00 00"},
        {"a path too long to hold", {Text(L"ImageFile", huge), Text(L"Other", huge)}, ""},
        {"names and types of other programs",
         {Text(L"ImageFile", L"C:\\k.gif"), Number(L"", 5), Text(L"a = b", L"x"), Text(L"[x", L"y"),
          Text(L"hex:no", L" spaced "), Text(L"Lead", L"hex:looks"),
          Bytes(L"Q", REG_QWORD, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
          Text(L"Multi", std::wstring(L"a\0b\0", 4), REG_MULTI_SZ),
          Bytes(L"Odd", 0x12345, {1, 2, 3}), Bytes(L"Nothing", REG_BINARY, {}),
          Text(L"Lone", L"\xD800x"), Text(L"Smile", emoji), Text(L"ActionCmd", L"2"),
          Bytes(L"ImagePos", REG_DWORD, {1, 0})},
         "Q = REG_QWORD 18446744073709551615"},
    };
    for (size_t n = 0; n < std::size(rows); ++n) {
        for (const Value& value : rows[n].values) {
            ASSERT_TRUE(rawreg::SetValue(BlinketKey(static_cast<int>(n)), value.name.c_str(),
                                         value.type, value.data.data(),
                                         static_cast<DWORD>(value.data.size())));
        }
    }
    const auto before = rawreg::ListValues();
    ASSERT_EQ(std::size(rows), before.size());
    StoredList list;
    ASSERT_TRUE(ReadStoredList(kMakerName, kProgramName, list));
    const std::wstring file = folder.path() + L"list.ocellix";
    std::wstring problem;
    ASSERT_TRUE(WriteListFile(file.c_str(), FormatListFile(list, program.c_str()), problem));

    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CURRENT_USER, kListKey.c_str()));
    std::string bytes;
    ListFault fault;
    ASSERT_TRUE(ReadListFile(file.c_str(), bytes, fault));
    ASSERT_TRUE(ImportListText(kMakerName, kProgramName, bytes, program.c_str(), fault))
        << fault.line << ": " << Utf8(fault.problem);
    const auto after = rawreg::ListValues();
    ASSERT_EQ(before.size(), after.size());
    for (size_t n = 0; n < std::size(rows); ++n) {
        SCOPED_TRACE(rows[n].what);
        EXPECT_EQ(before[n], after[n]);
        EXPECT_EQ(rows[n].values.size(), after[n].size());
        EXPECT_TRUE(rows[n].line.empty() ||
                    bytes.find("\r\n" + rows[n].line + "\r\n") != std::string::npos)
            << rows[n].line;
    }
    // A copied folder takes its list along.
    ASSERT_TRUE(ImportListText(kMakerName, kProgramName, bytes, L"D:\\Moved\\", fault));
    EXPECT_EQ(L"D:\\Moved\\Blinkets\\gear.gif",
              std::wstring(reinterpret_cast<const wchar_t*>(
                  rawreg::GetValue(BlinketKey(0), L"ImageFile").bytes.data())));
    EXPECT_EQ(before[4], rawreg::ListValues()[4]);
}

// A file with any fault is refused whole with the line that shows it, and the list stays as it
// was; so does the previous list.
TEST_F(ListFileTest, AFileWithAFaultIsRefusedWithItsLineAndChangesNothing) {
    const std::string section = "[Blinket_00]\r\nImageFile = REG_SZ C:\\a.gif\r\n";
    const std::string end = "[End]\r\n";
    const std::string big(kListFileMaxBytes, ';');
    const struct Row {
        const char* what;
        std::string bytes;
        int line;
    } rows[] = {
        {"an empty file", "", 1},
        {"another text", "Hello\r\n", 1},
        {"UTF-16", std::string("\xFF\xFEO\0c\0e\0", 8), 1},
        {"a byte that is not UTF-8", kHeader + section + "ActionString = REG_SZ caf\xE9\r\n" + end,
         4},
        {"a control character", kHeader + section + "ActionString = REG_SZ a\x01z\r\n" + end, 4},
        {"cut short before [End]", kHeader + section + "ActionCmd = REG_DWORD 1\r\n", 4},
        {"cut inside a line", kHeader + section + "ActionCmd = REG_DW", 4},
        {"a value before any section", kHeader + "ImageFile = REG_SZ C:\\a.gif\r\n" + end, 2},
        {"an unknown section", kHeader + "[Blinkets]\r\n" + end, 2},
        {"a line that is no value", kHeader + section + "ImageFile C:\\b.gif\r\n" + end, 4},
        {"a value without a name", kHeader + section + " = REG_SZ x\r\n" + end, 4},
        {"an unknown type", kHeader + section + "Note = REG_TEXT x\r\n" + end, 4},
        {"a word for a number", kHeader + section + "ActionCmd = REG_DWORD two\r\n" + end, 4},
        {"a number too large", kHeader + section + "ImagePos = REG_DWORD 4294967296\r\n" + end, 4},
        {"a number as text", kHeader + section + "ActionCmd = REG_SZ 2\r\n" + end, 4},
        {"a path as a number", kHeader + "[Blinket]\r\nImageFile = REG_DWORD 1\r\n" + end, 3},
        {"binary data as text", kHeader + section + "Data = REG_BINARY abc\r\n" + end, 4},
        {"half a byte of hex", kHeader + section + "Data = REG_BINARY hex: 6\r\n" + end, 4},
        {"a picture's path over 259 characters",
         kHeader + "\r\n[Blinket]\r\nImageFile = REG_SZ C:\\" + std::string(257, 'p') + "\r\n" +
             end,
         4},
        {"a relative path too long once made full",
         kHeader + "[Blinket]\r\nImageFile = REG_SZ .\\" + std::string(250, 'p') + "\r\n" + end, 3},
        {"an action string over 2,083 characters",
         kHeader + section + "ActionString = REG_SZ " + std::string(2084, 'u') + "\r\n" + end, 4},
        {"the same name twice", kHeader + section + "imagefile = REG_SZ C:\\b.gif\r\n" + end, 4},
        {"a tab inside text", kHeader + section + "ActionString = REG_SZ a\tb\r\n" + end, 4},
        {"text after [End]", kHeader + section + end + "[Blinket]\r\n", 5},
        {"more than 8 MB", kHeader + section + "; " + big + "\r\n" + end, 4},
    };
    testsupport::TempDir programFolder(folder.path() + std::wstring(40, L'f'));
    ASSERT_TRUE(rawreg::SetString(BlinketKey(0), L"ImageFile", L"C:\\kept.gif"));
    ASSERT_TRUE(rawreg::SetString(kSettingsKey + L"\\BlinketsPrevious\\Blinket_00", L"ImageFile",
                                  L"C:\\before.gif"));
    const auto list = rawreg::ListValues();
    const auto previous = rawreg::ListValues(kSettingsKey + L"\\BlinketsPrevious");
    const std::wstring file = folder.path() + L"bad.ocellix";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(testsupport::WriteBytes(file, row.bytes));
        std::string bytes;
        ListFault fault;
        EXPECT_FALSE(
            ReadListFile(file.c_str(), bytes, fault) &&
            ImportListText(kMakerName, kProgramName, bytes, programFolder.path().c_str(), fault));
        EXPECT_EQ(row.line, fault.line) << Utf8(fault.problem);
        EXPECT_FALSE(fault.problem.empty());
        EXPECT_EQ(list, rawreg::ListValues());
        EXPECT_EQ(previous, rawreg::ListValues(kSettingsKey + L"\\BlinketsPrevious"));
    }
    std::string bytes;
    ListFault fault;
    EXPECT_FALSE(ReadListFile((folder.path() + L"missing.ocellix").c_str(), bytes, fault));
    EXPECT_EQ(0, fault.line);
    EXPECT_NE(std::wstring::npos, RefusalText(L"x.ocellix", fault).find(L"Nothing was changed"));
}

}  // namespace
