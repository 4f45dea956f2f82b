#include "store/Autostart.h"

#include "support/RawRegistry.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

const std::wstring kRun = kRunKey;
const std::wstring kApproved = kStartupApprovedKey;
constexpr FILETIME kEarlier = {0x8D430DD4, 0x01D93BC8};
constexpr FILETIME kNow = {0x01BD7917, 0x01D1D917};

Bytes On() {
    return {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}

// A switch turned off at that time, with the first byte given.
Bytes Off(FILETIME when, BYTE first = 3) {
    Bytes bytes(12, 0);
    bytes[0] = first;
    memcpy(bytes.data() + 4, &when, sizeof(when));
    return bytes;
}

Bytes Text(const std::wstring& text) {
    const auto* first = reinterpret_cast<const BYTE*>(text.c_str());
    return {first, first + (text.size() + 1) * sizeof(wchar_t)};
}

class AutostartTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.ok()); }

    testsupport::RegistrySandbox sandbox;
};

}  // namespace

TEST_F(AutostartTest, OnAndOffWriteRunAndItsSwitchAsSettingsDoes) {
    const wchar_t* program = L"C:\\Users\\Some One\\Ocellix\\ocellix.exe";
    const Bytes quoted = Text(L"\"C:\\Users\\Some One\\Ocellix\\ocellix.exe\"");
    const Bytes other = Text(L"\"D:\\Portable\\ocellix.exe\"");
    const struct {
        const char* what;
        Bytes run, approved;  // before; empty: missing
        bool on;
        Bytes runAfter, approvedAfter;
    } cases[] = {
        {"on from nothing", {}, {}, true, quoted, On()},
        {"on over a switch turned off elsewhere", other, Off(kEarlier), true, quoted, On()},
        {"off keeps Run and marks the time", quoted, {}, false, quoted, Off(kNow)},
        {"off over on", quoted, On(), false, quoted, Off(kNow)},
        {"off over another kind of on", quoted, Off({}, 6), false, quoted, Off(kNow)},
        {"off again keeps the first time", quoted, Off(kEarlier), false, quoted, Off(kEarlier)},
        {"off kept in Windows' other form", quoted, Off(kEarlier, 7), false, quoted,
         Off(kEarlier, 7)},
        {"off over a switch of the wrong size", quoted, {3, 0, 0, 0}, false, quoted, Off(kNow)},
        {"off without Run writes nothing", {}, {}, false, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software");
        if (!c.run.empty()) {
            ASSERT_TRUE(rawreg::SetValue(kRun, kAutostartName, REG_SZ, c.run.data(),
                                         static_cast<DWORD>(c.run.size())));
        }
        if (!c.approved.empty()) {
            ASSERT_TRUE(rawreg::SetValue(kApproved, kAutostartName, REG_BINARY, c.approved.data(),
                                         static_cast<DWORD>(c.approved.size())));
        }
        EXPECT_TRUE(c.on ? TurnAutostartOn(program) : TurnAutostartOff(kNow));
        const rawreg::Value run = rawreg::GetValue(kRun, kAutostartName);
        const rawreg::Value approved = rawreg::GetValue(kApproved, kAutostartName);
        EXPECT_EQ(c.runAfter, run.bytes);
        EXPECT_EQ(c.approvedAfter, approved.bytes);
        if (run.found) {
            EXPECT_EQ(static_cast<DWORD>(REG_SZ), run.type);
        }
        if (approved.found) {
            EXPECT_EQ(static_cast<DWORD>(REG_BINARY), approved.type);
        }
    }
}

TEST_F(AutostartTest, OnRefusesAPathItCannotQuoteAndWritesNothing) {
    const std::wstring tooLong = L"C:\\" + std::wstring(MAX_PATH, L'x');
    for (const wchar_t* program : {L"", tooLong.c_str()}) {
        EXPECT_FALSE(TurnAutostartOn(program));
        EXPECT_FALSE(rawreg::GetValue(kRun, kAutostartName).found);
        EXPECT_FALSE(rawreg::GetValue(kApproved, kAutostartName).found);
    }
    EXPECT_FALSE(TurnAutostartOn(nullptr));
}
