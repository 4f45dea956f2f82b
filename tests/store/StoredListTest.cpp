#include "store/StoredList.h"

#include "store/RegKeyFaults.h"
#include "store/Settings.h"
#include "support/RawRegistry.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

using rawreg::BlinketKey;
using rawreg::kListKey;
using rawreg::kSettingsKey;

const std::wstring kPreviousKey = kSettingsKey + L"\\BlinketsPrevious";
const std::wstring kSavingKey = kSettingsKey + L"\\BlinketsSaving";

using Snapshot = std::vector<std::map<std::wstring, rawreg::Value>>;

// The blinkets of a list by the last letter of their action strings.
std::string Letters(const BlinketList<Blinket>& list) {
    std::string letters;
    for (int i = 0; i < list.Count(); ++i) {
        letters +=
            static_cast<char>(list.At(i)->actionString[wcslen(list.At(i)->actionString) - 1]);
    }
    return letters;
}

class StoredListTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.ok()); }
    void TearDown() override { StopRegistryWritesAfter(-1); }

    // Blinket n of the list key shows the picture of the letter and opens http://x/<letter>.
    void StoreBlinket(int n, char letter, const std::wstring& key = kListKey) const {
        const std::wstring name = std::wstring(1, static_cast<wchar_t>(letter));
        const std::wstring path =
            key + (n < 10 ? L"\\Blinket_0" : L"\\Blinket_") + std::to_wstring(n);
        ASSERT_TRUE(
            rawreg::SetString(path, L"ImageFile", folder.WriteFile(name + L".gif", "GIF89a")));
        ASSERT_TRUE(rawreg::SetString(path, L"ActionString", L"http://x/" + name));
        ASSERT_TRUE(rawreg::SetDword(path, L"ActionCmd", kActionWebPage));
        ASSERT_TRUE(rawreg::SetDword(path, L"BlinketPos", 1));
        ASSERT_TRUE(rawreg::SetDword(path, L"ImagePos", 0));
    }
    // A key the program cannot hold: a binary picture path and a value of its own.
    static void StoreKept(int n) {
        const std::wstring path = BlinketKey(n);
        ASSERT_TRUE(rawreg::SetValue(path, L"ImageFile", REG_BINARY, "\x01\x02", 2));
        ASSERT_TRUE(rawreg::SetDword(path, L"Theirs", 7));
    }
    static BlinketList<Blinket> Load() {
        BlinketList<Blinket> list;
        LoadBlinkets(kMakerName, kProgramName, list);
        return list;
    }

    testsupport::RegistrySandbox sandbox;
    testsupport::TempDir folder;
};

// A save stopped after each of its registry calls, as a kill would stop it, and then a start:
// the list is exactly the old one or exactly the new one, kept keys included, and the previous
// list is the one before it. Nothing of the save is left behind.
TEST_F(StoredListTest, ASaveKilledAfterAnyCallLeavesTheOldListOrTheNewOne) {
    const struct Case {
        const char* what;
        const char* old;  // letters of blinkets; K a kept key
        void (*change)(BlinketList<Blinket>&);
        const char* shownAfter;
    } cases[] = {
        {"a reorder", "abc", [](BlinketList<Blinket>& l) { l.SwapWithNext(0); }, "bac"},
        {"a delete", "abc", [](BlinketList<Blinket>& l) { l.RemoveAt(1); }, "ac"},
        {"a kept key", "Kab", [](BlinketList<Blinket>& l) { l.SwapWithNext(0); }, "ba"},
    };
    int stopPoints = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto storeOld = [&] {
            RegDeleteTreeW(HKEY_CURRENT_USER, L"Software");
            for (int n = 0; c.old[n]; ++n) {
                if (c.old[n] == 'K') {
                    StoreKept(n);
                } else {
                    StoreBlinket(n, c.old[n]);
                }
            }
            StoreBlinket(0, 'z', kPreviousKey);
        };
        storeOld();
        const Snapshot old = rawreg::ListValues(kListKey);
        const Snapshot older = rawreg::ListValues(kPreviousKey);
        const std::string shownBefore = Letters(Load());
        BlinketList<Blinket> edited = Load();
        c.change(edited);
        ASSERT_TRUE(SaveBlinkets(kMakerName, kProgramName, edited));
        const Snapshot next = rawreg::ListValues(kListKey);
        ASSERT_NE(old, next);
        ASSERT_EQ(c.shownAfter, Letters(Load()));
        for (int stop = 0;; ++stop) {
            storeOld();
            edited = Load();
            c.change(edited);
            StopRegistryWritesAfter(stop);
            SaveBlinkets(kMakerName, kProgramName, edited);
            const bool stopped = RegistryWritesStopped();
            StopRegistryWritesAfter(-1);
            if (!stopped) {
                break;
            }
            ++stopPoints;
            const std::string shown = Letters(Load());
            const Snapshot now = rawreg::ListValues(kListKey);
            const bool isNew = now == next;
            EXPECT_TRUE(isNew || now == old) << "stopped after " << stop << " writes";
            EXPECT_EQ(isNew ? c.shownAfter : shownBefore, shown) << stop;
            EXPECT_EQ(isNew ? old : older, rawreg::ListValues(kPreviousKey)) << stop;
            EXPECT_FALSE(rawreg::KeyExists(kSavingKey)) << stop;
            EXPECT_FALSE(rawreg::GetValue(kSettingsKey, L"BlinketsSaveStep").found) << stop;
        }
    }
    std::cout << "stop points tried: " << stopPoints << std::endl;
    RecordProperty("StopPoints", stopPoints);
    EXPECT_GT(stopPoints, 100);
}

// Values and subkeys left by a former occupant of a number are gone. A kept key that moves takes
// every value along, also those after one larger than the first read, which fails that read with
// ERROR_MORE_DATA.
TEST_F(StoredListTest, AfterASaveEachKeyHoldsExactlyItsOwnValues) {
    StoreKept(0);
    const std::vector<BYTE> large(100 * 1024, 0x5A);
    ASSERT_TRUE(rawreg::SetValue(BlinketKey(0), L"Large", REG_BINARY, large.data(),
                                 static_cast<DWORD>(large.size())));
    ASSERT_TRUE(rawreg::SetString(BlinketKey(0), L"After", L"still here"));
    const auto kept = rawreg::Values(BlinketKey(0));
    ASSERT_EQ(4u, kept.size());
    StoreBlinket(1, 'a');
    StoreBlinket(2, 'b');
    ASSERT_TRUE(rawreg::SetString(BlinketKey(1), L"Extra", L"from before"));
    ASSERT_TRUE(rawreg::SetDword(BlinketKey(2) + L"\\Inner", L"n", 1));
    BlinketList<Blinket> list = Load();
    list.SwapWithNext(0);
    ASSERT_TRUE(SaveBlinkets(kMakerName, kProgramName, list));
    const Snapshot saved = rawreg::ListValues(kListKey);
    ASSERT_EQ(3u, saved.size());
    for (int n = 0; n < 2; ++n) {
        std::vector<std::wstring> names;
        for (const auto& [name, value] : saved[n]) {
            names.push_back(name);
        }
        EXPECT_EQ((std::vector<std::wstring>{L"ActionCmd", L"ActionString", L"BlinketPos",
                                             L"ImageFile", L"ImagePos"}),
                  names);
    }
    EXPECT_EQ(kept, saved[2]);
    for (int n = 0; n < 3; ++n) {
        EXPECT_TRUE(rawreg::Subkeys(BlinketKey(n)).empty()) << n;
    }
}

TEST_F(StoredListTest, TheListASaveReplacesIsKeptAndRestoredBackAndForth) {
    StoredList none;
    EXPECT_FALSE(ReadPreviousList(kMakerName, kProgramName, none));
    EXPECT_FALSE(RestorePreviousList(kMakerName, kProgramName));
    StoreBlinket(0, 'a');
    StoreBlinket(1, 'b');
    BlinketList<Blinket> list = Load();
    list.RemoveAt(0);
    ASSERT_TRUE(SaveBlinkets(kMakerName, kProgramName, list));
    // Saving what is stored already replaces nothing, and the previous list stays.
    ASSERT_TRUE(SaveBlinkets(kMakerName, kProgramName, list));
    EXPECT_EQ("b", Letters(Load()));
    ASSERT_TRUE(RestorePreviousList(kMakerName, kProgramName));
    EXPECT_EQ("ab", Letters(Load()));
    ASSERT_TRUE(RestorePreviousList(kMakerName, kProgramName));
    EXPECT_EQ("b", Letters(Load()));
    StoredList previous;
    ASSERT_TRUE(ReadPreviousList(kMakerName, kProgramName, previous));
    ASSERT_EQ(2u, previous.size());
    EXPECT_EQ(L"http://x/a", std::wstring(reinterpret_cast<const wchar_t*>(
                                 FindValue(previous[0], L"actionstring")->data.data())));
}

}  // namespace
