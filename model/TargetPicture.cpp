#include "model/TargetPicture.h"

#include "base/IconSources.h"
#include "base/Picture.h"
#include "base/PictureFiles.h"
#include "base/ShellHelpers.h"
#include "model/LaunchTarget.h"

#include <shlwapi.h>
#include <strsafe.h>

#include <cstdint>
#include <cwchar>
#include <cwctype>

namespace {

constexpr size_t kMaxStemChars = 32;

// A web address's picture is its scheme's icon: every address of the scheme shares one file.
std::wstring NormalisedTarget(const wchar_t* target) {
    if (IsWebAddress(target)) {
        return FoldedCase(std::wstring(target, wcscspn(target, L":") + 1));
    }
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(target, MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        return FoldedCase(target);
    }
    wchar_t longPath[MAX_PATH];
    return FoldedCase(LongPathOf(full, longPath) ? longPath : full);
}

// Readable in Edit Item's list: the program's or shortcut's name, or the scheme.
std::wstring Stem(const wchar_t* target) {
    const wchar_t* name = PathFindFileNameW(target);
    std::wstring stem =
        IsWebAddress(target)
            ? FoldedCase(std::wstring(target, wcscspn(target, L":")))
            : std::wstring(name, static_cast<size_t>(PathFindExtensionW(name) - name));
    if (stem.size() > kMaxStemChars) {
        stem.resize(kMaxStemChars);
    }
    for (wchar_t& c : stem) {
        if (!iswalnum(c) && c != L' ' && c != L'-' && c != L'_' && c != L'.') {
            c = L'_';
        }
    }
    return stem.empty() ? L"picture" : stem;
}

uint64_t Fnv1a(const std::wstring& text) {
    uint64_t hash = 14695981039346656037ull;
    for (wchar_t c : text) {
        for (int shift : {0, 8}) {
            hash ^= (static_cast<unsigned>(c) >> shift) & 0xFF;
            hash *= 1099511628211ull;
        }
    }
    return hash;
}

// A picture made before is taken again when it is one of ours: a picture of the right height.
bool MadeBefore(const wchar_t* path) {
    int width = 0;
    int height = 0;
    return ReadPictureSize(path, width, height) && height == kMadePictureHeight;
}

bool WritePicture(const IconLocation& location, const wchar_t* path) {
    AlphaImage icon;
    if (!ReadLargestIcon(location, icon)) {
        return false;
    }
    const AlphaImage small = ScaleToHeight(icon, kMadePictureHeight);
    const std::vector<Pixel> keyed = KeyedPixels(small);
    // An icon with nothing left to see is no picture.
    const Pixel key = PixelOf(kKeyColour);
    bool seen = false;
    for (Pixel pixel : keyed) {
        seen = seen || pixel != key;
    }
    return seen && WritePngFile(path, small.width, small.height, keyed);
}

}  // namespace

std::wstring TargetPictureName(const wchar_t* target, const wchar_t* iconFile, int iconIndex) {
    wchar_t hash[17];
    const std::wstring key =
        NormalisedTarget(target) + L'|' + FoldedCase(iconFile) + L',' + std::to_wstring(iconIndex);
    StringCchPrintfW(hash, ARRAYSIZE(hash), L"%016llx",
                     static_cast<unsigned long long>(Fnv1a(key)));
    return Stem(target) + L'-' + hash + L".png";
}

bool MakeTargetPicture(const wchar_t* target, const wchar_t* folder, wchar_t (&picture)[MAX_PATH]) {
    if (!target || !folder || !*folder) {
        return false;
    }
    for (const IconLocation& location : IconLocationsOf(target)) {
        const std::wstring name = TargetPictureName(target, location.file, location.index);
        if (FAILED(StringCchPrintfW(picture, MAX_PATH, L"%s%s", folder, name.c_str()))) {
            return false;
        }
        if (MadeBefore(picture) || WritePicture(location, picture)) {
            return true;
        }
    }
    picture[0] = L'\0';
    return false;
}
