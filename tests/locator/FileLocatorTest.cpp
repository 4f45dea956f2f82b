#include "tests/locator/LocatorFixture.h"

namespace {

using namespace locatortest;

TEST_F(LocatorTest, AnEmptyLocationShowsOnlyTheCollapsedRoot) {
    OpenAt(L"", [](HWND tree) {
        const HTREEITEM root = TreeView_GetRoot(tree);
        ASSERT_NE(nullptr, root);
        EXPECT_EQ(L"\\", Text(tree, root));
        EXPECT_EQ(nullptr, TreeView_GetNextSibling(tree, root));
        EXPECT_EQ(nullptr, TreeView_GetChild(tree, root));
        EXPECT_FALSE(Expanded(tree, root));
        EXPECT_EQ(kClosedFolder, Item(tree, root).iImage);
        EXPECT_EQ(1, Item(tree, root).cChildren);
    });
}

TEST_F(LocatorTest, ARememberedFileIsSelectedAndComesBackAsTheFileSystemSpellsIt) {
    for (const wchar_t* remembered : {L"\\Windows\\foo.exe", L"\\windows\\FOO.EXE"}) {
        SCOPED_TRACE(testing::Message() << remembered);
        std::wstring upper = base_;
        CharUpperW(upper.data());
        OpenAt(upper + remembered, [&](HWND tree) {
            const HTREEITEM file = Find(tree, base_ + L"\\Windows\\foo.exe");
            EXPECT_EQ(file, TreeView_GetSelection(tree));
            for (HTREEITEM up = TreeView_GetParent(tree, file); up;
                 up = TreeView_GetParent(tree, up)) {
                EXPECT_TRUE(Expanded(tree, up)) << Text(tree, up);
                EXPECT_EQ(kOpenFolder, Item(tree, up).iImage);
            }
        });
        EXPECT_STREQ((base_ + L"\\Windows\\foo.exe").c_str(), locatorPath);
    }
}

TEST_F(LocatorTest, APathThatIsGoneOpensItsParentsAndSelectsNothingOnIt) {
    for (const wchar_t* gone : {L"\\Windows\\Gone\\a.exe", L"\\Windows\\foo.exe\\more"}) {
        SCOPED_TRACE(testing::Message() << gone);
        Open(gone, [&](HWND tree) {
            const HTREEITEM windows = Find(tree, base_ + L"\\Windows");
            EXPECT_TRUE(Expanded(tree, windows));
            const HTREEITEM selected = TreeView_GetSelection(tree);
            EXPECT_TRUE(!selected || selected == TreeView_GetRoot(tree)) << Text(tree, selected);
        });
    }
}

// Folders are read when opened and dropped when closed, by the user's own keys.
TEST_F(LocatorTest, FoldersAreReadWhenOpenedAndDroppedWhenClosed) {
    Open(L"\\Windows", [&](HWND tree) {
        const HTREEITEM windows = Find(tree, base_ + L"\\Windows");
        UserToggle(tree, windows, VK_ADD);
        EXPECT_EQ(kOpenFolder, Item(tree, windows).iImage);
        const struct {
            const wchar_t* name;
            int picture;
            int children;
        } expected[] = {{L"foo.exe", kProgram, 0},
                        {L"readme.txt", kDocument, 0},
                        {L"SETUP.EXE", kProgram, 0},
                        {L"Start Menu", kClosedFolder, 1}};
        HTREEITEM child = TreeView_GetChild(tree, windows);
        for (const auto& entry : expected) {
            EXPECT_EQ(entry.name, Text(tree, child));
            EXPECT_EQ(entry.picture, Item(tree, child).iSelectedImage) << entry.name;
            EXPECT_EQ(entry.children, Item(tree, child).cChildren) << entry.name;
            child = TreeView_GetNextSibling(tree, child);
        }
        EXPECT_EQ(nullptr, child);

        UserToggle(tree, windows, VK_SUBTRACT);
        EXPECT_EQ(nullptr, TreeView_GetChild(tree, windows));
        EXPECT_EQ(kClosedFolder, Item(tree, windows).iImage);
        dir_.WriteFile(L"Windows\\new.txt", "");
        for (int round = 0; round < 2; ++round) {
            UserToggle(tree, windows, VK_ADD);
            EXPECT_EQ((std::vector<std::wstring>{L"foo.exe", L"new.txt", L"readme.txt",
                                                 L"SETUP.EXE", L"Start Menu"}),
                      Children(tree, windows));
            UserToggle(tree, windows, VK_SUBTRACT);
        }

        const HTREEITEM empty = Find(tree, base_ + L"\\Empty");
        EXPECT_EQ(1, Item(tree, empty).cChildren);
        UserToggle(tree, empty, VK_ADD);
        EXPECT_EQ(0, Item(tree, empty).cChildren);
        EXPECT_EQ(kClosedFolder, Item(tree, empty).iImage);
    });
}

TEST_F(LocatorTest, ConfirmingPicksTheSelectedItem) {
    const struct {
        bool foldersOnly;
        const wchar_t* select;  // below base; null: nothing, empty: the root
        std::wstring picked;    // below base; starting with a backslash: the whole path
    } cases[] = {
        {false, L"", L"\\\\"},
        {true, L"", L"\\\\"},
        {false, nullptr, L"\\Windows\\readme.txt"},
        {false, L"\\Windows", L"\\Windows"},
        {true, L"\\Windows\\Start Menu", L"\\Windows\\Start Menu\\"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(testing::Message() << test.foldersOnly << " " << (test.select ?: L"-"));
        foldersOnly = test.foldersOnly;
        Open(L"\\Windows\\readme.txt", [&](HWND tree) {
            const HTREEITEM item = !test.select   ? nullptr
                                   : *test.select ? Find(tree, base_ + test.select)
                                                  : TreeView_GetRoot(tree);
            ASSERT_TRUE(item || !test.select);
            TreeView_SelectItem(tree, item);
        });
        const std::wstring expected = test.picked == L"\\\\" ? test.picked : base_ + test.picked;
        EXPECT_EQ(expected, locatorPath);
    }
}

TEST_F(LocatorTest, FoldersOnlyListsOnlyFolders) {
    foldersOnly = true;
    Open(L"\\Windows\\Start Menu", [&](HWND tree) {
        EXPECT_EQ(std::vector<std::wstring>{L"Start Menu"},
                  Children(tree, Find(tree, base_ + L"\\Windows")));
        EXPECT_EQ(Find(tree, base_ + L"\\Windows\\Start Menu"), TreeView_GetSelection(tree));
    });
}

// A folder whose entries' full paths end just below, at and just past the longest path.
TEST_F(LocatorTest, APathTooDeepIsNotOfferedAndNeverCut) {
    const size_t folderLength = 240;  // the deep folder's path with its trailing backslash
    const std::wstring deep = base_ + L"\\" + std::wstring(folderLength - base_.size() - 2, L'd');
    const std::wstring longRoot = L"\\\\?\\" + dir_.path().substr(0, 2);
    ASSERT_TRUE(CreateDirectoryW((longRoot + deep).c_str(), nullptr));
    const std::wstring fits(19, L'f'), tooLong(20, L'g'), opens(15, L'o'), shut(16, L's');
    for (const std::wstring& file : {fits, tooLong}) {
        ASSERT_TRUE(testsupport::WriteBytes(longRoot + deep + L"\\" + file, ""));
    }
    for (const std::wstring& folder : {opens, shut}) {
        ASSERT_TRUE(CreateDirectoryW((longRoot + deep + L"\\" + folder).c_str(), nullptr));
    }
    const std::wstring picked = deep + L"\\" + fits;
    ASSERT_EQ(259u, picked.size());
    OpenAt(picked, [&](HWND tree) {
        const HTREEITEM folder = Find(tree, deep);
        EXPECT_EQ((std::vector<std::wstring>{fits, opens, shut}), Children(tree, folder));
        EXPECT_EQ(1, Item(tree, Find(tree, deep + L"\\" + opens)).cChildren);
        EXPECT_EQ(0, Item(tree, Find(tree, deep + L"\\" + shut)).cChildren);
    });
    EXPECT_EQ(picked, locatorPath);
    // A path this long needs the long form to be deleted on Windows.
    testsupport::DeleteTree(longRoot + deep);
}

// The strip for the screen's density, with pure green transparent.
TEST_F(LocatorTest, TreePicturesFollowTheScreenDensity) {
    for (const int offset : {0, 100}) {
        resIdOffset = offset;
        OpenAt(L"", [&](HWND tree) {
            const int side = offset ? 32 : 16;
            ASSERT_NE(nullptr, treeImages);
            EXPECT_EQ(treeImages, TreeView_GetImageList(tree, TVSIL_NORMAL));
            EXPECT_EQ(5, ImageList_GetImageCount(treeImages));
            int width = 0, height = 0;
            ImageList_GetIconSize(treeImages, &width, &height);
            EXPECT_EQ(side, width);
            EXPECT_EQ(side, height);
            testsupport::Canvas canvas(side, side, RGB(255, 255, 255));
            ImageList_Draw(treeImages, kClosedFolder, canvas.dc(), 0, 0, ILD_NORMAL);
            EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(0, 0));
            EXPECT_NE(RGB(255, 255, 255), canvas.Pixel(side / 2, side / 2));
        });
        EXPECT_EQ(nullptr, treeImages);
    }
}

TEST_F(LocatorTest, ClosingWithoutOkFreesThePictures) {
    HWND dialog = CreateDialogParamW(locatorInstance, MAKEINTRESOURCEW(IDD_LOCATE), nullptr,
                                     LocatorDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    EXPECT_NE(nullptr, treeImages);
    DestroyWindow(dialog);
    EXPECT_EQ(nullptr, treeImages);
}

}  // namespace
