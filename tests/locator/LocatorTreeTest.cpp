#include "locator/FileLocator.h"
#include "locator/LocatorPath.h"
#include "locator/LocatorTree.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TreeControl {
public:
    TreeControl()
        : tree_(CreateWindowExW(0, WC_TREEVIEWW, L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr)) {}
    ~TreeControl() { DestroyWindow(tree_); }
    HWND get() const { return tree_; }

private:
    HWND tree_;
};

std::wstring Pattern(HWND tree, HTREEITEM item, bool* ok = nullptr) {
    wchar_t pattern[MAX_PATH] = L"junk";
    const bool built = BuildSearchPattern(tree, item, pattern);
    if (ok) {
        *ok = built;
    }
    return pattern;
}

TEST(LocatorTree, SearchPatternsFollowTheChainOfParents) {
    TreeControl tree;
    ASSERT_NE(nullptr, tree.get());
    ASSERT_TRUE(FillRoots(tree.get()));
    const HTREEITEM root = TreeView_GetRoot(tree.get());
    const HTREEITEM windows = InsertTreeEntry(tree.get(), L"Windows", root, true);
    const HTREEITEM startMenu = InsertTreeEntry(tree.get(), L"Start Menu", windows, true);
    EXPECT_EQ(L"\\*.*", Pattern(tree.get(), root));
    EXPECT_EQ(L"\\Windows\\*.*", Pattern(tree.get(), windows));
    EXPECT_EQ(L"\\Windows\\Start Menu\\*.*", Pattern(tree.get(), startMenu));

    // \a..a\b..b\ + 84 or 83 characters + \*.*: 260 characters refused, never cut, 259 built.
    const HTREEITEM a = InsertTreeEntry(tree.get(), std::wstring(85, L'a').c_str(), root, true);
    const HTREEITEM b = InsertTreeEntry(tree.get(), std::wstring(84, L'b').c_str(), a, true);
    bool ok = true;
    EXPECT_EQ(L"",
              Pattern(tree.get(),
                      InsertTreeEntry(tree.get(), std::wstring(84, L'c').c_str(), b, true), &ok));
    EXPECT_FALSE(ok);
    const std::wstring longest = Pattern(
        tree.get(), InsertTreeEntry(tree.get(), std::wstring(83, L'd').c_str(), b, true), &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(259u, longest.size());
}

TEST(LocatorTree, DotEntriesAndFilesOfAFolderPickAreLeftOut) {
    TreeControl tree;
    const struct {
        const wchar_t* name;
        bool isFolder;
        bool foldersOnly;
        bool skipped;
    } cases[] = {
        {L".", true, false, true},     {L"..", true, false, true},
        {L"...", true, false, false},  {L"a.txt", false, false, false},
        {L"a.txt", false, true, true}, {L"sub", true, true, false},
    };
    for (const auto& test : cases) {
        foldersOnly = test.foldersOnly;
        const HTREEITEM item = InsertTreeEntry(tree.get(), test.name, nullptr, test.isFolder);
        EXPECT_NE(nullptr, item);
        EXPECT_EQ(test.skipped, item == kSkippedEntry) << test.name << " " << test.foldersOnly;
    }
    foldersOnly = false;
}

TEST(LocatorPath, ComponentsSkipEmptyOnes) {
    const wchar_t* text = L"\\\\Windows\\\\Start Menu\\";
    wchar_t component[MAX_PATH];
    ASSERT_TRUE(NextPathComponent(text, component));
    EXPECT_STREQ(L"Windows", component);
    ASSERT_TRUE(NextPathComponent(text, component));
    EXPECT_STREQ(L"Start Menu", component);
    EXPECT_FALSE(NextPathComponent(text, component));
    const wchar_t* root = L"\\";
    EXPECT_FALSE(NextPathComponent(root, component));
}

TEST(LocatorPath, ProgramsEndInExeInAnyCase) {
    for (const wchar_t* name : {L"foo.exe", L"SETUP.EXE", L".Exe"}) {
        EXPECT_TRUE(IsProgramName(name)) << name;
    }
    for (const wchar_t* name : {L"exe", L"readme.txt", L"foo.exe.txt", L"fooexe", L""}) {
        EXPECT_FALSE(IsProgramName(name)) << name;
    }
}

}  // namespace
