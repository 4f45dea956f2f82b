// The images a blinket may use: the GIF, PNG and BMP files of one folder, cut into frames, with
// one square thumbnail per frame in one shared image list. Built for one run of the Options
// dialog and freed after it.
#pragma once

#include "dialogs/ListViewCtl.h"
#include "model/Blinket.h"
#include "model/BlinketList.h"
#include "model/ImageFileEntry.h"
#include "state/ShellState.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>

extern HIMAGELIST thumbnailList;

// Appends one entry per file of the folder (ending in a backslash) whose extension is .gif,
// .bmp or .png in any letter case, in the file system's order.
void ScanImageFolder(const wchar_t* folder, BlinketList<ImageFileEntry>& list);
// Loads every entry of imageFiles, sets its frames, and draws all frames as thumbnails of
// 16 x dialogScale pixels into a new image list; null when no image loaded.
HIMAGELIST BuildThumbnails(HWND window);
void BuildFrameRefs();
// The last entry whose full path equals the path (any letter case; a short path is compared in
// its long form), or null.
ImageFileEntry* FindImageEntry(const wchar_t* path);
// The thumbnail of the blinket's frame (its first frame when it names one the image lacks), or
// -1 when its image is not in the catalogue or has no frames.
int ThumbnailOf(const Blinket& blinket);
// Appends the mark of a missing picture to thumbnailList, which it makes when there is none;
// the mark's index, or -1.
int AddMissingPictureMark(HWND window);

// The whole catalogue of a folder: scan, thumbnails and frames.
void LoadImageCatalogue(HWND window, const wchar_t* folder);
void FreeImageCatalogue();

// A wrapper bound to the dialog's list control, showing the catalogue's thumbnails in its one
// column.
std::unique_ptr<ListViewCtl> AttachThumbnailList(HWND dialog, int listId);
