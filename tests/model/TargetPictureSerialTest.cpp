// Pictures made from the icons of real files: an icon file, this test's own program (which
// carries Ocellix's icon), shortcuts made by the shell, Internet shortcuts, documents and schemes
// of types registered for the test; and files made to hurt. Alone: the USER objects counted for
// leaks are the whole Wine session's, which tests running beside these would change.
#include "model/TargetPicture.h"

#include "base/Picture.h"
#include "base/ShellHelpers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

constexpr unsigned kGreen = 0x20C040;

// Classes of the machine, registered for the length of a test: Wine's shell reads file types
// and schemes from there only.
class MachineClasses {
public:
    ~MachineClasses() {
        for (const std::wstring& key : keys_) {
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
        }
    }
    bool Set(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
        const std::wstring full = L"Software\\Classes\\" + key;
        const std::wstring top = full.substr(0, full.find(L'\\', 17));
        if (std::find(keys_.begin(), keys_.end(), top) == keys_.end()) {
            keys_.push_back(top);
        }
        return RegSetKeyValueW(HKEY_LOCAL_MACHINE, full.c_str(), name, REG_SZ, value.c_str(),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
               ERROR_SUCCESS;
    }

private:
    std::vector<std::wstring> keys_;
};

std::wstring OwnProgram() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// A PNG whose header declares a picture of the size, and nothing after it.
std::string PngHeader(unsigned width, unsigned height) {
    std::string bytes("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16);
    for (unsigned value : {width, height}) {
        for (int shift : {24, 16, 8, 0}) {
            bytes += static_cast<char>((value >> shift) & 0xFF);
        }
    }
    return bytes + std::string(64, '\0');
}

class TargetPictureTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registry.ok());
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        // The large picture is the green disc, the small one red: the large one must win.
        const std::vector<unsigned> red(16 * 16, 0xFFFF0000);
        icon = files.WriteFile(
            L"disc.ico", MakeIco({{16, 16, IconDib(16, 16, red.data())},
                                  {128, 128, MakePng(128, 128, DiscPixels(128, kGreen).data())}}));
    }
    void TearDown() override { CoUninitialize(); }

    // The picture made for the target, read back as the window reads it; empty when none.
    Pixels Made(const std::wstring& target) {
        wchar_t path[MAX_PATH] = {};
        if (!MakeTargetPicture(target.c_str(), pictures.path().c_str(), path)) {
            return {};
        }
        EXPECT_EQ(0, std::wstring(path).rfind(pictures.path(), 0));
        Picture picture;
        picture.Load(nullptr, path, nullptr, 0);
        return picture.IsLoaded() ? ReadPixels(picture.bitmap) : Pixels{};
    }

    RegistrySandbox registry;
    TempDir files;
    TempDir pictures;
    std::wstring icon;
};

TEST_F(TargetPictureTest, EveryKindOfTargetGivesAPictureOfItsIcon) {
    const std::wstring program = OwnProgram();
    const std::wstring named = files.path() + L"named.lnk";
    const std::wstring plain = files.path() + L"plain.lnk";
    const std::wstring chained = files.path() + L"chained.lnk";
    ASSERT_TRUE(MakeShortcut(named, program, icon.c_str(), 0));
    ASSERT_TRUE(MakeShortcut(plain, program));
    ASSERT_TRUE(MakeShortcut(chained, named));
    const std::wstring site = files.WriteFile(
        L"site.url", "[InternetShortcut]\r\nURL=https://example.org/\r\nIconFile=" +
                         std::string(icon.begin(), icon.end()) + "\r\nIconIndex=0\r\n");
    const std::wstring page =
        files.WriteFile(L"page.url", "[InternetShortcut]\r\nURL=ocxtestscheme:page\r\n");
    const std::wstring document = files.WriteFile(L"notes.ocxtestdoc", "notes");
    const std::wstring opened = files.WriteFile(L"notes.ocxtestrun", "notes");
    MachineClasses classes;
    const std::wstring command = L"\"" + program + L"\" \"%1\"";
    const bool registered = classes.Set(L".ocxtestdoc", nullptr, L"OcxTestDoc") &&
                            classes.Set(L"OcxTestDoc\\DefaultIcon", nullptr, icon + L",0") &&
                            classes.Set(L".ocxtestrun", nullptr, L"OcxTestRun") &&
                            classes.Set(L"OcxTestRun\\shell\\open\\command", nullptr, command) &&
                            classes.Set(L"ocxtestscheme", L"URL Protocol", L"") &&
                            classes.Set(L"ocxtestscheme\\shell\\open\\command", nullptr, command);
    // Ocellix's big eyes have the white of an eye there; the disc is green in the middle.
    const POINT kEye = {9, 20};
    const POINT kMiddle = {20, 20};
    const COLORREF kWhite = RGB(255, 255, 255);
    const struct {
        const wchar_t* kind;
        std::wstring target;
        POINT known;
        COLORREF colour;
        bool needsClasses;
    } cases[] = {
        {L"icon file", icon, kMiddle, ColourOf(kGreen), false},
        {L"program", program, kEye, kWhite, false},
        {L"shortcut naming an icon", named, kMiddle, ColourOf(kGreen), false},
        {L"shortcut to a program", plain, kEye, kWhite, false},
        {L"shortcut to a shortcut", chained, kMiddle, ColourOf(kGreen), false},
        {L"Internet shortcut with its icon", site, kMiddle, ColourOf(kGreen), false},
        {L"Internet shortcut of a scheme", page, kEye, kWhite, true},
        {L"document of a type with an icon", document, kMiddle, ColourOf(kGreen), true},
        {L"document of a program's type", opened, kEye, kWhite, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        if (c.needsClasses && !registered) {
            ADD_FAILURE() << "file types cannot be registered here";
            continue;
        }
        const Pixels made = Made(c.target);
        ASSERT_EQ(40, made.width);
        ASSERT_EQ(40, made.height);
        for (POINT corner : {POINT{0, 0}, POINT{39, 0}, POINT{0, 39}, POINT{39, 39}}) {
            EXPECT_EQ(testsupport::kKeyColour, made.At(corner.x, corner.y));
        }
        EXPECT_TRUE(Near(c.colour, made.At(c.known.x, c.known.y), 24))
            << std::hex << made.At(c.known.x, c.known.y);
        // No key-coloured fringe: nothing of the shape comes near the key colour.
        for (COLORREF pixel : made.colours) {
            EXPECT_TRUE(pixel == testsupport::kKeyColour ||
                        !Near(pixel, testsupport::kKeyColour, 40))
                << std::hex << pixel;
        }
    }
}

TEST_F(TargetPictureTest, TheSameTargetReusesItsPictureAndAnotherGetsItsOwn) {
    wchar_t first[MAX_PATH] = {};
    wchar_t again[MAX_PATH] = {};
    wchar_t other[MAX_PATH] = {};
    const std::wstring copy = files.WriteFile(L"copy.ico", "");
    ASSERT_TRUE(CopyFileW(icon.c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(MakeTargetPicture(icon.c_str(), pictures.path().c_str(), first));
    WIN32_FILE_ATTRIBUTE_DATA before = {};
    ASSERT_TRUE(GetFileAttributesExW(first, GetFileExInfoStandard, &before));
    Sleep(20);
    ASSERT_TRUE(MakeTargetPicture(icon.c_str(), pictures.path().c_str(), again));
    ASSERT_TRUE(MakeTargetPicture(copy.c_str(), pictures.path().c_str(), other));
    EXPECT_STREQ(first, again);
    EXPECT_STRNE(first, other);
    WIN32_FILE_ATTRIBUTE_DATA after = {};
    ASSERT_TRUE(GetFileAttributesExW(first, GetFileExInfoStandard, &after));
    EXPECT_EQ(0, CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime));
    // Named for the target, readable in Edit Item's list.
    EXPECT_EQ(0, std::wstring(first).rfind(pictures.path() + L"disc-", 0)) << first;
    EXPECT_EQ(L"http-", TargetPictureName(L"http://a.example/", L"C:\\b.exe", 0).substr(0, 5));
    EXPECT_EQ(TargetPictureName(L"http://a.example/", L"C:\\b.exe", 0),
              TargetPictureName(L"HTTP://b.example/x", L"C:\\B.EXE", 0));
}

TEST_F(TargetPictureTest, HostileFilesGiveNoPictureAndLeakNothing) {
    std::string program;
    ASSERT_TRUE(ReadFileBytes(OwnProgram().c_str(), 4096, false, program));
    const std::string disc = MakePng(128, 128, DiscPixels(128, kGreen).data());
    const std::vector<unsigned> red(64 * 64, 0xFFFF0000);
    std::string cut = MakeIco({{64, 64, IconDib(64, 64, red.data())}});
    cut.resize(cut.size() - 4096);
    std::string lying = MakeIco({{16, 16, disc}});
    lying[18] = '\xFF';  // an offset far past the end
    std::string many = MakeIco({});
    many[4] = many[5] = '\xFF';  // 65535 entries in a file of six bytes
    std::string tall = IconDib(64, 64, red.data());
    tall[8] = '\xD0';  // 1000 rows declared, 64 there
    tall[9] = '\x07';
    const std::wstring self = files.path() + L"self.lnk";
    const std::wstring gone = files.path() + L"gone.lnk";
    ASSERT_TRUE(MakeShortcut(self, self));
    ASSERT_TRUE(MakeShortcut(gone, L"Q:\\gone\\app.exe"));
    const struct {
        const wchar_t* kind;
        std::wstring target;
    } cases[] = {
        {L"truncated program", files.WriteFile(L"cut.exe", program)},
        {L"program of two bytes", files.WriteFile(L"mz.exe", "MZ")},
        {L"icon of absurd size",
         files.WriteFile(L"huge.ico", MakeIco({{0, 0, PngHeader(100000, 100000)}}))},
        {L"icon wider than any",
         files.WriteFile(L"wide.ico", MakeIco({{0, 0, PngHeader(4096, 16)}}))},
        {L"icon whose rows are missing", files.WriteFile(L"tall.ico", MakeIco({{64, 64, tall}}))},
        {L"truncated icon", files.WriteFile(L"cut.ico", cut)},
        {L"icon pointing past its end", files.WriteFile(L"lying.ico", lying)},
        {L"icon of countless entries", files.WriteFile(L"many.ico", many)},
        {L"icon that is text", files.WriteFile(L"text.ico", "not an icon")},
        {L"shortcut to itself", self},
        {L"shortcut to a missing drive", gone},
        {L"Internet shortcut with its icon on an unreachable share",
         files.WriteFile(L"share.url", "[InternetShortcut]\r\nURL=ocxnoscheme:x\r\n"
                                       "IconFile=\\\\unreachable.invalid\\share\\icon.ico\r\n")},
        {L"document of no known type", files.WriteFile(L"a.ocxunknowntype", "x")},
        {L"file that vanished", files.path() + L"vanished.exe"},
    };
    const int gdi = FreeGdiCapacity();
    const int user = FreeUserCapacity();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(0, Made(c.target).width);
    }
    // A leak leaves less room; the system's own objects (COM's) may go meanwhile.
    EXPECT_LE(gdi, FreeGdiCapacity());
    EXPECT_LE(user, FreeUserCapacity());
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((pictures.path() + L"*.png").c_str(), &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, search) << "a picture was made";
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
    }
}

}  // namespace
