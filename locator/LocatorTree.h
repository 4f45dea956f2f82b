// The tree operations behind the "Locate" dialog. Callers of the dialog need only
// FileLocator.h; these are the steps the dialog procedure runs, open to tests.
#pragma once

#include <windows.h>
#include <commctrl.h>

// Pictures of the tree items; made when the dialog opens, destroyed when it closes.
extern HIMAGELIST treeImages;
// The path component looked for while the tree opens along locatorPath.
extern wchar_t seekName[MAX_PATH];
// The item that matched seekName during the last expansion; null when none did.
extern HTREEITEM seekItem;

// Pictures of the tree strip.
enum TreePicture { kOpenFolder = 0, kClosedFolder = 1, kProgram = 2, kDocument = 4 };

// What InsertTreeEntry answers for a name it leaves out ("." and "..", files when foldersOnly).
inline const HTREEITEM kSkippedEntry = reinterpret_cast<HTREEITEM>(1);

void InitLocator(HINSTANCE instance, HWND dialog);
bool CreateTreeImages(HINSTANCE instance, HWND tree, UINT pictureId);
bool FillRoots(HWND tree);
HTREEITEM InsertTreeEntry(HWND tree, const wchar_t* name, HTREEITEM parent, bool isFolder);
bool FillFolder(HWND tree, const wchar_t* pattern, HTREEITEM folder);
bool BuildSearchPattern(HWND tree, HTREEITEM item, wchar_t (&pattern)[MAX_PATH]);
LRESULT OnTreeNotify(HWND dialog, UINT_PTR controlId, const NMHDR* header);
bool BuildPickedPath(HWND dialog);
