#include "controls/ImageButtonStrip.h"
#include "dialogs/DialogState.h"
#include "dialogs/OptionsDialog.h"
#include "resources/resource.h"
#include "state/ShellState.h"
#include "tests/dialogs/DialogsTestKit.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using namespace dialogstest;
using namespace testsupport;

namespace {

// Three blinkets with images of a catalogue, listed in a modeless Options dialog.
class OptionsDialogTest : public testing::Test {
protected:
    void SetUp() override {
        appInstance = dialogInstance = GetModuleHandleW(nullptr);
        catalogue.Add(L"a.bmp", StripBmp(16, {0xFF0000}));
        catalogue.Add(L"b.bmp", StripBmp(16, {0x00FF00, 0x0000FF}));
        catalogue.Add(L"c.bmp", StripBmp(16, {0x0000FF}));
        catalogue.Load();
        const struct {
            const wchar_t* image;
            int frame, action;
            const wchar_t* text;
        } made[] = {{L"a.bmp", 0, kActionWebPage, L"http://a.example/"},
                    {L"b.bmp", 1, kActionProgram, L"\\prog.exe"},
                    {L"c.bmp", 0, kActionShowOptions, L"Show Options"}};
        std::set<int> thumbnails;
        for (const auto& m : made) {
            Blinket* blinket = AddBlinket(catalogue.folder() + m.image, m.action, m.text, m.frame);
            blinket->imageExists = true;
            thumbnails.insert(ThumbnailOf(*blinket));
            b.push_back(blinket);
        }
        ASSERT_EQ(3u, thumbnails.size());
        ASSERT_EQ(0, *thumbnails.begin());
    }
    void TearDown() override {
        DestroyWindow(dialog);
        blinkets.Clear();
    }
    void Open() {
        dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_OPTIONS),
                                    nullptr, OptionsDlgProc, 0);
        ASSERT_NE(nullptr, dialog);
        list = GetDlgItem(dialog, IDC_BLINKET_LIST);
    }
    // The missing-picture mark comes after the catalogue's thumbnails.
    static int MissingMark() { return ImageList_GetImageCount(thumbnailList) - 1; }
    static Row RowOf(const Blinket* blinket, int data) {
        return {blinket->actionString, ThumbnailOf(*blinket), data};
    }
    std::vector<Blinket*> Order() const {
        std::vector<Blinket*> order;
        for (int i = 0; i < blinkets.Count(); ++i) {
            order.push_back(blinkets.At(i));
        }
        return order;
    }
    std::vector<Row> Rows(int* selected = nullptr) const { return ReadRows(list, selected); }

    TempCatalogue catalogue;
    std::vector<Blinket*> b;
    HWND dialog = nullptr;
    HWND list = nullptr;
};

TEST_F(OptionsDialogTest, ListsTheBlinketsBelowFiveButtonsSizedToTheirPictures) {
    Open();
    EXPECT_EQ((std::vector<Row>{RowOf(b[0], 0), RowOf(b[1], 1), RowOf(b[2], 2)}), Rows());
    for (int id : {IDC_ADD, IDC_EDIT, IDC_DELETE, IDC_MOVE_UP, IDC_MOVE_DOWN}) {
        RECT button = {};
        GetWindowRect(GetDlgItem(dialog, id), &button);
        EXPECT_EQ(25, button.right - button.left) << id;
        EXPECT_EQ(25, button.bottom - button.top) << id;
    }
    for (const ImageButtonStrip* strip : {&addButtonStrip, &editButtonStrip, &deleteButtonStrip,
                                          &upButtonStrip, &downButtonStrip}) {
        EXPECT_EQ(4, ImageList_GetImageCount(strip->images));
    }
    RECT client = {};
    RECT placed = {};
    GetClientRect(dialog, &client);
    GetWindowRect(list, &placed);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(client.right - 2, placed.right);
    EXPECT_EQ(client.bottom - 1, placed.bottom);
    // Left to right as the template orders them, none over another or over the list.
    LONG right = 0;
    for (int id : {IDC_ADD, IDC_DELETE, IDC_EDIT, IDC_MOVE_UP, IDC_MOVE_DOWN}) {
        RECT button = {};
        GetWindowRect(GetDlgItem(dialog, id), &button);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&button), 2);
        EXPECT_LE(right, button.left) << id;
        EXPECT_LE(button.bottom, placed.top) << id;
        right = button.right;
    }
    EXPECT_LE(right, client.right);

    DestroyWindow(dialog);
    dialog = nullptr;
    EXPECT_EQ(nullptr, addButtonStrip.images);
    EXPECT_FALSE(downButtonStrip.IsConfigured());
    EXPECT_EQ(nullptr, optionsListView);
}

// The focused button, drawn as the dialog draws it into a bitmap of the button's size: the
// pixels of its top row, inside the edge.
std::vector<COLORREF> DrawnTopRow(HWND dialog, int id, UINT state) {
    RECT rect = {};
    GetClientRect(GetDlgItem(dialog, id), &rect);
    Canvas canvas(rect.right, rect.bottom, RGB(255, 255, 255));
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = id;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = GetDlgItem(dialog, id);
    item.hDC = canvas.dc();
    item.rcItem = rect;
    SendMessageW(dialog, WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&item));
    std::vector<COLORREF> row;
    for (int x = 1; x < rect.right - 1; ++x) {
        row.push_back(canvas.Pixel(x, 1));
    }
    return row;
}

TEST_F(OptionsDialogTest, KeyboardFocusOnAnImageButtonShows) {
    Open();
    for (int id : {IDC_ADD, IDC_MOVE_DOWN}) {
        SCOPED_TRACE(id);
        const std::vector<COLORREF> plain = DrawnTopRow(dialog, id, 0);
        EXPECT_NE(plain, DrawnTopRow(dialog, id, ODS_FOCUS));
        EXPECT_EQ(plain, DrawnTopRow(dialog, id, ODS_FOCUS | ODS_NOFOCUSRECT));
    }
}

TEST_F(OptionsDialogTest, TheSelectedRowShowsWhileAButtonHasTheFocus) {
    Open();
    SelectRow(list, 1);
    SetFocus(GetDlgItem(dialog, IDC_MOVE_UP));
    ASSERT_EQ(GetDlgItem(dialog, IDC_MOVE_UP), GetFocus());
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RowBackground(list, 1));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RowBackground(list, 0));
}

TEST_F(OptionsDialogTest, DeleteTheFirstThenEditTheTopRow) {
    Open();
    SelectRow(list, 0);
    Click(dialog, IDC_DELETE);
    EXPECT_EQ((std::vector<Blinket*>{b[1], b[2]}), Order());
    EXPECT_EQ((std::vector<Row>{RowOf(b[1], 0), RowOf(b[2], 1)}), Rows());
    Blinket* edited = nullptr;
    {
        ModalDriver driver;
        driver.OnDialog(L"Edit Item", [&](HWND editDialog) {
            edited = editedBlinket;
            PressDone(editDialog);
        });
        SelectRow(list, 0);
        Click(dialog, IDC_EDIT);
    }
    EXPECT_EQ(b[1], edited);
    EXPECT_EQ(nullptr, editedBlinket);
    EXPECT_EQ(RowOf(b[1], 0), Rows()[0]);
}

TEST_F(OptionsDialogTest, DeleteTheLastThenAddOneWithoutAnImage) {
    Open();
    SelectRow(list, 2);
    Click(dialog, IDC_DELETE);
    {
        ModalDriver driver;
        driver.Done(L"Edit Item");
        Click(dialog, IDC_ADD);
    }
    ASSERT_EQ(3, blinkets.Count());
    const Blinket* added = blinkets.At(2);
    // No picture chosen is no picture missing: the row has none.
    EXPECT_EQ((std::vector<Row>{RowOf(b[0], 0), RowOf(b[1], 1), {L"", I_IMAGENONE, 2}}), Rows());
    EXPECT_STREQ(L"", added->imageFile);
    EXPECT_STREQ(L"", added->actionString);
    EXPECT_EQ(0, added->actionCmd);
    EXPECT_EQ(0, added->imagePos);
    EXPECT_EQ(0, added->blinketPos);
}

TEST_F(OptionsDialogTest, AddWithAnImageAndAnActionGivesARowWithItsThumbnail) {
    Open();
    {
        ModalDriver driver;
        driver.OnDialog(L"Edit Item", [](HWND editDialog) {
            SelectRow(GetDlgItem(editDialog, IDC_IMAGE_LIST), 3);
            ChooseAction(editDialog, L"Run: Web Page");
            SetDlgItemTextW(editDialog, IDC_ACTION_STRING, L"http://new.example/");
            PressDone(editDialog);
        });
        Click(dialog, IDC_ADD);
    }
    ASSERT_EQ(4, blinkets.Count());
    EXPECT_EQ(kActionWebPage, blinkets.At(3)->actionCmd);
    EXPECT_EQ((Row{L"http://new.example/", 3, 3}), Rows()[3]);
}

TEST_F(OptionsDialogTest, MovesOffTheEndsAndWithoutSelectionChangeNothing) {
    Open();
    const std::vector<Row> before = Rows();
    ModalDriver driver;  // fails on any dialog that comes up
    for (auto [row, id] : {std::pair{0, IDC_MOVE_UP}, std::pair{2, IDC_MOVE_DOWN}}) {
        SelectRow(list, row);
        Click(dialog, id);
        int selected = -1;
        EXPECT_EQ(before, Rows(&selected));
        EXPECT_EQ(row, selected);
    }
    SelectRow(list, -1);
    for (int id : {IDC_MOVE_UP, IDC_MOVE_DOWN, IDC_DELETE, IDC_EDIT}) {
        Click(dialog, id);
    }
    EXPECT_EQ(before, Rows());
    EXPECT_EQ((std::vector<Blinket*>{b[0], b[1], b[2]}), Order());
}

TEST_F(OptionsDialogTest, MoveUpExchangesRowsAndKeepsTheHighlight) {
    for (Blinket* blinket : b) {
        blinket->eyesTried = true;
    }
    Open();
    SelectRow(list, 2);
    Click(dialog, IDC_MOVE_UP);
    EXPECT_EQ((std::vector<Blinket*>{b[0], b[2], b[1]}), Order());
    int selected = -1;
    EXPECT_EQ((std::vector<Row>{RowOf(b[0], 0), RowOf(b[2], 1), RowOf(b[1], 2)}), Rows(&selected));
    EXPECT_EQ(2, selected);
    EXPECT_TRUE(b[0]->eyesTried);  // only the two that moved read their eyes again
    EXPECT_FALSE(b[1]->eyesTried);
    EXPECT_FALSE(b[2]->eyesTried);
    SelectRow(list, 0);
    Click(dialog, IDC_MOVE_DOWN);
    EXPECT_EQ((std::vector<Blinket*>{b[2], b[0], b[1]}), Order());
    EXPECT_EQ((std::vector<Row>{RowOf(b[2], 0), RowOf(b[0], 1), RowOf(b[1], 2)}), Rows(&selected));
    EXPECT_EQ(0, selected);
}

TEST_F(OptionsDialogTest, ABlinketWhosePictureIsMissingKeepsItsRowWithTheMark) {
    ASSERT_TRUE(b[1]->SetImageFile((catalogue.folder() + L"gone.bmp").c_str()));
    b[1]->imageExists = false;
    Open();
    const Row missing = {b[1]->actionString, MissingMark(), 1};
    EXPECT_EQ((std::vector<Row>{RowOf(b[0], 0), missing, RowOf(b[2], 2)}), Rows());
    SelectRow(list, 1);
    Click(dialog, IDC_MOVE_UP);
    EXPECT_EQ((std::vector<Blinket*>{b[1], b[0], b[2]}), Order());
    EXPECT_EQ((std::vector<Row>{{missing.text, missing.image, 0}, RowOf(b[0], 1), RowOf(b[2], 2)}),
              Rows());
    SelectRow(list, 0);
    Click(dialog, IDC_DELETE);
    EXPECT_EQ((std::vector<Blinket*>{b[0], b[2]}), Order());
}

TEST_F(OptionsDialogTest, AMovedRowStaysInViewInALongList) {
    for (int i = 0; i < 60; ++i) {
        AddBlinket(catalogue.folder() + L"a.bmp", kActionWebPage, L"http://more.example/");
    }
    Open();
    const int last = blinkets.Count() - 1;
    SendMessageW(list, LVM_ENSUREVISIBLE, last, FALSE);
    SelectRow(list, last);
    const int topBefore = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    ASSERT_GT(topBefore, 0);
    for (int moves = 0; moves < 3; ++moves) {
        SelectRow(list, last - moves);
        Click(dialog, IDC_MOVE_UP);
        const int top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
        const int page = static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
        const int movedTo = last - moves - 1;
        EXPECT_LE(top, movedTo) << moves;
        EXPECT_LT(movedTo, top + page) << moves;
    }
}

}  // namespace
