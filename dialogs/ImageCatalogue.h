// The images a blinket may use: the GIF, PNG and BMP files of the Blinkets folder, then those of
// the user's picture folder, cut into frames, with one square thumbnail per frame in one shared
// image list. Built for one run of the Options dialog and freed after it. A picture is decoded
// only when one of its frames is first shown, and released at once, so that a folder of large
// photos costs no more memory than one of them.
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
// Sets the frames of every entry of imageFiles from its file's header, and makes thumbnailList
// with a place for each frame's thumbnail of 16 x dialogScale pixels, in catalogue order, still
// blank; null when there are no entries.
HIMAGELIST BuildThumbnails(HWND window);
// One row per frame, entries in order: the rows of the Edit Item dialog.
void BuildFrameRefs();
// The last entry whose full path equals the path (any letter case; a short path is compared in
// its long form), or null.
ImageFileEntry* FindImageEntry(const wchar_t* path);
// The thumbnail of the blinket's frame (its first frame when it names one the image lacks),
// drawn now when it was not yet; the missing-picture mark for a picture that cannot be decoded;
// -1 when its image is not in the catalogue.
int ThumbnailOf(const Blinket& blinket);
// The row of the blinket's frame, or -1.
int RowOf(const Blinket& blinket);
// The thumbnail of a row, drawn now when it was not yet, or -1 for no such row.
int ThumbnailOfRow(int row);
// Whether the row's picture can be given to a blinket: it decodes.
bool IsChoosableRow(int row);
// The mark of a missing picture in thumbnailList, which it makes when there is none; added once,
// its index, or -1.
int AddMissingPictureMark(HWND window);
// Adds a picture file to the catalogue, after everything in it, unless it is there already; the
// row of its first frame, or -1.
int AddCatalogueImage(const wchar_t* path);

// The whole catalogue of the folders: scan, frames and rows. The user's folder may be null.
void LoadImageCatalogue(HWND window, const wchar_t* folder, const wchar_t* userFolder = nullptr);
void FreeImageCatalogue();

// A wrapper bound to the dialog's list control, showing the catalogue's thumbnails in its one
// column.
std::unique_ptr<ListViewCtl> AttachThumbnailList(HWND dialog, int listId);
