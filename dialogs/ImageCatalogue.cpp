#include "dialogs/ImageCatalogue.h"

#include "base/Handles.h"
#include "base/PictureFiles.h"
#include "base/ShellHelpers.h"
#include "dialogs/DialogState.h"
#include "model/Frames.h"
#include "resources/resource.h"
#include "state/ShellState.h"

#include <shlwapi.h>
#include <strsafe.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <unordered_map>

HIMAGELIST thumbnailList = nullptr;

namespace {

constexpr const wchar_t* kImageExtensions[] = {L".gif", L".bmp", L".png"};

bool SameText(const wchar_t* a, const wchar_t* b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, -1, b, -1) == CSTR_EQUAL;
}

bool IsImageName(const wchar_t* name) {
    const wchar_t* extension = wcsrchr(name, L'.');
    if (!extension) {
        return false;
    }
    for (const wchar_t* image : kImageExtensions) {
        if (SameText(extension, image)) {
            return true;
        }
    }
    return false;
}

void AppendEntry(const wchar_t* folder, const wchar_t* name, BlinketList<ImageFileEntry>& list) {
    auto entry = std::make_unique<ImageFileEntry>();
    StringCchCopyW(entry->folder, MAX_PATH, folder);
    StringCchCopyW(entry->fileName, MAX_PATH, name);
    list.Append(std::move(entry));
}

// The entry's frames as its header declares them; a file whose header cannot be read stays
// listed as one broken picture.
void ReadFrames(ImageFileEntry& entry) {
    wchar_t path[MAX_PATH];
    int width = 0;
    int height = 0;
    const FrameGrid grid = entry.FullPath(path) && ReadPictureSize(path, width, height)
                               ? FramesOf(width, height)
                               : FrameGrid{};
    entry.frameCount = grid.count > 0 ? grid.count : 1;
    entry.broken = grid.count <= 0;
    entry.drawn = false;
}

// The entry's thumbnails get their places in the list now, still blank, so that every row's
// thumbnail keeps its number whatever is shown first.
void ReserveThumbnails(ImageFileEntry& entry) {
    entry.firstThumbnail = ImageList_GetImageCount(thumbnailList);
    ImageList_SetImageCount(thumbnailList,
                            static_cast<UINT>(entry.firstThumbnail + entry.frameCount));
}

// Thumbnails drawn into one off-screen strip before they enter the image list in one masked
// add; a picture of more frames takes several strips, so that none grows past a bitmap's size.
constexpr int kThumbnailsPerStrip = 512;

// Squeezes frames first to first + count of the picture into their squares of a strip and
// appends them to the list; false when the list did not take them.
bool AppendFrames(const Picture& picture, const FrameGrid& grid, int first, int count) {
    const int side = 16 * dialogScale;
    WindowDC screen(nullptr);
    MemoryDC strip(screen.get());
    MemoryDC source(screen.get());
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), side * count, side));
    GdiObject<HBRUSH> key(CreateSolidBrush(kKeyColour));
    if (!screen || !strip || !source || !bitmap || !key) {
        return false;
    }
    {
        SelectedObject selected(strip.get(), bitmap.get());
        const RECT all = {0, 0, side * count, side};
        FillRect(strip.get(), &all, key.get());
        SetStretchBltMode(strip.get(), COLORONCOLOR);  // blending would fringe the key colour
        SelectedObject from(source.get(), picture.bitmap);
        StretchBlt(strip.get(), 0, 0, side * count, side, source.get(), first * grid.width, 0,
                   count * grid.width, grid.height, SRCCOPY);
    }
    return ImageList_AddMasked(thumbnailList, bitmap.get(), kKeyColour) != -1;
}

// Decodes the entry's picture, draws its frames into their thumbnails and releases it again; a
// picture that does not decode as its header said is broken. The frames enter the list at its
// end, masked, and are moved to their places from there.
void DrawEntry(ImageFileEntry& entry) {
    entry.drawn = true;
    wchar_t path[MAX_PATH];
    if (entry.broken || !thumbnailList || entry.firstThumbnail < 0 || !entry.FullPath(path)) {
        entry.broken = true;
        return;
    }
    entry.picture = std::make_unique<Picture>();
    entry.picture->Load(nullptr, path, nullptr, 0);
    const FrameGrid grid = FramesOf(entry.picture->width, entry.picture->height);
    const int start = ImageList_GetImageCount(thumbnailList);
    bool drawn = entry.picture->IsLoaded() && grid.count == entry.frameCount;
    for (int first = 0; drawn && first < grid.count; first += kThumbnailsPerStrip) {
        drawn = AppendFrames(*entry.picture, grid, first,
                             std::min(kThumbnailsPerStrip, grid.count - first));
    }
    entry.picture->Release();
    for (int frame = 0; drawn && frame < grid.count; ++frame) {
        drawn = ImageList_Copy(thumbnailList, entry.firstThumbnail + frame, thumbnailList,
                               start + frame, ILCF_MOVE);
    }
    ImageList_SetImageCount(thumbnailList, static_cast<UINT>(start));
    entry.broken = !drawn;
}

int ThumbnailOfFrame(ImageFileEntry& entry, int frame) {
    if (!entry.drawn) {
        DrawEntry(entry);
    }
    return entry.broken ? AddMissingPictureMark(nullptr) : entry.firstThumbnail + frame;
}

int missingPictureMark = -1;

// The entries by their full paths in lower case, the last entry of a path standing for it: a
// blinket's entry is found without a walk over the catalogue. Extended as entries are appended.
std::unordered_map<std::wstring, ImageFileEntry*> entryIndex;
int indexedEntries = 0;

void IndexEntries() {
    for (; indexedEntries < imageFiles.Count(); ++indexedEntries) {
        ImageFileEntry* entry = imageFiles.At(indexedEntries);
        wchar_t full[MAX_PATH];
        if (entry->FullPath(full)) {
            entryIndex[FoldedCase(full)] = entry;
        }
    }
}

}  // namespace

void ScanImageFolder(const wchar_t* folder, BlinketList<ImageFileEntry>& list) {
    wchar_t pattern[MAX_PATH];
    if (!folder || FAILED(StringCchPrintfW(pattern, MAX_PATH, L"%s*.*", folder))) {
        return;
    }
    WIN32_FIND_DATAW found = {};
    FindHandle search(FindFirstFileW(pattern, &found));
    if (!search) {
        return;
    }
    do {
        if (!IsDotEntry(found) && IsImageName(found.cFileName)) {
            AppendEntry(folder, found.cFileName, list);
        }
    } while (FindNextFileW(search.get(), &found));
}

HIMAGELIST BuildThumbnails(HWND) {
    if (imageFiles.IsEmpty()) {
        return nullptr;
    }
    const int side = 16 * dialogScale;
    if (thumbnailList) {
        ImageList_Destroy(thumbnailList);
    }
    thumbnailList = ImageList_Create(side, side, ILC_COLORDDB | ILC_MASK, 16, 16);
    for (int i = 0; i < imageFiles.Count(); ++i) {
        ReadFrames(*imageFiles.At(i));
        ReserveThumbnails(*imageFiles.At(i));
    }
    return thumbnailList;
}

void BuildFrameRefs() {
    for (int i = 0; i < imageFiles.Count(); ++i) {
        ImageFileEntry* entry = imageFiles.At(i);
        entry->firstRow = frameRefs.Count();
        for (int frame = 0; frame < entry->frameCount; ++frame) {
            auto ref = std::make_unique<FrameRef>();
            ref->entry = entry;
            ref->frame = frame;
            frameRefs.Append(std::move(ref));
        }
    }
}

ImageFileEntry* FindImageEntry(const wchar_t* path) {
    if (!path || !*path) {
        return nullptr;
    }
    IndexEntries();
    // A path held in its short form matches in its long one.
    wchar_t longPath[MAX_PATH];
    const auto found = entryIndex.find(FoldedCase(LongPathOf(path, longPath) ? longPath : path));
    return found != entryIndex.end() ? found->second : nullptr;
}

int ThumbnailOf(const Blinket& blinket) {
    wchar_t path[MAX_PATH];
    ImageFileEntry* entry = blinket.ImagePath(path) ? FindImageEntry(path) : nullptr;
    // A frame the image does not have is shown as its first, in the window as here.
    return entry ? ThumbnailOfFrame(*entry, ShownFrame(entry->frameCount, blinket.imagePos)) : -1;
}

int RowOf(const Blinket& blinket) {
    wchar_t path[MAX_PATH];
    const ImageFileEntry* entry = blinket.ImagePath(path) ? FindImageEntry(path) : nullptr;
    return entry ? entry->firstRow + ShownFrame(entry->frameCount, blinket.imagePos) : -1;
}

int ThumbnailOfRow(int row) {
    const FrameRef* ref = frameRefs.At(row);
    return ref && ref->entry ? ThumbnailOfFrame(*ref->entry, ref->frame) : -1;
}

bool IsChoosableRow(int row) {
    const FrameRef* ref = frameRefs.At(row);
    return ref && ref->entry && ThumbnailOfRow(row) >= 0 && !ref->entry->broken;
}

int AddMissingPictureMark(HWND window) {
    const int side = 16 * dialogScale;
    if (!thumbnailList) {
        thumbnailList = ImageList_Create(side, side, ILC_COLORDDB | ILC_MASK, 1, 16);
    }
    if (missingPictureMark >= 0 || !thumbnailList) {
        return missingPictureMark;
    }
    Picture mark;
    mark.Load(window, nullptr, dialogInstance, IDB_MISSING_PICTURE + dialogResIdOffset);
    if (!mark.IsLoaded() || mark.width != side || mark.height != side) {
        return -1;
    }
    missingPictureMark = ImageList_AddMasked(thumbnailList, mark.bitmap, kKeyColour);
    return missingPictureMark;
}

int AddCatalogueImage(const wchar_t* path) {
    if (const ImageFileEntry* known = FindImageEntry(path)) {
        return known->firstRow;
    }
    const wchar_t* name = path ? PathFindFileNameW(path) : nullptr;
    auto entry = std::make_unique<ImageFileEntry>();
    if (!name || name == path || !*name ||
        FAILED(StringCchCopyNW(entry->folder, MAX_PATH, path, static_cast<size_t>(name - path))) ||
        FAILED(StringCchCopyW(entry->fileName, MAX_PATH, name))) {
        return -1;
    }
    if (!thumbnailList) {
        const int side = 16 * dialogScale;
        thumbnailList = ImageList_Create(side, side, ILC_COLORDDB | ILC_MASK, 16, 16);
    }
    ReadFrames(*entry);
    ReserveThumbnails(*entry);
    entry->firstRow = frameRefs.Count();
    for (int frame = 0; frame < entry->frameCount; ++frame) {
        auto ref = std::make_unique<FrameRef>();
        ref->entry = entry.get();
        ref->frame = frame;
        frameRefs.Append(std::move(ref));
    }
    const int row = entry->firstRow;
    imageFiles.Append(std::move(entry));
    return row;
}

void LoadImageCatalogue(HWND window, const wchar_t* folder, const wchar_t* userFolder) {
    FreeImageCatalogue();
    ScanImageFolder(folder, imageFiles);
    if (userFolder && *userFolder) {
        ScanImageFolder(userFolder, imageFiles);
    }
    if (!imageFiles.IsEmpty()) {
        thumbnailList = BuildThumbnails(window);
        BuildFrameRefs();
    }
}

void FreeImageCatalogue() {
    entryIndex.clear();
    indexedEntries = 0;
    missingPictureMark = -1;
    if (thumbnailList) {
        ImageList_Destroy(thumbnailList);
        thumbnailList = nullptr;
    }
    frameRefs.Clear();
    imageFiles.Clear();
}

std::unique_ptr<ListViewCtl> AttachThumbnailList(HWND dialog, int listId) {
    auto view = std::make_unique<ListViewCtl>();
    view->AttachControl(dialogScale, dialog, listId);
    SendDlgItemMessageW(dialog, listId, LVM_SETIMAGELIST, LVSIL_SMALL,
                        reinterpret_cast<LPARAM>(thumbnailList));
    view->AddItemColumn();
    return view;
}
