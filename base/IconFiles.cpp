#include "base/IconFiles.h"

#include "base/Handles.h"
#include "base/ShellHelpers.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Real icon files stay well below this, even with every size up to 256 pixels in them.
constexpr size_t kMaxIconFileBytes = 4 * 1024 * 1024;

#pragma pack(push, 2)
struct IconDirectory {
    WORD reserved;
    WORD type;  // 1: icons
    WORD count;
};
// What an entry of an icon group resource and one of an icon file share.
struct EntryHead {
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
};
// An entry of an icon group resource: the picture is the icon resource of the id.
struct GroupEntry {
    EntryHead head;
    WORD id;
};
// An entry of an icon file: the picture lies at the offset.
struct FileEntry {
    EntryHead head;
    DWORD offset;
};
#pragma pack(pop)
static_assert(sizeof(GroupEntry) == 14 && sizeof(FileEntry) == 16, "the formats' own sizes");

template <class T> T ReadAt(const BYTE* data, size_t offset) {
    T value;
    std::memcpy(&value, data + offset, sizeof(value));
    return value;
}

DWORD BigEndianAt(const BYTE* data, size_t offset) {
    return (DWORD{data[offset]} << 24) | (DWORD{data[offset + 1]} << 16) |
           (DWORD{data[offset + 2]} << 8) | data[offset + 3];
}

struct IconPicture {
    const BYTE* data = nullptr;
    size_t size = 0;
    int width = 0;
    int height = 0;
    int bitCount = 0;
};

// Bigger first; of equal sizes, more colours.
bool Beats(const IconPicture& a, const IconPicture& b) {
    const long long areaA = static_cast<long long>(a.width) * a.height;
    const long long areaB = static_cast<long long>(b.width) * b.height;
    return areaA != areaB ? areaA > areaB : a.bitCount > b.bitCount;
}

void Consider(const BYTE* data, size_t size, int bitCount, IconPicture& best) {
    IconPicture picture{data, size, 0, 0, bitCount};
    if (data && IconPictureSize(data, size, picture.width, picture.height) &&
        (!best.data || Beats(picture, best))) {
        best = picture;
    }
}

bool DrawPicture(const IconPicture& picture, AlphaImage& image) {
    if (!picture.data) {
        return false;
    }
    IconHandle icon(CreateIconFromResourceEx(const_cast<BYTE*>(picture.data),
                                             static_cast<DWORD>(picture.size), TRUE, 0x00030000,
                                             picture.width, picture.height, LR_DEFAULTCOLOR));
    return icon && ReadIconPixels(icon.get(), picture.width, picture.height, image);
}

// The name of the icon group the index stands for.
struct GroupSearch {
    int wanted = 0;
    int seen = 0;
    bool found = false;
    bool byNumber = false;
    WORD number = 0;
    std::wstring name;
};

BOOL CALLBACK FindNthGroup(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR parameter) {
    GroupSearch& search = *reinterpret_cast<GroupSearch*>(parameter);
    if (search.seen++ != search.wanted) {
        return TRUE;
    }
    search.found = true;
    search.byNumber = IS_INTRESOURCE(name);
    if (search.byNumber) {
        search.number = LOWORD(reinterpret_cast<ULONG_PTR>(name));
    } else {
        search.name = name;
    }
    return FALSE;
}

bool FindGroup(HMODULE module, int index, GroupSearch& search) {
    if (index < 0) {
        search.found = index >= -0xFFFF;
        search.byNumber = true;
        search.number = static_cast<WORD>(-index);
        return search.found;
    }
    search.wanted = index;
    EnumResourceNamesW(module, RT_GROUP_ICON, FindNthGroup, reinterpret_cast<LONG_PTR>(&search));
    return search.found;
}

const BYTE* ResourceData(HMODULE module, LPCWSTR name, LPCWSTR type, size_t& size) {
    HRSRC found = FindResourceW(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    size = found ? SizeofResource(module, found) : 0;
    return loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

bool ReadFromModule(const IconLocation& location, AlphaImage& image) {
    // As data: nothing of the file runs, and a file for another machine opens as well.
    LoadedModule module(LoadLibraryExW(location.file, nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    GroupSearch group;
    if (!module || !FindGroup(module.get(), location.index, group)) {
        return false;
    }
    size_t size = 0;
    const BYTE* directory = ResourceData(
        module.get(), group.byNumber ? MAKEINTRESOURCEW(group.number) : group.name.c_str(),
        RT_GROUP_ICON, size);
    if (!directory || size < sizeof(IconDirectory)) {
        return false;
    }
    const auto header = ReadAt<IconDirectory>(directory, 0);
    if (header.type != 1 || size < sizeof(IconDirectory) + header.count * sizeof(GroupEntry)) {
        return false;
    }
    IconPicture best;
    for (WORD i = 0; i < header.count; ++i) {
        const auto entry =
            ReadAt<GroupEntry>(directory, sizeof(IconDirectory) + i * sizeof(GroupEntry));
        size_t pictureSize = 0;
        const BYTE* picture =
            ResourceData(module.get(), MAKEINTRESOURCEW(entry.id), RT_ICON, pictureSize);
        Consider(picture, pictureSize, entry.head.bitCount, best);
    }
    return DrawPicture(best, image);
}

bool ReadFromIconFile(const std::string& file, int index, AlphaImage& image) {
    const auto* bytes = reinterpret_cast<const BYTE*>(file.data());
    if (index != 0 || file.size() < sizeof(IconDirectory)) {
        return false;
    }
    const auto header = ReadAt<IconDirectory>(bytes, 0);
    if (header.reserved != 0 || header.type != 1 ||
        file.size() < sizeof(IconDirectory) + header.count * sizeof(FileEntry)) {
        return false;
    }
    IconPicture best;
    for (WORD i = 0; i < header.count; ++i) {
        const auto entry = ReadAt<FileEntry>(bytes, sizeof(IconDirectory) + i * sizeof(FileEntry));
        if (entry.offset < file.size() && entry.head.bytes <= file.size() - entry.offset) {
            Consider(bytes + entry.offset, entry.head.bytes, entry.head.bitCount, best);
        }
    }
    return DrawPicture(best, image);
}

bool IsPngPicture(const BYTE* data, size_t size) {
    static const BYTE kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return size >= 24 && std::memcmp(data, kSignature, sizeof(kSignature)) == 0 &&
           std::memcmp(data + 12, "IHDR", 4) == 0;
}

bool SizeFits(long long width, long long height) {
    return width > 0 && height > 0 && width <= kMaxIconSide && height <= kMaxIconSide;
}

}  // namespace

bool IconPictureSize(const BYTE* data, size_t size, int& width, int& height) {
    if (!data) {
        return false;
    }
    if (IsPngPicture(data, size)) {
        width = static_cast<int>(std::min<DWORD>(BigEndianAt(data, 16), 0x7FFFFFFF));
        height = static_cast<int>(std::min<DWORD>(BigEndianAt(data, 20), 0x7FFFFFFF));
        return SizeFits(width, height);
    }
    if (size < sizeof(BITMAPINFOHEADER)) {
        return false;
    }
    const auto info = ReadAt<BITMAPINFOHEADER>(data, 0);
    const int bits = info.biBitCount;
    if (info.biSize < sizeof(BITMAPINFOHEADER) || info.biSize > size || info.biPlanes != 1 ||
        info.biCompression != BI_RGB || info.biClrUsed > 256 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)) {
        return false;
    }
    // The height counts the colour rows and the mask rows below them.
    const long long w = info.biWidth;
    const long long h = info.biHeight / 2;
    if (!SizeFits(w, h)) {
        return false;
    }
    const long long palette = bits <= 8 ? (info.biClrUsed ? info.biClrUsed : 1 << bits) : 0;
    const long long colourRow = (w * bits + 31) / 32 * 4;
    const long long maskRow = (w + 31) / 32 * 4;
    if (static_cast<long long>(info.biSize) + palette * 4 + h * (colourRow + maskRow) >
        static_cast<long long>(size)) {
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool ReadLargestIcon(const IconLocation& location, AlphaImage& image) {
    std::string start;
    if (!ReadFileBytes(location.file, 4, false, start) || start.size() < 4) {
        return false;
    }
    if (start[0] == 'M' && start[1] == 'Z') {
        return ReadFromModule(location, image);
    }
    static const char kIconFile[] = {0, 0, 1, 0};
    std::string file;
    return std::memcmp(start.data(), kIconFile, 4) == 0 &&
           ReadFileBytes(location.file, kMaxIconFileBytes, true, file) &&
           ReadFromIconFile(file, location.index, image);
}
