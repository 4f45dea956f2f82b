#include "store/Settings.h"

#include "state/ShellState.h"
#include "support/RawRegistry.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using rawreg::BlinketKey;
using rawreg::kListKey;
using rawreg::kLocatorKey;
using rawreg::kSettingsKey;
using testsupport::MakeBlinket;

class SettingsTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.ok()); }

    // Any bytes will do: the store only checks that the image file opens.
    std::wstring Image(const std::wstring& name) const { return folder.WriteFile(name, "GIF89a"); }
    std::wstring Missing(const std::wstring& name) const { return folder.path() + name; }

    static void StoreBlinket(int number, const std::wstring& image, int actionCmd = 2,
                             const std::wstring& actionString = L"\\Windows\\app.exe") {
        ASSERT_TRUE(rawreg::SetString(BlinketKey(number), L"ImageFile", image));
        ASSERT_TRUE(rawreg::SetString(BlinketKey(number), L"ActionString", actionString));
        ASSERT_TRUE(rawreg::SetDword(BlinketKey(number), L"ActionCmd", actionCmd));
        ASSERT_TRUE(rawreg::SetDword(BlinketKey(number), L"BlinketPos", 4));
        ASSERT_TRUE(rawreg::SetDword(BlinketKey(number), L"ImagePos", 1));
    }

    static BlinketList<Blinket> Load() {
        BlinketList<Blinket> list;
        LoadBlinkets(kMakerName, kProgramName, list);
        return list;
    }

    // A settings key holding only the named value as given (no bytes: without the value).
    static void ResetSettings(const wchar_t* name, DWORD type, const std::vector<BYTE>& bytes) {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software");
        ASSERT_TRUE(rawreg::SetDword(kSettingsKey, L"other", 0));
        if (!bytes.empty()) {
            ASSERT_TRUE(rawreg::SetValue(kSettingsKey, name, type, bytes.data(),
                                         static_cast<DWORD>(bytes.size())));
        }
    }

    static std::vector<BYTE> Bytes(const std::wstring& text) {
        const auto* first = reinterpret_cast<const BYTE*>(text.c_str());
        return {first, first + (text.size() + 1) * sizeof(wchar_t)};
    }

    testsupport::RegistrySandbox sandbox;
    testsupport::TempDir folder;
};

TEST_F(SettingsTest, UsablePositionOrHalfTheScreenWidth) {
    // No settings key: the layout centres the window.
    EXPECT_EQ(-1, LoadSettings(kMakerName, kProgramName, 1024).windowCentreX);
    struct Case {
        const char* what;
        DWORD type;
        std::vector<BYTE> bytes;  // none: the value is missing
        int centre;
    };
    const Case cases[] = {
        {"missing", REG_DWORD, {}, 512},
        {"0", REG_DWORD, {0, 0, 0, 0}, 512},
        {"-1", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, 512},
        {"1", REG_DWORD, {1, 0, 0, 0}, 1},
        {"1023", REG_DWORD, {0xFF, 0x03, 0, 0}, 1023},
        {"1024, the screen width", REG_DWORD, {0x00, 0x04, 0, 0}, 512},
        {"5000", REG_DWORD, {0x88, 0x13, 0, 0}, 512},
        {"REG_SZ \"3\" of four bytes", REG_SZ, {'3', 0, 0, 0}, 512},
        {"REG_DWORD of two bytes", REG_DWORD, {3, 0}, 512},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetSettings(L"position", c.type, c.bytes);
        EXPECT_EQ(c.centre, LoadSettings(kMakerName, kProgramName, 1024).windowCentreX);
    }
    EXPECT_EQ(400, LoadSettings(kMakerName, kProgramName, 800).windowCentreX);
}

TEST_F(SettingsTest, OnlyTheNumberZeroStopsTheEyesFollowingThePointer) {
    EXPECT_TRUE(LoadSettings(kMakerName, kProgramName, 1024).followPointer);  // no settings key
    const struct {
        const char* what;
        DWORD type;
        std::vector<BYTE> bytes;
        bool follow;
    } cases[] = {
        {"missing", REG_DWORD, {}, true},          {"0", REG_DWORD, {0, 0, 0, 0}, false},
        {"1", REG_DWORD, {1, 0, 0, 0}, true},      {"REG_SZ \"0\"", REG_SZ, {'0', 0, 0, 0}, true},
        {"a two-byte 0", REG_DWORD, {0, 0}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ResetSettings(L"FollowPointer", c.type, c.bytes);
        EXPECT_EQ(c.follow, LoadSettings(kMakerName, kProgramName, 1024).followPointer);
    }
}

TEST_F(SettingsTest, EveryNumberedKeyLoadsInNumericOrderWhateverTheGaps) {
    for (int number : {20, 0, 3, 1, 100}) {
        StoreBlinket(number, Image(std::to_wstring(number) + L".gif"));
    }
    ASSERT_TRUE(rawreg::SetString(kListKey + L"\\blinket_7", L"ImageFile", Image(L"7.gif")));
    ASSERT_TRUE(rawreg::SetDword(kListKey + L"\\Notes", L"n", 1));
    LoadBlinkets(kMakerName, kProgramName, blinkets);
    std::vector<std::wstring> loaded;
    for (int i = 0; i < blinkets.Count(); ++i) {
        loaded.push_back(blinkets.At(i)->imageFile);
    }
    blinkets.Clear();
    std::vector<std::wstring> expected;
    for (const wchar_t* name : {L"0", L"1", L"3", L"7", L"20", L"100"}) {
        expected.push_back(folder.path() + name + L".gif");
    }
    EXPECT_EQ(expected, loaded);
}

TEST_F(SettingsTest, ABlinketWhoseImageIsGoneIsKeptAndSavedUnchanged) {
    StoreBlinket(0, Missing(L"gone.gif"), 1, L"http://example.org/");
    StoreBlinket(1, Image(L"b.gif"));
    BlinketList<Blinket> list = Load();
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ(folder.path() + L"gone.gif", list.At(0)->imageFile);
    EXPECT_STREQ(L"http://example.org/", list.At(0)->actionString);
    EXPECT_EQ(1, list.At(0)->actionCmd);
    EXPECT_EQ(4, list.At(0)->blinketPos);
    EXPECT_EQ(1, list.At(0)->imagePos);
    SaveBlinkets(kMakerName, kProgramName, list);
    const BlinketList<Blinket> saved = Load();
    ASSERT_EQ(2, saved.Count());
    EXPECT_EQ(folder.path() + L"gone.gif", saved.At(0)->imageFile);
    EXPECT_STREQ(L"http://example.org/", saved.At(0)->actionString);
    EXPECT_EQ(1, saved.At(0)->imagePos);
}

TEST_F(SettingsTest, AKeyWithOnlyTheImageFileGetsTheDefaults) {
    ASSERT_TRUE(rawreg::SetString(BlinketKey(0), L"ImageFile", Image(L"a.gif")));
    const BlinketList<Blinket> list = Load();
    ASSERT_EQ(1, list.Count());
    EXPECT_EQ(1, list.At(0)->actionCmd);
    EXPECT_EQ(1, list.At(0)->blinketPos);
    EXPECT_EQ(0, list.At(0)->imagePos);
    EXPECT_STREQ(L"", list.At(0)->actionString);
}

TEST_F(SettingsTest, ImagePathsOfAnyLengthThatFitLoadInTheirLongForm) {
    const std::wstring longName = L"a-very-long-image-file-name-for-the-strip.gif";
    std::wstring deep;
    while (folder.path().size() + deep.size() + longName.size() < 240) {
        deep += L"a long folder name\\";
    }
    const std::wstring deepImage = Image(deep + longName);
    wchar_t shortForm[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(deepImage.c_str(), shortForm, MAX_PATH), 0u);
    StoreBlinket(0, deepImage);
    StoreBlinket(1, shortForm);  // as earlier versions stored it
    StoreBlinket(2, deepImage + std::wstring(MAX_PATH - deepImage.size(), L'x'));  // 260: too long
    StoreBlinket(3, Image(L"c.gif"));
    BlinketList<Blinket> list = Load();
    ASSERT_EQ(3, list.Count());
    EXPECT_EQ(deepImage, list.At(0)->imageFile);
    EXPECT_EQ(deepImage, list.At(1)->imageFile);
    EXPECT_EQ(folder.path() + L"c.gif", list.At(2)->imageFile);
    SaveBlinkets(kMakerName, kProgramName, list);
    const rawreg::Value stored = rawreg::GetValue(BlinketKey(1), L"ImageFile");
    EXPECT_EQ(deepImage, std::wstring(reinterpret_cast<const wchar_t*>(stored.bytes.data())));
}

TEST_F(SettingsTest, ExpandableTextsExpandWhenUsedAndAreSavedAsTheyWere) {
    ASSERT_TRUE(SetEnvironmentVariableW(L"OCELLIX_TEST_IMAGES", folder.path().c_str()));
    Image(L"a.gif");
    const std::wstring image = L"%OCELLIX_TEST_IMAGES%a.gif";
    const std::wstring action = L"%OCELLIX_TEST_IMAGES%run.exe";
    for (const auto& [name, text] : {std::pair{L"ImageFile", image}, {L"ActionString", action}}) {
        ASSERT_TRUE(rawreg::SetValue(BlinketKey(0), name, REG_EXPAND_SZ, text.c_str(),
                                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))));
    }
    BlinketList<Blinket> list = Load();
    ASSERT_EQ(1, list.Count());
    EXPECT_EQ(image, list.At(0)->imageFile);
    EXPECT_EQ(action, list.At(0)->actionString);
    wchar_t expanded[MAX_PATH];
    ASSERT_TRUE(list.At(0)->ImagePath(expanded));
    EXPECT_EQ(folder.path() + L"a.gif", expanded);
    SaveBlinkets(kMakerName, kProgramName, list);
    for (const auto& [name, text] : {std::pair{L"ImageFile", image}, {L"ActionString", action}}) {
        const rawreg::Value stored = rawreg::GetValue(BlinketKey(0), name);
        EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), stored.type) << name;
        EXPECT_EQ(text, reinterpret_cast<const wchar_t*>(stored.bytes.data()));
    }
}

TEST_F(SettingsTest, AWebAddressOf2083CharactersRoundTrips) {
    const std::wstring address = L"https://example.org/?q=" + std::wstring(2083 - 23, L'a');
    StoreBlinket(0, Image(L"a.gif"), 1, address);
    BlinketList<Blinket> list = Load();
    ASSERT_EQ(1, list.Count());
    EXPECT_EQ(address, list.At(0)->actionString);
    SaveBlinkets(kMakerName, kProgramName, list);
    const BlinketList<Blinket> saved = Load();
    ASSERT_EQ(1, saved.Count());
    EXPECT_EQ(address, saved.At(0)->actionString);
}

TEST_F(SettingsTest, SavingAShorterListLeavesNoKeyFromTheLongerOne) {
    for (int number = 0; number < 5; ++number) {
        StoreBlinket(number, Image(L"old.gif"));
    }
    // Left by other writers: beyond a gap, in another letter case, with a subkey.
    StoreBlinket(7, Image(L"old.gif"));
    ASSERT_TRUE(rawreg::SetString(kListKey + L"\\blinket_09", L"ImageFile", Image(L"old.gif")));
    ASSERT_TRUE(rawreg::SetDword(BlinketKey(4) + L"\\Inner", L"n", 1));
    ASSERT_TRUE(rawreg::SetDword(kListKey + L"\\Notes", L"n", 1));
    BlinketList<Blinket> list;
    for (const wchar_t* name : {L"x.gif", L"y.gif", L"z.gif"}) {
        list.Append(MakeBlinket(Image(name), 1, name));
    }
    SaveBlinkets(kMakerName, kProgramName, list);
    for (int number = 0; number < 3; ++number) {
        EXPECT_TRUE(rawreg::KeyExists(BlinketKey(number)));
    }
    for (int number = 3; number < 10; ++number) {
        EXPECT_FALSE(rawreg::KeyExists(BlinketKey(number))) << number;
    }
    EXPECT_TRUE(rawreg::KeyExists(kListKey + L"\\Notes"));
    const BlinketList<Blinket> loaded = Load();
    ASSERT_EQ(3, loaded.Count());
    EXPECT_STREQ(L"z.gif", loaded.At(2)->actionString);
}

TEST_F(SettingsTest, ABlinketLeftWithoutAPictureOrTheStandInIsNotSavedAndLeavesNoGap) {
    BlinketList<Blinket> list;
    list.Append(MakeBlinket(Image(L"a.gif"), 1, L"first"));
    list.Append(std::make_unique<Blinket>());  // Add closed without a picture
    list.Append(MakeBlinket(Image(L"eyesbig.gif"), 3, L"the stand-in"));
    list.At(2)->standIn = true;
    list.Append(MakeBlinket(Image(L"c.gif"), 2, L"third"));
    SaveBlinkets(kMakerName, kProgramName, list);
    EXPECT_FALSE(rawreg::KeyExists(BlinketKey(2)));
    const BlinketList<Blinket> loaded = Load();
    ASSERT_EQ(2, loaded.Count());
    EXPECT_STREQ(L"first", loaded.At(0)->actionString);
    EXPECT_STREQ(L"third", loaded.At(1)->actionString);
    EXPECT_EQ(2, loaded.At(1)->actionCmd);
}

TEST_F(SettingsTest, SaveWritesEveryFieldAndAnEmptyActionStringAsEmptyText) {
    blinkets.Append(MakeBlinket(Image(L"a.gif"), 3, L""));
    blinkets.At(0)->blinketPos = -2;
    blinkets.At(0)->imagePos = 5;
    SaveBlinkets(kMakerName, kProgramName, blinkets);
    blinkets.Clear();
    const rawreg::Value action = rawreg::GetValue(BlinketKey(0), L"ActionString");
    ASSERT_TRUE(action.found);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), action.type);
    EXPECT_EQ(2u, action.bytes.size());
    EXPECT_EQ(3u, rawreg::Dword(BlinketKey(0), L"ActionCmd"));
    const BlinketList<Blinket> loaded = Load();
    ASSERT_EQ(1, loaded.Count());
    EXPECT_EQ(folder.path() + L"a.gif", loaded.At(0)->imageFile);
    EXPECT_EQ(3, loaded.At(0)->actionCmd);
    EXPECT_EQ(-2, loaded.At(0)->blinketPos);
    EXPECT_EQ(5, loaded.At(0)->imagePos);
}

// A key the program cannot hold is not shown, and every save keeps it byte for byte, moved
// behind the blinkets that are.
TEST_F(SettingsTest, KeysThatCannotBeHeldAreKeptAsTheyWereAfterTheBlinketsShown) {
    const std::wstring image = Image(L"a.gif");
    const std::wstring huge(50 * 1024, L'h');  // 100 KB
    const std::wstring tooLongAction(kActionStringChars, L'u');
    const struct Case {
        const char* what;
        bool withImage;  // a readable image path beside the value
        const wchar_t* name;
        DWORD type;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"no image path", false, L"Other", REG_DWORD, {1, 0, 0, 0}},
        {"an empty image path", false, L"ImageFile", REG_SZ, {0, 0}},
        {"a binary image path", false, L"ImageFile", REG_BINARY, {'a', 0, 'b', 0}},
        {"a 100 KB image path", false, L"ImageFile", REG_SZ, Bytes(huge)},
        {"a binary action string", true, L"ActionString", REG_BINARY, {'a', 'b', 'c', 'd'}},
        {"an action string of 2084 characters", true, L"ActionString", REG_SZ,
         Bytes(tooLongAction)},
        {"a text action code", true, L"ActionCmd", REG_SZ, {'2', 0, 0, 0}},
        {"a 64-bit frame number", true, L"ImagePos", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}},
        {"a two-byte position", true, L"BlinketPos", REG_DWORD, {3, 0}},
        {"a NUL inside the image path", false, L"ImageFile", REG_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0}},
        {"a NUL inside the action string",
         true,
         L"ActionString",
         REG_EXPAND_SZ,
         {'a', 0, 0, 0, 'b', 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software");
        if (c.withImage) {
            ASSERT_TRUE(rawreg::SetString(BlinketKey(0), L"ImageFile", image));
        }
        ASSERT_TRUE(rawreg::SetValue(BlinketKey(0), c.name, c.type, c.bytes.data(),
                                     static_cast<DWORD>(c.bytes.size())));
        StoreBlinket(1, image, 2, L"shown");
        BlinketList<Blinket> list = Load();
        ASSERT_EQ(1, list.Count());
        EXPECT_STREQ(L"shown", list.At(0)->actionString);
        for (int save = 0; save < 2; ++save) {
            SaveBlinkets(kMakerName, kProgramName, list);
            EXPECT_EQ(L"shown",
                      std::wstring(reinterpret_cast<const wchar_t*>(
                          rawreg::GetValue(BlinketKey(0), L"ActionString").bytes.data())));
            const rawreg::Value kept = rawreg::GetValue(BlinketKey(1), c.name);
            EXPECT_EQ(c.type, kept.type);
            EXPECT_EQ(c.bytes, kept.bytes);
            EXPECT_EQ(1, Load().Count());
        }
    }
}

TEST_F(SettingsTest, AnUnterminatedImagePathReads) {
    const std::wstring image = Image(L"a.gif");
    ASSERT_TRUE(rawreg::SetUnterminated(BlinketKey(0), L"ImageFile", image));
    const BlinketList<Blinket> list = Load();
    ASSERT_EQ(1, list.Count());
    EXPECT_EQ(image, list.At(0)->imageFile);
}

TEST_F(SettingsTest, AThousandBlinketsLoad) {
    const std::wstring image = Image(L"a.gif");
    for (int number = 0; number < 1000; ++number) {
        ASSERT_TRUE(rawreg::SetString(BlinketKey(number), L"ImageFile", image));
        ASSERT_TRUE(rawreg::SetDword(BlinketKey(number), L"ImagePos", number));
    }
    const BlinketList<Blinket> loaded = Load();
    ASSERT_EQ(1000, loaded.Count());
    EXPECT_EQ(999, loaded.At(999)->imagePos);
}

TEST_F(SettingsTest, ReloadIsRequestedOnlyByTheNumberOne) {
    EXPECT_FALSE(ReadReloadFlag(kMakerName, kProgramName));  // no settings key
    struct Case {
        const char* what;
        DWORD type;
        std::vector<BYTE> bytes;
        bool requested;
    };
    const Case cases[] = {
        {"absent", REG_DWORD, {}, false},
        {"0", REG_DWORD, {0, 0, 0, 0}, false},
        {"2", REG_DWORD, {2, 0, 0, 0}, false},
        {"1", REG_DWORD, {1, 0, 0, 0}, true},
        {"REG_SZ of four bytes reading 1 raw", REG_SZ, {1, 0, 0, 0}, false},
        {"REG_BINARY 1", REG_BINARY, {1, 0, 0, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetSettings(L"reload", c.type, c.bytes);
        EXPECT_EQ(c.requested, ReadReloadFlag(kMakerName, kProgramName));
    }
}

TEST_F(SettingsTest, ServingAReloadRequestClearsIt) {
    ASSERT_TRUE(rawreg::SetDword(kSettingsKey, L"reload", 1));
    EXPECT_TRUE(ReadReloadFlag(kMakerName, kProgramName));
    WriteReloadFlag(kMakerName, kProgramName, false);
    EXPECT_FALSE(ReadReloadFlag(kMakerName, kProgramName));
    EXPECT_EQ(0u, rawreg::Dword(kSettingsKey, L"reload"));
}

TEST_F(SettingsTest, TapPointCreatesTheKeyAndKeepsNegativeCoordinates) {
    SaveTapPoint(kMakerName, kProgramName, POINT{-3, 250});
    EXPECT_EQ(0xFFFFFFFDu, rawreg::Dword(kSettingsKey, L"xTap"));
    EXPECT_EQ(250u, rawreg::Dword(kSettingsKey, L"yTap"));
}

TEST_F(SettingsTest, NullNamesTouchNothing) {
    StoreBlinket(0, Image(L"a.gif"));
    ASSERT_TRUE(rawreg::SetDword(kSettingsKey, L"reload", 1));
    BlinketList<Blinket> list;
    LoadBlinkets(nullptr, kProgramName, list);
    EXPECT_EQ(0, list.Count());
    EXPECT_FALSE(ReadReloadFlag(kMakerName, nullptr));
    WriteReloadFlag(nullptr, kProgramName, false);
    SaveBlinkets(kMakerName, nullptr, list);
    SaveTapPoint(nullptr, nullptr, POINT{1, 1});
    EXPECT_TRUE(ReadReloadFlag(kMakerName, kProgramName));
    EXPECT_TRUE(rawreg::KeyExists(BlinketKey(0)));
    EXPECT_FALSE(rawreg::GetValue(kSettingsKey, L"xTap").found);
}

TEST_F(SettingsTest, OnlyAUsablePickIsRememberedAsLocation) {
    wchar_t location[MAX_PATH] = L"junk";
    ReadLocatorLocation(location);
    EXPECT_STREQ(L"", location);
    EXPECT_TRUE(SaveLocatorLocation(L"\\Windows\\foo.exe"));
    const std::wstring tooLong(MAX_PATH, L'p');
    for (const wchar_t* refused :
         {L"\\\\", L"", tooLong.c_str(), static_cast<const wchar_t*>(nullptr)}) {
        EXPECT_FALSE(SaveLocatorLocation(refused));
    }
    ReadLocatorLocation(location);
    EXPECT_STREQ(L"\\Windows\\foo.exe", location);
}

TEST_F(SettingsTest, HostileLocationsReadAsEmptyOrTerminated) {
    wchar_t location[MAX_PATH];
    ASSERT_TRUE(rawreg::SetUnterminated(kLocatorKey, L"Location", L"\\Temp"));
    ReadLocatorLocation(location);
    EXPECT_STREQ(L"\\Temp", location);
    ASSERT_TRUE(rawreg::SetString(kLocatorKey, L"Location", std::wstring(50 * 1024, L'h')));
    ReadLocatorLocation(location);
    EXPECT_STREQ(L"", location);
    ASSERT_TRUE(rawreg::SetValue(kLocatorKey, L"Location", REG_BINARY, L"\\Temp", 12));
    ReadLocatorLocation(location);
    EXPECT_STREQ(L"", location);
}

}  // namespace
