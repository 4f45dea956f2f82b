// Runs alone: popup menus close when another process takes the foreground.
#include "app/Arrivals.h"
#include "app/Commands.h"
#include "app/Operations.h"

#include "app/ShellFixture.h"
#include "resources/resource.h"
#include "store/Settings.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

using testsupport::AddBlinket;
using testsupport::ControlText;
using testsupport::ModalDriver;
using testsupport::PressDone;

namespace {

using Files = std::vector<std::wstring>;

// Files dropped at a client point, packed as the shell packs them for WM_DROPFILES.
HDROP MakeDrop(const Files& files, POINT point) {
    std::wstring names;
    for (const std::wstring& file : files) {
        names += file + L'\0';
    }
    names += L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = point;
    drop->fWide = TRUE;
    memcpy(drop + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

// The program's resources come from a copy of their library in a temporary folder: Options offers
// the pictures of the Blinkets folder there, whose paths fit a blinket wherever the build lies.
class DropTest : public shelltest::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        const std::wstring library = program.path() + L"ocellix_resources.dll";
        ASSERT_TRUE(CopyFileW((testsupport::ExeDirectory() + L"..\\ocellix_resources.dll").c_str(),
                              library.c_str(), FALSE));
        resources.Reset(LoadLibraryW(library.c_str()));
        ASSERT_TRUE(resources);
        appInstance = resources.get();
        program.WriteFile(L"Blinkets\\p.bmp", testsupport::SolidBmp(20, 20, 0x3366CC));
        AddBlinket(Image(L"a.bmp", 30, 20, 0x00FF00), kActionWebPage, L"http://a.example/");
        AddBlinket(Image(L"b.bmp", 40, 20, 0xFF0000), kActionWebPage, L"http://b.example/");
        ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(kClassName));
    }
    void TearDown() override {
        ShellTest::TearDown();
        UnregisterClassW(kClassName, resources.get());
    }

    // Drops the files as the shell does, with Shift held or not.
    static void Drop(const Files& files, POINT point, bool shift) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageW(mainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files, point)), 0);
        testsupport::PumpMessages();
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
    }

    // Drops the files; in Edit Item reads the action and its string, picks the picture or not
    // and closes it; then reads the selected row of Options and closes it. The window's thread
    // calls eachTurn at every turn of its loop meanwhile.
    void DropAndEdit(const Files& files, POINT point, bool shift, bool pick,
                     const std::function<void()>& eachTurn = [] {}) {
        ModalDriver driver;
        driver
            .OnDialog(L"Edit Item",
                      [&](HWND edit) {
                          action = ControlText(edit, IDC_ACTION);
                          text = ControlText(edit, IDC_ACTION_STRING);
                          if (pick) {
                              testsupport::SelectRow(GetDlgItem(edit, IDC_IMAGE_LIST), 0);
                          }
                          PressDone(edit);
                      })
            .OnDialog(L"Options", [&](HWND options) {
                HWND list = GetDlgItem(options, IDC_BLINKET_LIST);
                selected = static_cast<int>(
                    SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
                PressDone(options);
            });
        Drop(files, point, shift);
        ASSERT_TRUE(testsupport::PumpUntil([&] {
            eachTurn();
            return driver.finished();
        }));
        EXPECT_TRUE(testsupport::PumpUntil([] { return !ArrivalPending(); }));
    }

    // The letters of the blinkets' action strings in list order, and as stored.
    std::string Listed() const {
        std::string listed;
        for (int i = 0; i < blinkets.Count(); ++i) {
            listed += LetterOf(blinkets.At(i)->actionString);
        }
        return listed;
    }
    std::string Stored() const {
        std::string stored;
        for (int n = 0; rawreg::KeyExists(rawreg::BlinketKey(n)); ++n) {
            const rawreg::Value value = rawreg::GetValue(rawreg::BlinketKey(n), L"ActionString");
            stored += LetterOf(reinterpret_cast<const wchar_t*>(value.bytes.data()));
        }
        return stored;
    }
    char LetterOf(const std::wstring& text) const {
        for (const auto& [letter, known] : letters) {
            if (known == text) {
                return letter;
            }
        }
        return '?';
    }

    std::vector<std::pair<char, std::wstring>> letters = {{'a', L"http://a.example/"},
                                                          {'b', L"http://b.example/"}};
    static constexpr wchar_t kClassName[] = L"OcellixDropTest";
    testsupport::TempDir program;
    testsupport::OwnedModule resources;
    std::wstring action;
    std::wstring text;
    int selected = -1;
};

}  // namespace

// A program without an icon (or any drop with Shift held) opens Edit Item, as before pictures
// were made from icons.
TEST_F(DropTest,
       WithoutAnIconOrWithShiftTheFileJoinsBeforeTheBlinketUnderThePointOnceItHasAPicture) {
    const std::wstring program = dir.WriteFile(L"my tools\\run.exe", "MZ");
    const std::wstring other = dir.WriteFile(L"other.exe", "MZ");
    const std::wstring site =
        dir.WriteFile(L"site.url", "[InternetShortcut]\r\nURL=https://example.org/\r\n");
    letters.insert(letters.end(), {{'P', program}, {'O', other}, {'S', L"https://example.org/"}});
    // Each drop lands on the window as the one before left it: a at 0-30, b at 35-75 at first.
    const struct {
        Files files;
        POINT point;
        bool shift;
        bool pick;
        const wchar_t* action;
        std::wstring text;
        int selected;  // the new row, or -1 when nothing joined
        const char* listed;
    } cases[] = {
        {{program}, {40, 5}, false, true, L"Run: Program", program, 1, "aPb"},
        {{site}, {2, 5}, true, true, L"Run: Web Page", L"https://example.org/", 0, "SaPb"},
        {{other, program}, {2000, 5}, false, true, L"Run: Program", other, 4, "SaPbO"},
        {{site}, {2, 5}, true, false, L"Run: Web Page", L"https://example.org/", -1, "SaPbO"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files[0]);
        DropAndEdit(c.files, c.point, c.shift, c.pick);
        EXPECT_EQ(c.action, action);
        EXPECT_EQ(c.text, text);
        EXPECT_EQ(c.selected, selected);
        EXPECT_EQ(c.listed, Listed());
        EXPECT_EQ(c.listed, Stored());
        EXPECT_FALSE(dialogActive);
    }
}

// The program and a shortcut to it (made by the shell) bring their own picture: each joins
// before the blinket under the point at once, with no dialog, saved and shown. The same program
// again takes the same picture; one that cannot be read opens Edit Item.
TEST_F(DropTest, AProgramOrAShortcutWithAnIconJoinsAtOnceWithItsPicture) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    const std::wstring program = dir.path() + L"eyes.exe";
    const std::wstring shortcut = dir.path() + L"eyes.lnk";
    ASSERT_TRUE(CopyFileW(own, program.c_str(), FALSE));
    ASSERT_TRUE(testsupport::MakeShortcut(shortcut, program));
    letters.insert(letters.end(), {{'P', program}, {'L', shortcut}});
    const struct {
        std::wstring file;
        POINT point;
        const char* listed;
        int added;  // its place in the list
    } cases[] = {
        {program, {40, 5}, "aPb", 1},
        {shortcut, {2, 5}, "LaPb", 0},
        {program, {5000, 5}, "LaPbP", 4},
    };
    std::wstring firstPicture;
    {
        testsupport::ModalDriver driver;  // with no step: any dialog fails the test
        for (const auto& c : cases) {
            SCOPED_TRACE(c.listed);
            const int count = blinkets.Count();
            Drop({c.file}, c.point, false);
            ASSERT_TRUE(testsupport::PumpUntil([&] { return blinkets.Count() == count + 1; }));
            EXPECT_FALSE(ArrivalPending());
            EXPECT_EQ(c.listed, Listed());
            EXPECT_EQ(c.listed, Stored());
            const Blinket* added = blinkets.At(c.added);
            EXPECT_EQ(0, std::wstring(added->imageFile).rfind(sandbox.UserPictures(), 0))
                << added->imageFile;
            // Shown in the window at the shipped pictures' height.
            EXPECT_TRUE(added->imageExists);
            EXPECT_EQ(40, added->frameHeight);
            if (firstPicture.empty()) {
                firstPicture = added->imageFile;
            } else if (c.file == program) {
                EXPECT_EQ(firstPicture, added->imageFile);
            } else {
                EXPECT_NE(firstPicture, added->imageFile);
            }
        }
        // A drop while the one before is still under way is ignored, not queued.
        const int count = blinkets.Count();
        PostMessageW(mainWindow, WM_DROPFILES,
                     reinterpret_cast<WPARAM>(MakeDrop({program}, {2, 5})), 0);
        Drop({shortcut}, {2, 5}, false);
        ASSERT_TRUE(testsupport::PumpUntil([] { return !ArrivalPending(); }));
        testsupport::PumpUntil([] { return false; }, 300);
        EXPECT_EQ(count + 1, blinkets.Count());
        EXPECT_EQ("PLaPbP", Listed());
    }
    // A program whose icon cannot be read goes the way of one without.
    std::string head(4096, '\0');
    const std::wstring cut = dir.WriteFile(L"cut.exe", head);
    {
        HANDLE file =
            CreateFileW(own, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD read = 0;
        ReadFile(file, head.data(), 4096, &read, nullptr);
        CloseHandle(file);
        testsupport::WriteBytes(cut, head);
    }
    letters.push_back({'C', cut});
    DropAndEdit({cut}, {2, 5}, false, false);
    EXPECT_EQ(L"Run: Program", action);
    EXPECT_EQ(cut, text);
    EXPECT_EQ("PLaPbP", Listed());
    CoUninitialize();
}

// A shortcut that cannot be read in time (a pipe that answers nothing stands in for a share that
// does not answer) holds nothing up: the window goes on, and after the bound Edit Item opens on
// the file as it stands. What the worker finds once it is freed is thrown away.
TEST_F(DropTest, AFileThatDoesNotAnswerOpensEditItemWhileTheWindowGoesOn) {
    const std::wstring slow =
        L"\\\\.\\pipe\\ocellix-slow-" + std::to_wstring(GetCurrentProcessId()) + L".lnk";
    HANDLE server = CreateNamedPipeW(slow.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT,
                                     1, 4096, 4096, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, server);
    letters.push_back({'S', slow});
    // The window's thread turns while the worker waits.
    int turns = 0;
    DropAndEdit({slow}, {2, 5}, false, false, [&] { turns += ArrivalPending() ? 1 : 0; });
    EXPECT_LT(10, turns);
    EXPECT_EQ(-1, selected);
    EXPECT_EQ(L"Run: Program", action);
    EXPECT_EQ(slow, text);
    EXPECT_FALSE(ArrivalPending());
    // Freed, the worker ends; nothing more joins and no dialog opens.
    {
        ModalDriver driver;
        DisconnectNamedPipe(server);
        CloseHandle(server);
        testsupport::PumpUntil([] { return false; }, 500);
    }
    EXPECT_EQ("ab", Listed());
    EXPECT_EQ("ab", Stored());
}

TEST_F(DropTest, ADropWhileTheMenuOrADialogIsUpIsIgnored) {
    const std::wstring program = dir.WriteFile(L"run.exe", "MZ");
    const std::string before = Listed();
    // A drop while the step's menu or dialog is up; whatever it opened would fail the driver,
    // which expects nothing more, and an Options run would end the busy state early.
    const auto drop = [&] {
        PostMessageW(mainWindow, WM_DROPFILES,
                     reinterpret_cast<WPARAM>(MakeDrop({program}, {5, 5})), 0);
        testsupport::PumpMessages();
        EXPECT_TRUE(ShellBusy());
    };
    {
        ModalDriver driver;
        driver.OnMenu([&](HWND) {
            drop();
            EndMenu();
        });
        ShowPopupMenu(mainWindow, {5, 5});
    }
    const struct {
        const wchar_t* caption;
        void (*run)();
    } dialogs[] = {{L"About", [] { RunAbout(mainWindow); }}, {L"Options", [] { RunOptions(); }}};
    for (const auto& dialog : dialogs) {
        ModalDriver driver;
        driver.OnDialog(dialog.caption, [&](HWND shown) {
            drop();
            PressDone(shown);
        });
        dialog.run();
    }
    EXPECT_EQ(before, Listed());
    EXPECT_FALSE(ShellBusy());
}

// A list file dropped on the window: one with a fault is refused with its line, and one without
// replaces the list, shown at once, when the user says yes. /restore, as the running copy takes it,
// then goes back and forth between the two lists.
TEST_F(DropTest, ADroppedListReplacesTheListOnceTheUserSaysYes) {
    ASSERT_TRUE(SaveBlinkets(kMakerName, kProgramName, blinkets));
    letters.push_back({'c', L"http://c.example/"});
    const std::wstring picture = Image(L"c.bmp", 25, 20, 0x0000FF);
    std::string path(picture.size() * 3, '\0');
    path.resize(
        static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, picture.c_str(), -1, path.data(),
                                                static_cast<int>(path.size()), nullptr, nullptr)) -
        1);
    const std::string list = "Ocellix list of blinkets, format 1\r\n[Blinket_00]\r\n"
                             "ImageFile = REG_SZ " +
                             path +
                             "\r\nActionCmd = REG_DWORD 1\r\n"
                             "ActionString = REG_SZ http://c.example/\r\n[End]\r\n";
    const std::wstring good = dir.WriteFile(L"good.OCELLIX", list);
    const std::wstring bad = dir.WriteFile(L"bad.ocellix", list.substr(0, list.size() - 7));
    const struct {
        std::wstring file;
        int answer;
        const wchar_t* problem;  // a text the box shows
        const char* listed;
    } cases[] = {
        {bad, IDOK, L"line 5", "ab"},
        {good, IDNO, L"with the 1 of", "ab"},
        {good, IDYES, L"with the 1 of", "c"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        std::wstring shown;
        {
            ModalDriver driver;
            driver.OnDialog(L"Ocellix", [&](HWND box) {
                shown = ControlText(box, 0xFFFF);
                PostMessageW(box, WM_COMMAND, c.answer, 0);
            });
            PostMessageW(mainWindow, WM_DROPFILES,
                         reinterpret_cast<WPARAM>(MakeDrop({c.file}, {5, 5})), 0);
            testsupport::PumpMessages();
            ASSERT_TRUE(driver.finished());
        }
        EXPECT_NE(std::wstring::npos, shown.find(c.problem)) << shown;
        EXPECT_EQ(c.listed, Listed());
        EXPECT_EQ(c.listed, Stored());
        EXPECT_FALSE(ShellBusy());
    }
    const auto send = [](const ProgramCommand& command) {
        COPYDATASTRUCT data = {};
        return PackCommand(command, data) ? OnCommandData(mainWindow, &data) : -1;
    };
    EXPECT_EQ(kReplyRefused, send({CommandKind::Import, L"", L"", list.substr(0, 40)}));
    EXPECT_EQ("c", Stored());
    for (const char* listed : {"ab", "c"}) {
        EXPECT_EQ(kReplyDone, send({CommandKind::Restore, L"", L""}));
        EXPECT_EQ(listed, Listed());
        EXPECT_EQ(listed, Stored());
    }
}
