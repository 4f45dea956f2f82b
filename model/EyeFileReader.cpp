#include "model/EyeFileReader.h"

#include "base/Handles.h"

#include <strsafe.h>

#include <cwchar>

namespace EyeFileReader {

namespace {

constexpr wchar_t kDelimiters[] = L" =\t,";
// -1 marks a value the line does not give.
constexpr long long kMissing = -1;
// GDI keeps coordinates within 27 bits: a larger value cannot be an eye on the screen, and the
// bound keeps the offset and the pupil arithmetic from overflowing.
constexpr long long kCoordinateLimit = 1LL << 27;
// Digits beyond this are still consumed but no longer change the value.
constexpr long long kValueCeiling = 1LL << 40;

bool IsDelimiter(wchar_t c) {
    return c != L'\0' && wcschr(kDelimiters, c) != nullptr;
}

// An optional sign and the digits that follow, up to the first other character; a token that
// does not begin that way reads as 0.
long long TokenValue(const wchar_t* token) {
    const bool negative = *token == L'-';
    if (*token == L'-' || *token == L'+') {
        ++token;
    }
    long long value = 0;
    for (; *token >= L'0' && *token <= L'9'; ++token) {
        if (value < kValueCeiling) {
            value = value * 10 + (*token - L'0');
        }
    }
    return negative ? -value : value;
}

bool IsCoordinate(long long value) {
    return value >= -kCoordinateLimit && value <= kCoordinateLimit;
}

}  // namespace

bool EyeFilePath(const wchar_t* imageFile, wchar_t (&path)[MAX_PATH]) {
    if (!imageFile || FAILED(StringCchPrintfW(path, MAX_PATH, L"%s.eye", imageFile))) {
        path[0] = L'\0';
        return false;
    }
    return true;
}

bool Read(const wchar_t* path, int xOffset, RECT& leftEye, RECT& rightEye) {
    SetRectEmpty(&leftEye);
    SetRectEmpty(&rightEye);
    if (!path || !*path) {
        return false;
    }
    KernelHandle file(
        CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0) {
        return false;
    }
    // Mapped rather than read whole: only the pages up to the end of the second line are
    // touched, however large the file is.
    KernelHandle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) {
        return false;
    }
    MappedView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (!view) {
        return false;
    }
    const auto* bytes = static_cast<const unsigned char*>(view.get());
    const auto count = static_cast<size_t>(size.QuadPart);
    size_t position = 0;
    wchar_t line[kLineChars + 1];
    for (RECT* eye : {&leftEye, &rightEye}) {
        if (position >= count) {
            break;
        }
        position += ReadLine(bytes + position, count - position, line, kLineChars);
        ParseRect(line, xOffset, *eye);
    }
    if (IsRectEmpty(&leftEye) || IsRectEmpty(&rightEye)) {
        SetRectEmpty(&leftEye);
        SetRectEmpty(&rightEye);
        return false;
    }
    return true;
}

size_t ReadLine(const unsigned char* bytes, size_t count, wchar_t* line, int limit) {
    size_t position = 0;
    int length = 0;
    for (; position < count && bytes[position] != '\r' && bytes[position] != '\n'; ++position) {
        if (length < limit) {
            line[length++] = static_cast<wchar_t>(bytes[position]);
        }
    }
    line[length] = L'\0';
    if (position < count && bytes[position] == '\r') {
        ++position;
    }
    if (position < count && bytes[position] == '\n') {
        ++position;
    }
    return position;
}

bool ParseRect(const wchar_t* line, int xOffset, RECT& rect) {
    SetRectEmpty(&rect);
    long long values[4] = {kMissing, kMissing, kMissing, kMissing};
    const wchar_t* cursor = line ? line : L"";
    for (long long& value : values) {
        while (IsDelimiter(*cursor)) {
            ++cursor;
        }
        if (!*cursor) {
            break;
        }
        value = TokenValue(cursor);
        while (*cursor && !IsDelimiter(*cursor)) {
            ++cursor;
        }
    }
    for (long long value : values) {
        if (value == kMissing) {
            return false;
        }
    }
    values[0] += xOffset;
    values[2] += xOffset;
    for (long long value : values) {
        if (!IsCoordinate(value)) {
            return false;
        }
    }
    SetRect(&rect, static_cast<int>(values[0]), static_cast<int>(values[1]),
            static_cast<int>(values[2]), static_cast<int>(values[3]));
    return true;
}

}  // namespace EyeFileReader
