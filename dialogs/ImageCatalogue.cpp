#include "dialogs/ImageCatalogue.h"

#include "base/Handles.h"
#include "base/ShellHelpers.h"
#include "dialogs/DialogState.h"
#include "model/Frames.h"
#include "resources/resource.h"
#include "state/ShellState.h"

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

// Loads the entry's picture and sets its frames from the picture's shape; total counts the
// frames of the entries before it.
void LoadFrames(ImageFileEntry& entry, HWND window, int& total) {
    entry.picture = std::make_unique<Picture>();
    wchar_t path[MAX_PATH];
    if (!entry.FullPath(path)) {
        return;
    }
    entry.picture->Load(window, path, nullptr, 0);
    const int width = entry.picture->width;
    const int height = entry.picture->height;
    if (!entry.picture->IsLoaded() || width <= 0 || height <= 0) {
        entry.picture->Release();
        return;
    }
    entry.firstThumbnail = total;
    entry.frameCount = FramesOf(width, height).count;
    total += entry.frameCount;
}

// Thumbnails drawn into one off-screen strip before they enter the image list in one masked
// add; a catalogue of more frames takes several strips, so that none grows past a bitmap's size.
constexpr int kThumbnailsPerStrip = 512;

// Squeezes the frames of the loaded pictures that fall in thumbnails first to first + count into
// their squares of the strip, releasing each picture once its last frame is drawn. cursor is the
// first entry not yet drawn to its end.
void DrawFrames(HDC strip, HDC source, int side, int first, int count, int& cursor) {
    SetStretchBltMode(strip, COLORONCOLOR);  // blending would fringe the key colour
    for (; cursor < imageFiles.Count(); ++cursor) {
        ImageFileEntry* entry = imageFiles.At(cursor);
        if (!entry->picture || !entry->picture->IsLoaded()) {
            continue;
        }
        const FrameGrid grid = FramesOf(entry->picture->width, entry->picture->height);
        const int from = std::max(first, entry->firstThumbnail);
        const int to = std::min(first + count, entry->firstThumbnail + grid.count);
        if (from < to) {
            SelectedObject picture(source, entry->picture->bitmap);
            StretchBlt(strip, (from - first) * side, 0, (to - from) * side, side, source,
                       (from - entry->firstThumbnail) * grid.width, 0, (to - from) * grid.width,
                       grid.height, SRCCOPY);
        }
        if (entry->firstThumbnail + grid.count > first + count) {
            return;  // its later frames belong to the next strip
        }
        entry->picture->Release();
    }
}

void ReleasePictures() {
    for (int i = 0; i < imageFiles.Count(); ++i) {
        if (imageFiles.At(i)->picture) {
            imageFiles.At(i)->picture->Release();
        }
    }
}

// The thumbnails of all frames, total of them, side pixels square, in one masked image list.
HIMAGELIST DrawThumbnails(HWND window, int side, int total) {
    ImageListHandle list(ImageList_Create(side, side, ILC_COLORDDB | ILC_MASK, total, 1));
    WindowDC screen(window);
    MemoryDC strip(screen.get());
    MemoryDC source(screen.get());
    const int perStrip = std::min(total, kThumbnailsPerStrip);
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), side * perStrip, side));
    GdiObject<HBRUSH> key(CreateSolidBrush(kKeyColour));
    if (!list || !screen || !strip || !source || !bitmap || !key) {
        return nullptr;
    }
    int cursor = 0;
    for (int first = 0; first < total; first += perStrip) {
        const int count = std::min(perStrip, total - first);
        {
            SelectedObject selected(strip.get(), bitmap.get());
            const RECT all = {0, 0, side * perStrip, side};
            FillRect(strip.get(), &all, key.get());
            DrawFrames(strip.get(), source.get(), side, first, count, cursor);
        }
        // Squares of the last strip past the last frame are dropped by the count set below.
        if (ImageList_AddMasked(list.get(), bitmap.get(), kKeyColour) == -1) {
            return nullptr;
        }
    }
    ImageList_SetImageCount(list.get(), static_cast<UINT>(total));
    return list.Release();
}

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

HIMAGELIST BuildThumbnails(HWND window) {
    const int side = 16 * dialogScale;
    int total = 0;
    for (int i = 0; i < imageFiles.Count(); ++i) {
        LoadFrames(*imageFiles.At(i), window, total);
    }
    HIMAGELIST list = total > 0 ? DrawThumbnails(window, side, total) : nullptr;
    ReleasePictures();
    return list;
}

void BuildFrameRefs() {
    for (int i = 0; i < imageFiles.Count(); ++i) {
        ImageFileEntry* entry = imageFiles.At(i);
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
    const ImageFileEntry* entry = blinket.ImagePath(path) ? FindImageEntry(path) : nullptr;
    if (!entry || entry->frameCount <= 0) {
        return -1;
    }
    // A frame the image does not have is shown as its first, in the window as here.
    return entry->firstThumbnail + ShownFrame(entry->frameCount, blinket.imagePos);
}

int AddMissingPictureMark(HWND window) {
    const int side = 16 * dialogScale;
    if (!thumbnailList) {
        thumbnailList = ImageList_Create(side, side, ILC_COLORDDB | ILC_MASK, 1, 1);
    }
    Picture mark;
    mark.Load(window, nullptr, dialogInstance, IDB_MISSING_PICTURE + dialogResIdOffset);
    if (!thumbnailList || !mark.IsLoaded() || mark.width != side || mark.height != side) {
        return -1;
    }
    return ImageList_AddMasked(thumbnailList, mark.bitmap, kKeyColour);
}

void LoadImageCatalogue(HWND window, const wchar_t* folder) {
    FreeImageCatalogue();
    ScanImageFolder(folder, imageFiles);
    if (!imageFiles.IsEmpty()) {
        thumbnailList = BuildThumbnails(window);
        BuildFrameRefs();
    }
}

void FreeImageCatalogue() {
    entryIndex.clear();
    indexedEntries = 0;
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
