// The locator's tests share a folder tree of their own and helpers that read the tree control.
#pragma once

#include "locator/FileLocator.h"
#include "locator/LocatorTree.h"
#include "platform/PocketShell.h"
#include "resources/resource.h"
#include "state/ShellState.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace locatortest {

using testsupport::TempDir;

using Action = std::function<void(HWND tree)>;

inline std::wstring Text(HWND tree, HTREEITEM item) {
    wchar_t text[MAX_PATH] = {};
    TVITEMW data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = MAX_PATH;
    TreeView_GetItem(tree, &data);
    return text;
}

inline TVITEMW Item(HWND tree, HTREEITEM item) {
    TVITEMW data = {};
    data.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_STATE;
    data.hItem = item;
    data.stateMask = TVIS_EXPANDED;
    TreeView_GetItem(tree, &data);
    return data;
}

inline bool Expanded(HWND tree, HTREEITEM item) {
    return Item(tree, item).state & TVIS_EXPANDED;
}

inline std::vector<std::wstring> Children(HWND tree, HTREEITEM item) {
    std::vector<std::wstring> names;
    for (HTREEITEM child = TreeView_GetChild(tree, item); child;
         child = TreeView_GetNextSibling(tree, child)) {
        names.push_back(Text(tree, child));
    }
    return names;
}

// The item of a path below the root, walked component by component; null when absent.
inline HTREEITEM Find(HWND tree, const std::wstring& path) {
    HTREEITEM item = TreeView_GetRoot(tree);
    size_t start = 1;
    while (item && start < path.size()) {
        const size_t end = std::min(path.find(L'\\', start), path.size());
        const std::wstring name = path.substr(start, end - start);
        HTREEITEM child = TreeView_GetChild(tree, item);
        while (child && lstrcmpiW(Text(tree, child).c_str(), name.c_str()) != 0) {
            child = TreeView_GetNextSibling(tree, child);
        }
        item = child;
        start = end + 1;
    }
    return item;
}

// Keys a user presses on the selected item; unlike TVM_EXPAND they always notify.
inline void UserToggle(HWND tree, HTREEITEM item, WPARAM key) {
    TreeView_SelectItem(tree, item);
    SendMessageW(tree, WM_KEYDOWN, key, 0);
}

// A folder tree of its own, on the drive whose root "\" stands for the device root; base is
// the folder's path below that root.
class LocatorTest : public testing::Test {
protected:
    void SetUp() override {
        GetCurrentDirectoryW(MAX_PATH, savedDirectory_);
        ASSERT_EQ(L':', dir_.path()[1]);
        ASSERT_TRUE(SetCurrentDirectoryW(dir_.path().c_str()));
        base_ = dir_.path().substr(2, dir_.path().size() - 3);
        for (const wchar_t* file : {L"Windows\\foo.exe", L"Windows\\SETUP.EXE",
                                    L"Windows\\readme.txt", L"Windows\\Start Menu\\x.lnk"}) {
            dir_.WriteFile(file, "x");
        }
        dir_.MakeDir(L"Empty");
        locatorInstance = GetModuleHandleW(nullptr);
        foldersOnly = false;
        resIdOffset = 0;
        locatorPath[0] = L'\0';
    }
    void TearDown() override {
        SetCurrentDirectoryW(savedDirectory_);
        foldersOnly = false;
        resIdOffset = 0;
    }
    // Runs the dialog at the location; once it is up, the action sees the tree, then Done ends
    // the dialog.
    void OpenAt(const std::wstring& location, const Action& action) {
        wcscpy_s(locatorPath, location.c_str());
        testsupport::ModalDriver driver;
        driver.OnDialog(L"Locate", [&action](HWND dialog) {
            action(GetDlgItem(dialog, IDC_TREE));
            testsupport::PressDone(dialog);
        });
        ASSERT_EQ(1, DialogBoxParamW(locatorInstance, MAKEINTRESOURCEW(IDD_LOCATE), nullptr,
                                     LocatorDialogProc, 0));
    }
    // The dialog at a location below the folder.
    void Open(const std::wstring& relative, const Action& action) {
        OpenAt(base_ + relative, action);
    }

    TempDir dir_;
    std::wstring base_;
    wchar_t savedDirectory_[MAX_PATH] = {};
};

}  // namespace locatortest
