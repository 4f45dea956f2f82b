// The "Locate" dialog: one tree of the file system below the device root, each folder read when
// it opens and dropped when it closes.
#include "locator/FileLocator.h"

#include "base/Handles.h"
#include "base/Picture.h"
#include "base/ShellHelpers.h"
#include "locator/LocatorPath.h"
#include "locator/LocatorTree.h"
#include "resources/resource.h"
#include "state/ShellState.h"

#include <commctrl.h>
#include <strsafe.h>

#include <cwchar>

wchar_t locatorPath[MAX_PATH];
HINSTANCE locatorInstance;
bool foldersOnly;
HIMAGELIST treeImages;
wchar_t seekName[MAX_PATH];
HTREEITEM seekItem;

namespace {

constexpr COLORREF kTreeTransparent = RGB(0, 255, 0);
// The device root, the one top-level entry. Windows CE has a single file-system root; on the
// desktop "\" is the root of the current drive, so "\Windows\foo.exe" resolves there.
constexpr wchar_t kDeviceRoot[] = L"\\";
// The two actions a tree notification reports.
constexpr UINT kActionMask = TVE_COLLAPSE | TVE_EXPAND;

bool ReadItemText(HWND tree, HTREEITEM item, wchar_t (&text)[MAX_PATH]) {
    text[0] = L'\0';
    TVITEMW data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = MAX_PATH;
    return TreeView_GetItem(tree, &data) != FALSE;
}

// The full path of an item, rebuilt from its own name and those of its parents.
bool BuildItemPath(HWND tree, HTREEITEM item, wchar_t (&path)[MAX_PATH]) {
    if (!ReadItemText(tree, item, path)) {
        return false;
    }
    for (HTREEITEM parent = TreeView_GetParent(tree, item); parent;
         parent = TreeView_GetParent(tree, parent)) {
        wchar_t name[MAX_PATH];
        if (!ReadItemText(tree, parent, name) || !PrependFolder(path, name)) {
            return false;
        }
    }
    return true;
}

void SetItemPicture(HWND tree, HTREEITEM item, int picture) {
    TVITEMW data = {};
    data.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    data.hItem = item;
    data.iImage = picture;
    data.iSelectedImage = picture;
    TreeView_SetItem(tree, &data);
}

// A folder with nothing to show: no expand button, and the closed picture it cannot leave.
void MarkEmpty(HWND tree, HTREEITEM folder) {
    TVITEMW data = {};
    data.mask = TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    data.hItem = folder;
    data.cChildren = 0;
    data.iImage = kClosedFolder;
    data.iSelectedImage = kClosedFolder;
    TreeView_SetItem(tree, &data);
}

// Drops the entries read when the folder opened. The folder keeps its expand button, which
// the desktop tree view takes away with the last child.
void DropEntries(HWND tree, HTREEITEM folder) {
    HTREEITEM child = TreeView_GetChild(tree, folder);
    if (!child) {
        return;
    }
    while (child) {
        const HTREEITEM next = TreeView_GetNextSibling(tree, child);
        TreeView_DeleteItem(tree, child);
        child = next;
    }
    TVITEMW data = {};
    data.mask = TVIF_CHILDREN;
    data.hItem = folder;
    data.cChildren = 1;
    TreeView_SetItem(tree, &data);
}

void OnItemExpanding(HWND tree, HTREEITEM item, UINT action) {
    seekItem = nullptr;
    if (action == TVE_COLLAPSE) {
        SetItemPicture(tree, item, kClosedFolder);
        return;
    }
    SetItemPicture(tree, item, kOpenFolder);
    // Entries are read afresh at every opening and never pile up.
    DropEntries(tree, item);
    wchar_t pattern[MAX_PATH];
    if (!BuildSearchPattern(tree, item, pattern)) {
        MarkEmpty(tree, item);
        return;
    }
    FillFolder(tree, pattern, item);
}

// Expands the tree along path, one component per level, and selects the last item when every
// component was found.
void OpenAlong(HWND tree, const wchar_t* path) {
    HTREEITEM current = TreeView_GetRoot(tree);
    HTREEITEM found = nullptr;
    wchar_t component[MAX_PATH];
    bool more = NextPathComponent(path, component);
    while (current && more) {
        StringCchCopyW(seekName, MAX_PATH, component);
        // An item that cannot expand sends no notification: the match of the level above must
        // not stand in for this one.
        seekItem = nullptr;
        TreeView_Expand(tree, current, TVE_EXPAND);
        more = NextPathComponent(path, component);
        if (!seekItem) {
            break;
        }
        if (!more) {
            found = seekItem;
        }
        current = seekItem;
    }
    seekName[0] = L'\0';
    seekItem = nullptr;
    if (found) {
        TreeView_SelectItem(tree, found);
    }
}

// The dialog fills the screen on the handheld, so its client width is the screen's width; on
// the desktop the dialog has a frame, and its client area is what the tree may fill.
void FitTree(HWND dialog, HWND tree) {
    RECT client = {};
    GetClientRect(dialog, &client);
    RECT place = {};
    GetWindowRect(tree, &place);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 1);
    MoveWindow(tree, place.left, place.top, client.right - 1, client.bottom - 1, TRUE);
}

void ReleaseTreeImages(HWND dialog) {
    if (HWND tree = GetDlgItem(dialog, IDC_TREE)) {
        TreeView_SetImageList(tree, nullptr, TVSIL_NORMAL);
    }
    if (treeImages) {
        ImageList_Remove(treeImages, -1);
        ImageList_Destroy(treeImages);
        treeImages = nullptr;
    }
}

void OnInitDialog(HWND dialog) {
    InitPocketDialog(dialog);
    InitLocator(locatorInstance, dialog);
}

void OnDone(HWND dialog) {
    BuildPickedPath(dialog);
    EndDialog(dialog, 1);
}

}  // namespace

void InitLocator(HINSTANCE instance, HWND dialog) {
    HWND tree = GetDlgItem(dialog, IDC_TREE);
    if (!tree) {
        return;
    }
    FitTree(dialog, tree);
    if (CreateTreeImages(instance, tree, IDB_TREE + resIdOffset)) {
        FillRoots(tree);
    }
    OpenAlong(tree, locatorPath);
}

bool CreateTreeImages(HINSTANCE instance, HWND tree, UINT pictureId) {
    Picture strip;
    strip.Load(nullptr, nullptr, instance, pictureId);
    ImageListHandle images;
    if (strip.IsLoaded() && strip.height > 0) {
        images.Reset(ImageList_Create(strip.height, strip.height, ILC_MASK | ILC_COLOR32, 3, 0));
        if (images && ImageList_AddMasked(images.get(), strip.bitmap, kTreeTransparent) < 0) {
            images.Reset();
        }
    }
    strip.Release();
    if (!images) {
        return false;
    }
    // A list left behind by an earlier opening is not leaked.
    if (treeImages) {
        ImageList_Destroy(treeImages);
    }
    treeImages = images.Release();
    TreeView_SetImageList(tree, treeImages, TVSIL_NORMAL);
    return true;
}

bool FillRoots(HWND tree) {
    return InsertTreeEntry(tree, kDeviceRoot, nullptr, true) != nullptr;
}

HTREEITEM InsertTreeEntry(HWND tree, const wchar_t* name, HTREEITEM parent, bool isFolder) {
    if (NamesEqual(name, L".") || NamesEqual(name, L"..") || (foldersOnly && !isFolder)) {
        return kSkippedEntry;
    }
    const int picture = isFolder ? kClosedFolder : IsProgramName(name) ? kProgram : kDocument;
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_SORT;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = const_cast<wchar_t*>(name);
    insert.item.iImage = picture;
    insert.item.iSelectedImage = picture;
    // A folder offers its expand button before anything is read.
    insert.item.cChildren = isFolder ? 1 : 0;
    return TreeView_InsertItem(tree, &insert);
}

bool FillFolder(HWND tree, const wchar_t* pattern, HTREEITEM folder) {
    WIN32_FIND_DATAW entry;
    FindHandle search(FindFirstFileW(pattern, &entry));
    if (!search) {
        // Windows CE reports an empty folder as ERROR_NO_MORE_FILES, desktop Windows an empty
        // drive as ERROR_FILE_NOT_FOUND.
        const DWORD reason = GetLastError();
        if (reason == ERROR_NO_MORE_FILES || reason == ERROR_FILE_NOT_FOUND) {
            MarkEmpty(tree, folder);
        }
        return true;
    }
    const size_t folderLength = PatternFolderLength(pattern);
    bool shown = false;
    do {
        const size_t nameLength = std::wcslen(entry.cFileName);
        // An entry deeper than a path can reach is not offered rather than offered cut.
        if (folderLength + nameLength > kMaxPathChars) {
            continue;
        }
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const HTREEITEM item = InsertTreeEntry(tree, entry.cFileName, folder, isFolder);
        if (!item) {
            return false;
        }
        if (item == kSkippedEntry) {
            continue;
        }
        shown = true;
        // A folder whose own search pattern would not fit cannot be opened.
        if (isFolder && folderLength + nameLength + 4 > kMaxPathChars) {
            MarkEmpty(tree, item);
        }
        if (NamesEqual(entry.cFileName, seekName)) {
            seekItem = item;
        }
    } while (FindNextFileW(search.get(), &entry));
    // Desktop Windows lists "." and ".." in every folder but a root, so an empty folder is known
    // only once it is read.
    if (!shown) {
        MarkEmpty(tree, folder);
    }
    return true;
}

bool BuildSearchPattern(HWND tree, HTREEITEM item, wchar_t (&pattern)[MAX_PATH]) {
    wchar_t folder[MAX_PATH];
    if (!BuildItemPath(tree, item, folder)) {
        pattern[0] = L'\0';
        return false;
    }
    return MakeSearchPattern(folder, pattern);
}

LRESULT OnTreeNotify(HWND dialog, UINT_PTR controlId, const NMHDR* header) {
    HWND tree = GetDlgItem(dialog, static_cast<int>(controlId));
    if (controlId != IDC_TREE || !tree) {
        return 0;
    }
    const NMTREEVIEWW* change = reinterpret_cast<const NMTREEVIEWW*>(header);
    const UINT action = change->action & kActionMask;
    switch (header->code) {
    case TVN_ITEMEXPANDINGW: OnItemExpanding(tree, change->itemNew.hItem, action); break;
    case TVN_ITEMEXPANDEDW:
        if (action == TVE_COLLAPSE) {
            DropEntries(tree, change->itemNew.hItem);
        }
        break;
    }
    return 0;
}

bool BuildPickedPath(HWND dialog) {
    HWND tree = GetDlgItem(dialog, IDC_TREE);
    const HTREEITEM selected = tree ? TreeView_GetSelection(tree) : nullptr;
    wchar_t path[MAX_PATH];
    if (!selected || !BuildItemPath(tree, selected, path)) {
        return true;
    }
    // The root alone comes back as two backslashes, the pick that names nothing to store, in
    // a folder pick too.
    const wchar_t* format = IsDeviceRoot(path) ? L"\\%s" : foldersOnly ? L"%s\\" : L"%s";
    wchar_t picked[MAX_PATH];
    if (SUCCEEDED(StringCchPrintfW(picked, MAX_PATH, format, path))) {
        StringCchCopyW(locatorPath, MAX_PATH, picked);
    }
    return true;
}

INT_PTR CALLBACK LocatorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            OnDone(dialog);
        }
        return FALSE;
    // The result is always 0, which a dialog procedure may return directly.
    case WM_NOTIFY: return OnTreeNotify(dialog, wParam, reinterpret_cast<const NMHDR*>(lParam));
    // However the dialog ends, its pictures go with it.
    case WM_DESTROY: ReleaseTreeImages(dialog); return FALSE;
    }
    return FALSE;
}
