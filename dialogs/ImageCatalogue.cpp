#include "dialogs/ImageCatalogue.h"

#include "base/Handles.h"
#include "base/ShellHelpers.h"
#include "dialogs/DialogState.h"
#include "model/Frames.h"
#include "resources/resource.h"
#include "state/ShellState.h"

#include <strsafe.h>

#include <cwchar>

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

// Squeezes every loaded picture into its frames' squares of the strip, releasing each picture
// as soon as it is drawn.
void DrawFrames(HDC strip, HDC source, int side) {
    SetStretchBltMode(strip, COLORONCOLOR);  // blending would fringe the key colour
    for (int i = 0; i < imageFiles.Count(); ++i) {
        ImageFileEntry* entry = imageFiles.At(i);
        if (!entry->picture || !entry->picture->IsLoaded()) {
            continue;
        }
        // A strip's columns past its last whole frame belong to no frame.
        const FrameGrid grid = FramesOf(entry->picture->width, entry->picture->height);
        {
            SelectedObject picture(source, entry->picture->bitmap);
            StretchBlt(strip, entry->firstThumbnail * side, 0, side * grid.count, side, source, 0,
                       0, grid.width * grid.count, grid.height, SRCCOPY);
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
    ImageListHandle list(ImageList_Create(side, side, ILC_COLORDDB | ILC_MASK, 1, 1));
    WindowDC screen(window);
    MemoryDC strip(screen.get());
    MemoryDC source(screen.get());
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), side * total, side));
    GdiObject<HBRUSH> key(CreateSolidBrush(kKeyColour));
    if (!list || !screen || !strip || !source || !bitmap || !key) {
        return nullptr;
    }
    {
        SelectedObject selected(strip.get(), bitmap.get());
        const RECT all = {0, 0, side * total, side};
        FillRect(strip.get(), &all, key.get());
        DrawFrames(strip.get(), source.get(), side);
    }
    if (ImageList_AddMasked(list.get(), bitmap.get(), kKeyColour) == -1) {
        return nullptr;
    }
    return list.Release();
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
    // A blinket may hold its path in the short form, which only the long form matches.
    wchar_t longPath[MAX_PATH];
    const DWORD length = GetLongPathNameW(path, longPath, MAX_PATH);
    const bool hasLongForm = length > 0 && length < MAX_PATH;
    ImageFileEntry* match = nullptr;
    for (int i = 0; i < imageFiles.Count(); ++i) {
        ImageFileEntry* entry = imageFiles.At(i);
        wchar_t full[MAX_PATH];
        if (entry->FullPath(full) &&
            (SameText(full, path) || (hasLongForm && SameText(full, longPath)))) {
            match = entry;
        }
    }
    return match;
}

int ThumbnailOf(const Blinket& blinket) {
    wchar_t path[MAX_PATH];
    const ImageFileEntry* entry = blinket.ImagePath(path) ? FindImageEntry(path) : nullptr;
    if (!entry || entry->frameCount <= 0) {
        return -1;
    }
    // A frame the image does not have is shown as its first, in the window as here.
    FrameGrid grid;
    grid.count = entry->frameCount;
    return entry->firstThumbnail + ShownFrame(grid, blinket.imagePos);
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
    if (thumbnailList) {
        ImageList_Destroy(thumbnailList);
        thumbnailList = nullptr;
    }
    frameRefs.Clear();
    imageFiles.Clear();
}
