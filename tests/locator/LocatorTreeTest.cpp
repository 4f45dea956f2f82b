#include "locator/LocatorTree.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Pattern(HWND tree, HTREEITEM item, bool* ok = nullptr) {
    wchar_t pattern[MAX_PATH] = L"junk";
    const bool built = BuildSearchPattern(tree, item, pattern);
    if (ok) {
        *ok = built;
    }
    return pattern;
}

TEST(LocatorTree, SearchPatternsFollowTheChainOfParents) {
    testsupport::OwnedWindow tree(CreateWindowExW(0, WC_TREEVIEWW, L"", WS_POPUP, 0, 0, 200, 200,
                                                  nullptr, nullptr, GetModuleHandleW(nullptr),
                                                  nullptr));
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

}  // namespace
