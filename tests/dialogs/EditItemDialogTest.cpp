#include "dialogs/DialogState.h"
#include "dialogs/EditItemDialog.h"
#include "locator/FileLocator.h"
#include "resources/resource.h"
#include "state/ShellState.h"
#include "store/Settings.h"
#include "tests/dialogs/DialogsTestKit.h"

#include <gtest/gtest.h>

#include <strsafe.h>

#include <functional>
#include <string>
#include <vector>

using namespace dialogstest;
using namespace testsupport;

namespace {

std::wstring ComboText(HWND box, LRESULT index) {
    wchar_t text[64] = {};
    SendMessageW(box, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

// A catalogue of a three-frame image followed by a four-frame strip (thumbnails 3 to 6), and a
// blinket showing frame 2 of the strip that runs a program.
class EditItemDialogTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registry.ok());
        appInstance = GetModuleHandleW(nullptr);
        first.Add(L"three.bmp", StripBmp(16, {0xFF0000, 0x00FF00, 0x0000FF}));
        strip = second.Add(L"strip.bmp", StripBmp(16, {1, 2, 3, 4}));
        first.Scan();
        second.Scan();
        thumbnailList = BuildThumbnails(nullptr);
        BuildFrameRefs();
        ASSERT_TRUE(blinket.SetImageFile(strip.c_str()));
        blinket.imagePos = 2;
        blinket.actionCmd = kActionProgram;
        blinket.blinketPos = 7;
        StringCchCopyW(blinket.actionString, MAX_PATH, L"\\Windows\\prog.exe");
        editedBlinket = &blinket;
        stored = blinket.imageFile;
    }
    void TearDown() override {
        editedBlinket = nullptr;
        FreeImageCatalogue();
    }
    // Runs the dialog; the action sees it and closes it.
    void Run(const std::function<void(HWND)>& act) {
        ModalDriver driver;
        driver.OnDialog(L"Edit Item", act);
        RunEditItemDialog(nullptr);
    }
    void ExpectUnchanged() const {
        EXPECT_EQ(stored, blinket.imageFile);
        EXPECT_EQ(2, blinket.imagePos);
        EXPECT_EQ(kActionProgram, blinket.actionCmd);
        EXPECT_EQ(7, blinket.blinketPos);
        EXPECT_STREQ(L"\\Windows\\prog.exe", blinket.actionString);
    }

    RegistrySandbox registry;
    TempCatalogue first;
    TempCatalogue second;
    std::wstring strip;
    std::wstring stored;  // the blinket's image path as it holds it
    Blinket blinket;
};

TEST_F(EditItemDialogTest, OpensOnTheBlinketsChoicesAndOkKeepsThem) {
    blinket.eyesTried = true;
    Run([](HWND dialog) {
        HWND box = GetDlgItem(dialog, IDC_ACTION);
        EXPECT_EQ(3, SendMessageW(box, CB_GETCOUNT, 0, 0));
        EXPECT_EQ(L"Run: Program", ComboText(box, 0));
        EXPECT_EQ(L"Run: Web Page", ComboText(box, 1));
        EXPECT_EQ(L"Show Options", ComboText(box, 2));
        EXPECT_EQ(0, SendMessageW(box, CB_GETCURSEL, 0, 0));
        EXPECT_EQ(L"\\Windows\\prog.exe", ControlText(dialog, IDC_ACTION_STRING));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_ACTION_STRING)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_BROWSE)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_OWN_PICTURE)));
        // Tab order follows the layout: action, action string, "...", own picture, images.
        HWND control = GetDlgItem(dialog, IDC_ACTION);
        for (int next :
             {IDC_ACTION_STRING, IDC_BROWSE, IDC_OWN_PICTURE, IDC_IMAGE_LIST, IDC_ACTION}) {
            control = GetNextDlgTabItem(dialog, control, FALSE);
            EXPECT_EQ(GetDlgItem(dialog, next), control) << next;
        }
        int selected = -1;
        const auto rows = ReadRows(GetDlgItem(dialog, IDC_IMAGE_LIST), &selected);
        ASSERT_EQ(7u, rows.size());
        // A row of this list is its frame: it holds no data of its own.
        EXPECT_EQ(L"strip.bmp", rows[5].text);
        EXPECT_EQ(ThumbnailOfRow(5), rows[5].image);
        EXPECT_EQ(5, selected);
        // The frame shows as chosen while the action box has the focus.
        EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT),
                  RowBackground(GetDlgItem(dialog, IDC_IMAGE_LIST), 5));
        EXPECT_EQ(GetSysColor(COLOR_WINDOW), RowBackground(GetDlgItem(dialog, IDC_IMAGE_LIST), 4));
        PressDone(dialog);
    });
    EXPECT_EQ(stored, blinket.imageFile);
    EXPECT_EQ(2, blinket.imagePos);
    EXPECT_EQ(0, blinket.blinketPos);
    EXPECT_FALSE(blinket.eyesTried);
    EXPECT_EQ(kActionProgram, blinket.actionCmd);
    EXPECT_STREQ(L"\\Windows\\prog.exe", blinket.actionString);
}

// A picture kept as it was stored: with its variables, as REG_EXPAND_SZ, when another frame of it
// is chosen; a stand-in the user has chosen is theirs. Another picture is stored as a plain path.
TEST_F(EditItemDialogTest, TheSamePictureKeepsItsStoredFormAndAnotherIsAPlainPath) {
    ASSERT_TRUE(SetEnvironmentVariableW(L"OCX_EDIT_PICTURES", second.folder().c_str()));
    StringCchCopyW(blinket.imageFile, kImageFileChars, L"%OCX_EDIT_PICTURES%strip.bmp");
    blinket.imageFileExpands = true;
    blinket.standIn = true;
    const struct {
        int row;
        const wchar_t* imageFile;
        bool expands;
        int frame;
    } cases[] = {
        {4, L"%OCX_EDIT_PICTURES%strip.bmp", true, 1},
        {5, L"%OCX_EDIT_PICTURES%strip.bmp", true, 2},
        {0, nullptr, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        Run([&](HWND dialog) {
            SelectRow(GetDlgItem(dialog, IDC_IMAGE_LIST), c.row);
            PressDone(dialog);
        });
        EXPECT_EQ(c.imageFile ? c.imageFile : first.folder() + L"three.bmp", blinket.imageFile);
        EXPECT_EQ(c.expands, blinket.imageFileExpands);
        EXPECT_EQ(c.frame, blinket.imagePos);
        EXPECT_FALSE(blinket.standIn);
    }
}

// Windows' list view does not scroll to a row it is told to select (Wine's does).
TEST_F(EditItemDialogTest, TheBlinketsFrameIsInViewFarDownALongList) {
    FreeImageCatalogue();
    TempCatalogue many;
    many.Add(L"many.bmp", StripBmp(16, std::vector<unsigned>(120, 0x00FF00)));
    many.Load();
    ASSERT_EQ(120, frameRefs.Count());
    const std::wstring path = many.folder() + L"many.bmp";
    ASSERT_TRUE(blinket.SetImageFile(path.c_str()));
    blinket.imagePos = 110;
    Run([](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_IMAGE_LIST);
        const LRESULT top = SendMessageW(list, LVM_GETTOPINDEX, 0, 0);
        const LRESULT page = SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0);
        ASSERT_LT(page, 110) << "the list shows every row without scrolling";
        EXPECT_LE(top, 110);
        EXPECT_LT(110, top + page);
        PressDone(dialog);
    });
}

TEST_F(EditItemDialogTest, ActionChoicesSetTheCodeAndTheActionString) {
    const std::wstring longest = L"https://example.org/?q=" + std::wstring(2083 - 23, L'q');
    const struct {
        int openedWith;
        std::vector<const wchar_t*> choices;
        const wchar_t* typed;
        int code;
        const wchar_t* stored;
    } cases[] = {
        {kActionProgram,
         {L"Run: Web Page"},
         L"http://x.example/",
         kActionWebPage,
         L"http://x.example/"},
        {kActionShowOptions, {}, L"typed", kActionShowOptions, L"Show Options"},
        {kActionProgram, {L"Show Options", L"Run: Program"}, nullptr, kActionProgram, L""},
        {kActionNone, {}, L"typed", kActionNone, L"_"},  // no action chosen: runs nothing
        {kActionWebPage, {}, longest.c_str(), kActionWebPage, longest.c_str()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        blinket.actionCmd = c.openedWith;
        Run([&c](HWND dialog) {
            HWND edit = GetDlgItem(dialog, IDC_ACTION_STRING);
            // The longest web address browsers take, typed or pasted.
            EXPECT_EQ(2083, SendMessageW(edit, EM_GETLIMITTEXT, 0, 0));
            if (c.openedWith == kActionShowOptions) {
                EXPECT_EQ(2, SendDlgItemMessageW(dialog, IDC_ACTION, CB_GETCURSEL, 0, 0));
            }
            for (const wchar_t* choice : c.choices) {
                ChooseAction(dialog, choice);
                const BOOL run = wcsncmp(choice, L"Run", 3) == 0;
                EXPECT_EQ(run, IsWindowEnabled(edit)) << choice;
                EXPECT_EQ(run, IsWindowEnabled(GetDlgItem(dialog, IDC_BROWSE))) << choice;
            }
            if (c.openedWith == kActionShowOptions || c.choices.size() == 2) {
                EXPECT_EQ(L"", ControlText(dialog, IDC_ACTION_STRING));  // emptied, enabled
                EXPECT_TRUE(IsWindowEnabled(edit));
            }
            if (c.typed) {
                SetWindowTextW(edit, c.typed);
            }
            PressDone(dialog);
        });
        EXPECT_EQ(c.code, blinket.actionCmd);
        EXPECT_STREQ(c.stored, blinket.actionString);
    }
}

TEST_F(EditItemDialogTest, OkWithoutAnImageChangesNothingAndADeepImageIsTakenWhole) {
    Run([](HWND dialog) {
        SelectRow(GetDlgItem(dialog, IDC_IMAGE_LIST), -1);
        ChooseAction(dialog, L"Run: Web Page");
        PressDone(dialog);
    });
    ExpectUnchanged();
    TempCatalogue deep;
    std::wstring folder;
    while (deep.folder().size() + folder.size() < 230) {
        folder += L"a folder with a long name\\";
    }
    const std::wstring image = deep.Add(folder + L"x.bmp", StripBmp(16, {1}));
    LoadImageCatalogue(nullptr, (deep.folder() + folder).c_str());
    ASSERT_EQ(1, frameRefs.Count());
    Run([](HWND dialog) {
        SelectRow(GetDlgItem(dialog, IDC_IMAGE_LIST), 0);
        PressDone(dialog);
    });
    EXPECT_EQ(image, blinket.imageFile);
}

TEST_F(EditItemDialogTest, ThePickOfTheLocatorFillsTheEditAndIsRemembered) {
    ASSERT_TRUE(SaveLocatorLocation(L"\\Programs\\old.exe"));
    std::wstring openedAt;
    auto browse = [&](const wchar_t* pick) {
        ModalDriver driver;
        driver.OnDialog(L"Edit Item", [](HWND dialog) { Click(dialog, IDC_BROWSE); })
            .OnDialog(L"Locate",
                      [&openedAt, pick](HWND locate) {
                          openedAt = locatorPath;
                          HWND tree = GetDlgItem(locate, IDC_TREE);
                          // Nothing selected leaves the path as it was: the test's pick stands in
                          // for it.
                          SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET,
                                       pick ? 0
                                            : SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
                          if (pick) {
                              StringCchCopyW(locatorPath, MAX_PATH, pick);
                          }
                          PressDone(locate);
                      })
            .Done(L"Edit Item");
        RunEditItemDialog(nullptr);
    };
    wchar_t remembered[MAX_PATH];
    browse(nullptr);  // the root: two backslashes, no usable pick
    EXPECT_EQ(L"\\Programs\\old.exe", openedAt);
    EXPECT_STREQ(L"\\Windows\\prog.exe", blinket.actionString);
    ReadLocatorLocation(remembered);
    EXPECT_STREQ(L"\\Programs\\old.exe", remembered);
    browse(L"\\Windows\\new.exe");
    EXPECT_STREQ(L"\\Windows\\new.exe", blinket.actionString);
    ReadLocatorLocation(remembered);
    EXPECT_STREQ(L"\\Windows\\new.exe", remembered);
}

// "Use the program's own picture" makes the picture of the program in the edit (this test's own,
// which carries Ocellix's icon) in the user's folder, adds it after the catalogue's rows and
// selects it, once only however often it is pressed; OK gives it to the blinket. A program
// without an icon changes nothing. Only Run: Program offers the button.
TEST_F(EditItemDialogTest, TheProgramsOwnPictureIsMadeListedAndChosen) {
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    const std::wstring bare = first.Add(L"bare.exe", "MZ");
    StringCchCopyW(blinket.actionString, kActionStringChars, own);
    Run([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_IMAGE_LIST);
        HWND button = GetDlgItem(dialog, IDC_OWN_PICTURE);
        HWND edit = GetDlgItem(dialog, IDC_ACTION_STRING);
        ASSERT_EQ(7, ListView_GetItemCount(list));
        for (int press = 0; press < 2; ++press) {
            Click(dialog, IDC_OWN_PICTURE);
            int selected = -1;
            const auto rows = ReadRows(list, &selected);
            ASSERT_EQ(8u, rows.size());
            EXPECT_EQ(7, selected);
            EXPECT_EQ(0u, rows[7].text.rfind(L"dialogs_tests-", 0)) << rows[7].text;
            EXPECT_EQ(ThumbnailOfRow(7), rows[7].image);
        }
        SetWindowTextW(edit, bare.c_str());
        SelectRow(list, 0);
        Click(dialog, IDC_OWN_PICTURE);
        EXPECT_EQ(8, ListView_GetItemCount(list));
        EXPECT_EQ(0, SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        for (const wchar_t* action : {L"Run: Web Page", L"Show Options", L"Run: Program"}) {
            ChooseAction(dialog, action);
            EXPECT_EQ(action[5] == L'P', IsWindowEnabled(button) != FALSE) << action;
        }
        SetWindowTextW(edit, own);
        SelectRow(list, 7);
        PressDone(dialog);
    });
    EXPECT_EQ(0u, std::wstring(blinket.imageFile).rfind(registry.UserPictures(), 0))
        << blinket.imageFile;
    EXPECT_EQ(0, blinket.imagePos);
    EXPECT_STREQ(own, blinket.actionString);
}

}  // namespace
